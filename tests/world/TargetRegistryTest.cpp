// The target registry: slots, range and team searches, radar detection and the nearest enemy.
#include "world/TargetRegistry.h"

#include "definitions/goParams.h"
#include "world/GameObjectData.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <deque>

using testsupport::HeadlessOgre;

namespace {

class TargetRegistryTest : public ::testing::Test {
protected:
    TargetRegistryTest() : scene(engine.root()->createSceneManager())
    {
        // A searcher that sees everything not stealthier than its resolution at any range.
        searcherDef.TgtStealthRes = 1000.0f;
        searcherDef.RadarRange = 100.0f;
        searcher = add(1, Ogre::Vector3::ZERO, &searcherDef);
    }

    uint32_t add(uint32_t team, const Ogre::Vector3& position, goParams* def = nullptr)
    {
        owners.emplace_back("t", "", "", "", 1, 3, team, 100, false);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(position);
        return registry.add(node, nullptr, &owners.back(), def ? def : &plainDef, 0, 0);
    }

    HeadlessOgre engine;
    Ogre::SceneManager* scene;
    TargetRegistry registry;
    std::deque<GameObjectData> owners;
    goParams searcherDef{"searcher"};
    goParams plainDef{"plain"};
    uint32_t searcher = 0;
};

TEST_F(TargetRegistryTest, StartsWithFiftySlotsAndGrowsByHalfPlusOne)
{
    EXPECT_EQ(registry.getNumEntries(), 50u);
    for (uint32_t i = 1; i < 50; ++i)
        add(2, Ogre::Vector3::ZERO);
    EXPECT_EQ(registry.getNumEntries(), 50u);
    EXPECT_EQ(add(2, {5, 0, 0}), 50u);
    EXPECT_EQ(registry.getNumEntries(), 76u);
    EXPECT_EQ(registry.getPosition(50), Ogre::Vector3(5, 0, 0));

    registry.setTargeted(50);
    EXPECT_EQ(registry.entries()[50].targeted, 1);
    registry.remove(7);
    EXPECT_EQ(registry.getParams(7), nullptr);
    EXPECT_EQ(registry.getPosition(7), Ogre::Vector3::ZERO);
    registry.setTargeted(7);
    EXPECT_EQ(registry.entries()[7].targeted, 0);
    EXPECT_EQ(add(2, Ogre::Vector3::ZERO), 7u);
    EXPECT_EQ(registry.getParams(1000), nullptr);
}

TEST_F(TargetRegistryTest, TeamSearchesAndRange)
{
    const uint32_t neutral = add(0, {1, 0, 0});
    uint32_t slot = 99;
    uint32_t best = 0;
    EXPECT_FALSE(registry.findEnemyInRange(slot, &searcher, 1, Ogre::Vector3::ZERO, 50.0f, false, 0));
    EXPECT_FALSE(registry.findBest(slot, &searcher, 1, Ogre::Vector3::ZERO, best));
    EXPECT_EQ(slot, 99u);
    EXPECT_TRUE(registry.findNeutralInRange(slot, Ogre::Vector3::ZERO, 50.0f));
    EXPECT_EQ(slot, neutral);
    slot = 99;
    EXPECT_TRUE(registry.findTeamInRange(slot, 0, Ogre::Vector3::ZERO, 50.0f));
    EXPECT_EQ(slot, neutral);

    // Exactly at the range is out.
    const uint32_t enemy = add(2, {10, 0, 0});
    EXPECT_FALSE(registry.isInRange(enemy, Ogre::Vector3::ZERO, 10.0f));
    EXPECT_TRUE(registry.isInRange(enemy, Ogre::Vector3::ZERO, 10.001f));
    EXPECT_FALSE(registry.findEnemyInRange(slot, &searcher, 1, Ogre::Vector3::ZERO, 10.0f, false, 0));
    EXPECT_TRUE(registry.findEnemyInRange(slot, &searcher, 1, Ogre::Vector3::ZERO, 11.0f, false, 0));
    EXPECT_EQ(slot, enemy);
    EXPECT_TRUE(registry.findTeamInRange(slot, 2, Ogre::Vector3::ZERO, 11.0f));
    EXPECT_EQ(slot, enemy);

    // The exclusion skips the only enemy when it is on, and means nothing when it is off.
    slot = 99;
    EXPECT_FALSE(registry.findEnemyInRange(slot, &searcher, 1, Ogre::Vector3::ZERO, 50.0f, true, enemy));
    EXPECT_EQ(slot, 99u);
    EXPECT_TRUE(registry.findEnemyInRange(slot, &searcher, 1, Ogre::Vector3::ZERO, 50.0f, false, enemy));
    EXPECT_EQ(slot, enemy);

    // A searcher not in use (or none) detects nothing.
    registry.remove(searcher);
    EXPECT_FALSE(registry.findEnemyInRange(slot, &searcher, 1, Ogre::Vector3::ZERO, 50.0f, false, 0));
    EXPECT_FALSE(registry.findEnemyInRange(slot, nullptr, 1, Ogre::Vector3::ZERO, 50.0f, false, 0));
    EXPECT_FALSE(registry.findBest(slot, &searcher, 1, Ogre::Vector3::ZERO, best));
}

TEST_F(TargetRegistryTest, RadarDetectionRange)
{
    goParams radar("radar");
    radar.RadarRange = 100.0f;
    radar.TgtStealthRes = 50.0f;
    const uint32_t s = add(1, Ogre::Vector3::ZERO, &radar);
    struct Case {
        float stealth;
        float distance;
        bool detected;
    } cases[] = {
        {50.0f, 300.0f, true},  {50.0f, 300.5f, false},  // 3 x RadarRange at equal stealth
        {150.0f, 50.0f, true},  {150.0f, 50.5f, false},  // 0.5 x RadarRange 100 above
        {40.0f, 1e6f, true},                             // below the resolution: anywhere
        {100.0f, 175.0f, true}, {100.0f, 176.0f, false},
        // Far above the resolution the range would go negative and grow again once squared.
        {250.0f, 0.5f, false},  {250.0f, 150.0f, false},
    };
    std::deque<goParams> defs;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stealth " << c.stealth << " at " << c.distance);
        defs.emplace_back("candidate");
        defs.back().RadarStealth = c.stealth;
        const uint32_t candidate = add(2, {0, 0, c.distance}, &defs.back());
        EXPECT_EQ(registry.canDetect(&s, candidate), c.detected);
        registry.remove(candidate);
    }
}

