// The flying enemies: the kestrel gunship and the two Ovni (wisp, monolith) with their guns,
// skeletons and collision hulls. Every model faces -z (its flight and firing direction) and sits
// around its node's origin, so an Ovni hovering at its height stays clear of the floor. Collision
// hulls are single closed shells, outward-facing, seen whole from their centre.
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"

#include <OgreMath.h>
#include <OgreQuaternion.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <ostream>
#include <vector>

namespace {

using V3 = Ogre::Vector3;
using Q = Ogre::Quaternion;

// One ring of a shell: the section scaled by (sx, sy) about (0, cy), at z.
struct Ring {
    float z, sx, sy, cy;
};

// A regular octagon of radius 1, counter-clockwise seen from +z.
std::vector<Ogre::Vector2> octagon()
{
    std::vector<Ogre::Vector2> points;
    for (int i = 0; i < 8; ++i) {
        const float a = Ogre::Math::TWO_PI * (i + 0.5f) / 8;
        points.push_back({std::cos(a), std::sin(a)});
    }
    return points;
}

// A shell along z through the rings (increasing z), closed by caps at both ends.
void shell(MeshBuilder& m, const std::string& material, const std::vector<Ring>& rings)
{
    const std::vector<Ogre::Vector2> section = octagon();
    const size_t n = section.size();
    const auto at = [&](size_t i, const Ring& r) {
        const Ogre::Vector2& p = section[i % n];
        return V3(p.x * r.sx, r.cy + p.y * r.sy, r.z);
    };
    for (size_t k = 0; k + 1 < rings.size(); ++k)
        for (size_t i = 0; i < n; ++i)
            m.addQuad(material, at(i, rings[k + 1]), at(i, rings[k]), at(i + 1, rings[k]), at(i + 1, rings[k + 1]));
    const Ring& first = rings.front();
    const Ring& last = rings.back();
    const V3 low(0, first.cy, first.z), high(0, last.cy, last.z);
    for (size_t i = 0; i < n; i += 2) {
        m.addQuad(material, high, at(i, last), at(i + 1, last), at(i + 2, last));
        m.addQuad(material, low, at(i + 2, first), at(i + 1, first), at(i, first));
    }
}

// The same shell standing up: its z becomes y.
void upright(MeshBuilder& m, const std::string& material, const std::vector<Ring>& rings)
{
    MeshBuilder part;
    shell(part, material, rings);
    m.append(part, Q(Ogre::Degree(-90), V3::UNIT_X), V3::ZERO);
}

// A cylinder lying along -z from `tail`.
void barrel(MeshBuilder& m, const std::string& material, const V3& tail, float radius, float length,
            int segments = 10)
{
    MeshBuilder part;
    part.addCylinder(material, V3::ZERO, radius, length, segments);
    m.append(part, Q(Ogre::Degree(-90), V3::UNIT_X), tail);
}

Q yawDeg(float d) { return Q(Ogre::Degree(d), V3::UNIT_Y); }

// The gunship: fuselage, canopy, stub wings with pods, the rocket pod under the nose, tail and
// a two-bladed rotor. About 9 long, 4.8 across the wings.
void kestrel(MeshBuilder& m)
{
    shell(m, "VT/KestrelHull",
          {{-4.2f, 0.25f, 0.3f, -0.2f},
           {-3.4f, 0.8f, 0.8f, -0.1f},
           {-1.5f, 1.0f, 1.0f, 0.0f},
           {1.5f, 0.9f, 0.9f, 0.1f},
           {2.5f, 0.45f, 0.45f, 0.3f},
           {5.5f, 0.22f, 0.25f, 0.5f}});
    m.addSphere("VT/KestrelCanopy", {0, 0.65f, -2.2f}, 0.7f, 8, 12, 0.6f);
    m.addBox("VT/KestrelHull", {0, -0.2f, 0}, {4.8f, 0.18f, 1.2f});
    for (float x : {-2.1f, 2.1f})
        barrel(m, "VT/KestrelTrim", {x, -0.45f, 0.9f}, 0.22f, 1.8f);
    m.addBox("VT/KestrelTrim", {0, -1.0f, -3.0f}, {0.6f, 0.5f, 1.2f});
    m.addBox("VT/KestrelHull", {0, 1.0f, 5.0f}, {0.12f, 1.4f, 0.9f});
    m.addBox("VT/KestrelHull", {0, 0.5f, 5.0f}, {2.2f, 0.1f, 0.6f});
    m.addCylinder("VT/KestrelTrim", {0, 0.8f, -0.3f}, 0.15f, 0.5f, 8);
    m.addBox("VT/KestrelTrim", {0, 1.35f, -0.3f}, {9.0f, 0.06f, 0.35f});
    m.addBox("VT/KestrelTrim", {0, 1.35f, -0.3f}, {0.35f, 0.06f, 9.0f});
}

void kestrelHull(MeshBuilder& m)
{
    shell(m, "VT/Collision",
          {{-4.3f, 0.4f, 0.4f, -0.2f},
           {-3.4f, 0.9f, 0.9f, -0.1f},
           {-0.8f, 2.6f, 1.0f, 0.0f},
           {0.8f, 2.6f, 1.0f, 0.0f},
           {2.5f, 0.6f, 0.6f, 0.3f},
           {5.6f, 0.35f, 0.9f, 0.6f}});
}

// The light Ovni: a flattened violet orb with a glowing dome, a rim and four rim lights that
// show its idle spin. 3.2 across, 1.4 high.
void wisp(MeshBuilder& m)
{
    m.addSphere("VT/WispShell", V3::ZERO, 1.3f, 10, 20, 0.55f);
    m.addCylinder("VT/WispRim", {0, -0.08f, 0}, 1.6f, 0.16f, 24);
    m.addSphere("VT/WispCore", {0, 0.45f, 0}, 0.6f, 8, 12, 0.8f);
    for (int i = 0; i < 4; ++i)
        m.addSphere("VT/WispCore", yawDeg(90.0f * i) * V3(1.6f, 0.1f, 0), 0.16f, 4, 6);
    // Idle: one turn in three seconds; Hit: a jolt down and over, back at rest by its end.
    m.setSkeleton("wisp.skeleton",
                  {{"Idle", 3.0f,
                    {{0.0f, V3::ZERO, Q::IDENTITY},
                     {1.0f, V3::ZERO, yawDeg(120)},
                     {2.0f, V3::ZERO, yawDeg(240)},
                     {3.0f, V3::ZERO, Q::IDENTITY}}},
                   {"Hit", 0.5f,
                    {{0.0f, V3::ZERO, Q::IDENTITY},
                     {0.08f, V3(0, -0.25f, 0), Q(Ogre::Degree(15), V3::UNIT_X)},
                     {0.25f, V3(0, -0.1f, 0), Q(Ogre::Degree(-8), V3::UNIT_Z)},
                     {0.5f, V3::ZERO, Q::IDENTITY}}}});
}

// The wisp's gun hangs under the orb: a ball and a barrel along -z whose tip is the muzzle.
void wispGun(MeshBuilder& m)
{
    m.addSphere("VT/WispGun", {0, -0.35f, 0}, 0.35f, 6, 10);
    barrel(m, "VT/WispGun", {0, -0.4f, 0}, 0.08f, 1.1f, 8);
}

void wispHull(MeshBuilder& m) { m.addSphere("VT/Collision", V3::ZERO, 1.7f, 10, 16, 0.62f); }

// The heavy Ovni: a tapered yellow octagonal block with dark fins and a band, and two thruster
// nozzles where its reactors burn. 3.6 across the fins, 3.8 high.
void monolith(MeshBuilder& m)
{
    upright(m, "VT/MonolithHull",
            {{-1.0f, 1.2f, 1.2f, 0}, {-0.6f, 1.7f, 1.7f, 0}, {1.6f, 1.5f, 1.5f, 0}, {2.4f, 0.9f, 0.9f, 0},
             {2.8f, 0.4f, 0.4f, 0}});
    upright(m, "VT/MonolithTrim", {{0.3f, 1.72f, 1.72f, 0}, {0.6f, 1.72f, 1.72f, 0}});
    for (int i = 0; i < 4; ++i)
        m.append(
            [] {
                MeshBuilder fin;
                fin.addBox("VT/MonolithTrim", {1.75f, 0.5f, 0}, {0.4f, 1.6f, 0.3f});
                return fin;
            }(),
            yawDeg(90.0f * i), V3::ZERO);
    for (float x : {-1.6f, 1.6f})
        m.addCylinder("VT/MonolithTrim", {x, -1.05f, -1.0f}, 0.3f, 0.45f, 10);
    // Idle: a slow heave; Turn: a sway either way as the turret swings; Hit: a knock upward.
    m.setSkeleton("monolith.skeleton",
                  {{"Idle", 4.0f,
                    {{0.0f, V3::ZERO, Q::IDENTITY}, {2.0f, V3(0, 0.15f, 0), Q::IDENTITY}, {4.0f, V3::ZERO, Q::IDENTITY}}},
                   {"Turn", 4.0f,
                    {{0.0f, V3::ZERO, Q::IDENTITY},
                     {1.0f, V3::ZERO, yawDeg(10)},
                     {2.0f, V3::ZERO, Q::IDENTITY},
                     {3.0f, V3::ZERO, yawDeg(-10)},
                     {4.0f, V3::ZERO, Q::IDENTITY}}},
                   {"Hit", 0.6f,
                    {{0.0f, V3::ZERO, Q::IDENTITY},
                     {0.1f, V3(0, 0.2f, 0), Q(Ogre::Degree(-6), V3::UNIT_X)},
                     {0.6f, V3::ZERO, Q::IDENTITY}}}});
}

// The monolith's turret: a drum along z with four barrels that spin as it fires.
void monolithTurret(MeshBuilder& m)
{
    barrel(m, "VT/MonolithTurret", {0, 0, 0.5f}, 0.45f, 1.4f, 14);
    for (int i = 0; i < 4; ++i) {
        const float a = Ogre::Math::HALF_PI * i;
        barrel(m, "VT/MonolithBarrel", {0.25f * std::cos(a), 0.25f * std::sin(a), -0.8f}, 0.09f, 1.1f, 8);
    }
    m.addBox("VT/MonolithTurret", {0, 0.45f, 0}, {0.5f, 0.4f, 0.5f});
    const auto roll = [](float d) { return Q(Ogre::Degree(d), V3::UNIT_Z); };
    m.setSkeleton("monolith_turret.skeleton", {{"TurretSpin", 0.6f,
                                                {{0.0f, V3::ZERO, Q::IDENTITY},
                                                 {0.2f, V3(0, 0, 0.12f), roll(120)},
                                                 {0.4f, V3(0, 0, 0.06f), roll(240)},
                                                 {0.6f, V3::ZERO, Q::IDENTITY}}}});
}

void monolithHull(MeshBuilder& m)
{
    upright(m, "VT/Collision",
            {{-1.6f, 1.0f, 1.0f, 0}, {-1.0f, 2.0f, 2.0f, 0}, {1.6f, 2.0f, 2.0f, 0}, {2.9f, 0.6f, 0.6f, 0}});
}

bool buildAirMeshes(BuildContext& ctx)
{
    builderEngine();
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::function<void(MeshBuilder&)>> meshes[] = {
        {"kestrel.mesh", kestrel},
        {"kestrel_col.mesh", kestrelHull},
        {"wisp.mesh", wisp},
        {"wisp_gun.mesh", wispGun},
        {"wisp_col.mesh", wispHull},
        {"monolith.mesh", monolith},
        {"monolith_turret.mesh", monolithTurret},
        {"monolith_col.mesh", monolithHull},
    };
    bool ok = true;
    for (const auto& [name, make] : meshes) {
        MeshBuilder m;
        make(m);
        if (!m.save(name, dir + name)) {
            ctx.log << "air meshes: cannot write " << name << "\n";
            ok = false;
        }
    }
    return ok;
}

}  // namespace

DATABUILDER_STEP("air meshes", 12, buildAirMeshes);
