// The game-object manager in a headless play over Town: slots and kinds, the player, the
// slow-time factor, and the bookkeeping of kills, departures and lost parts.
#include "GameObjectTestWorld.h"

#include "definitions/AirObjParams.h"
#include "definitions/DefinitionCache.h"
#include "definitions/DificultyData.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"
#include "world/AIManager.h"
#include "world/AirObject.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Ogre::Vector3;
constexpr float kDt = 1.0f / 60.0f;

// One mecha variable per event, each raised by 1 per event (Live by the seconds).
enum Var { SpawnVar, LiveVar, PlayerKillVar, EnemyKillVar, LeaveVar, VarCount };

class ObjectManager : public ::testing::Test, public gotest::ObjectWorld {
public:
    ObjectManager()
    {
        sceneContext().playerTeam = GameObjectManager::kPlayerTeam;
        objects = makeManager();
    }
    ~ObjectManager() override { objects.reset(); }

    std::unique_ptr<GameObjectManager> makeManager()
    {
        return std::make_unique<GameObjectManager>(&playData, scene, &sounds, &random, damage.get(), manager.get(),
                                                   pool.get(), &targets, &stats, &library, &context, &ai,
                                                   &difficulty, &sceneContext());
    }
    SceneContext& sceneContext() { return shottest::World::context; }

    // A mode table of `types` Ovni types, each with the event rows above and colour 7 + index.
    void useMechanics(uint32_t types)
    {
        playData.mechaVars.assign(VarCount, MechaVariable{});
        playData.ovniTypes.assign(types, OvniSpawnType{});
        for (uint32_t t = 0; t < types; ++t) {
            std::vector<OvniMechaEffects> rows(VarCount);
            rows[SpawnVar].Spawn = 1;
            rows[LiveVar].Live = 1;
            rows[PlayerKillVar].pKill = 1;
            rows[EnemyKillVar].eKill = 1;
            rows[LeaveVar].Leave = 1;
            playData.ovniTypes[t].rows = rows;
            playData.ovniTypes[t].colourIndex = 7 + t;
        }
    }
    float var(Var v) const { return playData.mechaVars[v].value; }

    goParams* def(const char* name, GameObjectKind kind)
    {
        goParams* d = library.getParams(name, kind);
        EXPECT_NE(d, nullptr) << name;
        return d;
    }
    GameObject* spawn(const char* name, GameObjectKind kind, const Vector3& at, uint32_t team = 2)
    {
        GameObject* o = objects->spawnByName(name, at, team, kind);
        EXPECT_NE(o, nullptr) << name;
        refresh();
        return o;
    }
    // A plain object (razor hull) of one hit point, the middle of its hull at the point.
    GameObject* fragile(const Vector3& at, uint32_t team)
    {
        GameObject* o = objects->spawn(bastionDef(), GameObjectKind::Plain, at, team);
        o->setPosition(at - o->getCollisionEntity()->getBoundingBox().getCenter());
        o->setHP(1.0f);
        refresh();
        return o;
    }
    goParams* bastionDef() { return def("bastion", GameObjectKind::GroundObject); }
    // The AI entries in use, and whose objects they drive.
    std::vector<const GameObject*> aiObjects() const
    {
        std::vector<const GameObject*> used;
        for (uint32_t i = 0; i < ai.getEntryCount(); ++i)
            if (!ai.getEntry(i).free)
                used.push_back(ai.getEntry(i).object);
        return used;
    }
    bool isFree(uint32_t slot) const { return objects->getObject(slot) == nullptr; }
    // Ticks the world until the slot is freed; false when it never is.
    bool runUntilFreed(uint32_t slot, int maxTicks = 180)
    {
        for (int i = 0; i < maxTicks && !isFree(slot); ++i) {
            manager->update(kDt);
            objects->updateAll(kDt);
            refresh();
        }
        return isFree(slot);
    }
    DamageEntry& entryOf(const GameObject& o) { return *damage->getEntry(o.getDamageSlot()); }

