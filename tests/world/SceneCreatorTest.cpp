// The scene builder on a headless engine, with the game's own meshes from the game tree.
#include "world/SceneCreator.h"

#include "core/BinaryIO.h"
#include "core/GameSettings.h"
#include "core/RandomGenerator.h"
#include "definitions/FxParamsLibrary.h"
#include "world/FxPool.h"
#include "world/VirtualReactor.h"
#include "core/SceneContext.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include <filesystem>

using namespace testsupport;

namespace {

const char* kFixtureMap = R"(
[scene]
nSNodes = 4
ShadowColour = 0.5 0.5 0.5 1
AmbientLight = 0.4 0.4 0.4 1
TypeBG = 7
BGmaterial = ignored
NoFog = false
FogFadeColour = 0.7 0.8 0.9 1
FogStart = 100
FogEnd = 0
hasSun = true
Sun_position = 0 100 0
Sun_DiffuseColour = 1 1 1 1
Sun_SpecularColour = 0 0 0 1
Sun_CastShadows = true
StaticGeom = 1

[sn_1]
sn_name = House
sn_Pos = 10 2 -30
usa_eixos_3dMax = true
sn_Yaw = 90
sn_nMeshes = 2
sn_nReacts = 1
snMesh_Vis_1 = true
snMesh_Me_1 = town_house_a.mesh
snMesh_Na_1 = HouseEntity
snMesh_UseCustomMat_1 = true
snMesh_CustomMatName_1 = None
snMesh_Vis_2 = false
snMesh_dntShadow_2 = true
snMesh_Me_2 = no_such_mesh.mesh
snMesh_Na_2 = Missing
snReact_Name_1 = "smoke_trail"

[sn_2]
sn_name = Empty
sn_Pos = 1 2 3
sn_Scale = 0 0 0

[sn_3]
sn_name = Tree
sn_IsSubNode = true
sn_ParentSn_name = House
sn_Pos = 0 5 0
sn_Scale = 2 2 2
sn_nMeshes = 1
snMesh_Vis_1 = true
snMesh_Me_1 = town_tree.mesh
snMesh_Na_1 = TreeEntity

[sn_4]
sn_name = Tilted
sn_Pitch = 30
sn_Roll = 10

[static_0]
Static_name = Lamps
Static_RegionDimensions = 100 50 100
Static_CastShadows = false
Static_setRenderingDistance = 500
Static_Visible = true
Static_Mesh = town_lamp.mesh
Static_Mesh_Name = LampTemplate
Static_nMeshes = 2
stMesh_pos_1 = 5 0 5
stMesh_yaw_1 = 90
stMesh_scale_1 = 1 1 1
stMesh_pos_2 = -5 0 5
stMesh_yaw_2 = 0
stMesh_scale_2 = 2 2 2

[Colisions]
MovBlockMesh = town_col_block.mesh
ProjBlockMesh = no
MovFloor1Mesh = town_col_floor.mesh
ProjFloorMesh = town_col_floor.mesh
FloorReac2 = Dust
)";

class SceneBuilder : public ::testing::Test {
protected:
    SceneBuilder() : tree({"Data/Meshes", "Data/System"}), cwd(tree.workDir()), context(nullptr)
    {
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        // One group for meshes and materials, as in the game.
        groups.addResourceLocation(tree.path("Data/Meshes"), "FileSystem", Ogre::RGN_DEFAULT);
        groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
        std::filesystem::create_directories(tree.path("Data/Scenes/Fixture"));
        writeTextFile(tree.path("Data/Scenes/Fixture/map.ini"), kFixtureMap);
        scene = engine.root()->createSceneManager();
        // The mesh names its materials; the engine keeps the names only for materials it knows.
        for (const char* m : {"VT/Bricks", "VT/Planks", "VT/Roof"})
            Ogre::MaterialManager::getSingleton().create(m, Ogre::RGN_DEFAULT);
    }

    // Each creator needs its own scene: names like "BreaCam" and "SunLight_SC" are fixed.
    std::unique_ptr<SceneCreator> make(const std::string& map = "", Ogre::SceneManager* in = nullptr)
    {
        return std::make_unique<SceneCreator>(nullptr, in ? in : scene, nullptr, nullptr, &settings, map, &context,
                                              nullptr);
    }

    HeadlessOgre engine;
    TempGameTree tree;
    ScopedWorkDir cwd;
    GameSettings settings;
    SceneContext context;
    Ogre::SceneManager* scene = nullptr;
};

