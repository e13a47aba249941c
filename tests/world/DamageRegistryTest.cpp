// The damage registry: slots, direct hits and area damage, on a headless engine.
#include "world/DamageRegistry.h"

#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "world/GameObjectData.h"
#include "support/TestSupport.h"
#include "RayFixtures.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <deque>

using testsupport::HeadlessOgre;

namespace {

class DamageRegistryTest : public ::testing::Test {
protected:
    DamageRegistryTest()
        : context(nullptr), scene(engine.root()->createSceneManager()),
          registry(std::make_unique<DamageRegistry>(&playData, scene, nullptr, nullptr, &context, nullptr))
    {
        rayfixture::makeSquare("damage_body", 1.0f);
        context.playerObjectId = 3;
    }
    ~DamageRegistryTest() override { registry.reset(); }

    // A body of its own with an owner of that id and team, at a world position.
    uint32_t addBody(uint32_t ownerId, uint32_t team, const Ogre::Vector3& position,
                     Ogre::SceneNode* parent = nullptr)
    {
        owners.emplace_back("o", "", "", "", 1, 3, team, 100, false);
        owners.back().objectId = ownerId;
        Ogre::SceneNode* node = (parent ? parent : scene->getRootSceneNode())->createChildSceneNode(position);
        Ogre::Entity* entity = scene->createEntity("damage_body");
        node->attachObject(entity);
        return registry->add(entity, &owners.back(), 3, 1, team, ownerId, 0, 0);
    }
    float damage(uint32_t slot) const { return registry->getEntry(slot)->damageTaken; }