    GOParamsLibrary library{engine.root()};
    DificultyData difficulty;
    AIManager ai{damage.get(), &targets, &random, &difficulty, nullptr};
    std::unique_ptr<GameObjectManager> objects;
};

TEST_F(ObjectManager, EachKindMakesItsClassWithItsSlotAsId)
{
    struct Case {
        GameObjectKind kind;
        const char* definition;
        bool (*isClass)(GameObject*);
    };
    const Case cases[] = {
        {GameObjectKind::Plain, "bastion",
         [](GameObject* o) { return typeid(*o) == typeid(::GameObject) && o->getParams() == nullptr; }},
        {GameObjectKind::GroundObject, "bastion",
         [](GameObject* o) { return typeid(*o) == typeid(::GroundObject); }},
        {GameObjectKind::GroundVehicle, "marauder",
         [](GameObject* o) { return typeid(*o) == typeid(::GroundVehicle); }},
        {GameObjectKind::AirObject, "kestrel", [](GameObject* o) { return typeid(*o) == typeid(::AirObject); }},
        {GameObjectKind::Ovni, "wisp", [](GameObject* o) { return typeid(*o) == typeid(::Ovni); }},
    };
    uint32_t slot = 0;
    for (const Case& c : cases) {
        // The plain kind has no library kind: it is made from any definition.
        goParams* d = def(c.definition, c.kind == GameObjectKind::Plain ? GameObjectKind::GroundObject : c.kind);
        const Vector3 at(20.0f * slot - 40.0f, 3.0f, 30.0f);
        GameObject* o = objects->spawn(d, c.kind, at, 2);
        ASSERT_NE(o, nullptr) << static_cast<int>(c.kind);
        EXPECT_TRUE(c.isClass(o)) << static_cast<int>(c.kind);
        EXPECT_EQ(o->getObjectId(), slot);
        EXPECT_EQ(o->getData()->objectId, slot);
        EXPECT_EQ(objects->getObject(slot), o);
        // Placed where asked (ground and air kinds then settle vertically on their own).
        EXPECT_FLOAT_EQ(o->getWorldPosition().x, at.x);
        EXPECT_FLOAT_EQ(o->getWorldPosition().z, at.z);
        ++slot;
    }
    EXPECT_EQ(objects->getSpawnCount(), 5u);

    // Kind 6 makes nothing and keeps its slot free, though it counts as a spawn.
    EXPECT_EQ(objects->spawn(bastionDef(), static_cast<GameObjectKind>(6), Vector3::ZERO, 2), nullptr);
    EXPECT_EQ(objects->getSpawnCount(), 6u);
    EXPECT_TRUE(isFree(5));
    EXPECT_EQ(objects->liveCount(), 5u);
    // A definition of another kind's class makes nothing either.
    EXPECT_EQ(objects->spawn(def("wisp", GameObjectKind::Ovni), GameObjectKind::GroundVehicle, Vector3::ZERO, 2),
              nullptr);
    EXPECT_TRUE(isFree(5));
    EXPECT_EQ(objects->spawn(nullptr, GameObjectKind::GroundObject, Vector3::ZERO, 2), nullptr);

    // Blank and unknown names change nothing.
    const uint32_t spawned = objects->getSpawnCount();
    for (const char* name : {"", " ", "no_such_object"})
        EXPECT_EQ(objects->spawnByName(name, Vector3::ZERO, 2, GameObjectKind::GroundObject), nullptr) << name;
    EXPECT_EQ(objects->getSpawnCount(), spawned);
    EXPECT_EQ(objects->liveCount(), 5u);
    EXPECT_EQ(objects->getSlotCount(), GameObjectManager::kInitialSlots);
}

