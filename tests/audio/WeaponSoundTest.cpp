// The player's main gun is really heard when it fires, and not before.
#include "AudioTestSupport.h"

#include "world/WeaponTestWorld.h"

#include <gtest/gtest.h>


namespace {

using audiotest::runSounds;

TEST(WeaponSound, MainGunFiredOnceIsSilentBeforeTheShotAndHeardAfter)
{
    auto world = std::make_unique<weapontest::WeaponWorld>();
    ASSERT_TRUE(world->sounds.hasDevice());
    Ogre::SceneNode* ear = world->scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 60, 6));
    ear->attachObject(world->sounds.getListener());
    auto gun = world->ground("abrams_cannon");
    ASSERT_NE(gun->getFireSound(), nullptr);
    ASSERT_TRUE(gun->getFireSound()->hasData());
    runSounds(world->sounds, 0.4);

    gun->tick(0.01f, 0.0f, true, false, 0);
    EXPECT_EQ(world->manager->getShots(), 1u);
    runSounds(world->sounds, 0.8);

    gun.reset();
    ear->detachAllObjects();
    world.reset();
    audiotest::Wave wave;
    ASSERT_TRUE(audiotest::readWave(audiotest::waveFile(), wave));
    const double on = wave.firstLouder(0.0, 0.03f);
    EXPECT_GT(on, 0.25);  // silence before the shot
    EXPECT_GT(wave.rms(on, on + 0.2), 0.03f);
}

}  // namespace
