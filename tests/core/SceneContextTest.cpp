#include "audio/SoundManager.h"
#include "core/SceneContext.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

TEST(SceneContext, ScaledBorderIsThePlayAreaTimesItsScale)
{
    SceneContext context(nullptr);
    EXPECT_EQ(context.getScaledBorder(), Ogre::Vector4(0, 0, 0, 0));
    context.playArea = Ogre::Vector4(-80, -55, 80, 55);
    context.playAreaScale = 1.5f;
    EXPECT_EQ(context.getScaledBorder(), Ogre::Vector4(-120, -82.5f, 120, 82.5f));
    EXPECT_EQ(context.playArea, Ogre::Vector4(-80, -55, 80, 55));
}

TEST(SceneContext, EachMapReplacesTheCollisionBodiesAndFloorReactors)
{
    testsupport::HeadlessOgre ogre;
    Ogre::SceneManager* scene = ogre.root()->createSceneManager("DefaultSceneManager");
    Ogre::Entity* a = scene->createEntity("a", Ogre::SceneManager::PT_CUBE);
    Ogre::Entity* b = scene->createEntity("b", Ogre::SceneManager::PT_CUBE);
    SceneContext context(nullptr);
    context.setCollisionBodies(a, a, a, a, a, a, a, "r1", "r2", "r3", "r4");
    // The next map has a projectile blocker and a first floor only.
    context.setCollisionBodies(nullptr, b, b, nullptr, nullptr, nullptr, nullptr, "dust", "", "", "");
    EXPECT_EQ(context.movementBlocker, nullptr);
    EXPECT_EQ(context.projectileBlocker, b);
    EXPECT_EQ(context.moveFloors[0], b);
    EXPECT_EQ(context.moveFloors[1], nullptr);
    EXPECT_EQ(context.moveFloors[3], nullptr);
    EXPECT_EQ(context.projectileFloor, nullptr);
    EXPECT_EQ(context.floorReactorNames[0], "dust");
    EXPECT_EQ(context.floorReactorNames[3], "");
}

TEST(SceneContext, DestroysItsAmbientSound)
{
    testsupport::HeadlessOgre ogre;
    audio::SoundManager sounds("", 8);
    {
        SceneContext context(&sounds);
        context.ambientSound = sounds.createSound("ambient", "no_such_file.ogg", true);
        ASSERT_NE(sounds.getSound("ambient"), nullptr);
    }
    EXPECT_EQ(sounds.getSound("ambient"), nullptr);
}