TEST_F(ObjectManager, TheFiftyFirstObjectGrowsTheSlotsAndFreedSlotsAreReused)
{
    for (uint32_t i = 0; i < 51; ++i) {
        GameObject* o = objects->spawn(bastionDef(), GameObjectKind::Plain, Vector3(2.0f * i, 0, -300), 2);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->getObjectId(), i);
    }
    EXPECT_EQ(objects->getSlotCount(), 76u);
    EXPECT_NE(objects->getObject(50), nullptr);
    objects->remove(10);
    EXPECT_TRUE(isFree(10));
    EXPECT_EQ(objects->spawn(bastionDef(), GameObjectKind::Plain, Vector3::ZERO, 2)->getObjectId(), 10u);
    EXPECT_EQ(objects->liveCount(), 51u);
    objects->destroyAll();
    EXPECT_EQ(objects->liveCount(), 0u);
}

TEST_F(ObjectManager, SpawnBooksTheRowOnlyForAMadeObject)
{
    useMechanics(1);
    goParams* d = bastionDef();
    d->mechanicsRow = 1;
    EXPECT_EQ(objects->spawn(d, static_cast<GameObjectKind>(6), Vector3::ZERO, 2), nullptr);
    EXPECT_FLOAT_EQ(var(SpawnVar), 0.0f);
    ASSERT_NE(objects->spawn(d, GameObjectKind::GroundObject, Vector3(0, 0, 40), 2), nullptr);
    EXPECT_FLOAT_EQ(var(SpawnVar), 1.0f);
    EXPECT_EQ(objects->countInSpawnGroup(1), 1);
    EXPECT_EQ(objects->countInSpawnGroup(2), 0);
}

TEST_F(ObjectManager, ThePlayerIsTheAbramsInTheFirstFreeSlot)
{
    spawn("bastion", GameObjectKind::GroundObject, Vector3(40, 0, 40));
    GameObject* player = objects->spawnPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(typeid(*player), typeid(::GroundVehicle));
    EXPECT_EQ(player->getParams()->getName(), "abrams");
    EXPECT_EQ(player->getObjectId(), 1u);
    EXPECT_EQ(objects->getPlayerSlot(), 1u);
    EXPECT_EQ(objects->getPlayer(), player);
    EXPECT_EQ(player->getData()->team, 1u);
    EXPECT_FLOAT_EQ(player->getWorldPosition().x, 0.0f);
    EXPECT_FLOAT_EQ(player->getWorldPosition().z, 0.0f);
}

TEST_F(ObjectManager, WithoutTheAbramsNoPlayerIsMadeAndNoSlotTaken)
{
    const std::string cache = definitionCachePath(definition_families::GameObject, "abrams");
    std::filesystem::rename(cache, cache + ".away");
    EXPECT_EQ(objects->spawnPlayer(), nullptr);
    std::filesystem::rename(cache + ".away", cache);
    EXPECT_EQ(objects->getPlayer(), nullptr);
    EXPECT_EQ(objects->getPlayerSlot(), 0u);
    EXPECT_EQ(objects->liveCount(), 0u);
    EXPECT_EQ(objects->findFreeSlot(), 0u);
    // Ticking an empty play is harmless.
    objects->updateAll(kDt);
}

