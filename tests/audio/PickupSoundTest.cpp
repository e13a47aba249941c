// Collecting a pickup is heard: the global pick sound reaches OpenAL's wave writer.
#include "AudioTestSupport.h"

#include "audio/Sound.h"
#include "core/GlobalSounds.h"
#include "world/PickupTestWorld.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void runSounds(audio::SoundManager& sounds, double seconds)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sounds.update(0.01f);
    }
}

TEST(PickupSound, ACollectedPickupPlaysThePickSound)
{
    auto world = std::make_unique<pickuptest::PickupWorld>();
    ASSERT_TRUE(world->sounds.hasDevice());
    auto global = std::make_unique<GlobalSounds>(&world->sounds);
    ASSERT_NE(global->pickStinger(), nullptr);
    EXPECT_EQ(global->pickStinger()->getName(), "gs_EffPick");
    ASSERT_TRUE(global->pickStinger()->hasData());
    world->restart(global.get());
    Ogre::SceneNode* ear = world->scene->getRootSceneNode()->createChildSceneNode(pickuptest::kOpenGround);
    ear->attachObject(world->sounds.getListener());

    auto def = pickuptest::PickupWorld::definition(6.25f, 30.0f);
    world->manager->spawn(def.get(), pickuptest::kOpenGround);
    // Lying there and expiring make no sound.
    for (int i = 0; i < 20; ++i) {
        world->manager->update(0.02f);
        runSounds(world->sounds, 0.02);
    }
    auto expiring = pickuptest::PickupWorld::definition(6.25f, 0.1f);
    world->manager->spawn(expiring.get(), pickuptest::kOpenGround + Ogre::Vector3(50, 0, 0));
    world->manager->update(0.2f);
    runSounds(world->sounds, 0.2);
    ASSERT_EQ(world->manager->liveCount(), 1u);

    world->object(1, pickuptest::kOpenGround);
    world->manager->update(0.02f);
    ASSERT_EQ(world->manager->liveCount(), 0u);
    runSounds(world->sounds, 0.8);

    world->manager.reset();
    global.reset();
    ear->detachAllObjects();
    world.reset();
    audiotest::Wave wave;
    ASSERT_TRUE(audiotest::readWave(audiotest::waveFile(), wave));
    const double on = wave.firstLouder(0.0, 0.03f);
    EXPECT_GT(on, 0.5);  // silence while it lay there and while the other expired
    EXPECT_GT(wave.rms(on, on + 0.2), 0.03f);
}

}  // namespace
