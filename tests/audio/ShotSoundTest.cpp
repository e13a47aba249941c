// A bomb's blast is really heard: its impact sound reaches OpenAL's wave writer.
#include "AudioTestSupport.h"

#include "world/BasicBomb.h"
#include "world/ShotTestWorld.h"

#include <gtest/gtest.h>


namespace {

using audiotest::runSounds;

TEST(ShotSound, BombImpactSoundReachesTheWaveWriter)
{
    auto world = std::make_unique<shottest::World>();
    ASSERT_TRUE(world->sounds.hasDevice());
    Ogre::SceneNode* ear = world->scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(30, 2, 32));
    ear->attachObject(world->sounds.getListener());
    auto def = shottest::World::shot(ProjectileKind_Bomb, 1.0f, 10.0f);
    auto warhead = world->warhead(4.0f, "impact_explosive.ogg");
    runSounds(world->sounds, 0.4);

    auto bomb = std::make_unique<BasicBomb>(
        &world->playData, world->scene, &world->sounds, world->damage.get(), Ogre::Vector3(30, 2.5f, 30), 0.0f,
        Ogre::Quaternion(Ogre::Degree(-90), Ogre::Vector3::UNIT_X), 1, 0, 0, 0.0f, world->pool.get(), 900, def.get(),
        warhead.get(), &world->targets, 1, 10);
    bool hit = false;
    int type = 0;
    for (int i = 0; i < 5 && !hit; ++i)
        ASSERT_TRUE(bomb->update(1.0f / 60.0f, hit, type));
    ASSERT_TRUE(hit);
    ASSERT_NE(bomb->getImpactSound(), nullptr);
    ASSERT_TRUE(bomb->getImpactSound()->hasData());
    runSounds(world->sounds, 0.8);
    EXPECT_TRUE(bomb->update(1.0f / 60.0f, hit, type));  // still sounding
    runSounds(world->sounds, 0.8);
    EXPECT_FALSE(bomb->update(1.0f / 60.0f, hit, type));  // heard out

    // Closing the device completes the file.
    bomb.reset();
    ear->detachAllObjects();
    world.reset();
    audiotest::Wave wave;
    ASSERT_TRUE(audiotest::readWave(audiotest::waveFile(), wave));
    const double on = wave.firstLouder(0.0, 0.03f);
    EXPECT_GT(on, 0.25);  // silence before the landing
    EXPECT_GT(wave.rms(on, on + 0.3), 0.03f);
}

}  // namespace
