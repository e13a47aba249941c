// Meshes of the ground emplacement (the bastion: base, gun turret, radar mast, each with a
// closed collision hull) and of the plain test object "razor". Shaped to their definitions:
// the turret part stands at (0, 3.2, 0) on the base and aims from 2 units above its origin,
// the mast at (-2.5, 4, 1.5) reaches down onto the base's roof.
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"

#include <filesystem>
#include <functional>
#include <ostream>

namespace {

using V3 = Ogre::Vector3;

const char* const kCollision = "VT/Collision";

// A squat concrete bunker, its roof at 3.2, ringed by armour plates.
void bastionBase(MeshBuilder& m)
{
    m.addCylinder("VT/Concrete", {0, 0, 0}, 5.0f, 2.2f, 24);
    m.addCone("VT/Concrete", {0, 2.2f, 0}, 5.0f, 3.8f, 1.0f, 24);
    m.addCylinder("VT/BastionArmour", {0, 2.9f, 0}, 3.8f, 0.3f, 24);
    for (int i = 0; i < 4; ++i) {
        const float s = (i & 1) ? 1.0f : -1.0f;
        const V3 at = (i < 2) ? V3(s * 5.05f, 1.1f, 0) : V3(0, 1.1f, s * 5.05f);
        const V3 size = (i < 2) ? V3(0.3f, 1.6f, 3.0f) : V3(3.0f, 1.6f, 0.3f);
        m.addBox("VT/BastionArmour", at, size);
    }
    // Firing slits.
    m.addBox("VT/BastionDark", {0, 1.6f, -5.0f}, {2.2f, 0.35f, 0.2f});
    m.addBox("VT/BastionDark", {0, 1.6f, 5.0f}, {2.2f, 0.35f, 0.2f});
}

void bastionBaseHull(MeshBuilder& m)
{
    m.addCylinder(kCollision, {0, 0, 0}, 5.2f, 3.2f, 12);
}

// The gun turret: a ring, a dome and the gun ball at the aim point (2 above its origin).
void bastionTurret(MeshBuilder& m)
{
    m.addCylinder("VT/BastionDark", {0, 0, 0}, 2.1f, 0.5f, 20);
    m.addCylinder("VT/BastionArmour", {0, 0.5f, 0}, 1.8f, 0.7f, 20);
    m.addSphere("VT/BastionArmour", {0, 1.2f, 0}, 1.8f, 10, 20, 0.45f);
    m.addSphere("VT/BastionDark", {0, 2.0f, 0}, 0.9f, 10, 16);
    m.addSphere("VT/BastionLens", {0, 2.0f, -0.85f}, 0.25f, 6, 8);
}

void bastionTurretHull(MeshBuilder& m)
{
    m.addCylinder(kCollision, {0, 0, 0}, 2.1f, 3.0f, 12);
}

// The radar mast: a pole from the roof, a dish and a warning light on top.
void bastionRadar(MeshBuilder& m)
{
    m.addCylinder("VT/BastionDark", {0, -0.8f, 0}, 0.3f, 0.4f, 10);
    m.addCylinder("VT/BastionDark", {0, -0.4f, 0}, 0.15f, 3.0f, 8);
    m.addSphere("VT/BastionArmour", {0, 2.6f, 0}, 1.1f, 8, 14, 0.3f);
    m.addSphere("VT/BastionLens", {0, 3.1f, 0}, 0.2f, 6, 8);
}

void bastionRadarHull(MeshBuilder& m)
{
    m.addBox(kCollision, {0, 1.3f, 0}, {2.2f, 4.2f, 2.2f});
}

// The plain test object: a flat blade-shaped craft, nose toward -Z, closed so it serves as its
// own collision body.
void razor(MeshBuilder& m)
{
    m.addBox("VT/RazorHull", {0, 0.6f, 0.4f}, {1.2f, 0.7f, 4.0f});
    m.addBox("VT/RazorHull", {0, 0.55f, 1.2f}, {6.0f, 0.2f, 1.6f});
    m.addBox("VT/BastionDark", {0, 1.05f, -0.4f}, {0.8f, 0.3f, 1.2f});
    m.addBox("VT/RazorHull", {0, 0.6f, -2.1f}, {0.6f, 0.4f, 1.0f});
}

bool buildGameObjectMeshes(BuildContext& ctx)
{
    builderEngine();
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::function<void(MeshBuilder&)>> meshes[] = {
        {"bastion_base.mesh", bastionBase},     {"bastion_base_col.mesh", bastionBaseHull},
        {"bastion_turret.mesh", bastionTurret}, {"bastion_turret_col.mesh", bastionTurretHull},
        {"bastion_radar.mesh", bastionRadar},   {"bastion_radar_col.mesh", bastionRadarHull},
        {"razor.mesh", razor},
    };
    bool ok = true;
    for (const auto& [name, make] : meshes) {
        MeshBuilder m;
        make(m);
        if (!m.save(name, dir + name)) {
            ctx.log << "meshes: cannot write " << name << "\n";
            ok = false;
        }
    }
    return ok;
}

}  // namespace

DATABUILDER_STEP("game object meshes", 12, buildGameObjectMeshes);
