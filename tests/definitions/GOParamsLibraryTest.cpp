#include "DefinitionTestTree.h"

#include "definitions/AirObjParams.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/GroundObjParams.h"
#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
template <class T>
void writeDefinition(const std::string& name, const std::string& mesh)
{
    T d(name);
    d.meshName = mesh;
    ASSERT_TRUE(d.writeCache());
}

struct LibraryTree : DefinitionTestTree {
    LibraryTree()
    {
        writeDefinition<GroundObjParams>("post", "post.mesh");
        writeDefinition<GroundVehiParams>("tank", "tank.mesh");
        writeDefinition<AirObjParams>("plane", "plane.mesh");
        writeDefinition<OvniParams>("ufo", "ufo.mesh");
    }
};
}  // namespace

TEST(GOParamsLibrary, LoadsEachKindAsItsClassOnce)
{
    LibraryTree t;
    GOParamsLibrary lib(nullptr);
    EXPECT_EQ(lib.slotCount(), 5u);

    goParams* post = lib.getParams("post", GameObjectKind::GroundObject);
    goParams* tank = lib.getParams("tank", GameObjectKind::GroundVehicle);
    goParams* plane = lib.getParams("plane", GameObjectKind::AirObject);
    goParams* ufo = lib.getParams("ufo", GameObjectKind::Ovni);
    ASSERT_NE(dynamic_cast<GroundObjParams*>(post), nullptr);
    EXPECT_EQ(dynamic_cast<GroundVehiParams*>(post), nullptr);
    ASSERT_NE(dynamic_cast<GroundVehiParams*>(tank), nullptr);
    ASSERT_NE(dynamic_cast<AirObjParams*>(plane), nullptr);
    EXPECT_EQ(dynamic_cast<OvniParams*>(plane), nullptr);
    ASSERT_NE(dynamic_cast<OvniParams*>(ufo), nullptr);
    EXPECT_EQ(tank->meshName, "tank.mesh");
    EXPECT_EQ(ufo->meshName, "ufo.mesh");

    // The second request reads no file: the cache may even be gone.
    std::filesystem::remove(t.cachePath("tank", "ZVO"));
    EXPECT_EQ(lib.getParams("tank", 3), tank);
    EXPECT_EQ(lib.slotCount(), 5u);
    EXPECT_TRUE(lib.contains("tank"));
    EXPECT_EQ(lib.find("ufo"), ufo);
    EXPECT_EQ(lib.find("UFO"), nullptr);
}

TEST(GOParamsLibrary, AnswersNullWithoutTakingASlot)
{
    LibraryTree t;
    GOParamsLibrary lib(nullptr);
    const struct {
        const char* name;
        int kind;
    } cases[] = {
        {"", 2}, {" ", 2}, {"nothing", 2}, {"post", 1}, {"post", 0}, {"post", 6}, {"post", -1},
        // A cache of another class is not read as this one.
        {"post", 3}, {"tank", 2}, {"plane", 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lib.getParams(c.name, c.kind), nullptr) << "'" << c.name << "' kind " << c.kind;
        EXPECT_FALSE(lib.contains(c.name)) << c.name;
    }
    EXPECT_EQ(lib.slotCount(), 5u);
    EXPECT_FALSE(GOParamsLibrary::cacheExists("post", 0));
    EXPECT_FALSE(GOParamsLibrary::cacheExists("post", 5));
    EXPECT_TRUE(GOParamsLibrary::cacheExists("post", 1));

    // A name that was missing is looked for again on the next request.
    writeDefinition<GroundObjParams>("nothing", "late.mesh");
    ASSERT_NE(lib.getParams("nothing", GameObjectKind::GroundObject), nullptr);
}

TEST(GOParamsLibrary, KeepsTheKindOfEachDefinition)
{
    LibraryTree t;
    GOParamsLibrary lib(nullptr);
    goParams* post = lib.getParams("post", GameObjectKind::GroundObject);
    ASSERT_NE(post, nullptr);
    EXPECT_EQ(lib.getParams("post", GameObjectKind::AirObject), nullptr);
    EXPECT_EQ(lib.getParams("post", GameObjectKind::GroundVehicle), nullptr);
    EXPECT_EQ(lib.getParams("post", GameObjectKind::GroundObject), post);

    // Ovni and air objects share a type code; the first kind a name is loaded as holds.
    writeDefinition<AirObjParams>("twin", "twin.mesh");
    ASSERT_NE(lib.getParams("twin", GameObjectKind::AirObject), nullptr);
    EXPECT_EQ(lib.getParams("twin", GameObjectKind::Ovni), nullptr);
}

TEST(GOParamsLibrary, GrowsByOneSlot)
{
    DefinitionTestTree t;
    GOParamsLibrary lib(nullptr);
    std::vector<goParams*> defs;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "post" + std::to_string(i);
        writeDefinition<GroundObjParams>(name, name + ".mesh");
        defs.push_back(lib.getParams(name, GameObjectKind::GroundObject));
        ASSERT_NE(defs.back(), nullptr);
    }
    EXPECT_EQ(lib.slotCount(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(lib.find("post" + std::to_string(i)), defs[i]);
}