TEST_F(TargetRegistryTest, FindBestTakesTheNearestDetectableEnemyAtAnyRange)
{
    uint32_t slot = 99, best = 7;
    EXPECT_FALSE(registry.findBest(slot, &searcher, 1, Ogre::Vector3::ZERO, best));
    EXPECT_EQ(best, 0u);

    add(2, {0, 0, 5000});
    const uint32_t near = add(3, {0, 0, 300});
    add(1, {0, 0, 1});  // own team
    EXPECT_TRUE(registry.findBest(slot, &searcher, 1, Ogre::Vector3::ZERO, best));
    EXPECT_EQ(slot, near);
    EXPECT_EQ(best, 90000u);

    // Squared distances 5.29 and 5.0625 both store as 5: the lower slot stays.
    const uint32_t first = add(2, {2.3f, 0, 0});
    add(2, {2.25f, 0, 0});
    EXPECT_TRUE(registry.findBest(slot, &searcher, 1, Ogre::Vector3::ZERO, best));
    EXPECT_EQ(slot, first);
    EXPECT_EQ(best, 5u);

    // One within 1 unit is taken and kept, and the search says so.
    const uint32_t close = add(2, {0.5f, 0, 0});
    add(2, {0, 3, 0});
    EXPECT_TRUE(registry.findBest(slot, &searcher, 1, Ogre::Vector3::ZERO, best));
    EXPECT_EQ(slot, close);
    EXPECT_EQ(best, 0u);

    // A distance beyond 32 bits holds at the largest value.
    TargetRegistry far;
    goParams def("def");
    def.TgtStealthRes = 1000.0f;
    owners.emplace_back("t", "", "", "", 1, 3, 1, 100, false);
    const uint32_t s = far.add(scene->getRootSceneNode()->createChildSceneNode(), nullptr, &owners.back(), &def, 0, 0);
    owners.emplace_back("t", "", "", "", 1, 3, 2, 100, false);
    far.add(scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(1e6f, 0, 0)), nullptr, &owners.back(), &def, 0, 0);
    EXPECT_TRUE(far.findBest(slot, &s, 1, Ogre::Vector3::ZERO, best));
    EXPECT_EQ(best, UINT32_MAX);
}

}  // namespace

// Guns aim at the middle of a target's visible body, which for a vehicle standing on the floor
// lies above its node; a slot without a body in the scene is aimed at by its node.
TEST_F(TargetRegistryTest, TheAimPointIsTheMiddleOfTheVisibleBody)
{
    owners.emplace_back("t", "", "", "", 1, 3, 2, 100, false);
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(10, 0, 0));
    Ogre::Entity* body = scene->createEntity(Ogre::SceneManager::PT_CUBE);  // 100 units, centred
    node->createChildSceneNode(Ogre::Vector3(0, 50, 0))->attachObject(body);
    const uint32_t slot = registry.add(node, body, &owners.back(), &plainDef, 0, 0);
    EXPECT_EQ(registry.getPosition(slot), Ogre::Vector3(10, 0, 0));
    EXPECT_TRUE(registry.getAimPoint(slot).positionEquals(Ogre::Vector3(10, 50, 0), 1e-3f))
        << registry.getAimPoint(slot);

    body->detachFromParent();
    EXPECT_EQ(registry.getAimPoint(slot), Ogre::Vector3(10, 0, 0));
    const uint32_t bodiless = add(2, {3, 0, 4});
    EXPECT_EQ(registry.getAimPoint(bodiless), Ogre::Vector3(3, 0, 4));
    registry.remove(slot);
    EXPECT_EQ(registry.getAimPoint(slot), Ogre::Vector3::ZERO);
    scene->destroyEntity(body);
}
