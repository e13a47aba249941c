// The ground vehicles' meshes: hulls and turrets (with skeletons for their animations), treads
// wholly in their tread material with V running along the track, and the collision hulls: closed,
// outward-facing shells of a few hundred triangles, close to the drawn shape so that shots and aim
// rays meet the hull where the player sees it. The front of every vehicle is -Z; the main node
// stands groundOffset above the floor, the treads' wheels touch it.
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"

#include <OgreMath.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <vector>

namespace {

using V3 = Ogre::Vector3;
using Q = Ogre::Quaternion;

// A cross-section in the XY plane, counter-clockwise seen from +Z.
using Section = std::vector<Ogre::Vector2>;

struct Ring {
    float z;
    float scale;  // of the section about its centre
};

const char* const kCollision = "VT/Collision";

// A shell through the rings (in increasing z), closed by caps at both ends.
void loft(MeshBuilder& m, const Section& section, const Ogre::Vector2& centre, const std::vector<Ring>& rings,
          const std::string& material = kCollision)
{
    const auto at = [&](size_t i, const Ring& r) {
        const Ogre::Vector2 p = centre + section[i % section.size()] * r.scale;
        return V3(p.x, p.y, r.z);
    };
    for (size_t k = 0; k + 1 < rings.size(); ++k)
        for (size_t i = 0; i < section.size(); ++i)
            m.addQuad(material, at(i, rings[k + 1]), at(i, rings[k]), at(i + 1, rings[k]), at(i + 1, rings[k + 1]));
    const V3 low(centre.x, centre.y, rings.front().z), high(centre.x, centre.y, rings.back().z);
    for (size_t i = 0; i < section.size(); i += 2) {
        m.addQuad(material, high, at(i, rings.back()), at(i + 1, rings.back()), at(i + 2, rings.back()));
        m.addQuad(material, low, at(i + 2, rings.front()), at(i + 1, rings.front()), at(i, rings.front()));
    }
}

// A rectangle of half sizes (w, h) with its corners cut by c: eight points.
Section chamfered(float w, float h, float c)
{
    return {{w, -h + c}, {w, h - c}, {w - c, h}, {-w + c, h}, {-w, h - c}, {-w, -h + c}, {-w + c, -h}, {w - c, -h}};
}

std::vector<Ring> slices(float z0, float z1, int count, float bevel, float bevelScale)
{
    std::vector<Ring> rings{{z0, bevelScale}};
    for (int i = 0; i <= count; ++i)
        rings.push_back({z0 + bevel + (z1 - z0 - 2 * bevel) * i / count, 1.0f});
    rings.push_back({z1, bevelScale});
    return rings;
}

// A quad whose front faces `facing`; the corners are given in either winding. Its first two edges
// (a-b, a-d) must not be degenerate.
void quadFacing(MeshBuilder& m, const std::string& material, const V3& facing, const V3& a, const V3& b, const V3& c,
                const V3& d, const Ogre::Vector2& ta, const Ogre::Vector2& tb, const Ogre::Vector2& tc,
                const Ogre::Vector2& td)
{
    if ((b - a).crossProduct(d - a).dotProduct(facing) >= 0)
        m.addQuad(material, a, b, c, d, ta, tb, tc, td);
    else
        m.addQuad(material, a, d, c, b, ta, td, tc, tb);
}

// A track loop around two wheels of radius r whose centres lie at z = +-halfLength, height y, all in
// one material: outer and inner belt (V along the loop, a whole number of texture repeats so the
// seam does not show) and two flat side plates (V along z). Its bottom touches y - r.
void treadLoop(MeshBuilder& m, const std::string& material, float halfLength, float r, float y, float width,
               float thickness, float repeatLength)
{
    const int arcSteps = 10;
    // The loop counter-clockwise in the (z, y) plane: bottom toward +z, the back arc, top toward -z,
    // the front arc. Each point with its outward direction.
    struct P {
        float z, y, nz, ny;
    };
    std::vector<P> loop;
    const auto arc = [&](float cz, float from, float to) {
        for (int k = 0; k <= arcSteps; ++k) {
            const float t = from + (to - from) * k / arcSteps;
            loop.push_back({cz + std::cos(t), y + std::sin(t), std::cos(t), std::sin(t)});
        }
    };
    const float pi = Ogre::Math::PI;
    arc(halfLength, -pi / 2, pi / 2);
    arc(-halfLength, pi / 2, 3 * pi / 2);
    const float perimeter = 4 * halfLength + 2 * pi * r;
    const float repeats = std::max(1.0f, std::round(perimeter / repeatLength));
    const float hw = width / 2;
    for (const float radius : {r, r - thickness}) {
        const bool outer = radius == r;
        float s = 0;
        for (size_t i = 0; i < loop.size(); ++i) {
            const P& p = loop[i];
            const P& q = loop[(i + 1) % loop.size()];
            const float cz0 = p.z - p.nz, cz1 = q.z - q.nz;  // the arcs' centres
            const V3 a(-hw, y + (p.y - y) * radius, cz0 + p.nz * radius);
            const V3 b(-hw, y + (q.y - y) * radius, cz1 + q.nz * radius);
            const float len = (b - a).length();
            if (len < 1e-5f)
                continue;
            const float v0 = s / perimeter * repeats, v1 = (s + len) / perimeter * repeats;
            s += len;
            const V3 c(hw, b.y, b.z), d(hw, a.y, a.z);
            const V3 out = V3(0, p.ny + q.ny, p.nz + q.nz).normalisedCopy() * (outer ? 1.0f : -1.0f);
            quadFacing(m, material, out, a, b, c, d, {0, v0}, {0, v1}, {1, v1}, {1, v0});
        }
    }
    // Side plates: vertical strips between the loop's lower and upper halves.
    std::vector<Ogre::Vector2> columns;  // (z, half height above and below y)
    for (int k = 0; k <= arcSteps; ++k) {
        const float t = pi / 2 * k / arcSteps;  // from the top of the front arc to its tip
        columns.push_back({-halfLength - r * std::sin(t), r * std::cos(t)});
    }
    std::reverse(columns.begin(), columns.end());
    for (int k = 0; k <= arcSteps; ++k) {
        const float t = pi / 2 * k / arcSteps;
        columns.push_back({halfLength + r * std::sin(t), r * std::cos(t)});
    }
    for (const float x : {-hw, hw}) {
        for (size_t k = 0; k + 1 < columns.size(); ++k) {
            Ogre::Vector2 c0 = columns[k], c1 = columns[k + 1];
            const bool tipFirst = c0.y < 1e-4f;
            if (tipFirst)  // keep the degenerate corner off the first two edges
                std::swap(c0, c1);
            const V3 a(x, y - c0.y, c0.x), d(x, y + c0.y, c0.x);
            const V3 b(x, y - c1.y, c1.x), c(x, y + c1.y, c1.x);
            const auto uv = [&](const V3& p) { return Ogre::Vector2((p.y - y + r) / (2 * r), p.z / perimeter * repeats); };
            quadFacing(m, material, V3(x, 0, 0), a, b, c, d, uv(a), uv(b), uv(c), uv(d));
        }
    }
}

const char* const kAbramsHull = "VT/AbramsHull";
const char* const kMarauderHull = "VT/MarauderHull";
const char* const kGunMetal = "VT/VehicleDark";

// The battle tank's hull: bevelled body, the fenders over the treads, the exhaust fans at the back
// (HullAccel spins them) and an antenna whip (HullTurn sways it). The turret is a mesh of its own.
void abramsHull(MeshBuilder& m)
{
    loft(m, chamfered(1.1f, 0.4f, 0.15f), {0, 0.7f}, slices(-2.4f, 2.3f, 8, 0.4f, 0.7f), kAbramsHull);
    for (float x : {-1.35f, 1.35f})
        m.addBox(kAbramsHull, {x, 0.5f, 0}, {0.7f, 0.08f, 4.5f});
    MeshBuilder fan;
    fan.addBox(kGunMetal, V3::ZERO, {0.5f, 0.08f, 0.04f});
    fan.addBox(kGunMetal, V3::ZERO, {0.08f, 0.5f, 0.04f});
    m.append(fan, Q::IDENTITY, {-0.5f, 0.7f, 2.33f}, 1);
    m.append(fan, Q::IDENTITY, {0.5f, 0.7f, 2.33f}, 2);
    MeshBuilder whip;
    whip.addBox(kGunMetal, {0, 0.6f, 0}, {0.04f, 1.2f, 0.04f});
    m.append(whip, Q::IDENTITY, {-0.8f, 1.1f, 1.7f}, 3);

    const auto spin = [](float seconds) {
        std::vector<MeshBuilder::Key> keys;
        for (int k = 0; k <= 4; ++k)
            keys.push_back({seconds * k / 4, V3::ZERO, Q(Ogre::Degree(90.0f * k), V3::UNIT_Z)});
        return keys;
    };
    const std::vector<MeshBuilder::Key> sway = {{0.0f, V3::ZERO, Q::IDENTITY},
                                                {0.25f, V3::ZERO, Q(Ogre::Degree(12), V3::UNIT_Z)},
                                                {0.5f, V3::ZERO, Q::IDENTITY},
                                                {0.75f, V3::ZERO, Q(Ogre::Degree(-12), V3::UNIT_Z)},
                                                {1.0f, V3::ZERO, Q::IDENTITY}};
    m.setSkeleton("abrams_hull.skeleton",
                  {{"Root", -1, V3::ZERO},
                   {"FanLeft", 0, {-0.5f, 0.7f, 2.33f}},
                   {"FanRight", 0, {0.5f, 0.7f, 2.33f}},
                   {"Antenna", 0, {-0.8f, 1.1f, 1.7f}}},
                  {{"HullAccel", 1.0f, {}, {{1, spin(1.0f)}, {2, spin(1.0f)}}},
                   {"HullTurn", 1.0f, {}, {{3, sway}}}});
}

// The battle tank's turret about its node (TurretPos): the block, the gun (TurretFire recoils it)
// reaching to -3.4 where the cannon fires, and a sensor head (TurretTurn turns it).
void abramsTurret(MeshBuilder& m)
{
    loft(m, chamfered(0.9f, 0.35f, 0.2f), {0, 0}, slices(-1.1f, 1.0f, 2, 0.3f, 0.75f), kAbramsHull);
    MeshBuilder gun;
    loft(gun, chamfered(0.1f, 0.1f, 0.03f), {0, 0.05f}, {{-3.4f, 1}, {-2.2f, 1}, {-1.0f, 1.2f}}, kGunMetal);
    gun.addBox(kGunMetal, {0, 0.05f, -3.3f}, {0.3f, 0.24f, 0.25f});
    m.append(gun, Q::IDENTITY, V3::ZERO, 1);
    MeshBuilder sensor;
    sensor.addBox(kGunMetal, {0, 0.15f, 0}, {0.08f, 0.3f, 0.08f});
    sensor.addBox(kGunMetal, {0, 0.35f, 0}, {0.35f, 0.18f, 0.22f});
    m.append(sensor, Q::IDENTITY, {-0.55f, 0.35f, 0.55f}, 2);
    std::vector<MeshBuilder::Key> turn;
    for (int k = 0; k <= 4; ++k)
        turn.push_back({0.5f * k, V3::ZERO, Q(Ogre::Degree(90.0f * k), V3::UNIT_Y)});
    m.setSkeleton("abrams_turret.skeleton",
                  {{"Root", -1, V3::ZERO}, {"Barrel", 0, {0, 0.05f, -1.0f}}, {"Sensor", 0, {-0.55f, 0.35f, 0.55f}}},
                  {{"TurretTurn", 2.0f, {}, {{2, turn}}},
                   {"TurretFire", 0.5f,
                    {},
                    {{1,
                      {{0.0f, V3::ZERO, Q::IDENTITY},
                       {0.06f, V3(0, 0, 0.45f), Q::IDENTITY},
                       {0.5f, V3::ZERO, Q::IDENTITY}}}}}});
}

// The light tank: a lower, narrower hull, fenders, and a small turret with an autocannon.
void marauderHull(MeshBuilder& m, const std::string& material)
{
    loft(m, chamfered(0.9f, 0.3f, 0.12f), {0, 0.55f}, slices(-1.9f, 1.8f, 6, 0.3f, 0.7f), material);
    if (material == kCollision) {
        const Section guard = {{0.3f, -0.3f}, {0.3f, 0.3f}, {-0.3f, 0.3f}, {-0.3f, -0.3f}};
        for (float x : {-1.1f, 1.1f})
            loft(m, guard, {x, 0.45f}, slices(-1.9f, 1.9f, 6, 0.25f, 0.6f));
    } else {
        for (float x : {-1.1f, 1.1f})
            m.addBox(material, {x, 0.42f, 0}, {0.6f, 0.07f, 3.4f});
    }
}

void marauderTurretShape(MeshBuilder& m, const std::string& material, const std::string& gunMaterial,
                         MeshBuilder& gun)
{
    loft(m, chamfered(0.6f, 0.25f, 0.12f), {0, 0}, slices(-0.7f, 0.7f, 2, 0.2f, 0.75f), material);
    loft(gun, chamfered(0.07f, 0.07f, 0.02f), {0, 0.05f}, {{-1.9f, 1}, {-1.3f, 1}, {-0.7f, 1.3f}}, gunMaterial);
}

void marauderTurret(MeshBuilder& m)
{
    MeshBuilder gun;
    marauderTurretShape(m, kMarauderHull, kGunMetal, gun);
    m.append(gun, Q::IDENTITY, V3::ZERO, 1);
    m.setSkeleton("marauder_turret.skeleton", {{"Root", -1, V3::ZERO}, {"Barrel", 0, {0, 0.05f, -0.7f}}},
                  {{"TurretFire", 0.2f,
                    {},
                    {{1,
                      {{0.0f, V3::ZERO, Q::IDENTITY},
                       {0.03f, V3(0, 0, 0.25f), Q::IDENTITY},
                       {0.2f, V3::ZERO, Q::IDENTITY}}}}}});
}

// The light tank's collision hull: the hull, the fender boxes and, at the turret's place (1.1 up),
// its block and gun.
void marauderCollision(MeshBuilder& m)
{
    marauderHull(m, kCollision);
    MeshBuilder turret, gun;
    marauderTurretShape(turret, kCollision, kCollision, gun);
    m.append(turret, Q::IDENTITY, {0, 1.1f, 0});
    m.append(gun, Q::IDENTITY, {0, 1.1f, 0});
}

// The battle tank's collision hull: bevelled hull, turret block with its gun, and the two track
// guards; the hull within the collision points of its definition (x within 1.7, y 0 to 1.8, z
// within 2.4).
void tankHull(MeshBuilder& m)
{
    loft(m, chamfered(1.1f, 0.4f, 0.15f), {0, 0.7f}, slices(-2.4f, 2.3f, 8, 0.4f, 0.7f));
    loft(m, chamfered(0.9f, 0.35f, 0.2f), {0, 1.45f}, slices(-1.1f, 1.0f, 2, 0.3f, 0.75f));
    loft(m, chamfered(0.1f, 0.1f, 0.03f), {0, 1.5f}, {{-3.4f, 1}, {-2.6f, 1}, {-1.8f, 1}, {-1.0f, 1}});
    const Section guard = {{0.3f, -0.35f}, {0.3f, 0.35f}, {-0.3f, 0.35f}, {-0.3f, -0.35f}};
    for (float x : {-1.4f, 1.4f})
        loft(m, guard, {x, 0.55f}, slices(-2.4f, 2.4f, 8, 0.3f, 0.6f));
}

bool saveAll(BuildContext& ctx, const std::vector<std::pair<std::string, MeshBuilder>>& meshes)
{
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    bool ok = true;
    for (const auto& [name, mesh] : meshes) {
        if (!mesh.save(name, dir + name)) {
            ctx.log << "meshes: cannot write " << name << "\n";
            ok = false;
        }
    }
    return ok;
}

bool buildVehicleCollisionMeshes(BuildContext& ctx)
{
    builderEngine();
    std::vector<std::pair<std::string, MeshBuilder>> meshes(2);
    meshes[0].first = "abrams_hull_col.mesh";
    tankHull(meshes[0].second);
    meshes[1].first = "marauder_hull_col.mesh";
    marauderCollision(meshes[1].second);
    return saveAll(ctx, meshes);
}

bool buildVehicleMeshes(BuildContext& ctx)
{
    builderEngine();
    std::vector<std::pair<std::string, MeshBuilder>> meshes(8);
    meshes[0].first = "abrams_hull.mesh";
    abramsHull(meshes[0].second);
    meshes[1].first = "abrams_turret.mesh";
    abramsTurret(meshes[1].second);
    meshes[2].first = "marauder_hull.mesh";
    marauderHull(meshes[2].second, kMarauderHull);
    meshes[3].first = "marauder_turret.mesh";
    marauderTurret(meshes[3].second);
    // Wheel centres 0.42 (0.35) above the floor, a wheel radius, when the main node stands at its
    // ground offset: the treads' node sits at the main node's height.
    const char* sides[] = {"left", "right"};
    for (int i = 0; i < 2; ++i) {
        meshes[4 + i].first = std::string("abrams_tread_") + sides[i] + ".mesh";
        treadLoop(meshes[4 + i].second, "abrams_tread", 1.6f, 0.42f, -0.03f, 0.6f, 0.08f, 0.5f);
        meshes[6 + i].first = std::string("marauder_tread_") + sides[i] + ".mesh";
        treadLoop(meshes[6 + i].second, "marauder_tread", 1.2f, 0.35f, 0.0f, 0.5f, 0.07f, 0.4f);
    }
    return saveAll(ctx, meshes);
}

}  // namespace

DATABUILDER_STEP("vehicle collision meshes", 12, buildVehicleCollisionMeshes);
DATABUILDER_STEP("vehicle meshes", 12, buildVehicleMeshes);