const SceneNodeRecord& record(const SceneCreator& c, const std::string& name)
{
    for (const SceneNodeRecord& r : c.nodeRecords())
        if (r.name == name)
            return r;
    throw std::runtime_error("no record " + name);
}

}  // namespace

TEST_F(SceneBuilder, BuildsTheAuthoredMap)
{
    auto creator = make();
    creator->parseMapIni("Fixture");
    ASSERT_EQ(creator->nodeRecords().size(), 4u);

    const SceneNodeRecord& house = record(*creator, "House");
    EXPECT_EQ(house.node->getPosition(), Ogre::Vector3(10, -30, -2));  // Z-up converted
    EXPECT_TRUE(house.node->getOrientation().equals(
        Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y), Ogre::Degree(0.1f)));
    ASSERT_NE(house.meshes[0].entity, nullptr);
    // "None" keeps the mesh's own material.
    EXPECT_EQ(house.meshes[0].entity->getSubEntity(0)->getMaterialName(), "VT/Bricks");
    // A missing mesh leaves its slot empty and the map goes on loading.
    EXPECT_EQ(house.meshes[1].entity, nullptr);
    EXPECT_EQ(house.reactors[0].reactorName, "smoke_trail");

    const SceneNodeRecord& empty = record(*creator, "Empty");
    EXPECT_EQ(empty.node->getScale(), Ogre::Vector3::UNIT_SCALE);
    EXPECT_TRUE(empty.meshes.empty());

    const SceneNodeRecord& tree = record(*creator, "Tree");
    EXPECT_EQ(tree.attachedToParent, 1);
    EXPECT_EQ(tree.node->getParentSceneNode(), house.node);

    EXPECT_EQ(scene->getFogEnd(), 30000.0f);
    EXPECT_EQ(creator->typeBG(), 7u);
    EXPECT_EQ(creator->bgMaterial(), "");  // no sky kind: its material is not read
    ASSERT_EQ(creator->staticRecords().size(), 1u);
    EXPECT_EQ(creator->staticRecords()[0].instances.size(), 2u);

    // The blocker named "no" (3 characters) is not built from the authored map.
    EXPECT_NE(context.movementBlocker, nullptr);
    EXPECT_EQ(context.projectileBlocker, nullptr);
    EXPECT_NE(context.moveFloors[0], nullptr);
    EXPECT_EQ(context.moveFloors[1], nullptr);
    EXPECT_NE(context.projectileFloor, nullptr);
    EXPECT_EQ(context.floorReactorNames[1], "Dust");
    EXPECT_EQ(creator->moveFloor(0), context.moveFloors[0]);
}

TEST_F(SceneBuilder, CacheRoundTripRebuildsTheSameScene)
{
    {
        auto writer = make();
        writer->parseMapIni("Fixture");
        ASSERT_TRUE(writer->writeCache("Fixture"));
    }
    auto source = make();
    source->parseMapIni("Fixture");
    Ogre::SceneManager* second = engine.root()->createSceneManager();
    auto cached = make("Fixture", second);  // the constructor reads the cache
    EXPECT_EQ(cached->currentMap(), "Fixture");
    ASSERT_EQ(cached->nodeRecords().size(), source->nodeRecords().size());
    for (size_t i = 0; i < source->nodeRecords().size(); ++i) {
        const SceneNodeRecord& a = source->nodeRecords()[i];
        const SceneNodeRecord& b = cached->nodeRecords()[i];
        EXPECT_EQ(a.name, b.name);
        EXPECT_TRUE(a.node->getPosition().positionEquals(b.node->getPosition(), 1e-4f)) << a.name;
        EXPECT_TRUE(a.node->getOrientation().equals(b.node->getOrientation(), Ogre::Degree(0.1f))) << a.name;
        EXPECT_EQ(a.node->getScale(), b.node->getScale()) << a.name;
        EXPECT_EQ(a.attachedToParent, b.attachedToParent) << a.name;
        ASSERT_EQ(a.meshes.size(), b.meshes.size());
        for (size_t j = 0; j < a.meshes.size(); ++j) {
            EXPECT_EQ(a.meshes[j].meshName, b.meshes[j].meshName);
            EXPECT_EQ(a.meshes[j].visible, b.meshes[j].visible);
            EXPECT_EQ(a.meshes[j].entity == nullptr, b.meshes[j].entity == nullptr);
        }
        ASSERT_EQ(a.reactors.size(), b.reactors.size());
    }
    EXPECT_EQ(record(*cached, "Tree").node->getParentSceneNode(), record(*cached, "House").node);
    ASSERT_EQ(cached->staticRecords().size(), 1u);
    const auto& inst = cached->staticRecords()[0].instances;
    ASSERT_EQ(inst.size(), 2u);
    EXPECT_TRUE(inst[0].orientation.equals(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y),
                                           Ogre::Degree(0.1f)))
        << inst[0].orientation;
    EXPECT_EQ(inst[1].scale, Ogre::Vector3(2, 2, 2));
    EXPECT_EQ(second->getFogEnd(), 30000.0f);
    ASSERT_NE(cached->sunLight(), nullptr);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(cached->collisionEntity(i) == nullptr, source->collisionEntity(i) == nullptr) << i;
}

