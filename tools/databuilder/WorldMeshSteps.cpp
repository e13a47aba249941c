// The world's meshes: map props, the battle border, the slow-time bubble and each map's
// collision meshes (made from the map's own node list, so they always match what is drawn).
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"

#include "platform/Platform.h"
#include "world/SceneCreator.h"

#include <OgreStringConverter.h>

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>

namespace {

const std::string kMeshDir = "../../Data/Meshes/";

using V3 = Ogre::Vector3;

// Footprint of a prop for the movement and projectile blockers: box size, centred on the node.
struct Footprint {
    V3 size;
};

void houseA(MeshBuilder& m)
{
    m.addBox("VT/Bricks", {0, 6, 0}, {24, 12, 16}, 0.125f);
    m.addBox("VT/Roof", {0, 12.5f, 0}, {26, 1, 18}, 0.125f);
    m.addBox("VT/Planks", {0, 2.5f, 8.05f}, {3, 5, 0.2f});
}

void houseB(MeshBuilder& m)
{
    m.addBox("VT/Concrete", {0, 11, 0}, {16, 22, 16}, 0.1f);
    m.addBox("VT/Roof", {0, 22.5f, 0}, {17, 1, 17}, 0.125f);
    m.addBox("VT/Planks", {0, 2.5f, 8.05f}, {3, 5, 0.2f});
}

void tower(MeshBuilder& m)
{
    for (float x : {-4.f, 4.f})
        for (float z : {-4.f, 4.f})
            m.addBox("VT/Planks", {x, 9, z}, {1, 18, 1});
    m.addCylinder("VT/Concrete", {0, 18, 0}, 6, 8, 20);
    m.addCone("VT/Roof", {0, 26, 0}, 6.5f, 0, 4, 20);
}

void tree(MeshBuilder& m)
{
    m.addCylinder("VT/Bark", {0, 0, 0}, 0.7f, 6, 8);
    m.addSphere("VT/Leaves", {0, 8, 0}, 4, 8, 12, 1.2f);
}

void fountain(MeshBuilder& m)
{
    m.addCylinder("VT/Concrete", {0, 0, 0}, 7, 1.2f, 24);
    m.addCylinder("VT/Concrete", {0, 1.2f, 0}, 1.2f, 3, 12);
    m.addCylinder("VT/Concrete", {0, 4.2f, 0}, 3, 0.6f, 16);
}

void crates(MeshBuilder& m)
{
    m.addBox("VT/Planks", {0, 1.5f, 0}, {3, 3, 3});
    m.addBox("VT/Planks", {3.2f, 1.5f, 0.5f}, {3, 3, 3});
    m.addBox("VT/Planks", {1.6f, 4.5f, 0.2f}, {3, 3, 3});
}

void lamp(MeshBuilder& m)
{
    m.addCylinder("VT/Concrete", {0, 0, 0}, 0.25f, 7, 8);
    m.addSphere("VT/Bubble", {0, 7.5f, 0}, 0.8f, 6, 8);
}

const std::map<std::string, Footprint>& footprints()
{
    static const std::map<std::string, Footprint> table = {
        {"town_house_a.mesh", {{24, 20, 16}}}, {"town_house_b.mesh", {{16, 30, 16}}},
        {"town_tower.mesh", {{10, 30, 10}}},   {"town_tree.mesh", {{2, 12, 2}}},
        {"town_fountain.mesh", {{14, 5, 14}}}, {"town_crates.mesh", {{7, 6, 4}}},
    };
    return table;
}

bool save(MeshBuilder& m, const std::string& name, std::ostream& log)
{
    if (!m.save(name, kMeshDir + name)) {
        log << "meshes: cannot write " << name << "\n";
        return false;
    }
    return true;
}

bool buildPropMeshes(BuildContext& ctx)
{
    builderEngine();
    std::filesystem::create_directories(kMeshDir);
    const std::pair<const char*, std::function<void(MeshBuilder&)>> props[] = {
        {"town_house_a.mesh", houseA}, {"town_house_b.mesh", houseB}, {"town_tower.mesh", tower},
        {"town_tree.mesh", tree},      {"town_fountain.mesh", fountain}, {"town_crates.mesh", crates},
        {"town_lamp.mesh", lamp},
        {"town_ground.mesh", [](MeshBuilder& m) { m.addGrid("VT/Ground", 800, 800, 0, 16, 50); }},
        {"town_road.mesh",
         [](MeshBuilder& m) {
             m.addQuad("VT/Asphalt", {-150, 0.05f, 8}, {150, 0.05f, 8}, {150, 0.05f, -8}, {-150, 0.05f, -8});
             m.addQuad("VT/Asphalt", {-8, 0.06f, 150}, {8, 0.06f, 150}, {8, 0.06f, -150}, {-8, 0.06f, -150});
         }},
        // The battle border: a glowing fence drawn during a play, and a tall wall the rays hit.
        {"ZV_BattleBorder.mesh", [](MeshBuilder& m) { m.addRingWall("VT/Border", 150, 4, 64); }},
        {"ZV_WideBorderColl.mesh", [](MeshBuilder& m) { m.addRingWall("VT/Collision", 150, 60, 64, -10); }},
        {"vt_bubble.mesh", [](MeshBuilder& m) { m.addSphere("VT/Bubble", {0, 0, 0}, 1, 16, 24); }},
    };
    bool ok = true;
    for (const auto& [name, make] : props) {
        MeshBuilder m;
        make(m);
        ok = save(m, name, ctx.log) && ok;
    }
    return ok;
}

// For each map folder: blockers from the footprints of its nodes, and a flat floor.
bool buildCollisionMeshes(BuildContext& ctx)
{
    builderEngine();
    bool ok = true;
    for (const std::string& map : platform::listDirectory("../../Data/Scenes")) {
        MapData data;
        if (!SceneCreator::readMapIni(SceneCreator::iniPath(map), data))
            continue;
        MeshBuilder blockers;
        for (const MapData::Node& node : data.nodes) {
            const V3 scale = node.scale == V3::ZERO ? V3::UNIT_SCALE : node.scale;
            // Quarter turns swap the footprint's sides; props are only placed that way.
            const bool quarter = std::lround(node.yaw / 90.0) & 1;
            for (const MapData::Mesh& mesh : node.meshes) {
                const auto it = footprints().find(mesh.meshName);
                if (it == footprints().end())
                    continue;
                V3 size = it->second.size * scale;
                if (quarter)
                    std::swap(size.x, size.z);
                blockers.addBox("VT/Collision", node.position + V3(0, size.y / 2, 0), size);
            }
        }
        std::string prefix = Ogre::StringUtil::replaceAll(Ogre::StringUtil::replaceAll(map, " ", "_"), "/", "_");
        Ogre::StringUtil::toLowerCase(prefix);
        if (!blockers.empty())
            ok = save(blockers, prefix + "_col_block.mesh", ctx.log) && ok;
        MeshBuilder floor;
        floor.addGrid("VT/Collision", 800, 800, 0, 8, 1);
        ok = save(floor, prefix + "_col_floor.mesh", ctx.log) && ok;
    }
    return ok;
}

}  // namespace

DATABUILDER_STEP("world meshes", 10, buildPropMeshes);
DATABUILDER_STEP("collision meshes", 11, buildCollisionMeshes);