    HeadlessOgre engine;
    GamePlayData playData;
    SceneContext context;
    Ogre::SceneManager* scene;
    std::unique_ptr<DamageRegistry> registry;
    std::deque<GameObjectData> owners;
};

TEST_F(DamageRegistryTest, GrowsFromNothingAndReusesReleasedSlots)
{
    EXPECT_EQ(registry->getNumEntries(), 0u);
    const uint32_t expectedLength[] = {1, 2, 4, 4, 7, 7, 7, 11};
    for (uint32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(addBody(10 + i, 2, Ogre::Vector3::ZERO), i);
        EXPECT_EQ(registry->getNumEntries(), expectedLength[i]);
    }
    const DamageEntry& e = *registry->getEntry(1);
    EXPECT_EQ(e.entity->getQueryFlags(), 1u);
    EXPECT_EQ(e.ownerId, 11u);
    EXPECT_EQ(e.collidable, 1);
    EXPECT_EQ(e.flags[2], 1);
    EXPECT_EQ(e.flags[4], 1);

    registry->addDamage(1, 40.0f, 2, 9);
    registry->remove(1);
    EXPECT_EQ(registry->getOwnerData(1), nullptr);
    EXPECT_EQ(registry->getEntry(1)->free, 1);
    EXPECT_EQ(registry->getEntry(1)->lastAttackerId, -1);
    EXPECT_EQ(damage(1), 40.0f);  // kept until the slot is reused

    EXPECT_EQ(addBody(30, 2, Ogre::Vector3::ZERO), 1u);
    EXPECT_EQ(damage(1), 0.0f);
    EXPECT_EQ(registry->getNumEntries(), 11u);
}

TEST_F(DamageRegistryTest, DirectHits)
{
    struct Case {
        const char* what;
        uint32_t ownerId;
        bool noDamage;
        int32_t attacker;
        float expectedDamage;
        uint8_t expectedFlag;
        int32_t expectedAttacker;
    } cases[] = {
        {"player's own shot", 3, false, 3, 5.0f, 1, 3},
        {"enemy shot at the player", 3, false, 7, 10.0f, 1, 7},
        {"enemy hit", 4, false, 3, 10.0f, 0, 3},
        {"no-damage owner", 4, true, 3, 0.0f, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        playData.playerHit = 0;
        const uint32_t slot = addBody(c.ownerId, 2, Ogre::Vector3::ZERO);
        owners.back().noDamage = c.noDamage;
        registry->addDamage(slot, 10.0f, 6, c.attacker);
        EXPECT_EQ(damage(slot), c.expectedDamage);
        EXPECT_EQ(playData.playerHit, c.expectedFlag);
        EXPECT_EQ(registry->getEntry(slot)->lastAttackerId, c.expectedAttacker);
        EXPECT_EQ(registry->getEntry(slot)->lastHitType, c.noDamage ? 0u : 6u);
    }

    // Free and unknown slots take nothing and crash nothing.
    const uint32_t slot = addBody(3, 2, Ogre::Vector3::ZERO);
    registry->remove(slot);
    playData.playerHit = 0;
    registry->addDamage(slot, 10.0f, 6, 7);
    registry->addDamage(1000, 10.0f, 6, 7);
    EXPECT_EQ(damage(slot), 0.0f);
    EXPECT_EQ(playData.playerHit, 0);
    EXPECT_EQ(registry->getOwnerData(1000), nullptr);
}

TEST_F(DamageRegistryTest, AreaDamageFadesWithSquaredDistanceStrictlyInsideTheRadius)
{
    const uint32_t centre = addBody(10, 2, {0, 0, 0});
    const uint32_t half = addBody(11, 2, {0, 5, 0});   // d2 = 25 of 100
    const uint32_t edge = addBody(12, 2, {10, 0, 0});  // d2 = R2
    const int32_t attackerTeam = 1;
    registry->applyAreaDamage(Ogre::Vector3::ZERO, 10.0f, 100.0f, 4, &attackerTeam, true, false, 7);
    EXPECT_FLOAT_EQ(damage(centre), 100.0f);
    EXPECT_FLOAT_EQ(damage(half), 75.0f);
    EXPECT_EQ(damage(edge), 0.0f);
    EXPECT_EQ(registry->getEntry(centre)->lastAttackerId, 7);
    EXPECT_EQ(registry->getEntry(centre)->lastHitType, 4u);

    registry->applyAreaDamage(Ogre::Vector3::ZERO, 10.0f, 100.0f, 4, &attackerTeam, false, false, 7);
    EXPECT_FLOAT_EQ(damage(half), 175.0f);  // no fade: the full damage anywhere inside

    registry->applyAreaDamage(Ogre::Vector3::ZERO, 0.9f, 100.0f, 4, &attackerTeam, false, false, 7);
    EXPECT_FLOAT_EQ(damage(centre), 200.0f);  // R2 truncates to 0: nothing

    // A radius whose square is beyond 32 bits holds at the largest value instead of wrapping.
    registry->applyAreaDamage(Ogre::Vector3::ZERO, 1e6f, 1.0f, 4, &attackerTeam, false, false, 7);
    EXPECT_FLOAT_EQ(damage(edge), 1.0f);
}

TEST_F(DamageRegistryTest, AreaDamageSparesTheAttackersTeamUnlessFriendlyFire)
{
    const uint32_t attacker = addBody(5, 1, {1, 0, 0});
    const uint32_t friendBody = addBody(6, 1, {0, 1, 0});
    const uint32_t enemy = addBody(7, 4, {0, 0, 1});
    // Ground vehicles register with team 2 whatever their owner's team: the owner's team counts.
    owners.emplace_back("o", "", "", "", 1, 3, 4, 100, false);
    owners.back().objectId = 8;
    Ogre::Entity* entity = scene->createEntity("damage_body");
    scene->getRootSceneNode()->createChildSceneNode()->attachObject(entity);
    const uint32_t registeredAsOwnTeam = registry->add(entity, &owners.back(), 3, 1, 1, 8, 0, 0);

    const int32_t team = 1;
    registry->applyAreaDamage(Ogre::Vector3::ZERO, 5.0f, 10.0f, 3, &team, false, false, 5);
    EXPECT_EQ(damage(attacker), 0.0f);
    EXPECT_EQ(damage(friendBody), 0.0f);
    EXPECT_EQ(damage(enemy), 10.0f);
    EXPECT_EQ(damage(registeredAsOwnTeam), 10.0f);

    registry->applyAreaDamage(Ogre::Vector3::ZERO, 5.0f, 10.0f, 3, &team, false, true, 5);
    EXPECT_EQ(damage(attacker), 10.0f);
    EXPECT_EQ(damage(friendBody), 10.0f);
    EXPECT_EQ(damage(enemy), 20.0f);
}

TEST_F(DamageRegistryTest, AreaDamageMeasuresAPartFromItsWorldPosition)
{
    Ogre::SceneNode* vehicle = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(100, 0, 0));
    const uint32_t part = addBody(10, 2, {0, 2, 0}, vehicle);  // world (100, 2, 0)
    const int32_t team = 1;
    registry->applyAreaDamage(Ogre::Vector3::ZERO, 5.0f, 10.0f, 3, &team, false, false, 5);
    EXPECT_EQ(damage(part), 0.0f);
    registry->applyAreaDamage({100, 0, 0}, 5.0f, 10.0f, 3, &team, false, false, 5);
    EXPECT_EQ(damage(part), 10.0f);
}

TEST_F(DamageRegistryTest, FindByEntitySkipsTheExcludedAndUnusedSlots)
{
    const uint32_t a = addBody(10, 2, Ogre::Vector3::ZERO);
    Ogre::Entity* entity = registry->getEntry(a)->entity;
    uint32_t slot = 99;
    EXPECT_TRUE(registry->findByEntity(entity, 1000, slot));
    EXPECT_EQ(slot, a);
    EXPECT_FALSE(registry->findByEntity(entity, a, slot));
    EXPECT_EQ(slot, 0u);
    registry->remove(a);
    EXPECT_FALSE(registry->findByEntity(entity, 1000, slot));
}

}  // namespace