TEST_F(SceneBuilder, LoadingRules)
{
    {
        auto writer = make();
        writer->parseMapIni("Fixture");
        ASSERT_TRUE(writer->writeCache("Fixture"));
    }
    auto creator = make("Fixture");
    const Ogre::SceneNode* houseNode = record(*creator, "House").node;

    creator->loadScene("");
    creator->loadScene("Fixture");  // already loaded: nothing rebuilt
    EXPECT_EQ(record(*creator, "House").node, houseNode);

    // A map without a cache: the old one is cleared, the world stays empty.
    creator->loadScene("Nowhere");
    EXPECT_EQ(creator->currentMap(), "Nowhere");
    EXPECT_TRUE(creator->nodeRecords().empty());
    EXPECT_TRUE(creator->staticRecords().empty());
    EXPECT_EQ(context.movementBlocker, nullptr);
    EXPECT_EQ(creator->sunLight(), nullptr);
    creator->updateAnimations(0.1f);

    // Back to the cached map.
    creator->loadScene("Fixture");
    EXPECT_EQ(creator->nodeRecords().size(), 4u);
    EXPECT_NE(context.movementBlocker, nullptr);
}

TEST_F(SceneBuilder, DamagedCachesBuildNothing)
{
    BinaryWriter w;
    MapData data;
    data.nodes.resize(2);
    data.nodes[0].name = "A";
    SceneCreator::writeMapData(w, "Broken", data);
    const std::vector<uint8_t> good = w.bytes();

    std::vector<std::vector<uint8_t>> damaged;
    damaged.push_back(std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() / 2)));  // cut short
    damaged.push_back(good);
    damaged.back()[0] ^= 0xFF;  // foreign magic
    std::vector<uint8_t> huge = good;
    // The node count after the header, name, colours, sky, fog flag and sun flag.
    const size_t nodeCountAt = 12 + 4 + 4 * 6 + 16 + 16 + 4 + 4 + 1 + 1;
    huge[nodeCountAt] = huge[nodeCountAt + 1] = huge[nodeCountAt + 2] = huge[nodeCountAt + 3] = 0xFF;
    damaged.push_back(huge);
    // Values that would reach the scene graph's bounds as NaN (found by the file fuzz program: the
    // engine's bounding-box assertion aborted the game), and names longer than any file name.
    const std::vector<std::function<void(MapData&)>> harms = {
        [](MapData& d) { d.nodes[0].position.x = std::numeric_limits<float>::quiet_NaN(); },
        [](MapData& d) { d.nodes[1].scale.y = std::numeric_limits<float>::infinity(); },
        [](MapData& d) { d.nodes[0].position.z = 1.0e30f; },
        [](MapData& d) { d.nodes[1].orientation = Ogre::Quaternion(0, 0, 0, 0); },
        [](MapData& d) { d.sunDirection.x = -std::numeric_limits<float>::infinity(); },
        [](MapData& d) { d.nodes[0].name = std::string(300, 'n'); },
        // Static geometry the engine cannot file into its region grid (the fuzz program: its
        // "point out of bounds" escaped the build).
        [](MapData& d) { d.statics[0].regionDimensions = Ogre::Vector3::ZERO; },
        [](MapData& d) { d.statics[0].regionDimensions.x = 1.0e-45f; },
        [](MapData& d) { d.statics[0].regionDimensions.y = -50.0f; },
        [](MapData& d) { d.statics[0].instances[0].position.x = 100.0f * 512; },
        [](MapData& d) { d.statics[0].instances[0].position.z = -100.0f * 512 - 1; },
        [](MapData& d) { d.statics[0].instances[0].scale.x = std::numeric_limits<float>::quiet_NaN(); },
        [](MapData& d) { d.statics[0].instances[0].orientation = Ogre::Quaternion(0, 0, 0, 0); },
        [](MapData& d) { d.statics[0].instances.resize(10001); },
        [](MapData& d) { d.statics.resize(1001, d.statics[0]); },
    };
    MapData::Static lamps;
    lamps.name = "Lamps";
    lamps.regionDimensions = Ogre::Vector3(100, 50, 100);
    lamps.meshName = "town_lamp.mesh";
    lamps.instances.resize(1);
    lamps.instances[0].position = Ogre::Vector3(100.0f * 512 - 1, 0, -100.0f * 512);  // the grid's edges
    data.statics.push_back(lamps);
    for (const auto& harm : harms) {
        MapData bad = data;
        bad.sun = true;
        harm(bad);
        BinaryWriter b;
        SceneCreator::writeMapData(b, "Broken", bad);
        damaged.push_back(b.bytes());
    }

    {
        // The good bytes do read: the offsets above are right.
        BinaryWriter ok;
        ok.writeBytes(good.data(), good.size());
        ASSERT_TRUE(ok.commit(SceneCreator::cachePath("Broken")));
        MapData back;
        ASSERT_TRUE(SceneCreator::readMapCache(SceneCreator::cachePath("Broken"), back));
        EXPECT_EQ(back.nodes.size(), 2u);
        BinaryWriter edge;
        SceneCreator::writeMapData(edge, "Broken", data);
        ASSERT_TRUE(edge.commit(SceneCreator::cachePath("Broken")));
        ASSERT_TRUE(SceneCreator::readMapCache(SceneCreator::cachePath("Broken"), back));
        EXPECT_EQ(back.statics.size(), 1u);
    }
    for (const auto& bytes : damaged) {
        BinaryWriter out;
        out.writeBytes(bytes.data(), bytes.size());
        ASSERT_TRUE(out.commit(SceneCreator::cachePath("Broken")));
        auto creator = make("Broken");
        EXPECT_TRUE(creator->nodeRecords().empty());
        EXPECT_EQ(creator->currentMap(), "Broken");
    }
}