TEST_F(ObjectManager, TheSlowTimeBubbleScalesObjectsInsideItButNotItsOwner)
{
    useMechanics(1);
    goParams* d = bastionDef();
    d->mechanicsRow = 1;
    GameObject* o = spawn("bastion", GameObjectKind::GroundObject, Vector3(60, 0, 60));
    Ogre::SceneNode* centre = scene->getRootSceneNode()->createChildSceneNode();
    SlowTimeBubble& bubble = playData.bubble;
    bubble.ownerNode = centre;
    bubble.radius = 5.0f;
    bubble.scale = 2.0f;  // radius 10
    bubble.timeFactor = 0.25f;
    struct Case {
        const char* what;
        bool active;
        int32_t ownerKey;
        float distance;
        float factor;
    };
    const int32_t self = static_cast<int32_t>(o->getObjectId());
    const Case cases[] = {
        {"inside", true, 40, 9.9f, 0.25f},
        {"on the edge", true, 40, 10.0f, 0.25f},
        {"the owner inside", true, self, 1.0f, 1.0f},
        {"outside", true, 40, 10.2f, 1.0f},
        {"bubble off", false, 40, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        bubble.active = c.active ? 1 : 0;
        bubble.ownerKey = c.ownerKey;
        centre->setPosition(o->getWorldPosition() + Vector3(c.distance, 0, 0));
        const float before = var(LiveVar);
        objects->updateAll(0.1f);
        EXPECT_NEAR(var(LiveVar) - before, 0.1f * c.factor, 1e-6f) << c.what;
        EXPECT_FLOAT_EQ(objects->getTimeFactor(), 1.0f) << c.what;
    }
    bubble = SlowTimeBubble{};
}

TEST_F(ObjectManager, CountsAirObjectsAndKeepsOneAIEntryPerObject)
{
    GameObject* wisp = spawn("wisp", GameObjectKind::Ovni, Vector3(-30, 0, 30));
    spawn("kestrel", GameObjectKind::AirObject, Vector3(30, 0, 30));
    spawn("bastion", GameObjectKind::GroundObject, Vector3(40, 0, 40));
    GameObject* marauder = spawn("marauder", GameObjectKind::GroundVehicle, Vector3(-40, 2, -40));
    EXPECT_EQ(objects->countOvnis(), 2);

    objects->attachAI(wisp);
    objects->attachAI(wisp);
    objects->attachAI(marauder);
    EXPECT_EQ(aiObjects(), (std::vector<const GameObject*>{wisp, marauder}));
    // An object the manager does not hold gets nothing.
    ::GameObject stranger(handles, "razor.mesh", "", 90, 2, "", "", 10);
    objects->attachAI(&stranger);
    EXPECT_EQ(aiObjects().size(), 2u);
    objects->remove(wisp->getObjectId());
    EXPECT_EQ(aiObjects(), (std::vector<const GameObject*>{marauder}));
    EXPECT_EQ(objects->countOvnis(), 1);
    objects->destroyAll();
    EXPECT_TRUE(aiObjects().empty());
}

// ---- kills ----

class KillBookkeeping : public ObjectManager {};

TEST_F(KillBookkeeping, DeparturesKillsAndWhoMadeThem)
{
    useMechanics(1);
    GameObject* player = objects->spawnPlayer();
    ASSERT_NE(player, nullptr);
    const int32_t playerId = static_cast<int32_t>(player->getObjectId());
    GameObject* ally = fragile(Vector3(-60, 0, -60), 2);
    GameObject* foe = fragile(Vector3(-70, 0, -60), 3);
    const int32_t allyId = static_cast<int32_t>(ally->getObjectId());
    const int32_t foeId = static_cast<int32_t>(foe->getObjectId());

    struct Expect {
        uint32_t leaves, playerKills, otherKills;
        float leaveVar, playerKillVar, enemyKillVar;
        uint8_t killReported;
        uint32_t colour;
        uint32_t bulletKills, missileKills, groundKills, airKills;
    };
    struct Case {
        const char* what;
        bool air;          // the victim: a wisp (air) or a bastion (ground)
        uint32_t row;      // its mechanics row
        bool retreating;   // alive with a retreat time
        uint32_t victimTeam;
        int32_t attacker;
        uint32_t hitType;
        Expect expect;
    };
    const Case cases[] = {
        {"departure", false, 1, true, 2, playerId, 1, {1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"player bullet on ground", false, 1, false, 2, playerId, 1, {0, 1, 0, 0, 1, 0, 1, 7, 1, 0, 1, 0}},
        {"player missile on ground", false, 1, false, 2, playerId, 3, {0, 1, 0, 0, 1, 0, 1, 7, 0, 1, 1, 0}},
        {"player bullet on air", true, 1, false, 2, playerId, 1, {0, 1, 0, 0, 1, 0, 1, 7, 1, 0, 0, 1}},
        {"player missile on air", true, 1, false, 2, playerId, 2, {0, 1, 0, 0, 1, 0, 1, 7, 0, 1, 0, 1}},
        {"same team", false, 1, false, 2, allyId, 1, {0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0}},
        {"same team as the player's", false, 1, false, 1, playerId + 100, 1, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {"other team", false, 1, false, 2, foeId, 1, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {"no attacker", false, 1, false, 2, -1, 1, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {"attacker past the slots", false, 1, false, 2, 500, 1, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {"row 0", false, 0, false, 2, playerId, 1, {0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0}},
        {"row beyond the table", false, 4, false, 2, playerId, 1, {0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        useMechanics(1);
        stats.clear();
        playData.killReported = 0;
        playData.killColour = 0;
        goParams* d = c.air ? def("wisp", GameObjectKind::Ovni) : bastionDef();
        d->mechanicsRow = c.row;
        d->RetreatTime = c.retreating ? 30.0f : 0.0f;
        GameObject* victim = objects->spawnByName(c.air ? "wisp" : "bastion", Vector3(50, 0, -50), c.victimTeam,
                                                  c.air ? GameObjectKind::Ovni : GameObjectKind::GroundObject);
        ASSERT_NE(victim, nullptr) << c.what;
        // The ally of the player's team case is another team-1 object.
        int32_t attacker = c.attacker;
        GameObject* teamMate = nullptr;
        if (attacker == playerId + 100) {
            teamMate = fragile(Vector3(-80, 0, -60), 1);
            attacker = static_cast<int32_t>(teamMate->getObjectId());
        }
        DamageEntry& entry = entryOf(*victim);
        entry.lastAttackerId = attacker;
        entry.lastHitType = c.hitType;
        const uint32_t slot = victim->getObjectId();
        objects->onObjectDestroyed(slot);
        objects->remove(slot);
        if (teamMate)
            objects->remove(teamMate->getObjectId());

        const Expect& e = c.expect;
        const OvniSpawnType& type = playData.ovniTypes[0];
        EXPECT_EQ(type.leaves, e.leaves) << c.what;
        EXPECT_EQ(type.playerKills, e.playerKills) << c.what;
        EXPECT_EQ(type.otherKills, e.otherKills) << c.what;
        EXPECT_FLOAT_EQ(var(LeaveVar), e.leaveVar) << c.what;
        EXPECT_FLOAT_EQ(var(PlayerKillVar), e.playerKillVar) << c.what;
        EXPECT_FLOAT_EQ(var(EnemyKillVar), e.enemyKillVar) << c.what;
        EXPECT_EQ(playData.killReported, e.killReported) << c.what;
        EXPECT_EQ(playData.killColour, e.colour) << c.what;
        EXPECT_EQ(stats.bulletKills, e.bulletKills) << c.what;
        EXPECT_EQ(stats.missileKills, e.missileKills) << c.what;
        EXPECT_EQ(stats.groundKills, e.groundKills) << c.what;
        EXPECT_EQ(stats.airKills, e.airKills) << c.what;
    }
}

// The player spawned after a bastion, whose parts take damage slots: the player's damage slot is
// not its id, yet its weapons' shots are booked to it.
class PlayerAfterBastion : public ObjectManager {
public:
    PlayerAfterBastion()
    {
        bastion = spawn("bastion", GameObjectKind::GroundObject, Vector3(60, 0, -60));
        player = dynamic_cast<GroundVehicle*>(objects->spawnPlayer());
        refresh();
    }

    // A fragile target 12 units ahead of the muzzle, then one shot; true when the target died.
    bool shootDown(GroundWeapon& weapon, uint32_t targetTeam)
    {
        Ogre::SceneNode* muzzle = weapon.getMuzzleNode();
        const Vector3 at = muzzle->_getDerivedPosition() + muzzle->_getDerivedOrientation() * Vector3(0, 0, -12);
        GameObject* target = fragile(at, targetTeam);
        weapon.setAmmo(1);
        weapon.tick(kDt, 0.0f, true, false, 0);
        return runUntilFreed(target->getObjectId());
    }
    uint32_t kills() const { return stats.bulletKills + stats.missileKills; }

    GameObject* bastion = nullptr;
    GroundVehicle* player = nullptr;
};

TEST_F(PlayerAfterBastion, ShotsOfBothPlayerWeaponsAreThePlayersKills)
{
    ASSERT_NE(player, nullptr);
    ASSERT_NE(player->getDamageSlot(), player->getObjectId());
    const int32_t id = static_cast<int32_t>(player->getObjectId());
    ASSERT_NE(player->getMainWeapon(), nullptr);
    EXPECT_EQ(player->getMainWeapon()->getOwnerSlot(), id);
    ASSERT_TRUE(shootDown(*player->getMainWeapon(), 2));
    EXPECT_EQ(kills(), 1u);
    EXPECT_EQ(playData.killReported, 1);

    player->giveWeapon("WeapTwinCannon");
    ASSERT_NE(player->getPickUpWeapon(), nullptr);
    EXPECT_EQ(player->getPickUpWeapon()->getOwnerSlot(), id);
    ASSERT_TRUE(shootDown(*player->getPickUpWeapon(), 2));
    EXPECT_EQ(kills(), 2u);
    EXPECT_EQ(entryOf(*player).damageTaken, 0.0f);
}

TEST_F(PlayerAfterBastion, AnEnemyShotIsNeverThePlayers)
{
    ASSERT_NE(player, nullptr);
    GameObject* enemy = fragile(Vector3(-60, 0, 60), 2);
    std::unique_ptr<GroundWeapon> gun(makeGroundWeapon(&context, "abrams_cannon", enemy->getMainNode(), 0,
                                                       static_cast<int32_t>(enemy->getObjectId()), 2,
                                                       Vector3::ZERO, Vector3::ZERO));
    ASSERT_TRUE(shootDown(*gun, 3));
    EXPECT_EQ(kills(), 0u);
    EXPECT_EQ(playData.killReported, 1);
}

TEST_F(PlayerAfterBastion, ItsOwnShotsPassItsBody)
{
    ASSERT_NE(player, nullptr);
    // On the open road south of the fountain at the origin, whose blocker would stop the round.
    player->setPosition(Vector3(0, 2, 40));
    refresh();
    // A bullet (9 units a tick) flying along -z from behind the hull: after its first step it is
    // one unit short of the hull, which its ray then meets, then a target beyond.
    const Ogre::AxisAlignedBox hull = player->getCollisionEntity()->getWorldBoundingBox(true);
    const Vector3 middle = hull.getCenter();
    GameObject* target = fragile(Vector3(middle.x, middle.y, hull.getMinimum().z - 12), 2);
    projParams* bullet = projectileDefs.getParams("proj_bullet", ProjectileKind_Bullet);
    WarHeadParams* warhead = warheadDefs.getParams("wh_bullet");
    ASSERT_NE(bullet, nullptr);
    ASSERT_FLOAT_EQ(bullet->Speed, 9.0f);
    manager->spawn(1, ProjectileKind_Bullet, Vector3(middle.x, middle.y, hull.getMaximum().z + 10),
                   Ogre::Quaternion::IDENTITY, 0, 0, player->getObjectId(), 50, bullet, warhead, nullptr, 0, nullptr);
    ASSERT_TRUE(runUntilFreed(target->getObjectId()));
    EXPECT_EQ(entryOf(*player).damageTaken, 0.0f);
    EXPECT_EQ(kills(), 1u);
}

TEST_F(PlayerAfterBastion, APartShotOffByThePlayerIsOneKillAndThePlayersPartsStay)
{
    ASSERT_NE(player, nullptr);
    GO_subObj* part = bastion->getSubObject(0);
    ASSERT_NE(part, nullptr);
    damage->addDamage(part->getDamageSlot(), 1e6f, 3, static_cast<int32_t>(player->getObjectId()));
    objects->updateAll(kDt);
    EXPECT_EQ(bastion->getSubObject(0), nullptr);
    EXPECT_NE(objects->getObject(bastion->getObjectId()), nullptr);  // a part that is not critical
    EXPECT_EQ(stats.missileKills, 1u);
    EXPECT_EQ(stats.groundKills, 1u);
    objects->updateAll(kDt);
    EXPECT_EQ(stats.missileKills, 1u);
}

TEST_F(ObjectManager, ThePlayersPartsAreNeverShotOff)
{
    // An abrams carrying one of the bastion's parts.
    goParams* abrams = def("abrams", GameObjectKind::GroundVehicle);
    abrams->subObjs.push_back(bastionDef()->subObjs[0]);
    GameObject* player = objects->spawnPlayer();
    refresh();
    ASSERT_NE(player, nullptr);
    GO_subObj* part = player->getSubObject(0);
    ASSERT_NE(part, nullptr);
    damage->addDamage(part->getDamageSlot(), 1e6f, 1, 5);
    objects->updateAll(kDt);
    EXPECT_EQ(player->getSubObject(0), part);
    EXPECT_EQ(stats.bulletKills, 0u);
}

}  // namespace

namespace {

// Definitions whose mesh names point nowhere (as a damaged cache can have them): without its body
// or collision mesh nothing is spawned; without a part's mesh the object goes on without that
// part. Each refusal is one line in the log, and the play goes on.
TEST_F(ObjectManager, MeshNamesThatPointNowhereCostThePartOrTheSpawnNotThePlay)
{
    fxtest::LogLines log;
    Ogre::LogManager::getSingleton().getDefaultLog()->addListener(&log);
    auto* shipped = dynamic_cast<GroundVehiParams*>(library.getParams("abrams", GameObjectKind::GroundVehicle));
    ASSERT_NE(shipped, nullptr);
    ASSERT_TRUE(shipped->hasTurret);
    ASSERT_GT(shipped->getNumTreads(), 0u);

    for (std::string GroundVehiParams::*mesh : {&GroundVehiParams::meshName, &GroundVehiParams::collisionMeshName}) {
        GroundVehiParams def = *shipped;
        def.*mesh = "nowhere.mesh";
        log.lines.clear();
        EXPECT_EQ(objects->spawn(&def, GameObjectKind::GroundVehicle, Vector3(0, 2, 0), 2), nullptr);
        EXPECT_EQ(log.countContaining("'nowhere.mesh'"), 1u);
        for (const GameObjectManager::Slot& slot : objects->slots())
            EXPECT_TRUE(slot.free);
    }

    GroundVehiParams partsGone = *shipped;
    partsGone.TurretMesh = "nowhere_turret.mesh";
    partsGone.Treads[0].Mesh = "nowhere_tread.mesh";
    log.lines.clear();
    auto* vehicle = dynamic_cast<GroundVehicle*>(
        objects->spawn(&partsGone, GameObjectKind::GroundVehicle, Vector3(0, 2, 0), 2));
    ASSERT_NE(vehicle, nullptr);
    EXPECT_EQ(vehicle->getTurretEntity(), nullptr);
    EXPECT_EQ(vehicle->getTreads()[0].entity, nullptr);
    EXPECT_EQ(log.countContaining("'nowhere_turret.mesh'"), 1u);
    EXPECT_EQ(log.countContaining("'nowhere_tread.mesh'"), 1u);

    GroundObjParams partless = bastion;
    ASSERT_FALSE(partless.subObjs.empty());
    partless.subObjs[0].MeshName = "nowhere_part.mesh";
    partless.subObjs[0].isColObj = true;
    partless.subObjs[0].CollName = "nowhere_part_col.mesh";
    GameObject* tower = objects->spawn(&partless, GameObjectKind::GroundObject, gotest::kGroundCentre, 2);
    ASSERT_NE(tower, nullptr);
    GO_subObj* part = tower->getSubObject(0);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->getEntity(), nullptr);
    EXPECT_EQ(part->getCollisionEntity(), nullptr);
    EXPECT_FALSE(part->hasDamageBody());
    EXPECT_FALSE(part->isTarget());

    // A few seconds of play with both objects as they are.
    for (int i = 0; i < 120; ++i) {
        vehicle->setTrigger(true);
        objects->updateAll(kDt);
        refresh();
    }
    EXPECT_TRUE(tower->getSubObject(0) == part);  // nothing else's damage reached the part
    // The objects point at the definitions above: they go first.
    objects->destroyAll();
    Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(&log);
}

}  // namespace
