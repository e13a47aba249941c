// The five pickup models the pickup definitions name. Each is small (about a unit and a half
// across), stands on its base at the origin (the pickup bobs it above the floor) and has its own
// shape and colour: a white crate with a red cross (health), a yellow tool case with a steel
// handle (full repair), a blue orb in a ring (no damage), an orange fuel cell with a fin
// (turbo) and an olive ammunition crate with steel bands (weapon).
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"

#include <filesystem>
#include <functional>
#include <ostream>

namespace {

using V3 = Ogre::Vector3;

void health(MeshBuilder& m)
{
    m.addBox("VT/PickupWhite", {0, 0.5f, 0}, {1.0f, 1.0f, 1.0f});
    // The cross stands slightly proud of every side face and the lid.
    for (const V3& face : {V3(0, 0.5f, 0.51f), V3(0, 0.5f, -0.51f)}) {
        m.addBox("VT/PickupRed", face, {0.7f, 0.2f, 0.04f});
        m.addBox("VT/PickupRed", face, {0.2f, 0.7f, 0.04f});
    }
    for (const V3& face : {V3(0.51f, 0.5f, 0), V3(-0.51f, 0.5f, 0)}) {
        m.addBox("VT/PickupRed", face, {0.04f, 0.2f, 0.7f});
        m.addBox("VT/PickupRed", face, {0.04f, 0.7f, 0.2f});
    }
    m.addBox("VT/PickupRed", {0, 1.01f, 0}, {0.7f, 0.04f, 0.2f});
    m.addBox("VT/PickupRed", {0, 1.01f, 0}, {0.2f, 0.04f, 0.7f});
}

void repair(MeshBuilder& m)
{
    m.addBox("VT/PickupYellow", {0, 0.35f, 0}, {1.4f, 0.7f, 0.7f});
    m.addBox("VT/PickupSteel", {0, 0.72f, 0}, {1.44f, 0.06f, 0.74f});
    // The handle: two posts and a grip.
    m.addBox("VT/PickupSteel", {-0.35f, 0.9f, 0}, {0.08f, 0.3f, 0.08f});
    m.addBox("VT/PickupSteel", {0.35f, 0.9f, 0}, {0.08f, 0.3f, 0.08f});
    m.addBox("VT/PickupSteel", {0, 1.07f, 0}, {0.78f, 0.08f, 0.12f});
}

void shield(MeshBuilder& m)
{
    m.addCylinder("VT/PickupSteel", V3::ZERO, 0.75f, 0.3f, 20);
    // A flattened orb resting in the ring.
    m.addSphere("VT/PickupBlue", {0, 0.75f, 0}, 0.6f, 12, 20, 0.8f);
}

void turbo(MeshBuilder& m)
{
    m.addCylinder("VT/PickupOrange", V3::ZERO, 0.35f, 1.1f, 16);
    m.addCone("VT/PickupSteel", {0, 1.1f, 0}, 0.35f, 0.1f, 0.35f, 16);
    m.addBox("VT/PickupSteel", {0, 0.45f, 0}, {1.1f, 0.5f, 0.06f});
}

void weapon(MeshBuilder& m)
{
    m.addBox("VT/PickupOlive", {0, 0.4f, 0}, {1.5f, 0.8f, 0.8f});
    for (float x : {-0.5f, 0.5f})
        m.addBox("VT/PickupSteel", {x, 0.4f, 0}, {0.12f, 0.84f, 0.84f});
    // A shell lying on the lid shows what is inside.
    MeshBuilder round;
    round.addCylinder("VT/PickupYellow", V3::ZERO, 0.1f, 0.9f, 10);
    m.append(round, Ogre::Quaternion(Ogre::Degree(90), V3::UNIT_Z), {0.45f, 0.92f, 0});
}

bool buildPickupMeshes(BuildContext& ctx)
{
    builderEngine();
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::function<void(MeshBuilder&)>> pickups[] = {
        {"pickup_health.mesh", health}, {"pickup_repair.mesh", repair}, {"pickup_shield.mesh", shield},
        {"pickup_turbo.mesh", turbo},   {"pickup_weapon.mesh", weapon},
    };
    bool ok = true;
    for (const auto& [name, make] : pickups) {
        MeshBuilder m;
        make(m);
        if (!m.save(name, dir + name)) {
            ctx.log << "pickup meshes: cannot write " << name << "\n";
            ok = false;
        }
    }
    return ok;
}

}  // namespace

DATABUILDER_STEP("pickup meshes", 12, buildPickupMeshes);