TEST(SceneCache, HeaderLayout)
{
    BinaryWriter w;
    SceneCreator::writeMapData(w, "ab", MapData());
    const std::vector<uint8_t> expected = {0x70, 0x4D, 0x64, 0, 1, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 0, 0, 'b', 0, 0, 0};
    ASSERT_GE(w.bytes().size(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(w.bytes().begin(), w.bytes().begin() + long(expected.size())), expected);
}

TEST_F(SceneBuilder, AddMeshToUnknownNodeMakesANodeAtTheOrigin)
{
    auto creator = make();
    Ogre::Entity* e = creator->addMeshToNode("Loose", "LooseCrates", "town_crates.mesh", true, true, false, "");
    ASSERT_NE(e, nullptr);
    Ogre::SceneNode* node = creator->findNode("Loose");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(e->getParentSceneNode(), node);
    EXPECT_EQ(node->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_EQ(creator->findNode("Nobody"), nullptr);
}

TEST_F(SceneBuilder, ConstructionMakesBorderAndCamera)
{
    auto creator = make();
    EXPECT_TRUE(scene->hasCamera("BreaCam"));
    EXPECT_EQ(context.borderNode, creator->borderNode());
    ASSERT_NE(context.borderEntity, nullptr);
    EXPECT_FALSE(context.borderEntity->getVisible());
    EXPECT_EQ(context.borderEntity->getName(), "entBorder");
    EXPECT_EQ(context.borderCollisionEntity->getName(), "entColBorder");
    creator.reset();
    EXPECT_FALSE(scene->hasCamera("BreaCam"));
    EXPECT_EQ(context.borderNode, nullptr);
}

TEST_F(SceneBuilder, NodeReactorsRunInThePoolAndAreReleasedWithTheMap)
{
    FxParamsLibrary library;
    RandomGenerator random;
    random.seed(5);
    FxPool pool(scene, &library, nullptr, &random, "GMS");
    SceneCreator creator(nullptr, scene, nullptr, nullptr, &settings, "", &context, &pool);
    creator.parseMapIni("Fixture");
    VirtualReactor* reactor = record(creator, "House").reactors[0].reactor;
    ASSERT_NE(reactor, nullptr);
    EXPECT_EQ(reactor->getState(), 2);
    EXPECT_EQ(reactor->getParentNode(), record(creator, "House").node);
    EXPECT_EQ(pool.liveReactorCount(), 1u);

    // Clearing the map hands the reactor back to the pool, which ends it.
    creator.loadScene("Nowhere");
    EXPECT_TRUE(reactor->isReleased());
    for (int i = 0; i < 600 && pool.liveReactorCount() > 0; ++i)
        pool.update(0.05f);
    EXPECT_EQ(pool.liveReactorCount(), 0u);
}

// Damaged map sources, each a case the file fuzz program found in the data builder's scene step:
// engine assertions (NaN and infinite values), "point out of bounds" escaping the static geometry
// build, and a count that took over a minute. The source is refused whole, with the reason.
TEST_F(SceneBuilder, DamagedSourcesBuildNothing)
{
    const struct {
        std::string line, damaged;
    } cases[] = {
        {"stMesh_scale_1 = 1 1 1", "stMesh_scale_1 = inf 1 1"},
        {"stMesh_yaw_1 = 90", "stMesh_yaw_1 = nan"},
        {"sn_Pos = 1 2 3", "sn_Pos = 1 2 nan"},
        {"stMesh_pos_2 = -5 0 5", "stMesh_pos_2 = 1e30 0 5"},
        {"stMesh_pos_2 = -5 0 5", "stMesh_pos_2 = 60000 0 5"},
        {"Static_RegionDimensions = 100 50 100", ""},
        {"Static_RegionDimensions = 100 50 100", "Static_RegionDimensions = 1e-45 50 100"},
        {"Static_RegionDimensions = 100 50 100", "Static_RegionDimensions = -1e30 50 100"},
        {"Static_nMeshes = 2", "Static_nMeshes = 2147483648"},
        {"Static_nMeshes = 2", "Static_nMeshes = -1"},
        {"sn_nMeshes = 2", "sn_nMeshes = 1e30"},
        {"nSNodes = 4", "nSNodes = 1000000"},
        {"AmbientLight = 0.4 0.4 0.4 1", "AmbientLight = 0.4 nan 0.4 1"},
        {"snMesh_Na_1 = HouseEntity", "snMesh_Na_1 = HouseEntity" + std::string(250, 'q')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damaged);
        std::string text = kFixtureMap;
        const size_t at = text.find(c.line);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, c.line.size(), c.damaged);
        writeTextFile(tree.path("Data/Scenes/Fixture/map.ini"), text);
        MapData data;
        std::string problem;
        EXPECT_FALSE(SceneCreator::readMapIni(SceneCreator::iniPath("Fixture"), data, &problem));
        EXPECT_FALSE(problem.empty());
        auto creator = make();
        creator->parseMapIni("Fixture");
        EXPECT_TRUE(creator->nodeRecords().empty());
        EXPECT_TRUE(creator->staticRecords().empty());
    }
}

// A batch whose instances stand inside the grid but whose scaled mesh reaches beyond it (the fuzz
// program: an instance scale of 1 100000 1): the engine refuses it, the map goes on without it.
TEST_F(SceneBuilder, StaticGeometryTheEngineRefusesIsLeftOut)
{
    std::string text = kFixtureMap;
    const std::string line = "stMesh_scale_2 = 2 2 2";
    text.replace(text.find(line), line.size(), "stMesh_scale_2 = 1 100000 1");
    writeTextFile(tree.path("Data/Scenes/Fixture/map.ini"), text);
    for (const bool fromCache : {false, true}) {
        SCOPED_TRACE(fromCache ? "cache" : "map.ini");
        std::unique_ptr<SceneCreator> creator;
        if (fromCache) {
            creator = make("Fixture", engine.root()->createSceneManager());
        } else {
            creator = make();
            creator->parseMapIni("Fixture");
            ASSERT_TRUE(creator->writeCache("Fixture"));
        }
        EXPECT_EQ(creator->nodeRecords().size(), 4u);
        ASSERT_EQ(creator->staticRecords().size(), 1u);
        Ogre::StaticGeometry* lamps = creator->staticRecords()[0].geometry;
        ASSERT_NE(lamps, nullptr);
        EXPECT_TRUE(lamps->getRegions().empty());
        EXPECT_NE(context.movementBlocker, nullptr);
    }
}
