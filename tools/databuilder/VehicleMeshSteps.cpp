// Collision hulls of the vehicles: closed, outward-facing shells of a few hundred triangles, close
// to the drawn shape so that shots and aim rays meet the hull where the player sees it.
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"

#include <OgreMath.h>

#include <filesystem>
#include <ostream>
#include <vector>

namespace {

using V3 = Ogre::Vector3;

// A cross-section in the XY plane, counter-clockwise seen from +Z.
using Section = std::vector<Ogre::Vector2>;

struct Ring {
    float z;
    float scale;  // of the section about its centre
};

// A shell through the rings (in increasing z), closed by caps at both ends.
void loft(MeshBuilder& m, const Section& section, const Ogre::Vector2& centre, const std::vector<Ring>& rings)
{
    const std::string material = "VT/Collision";
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

// The battle tank: bevelled hull, turret block with its gun, and the two track guards; its front
// is -Z, the hull within the collision points of its definition (x within 1.7, y 0 to 1.8, z within 2.4).
void tankHull(MeshBuilder& m)
{
    loft(m, chamfered(1.1f, 0.4f, 0.15f), {0, 0.7f}, slices(-2.4f, 2.3f, 8, 0.4f, 0.7f));
    loft(m, chamfered(0.9f, 0.35f, 0.2f), {0, 1.45f}, slices(-1.1f, 1.0f, 2, 0.3f, 0.75f));
    loft(m, chamfered(0.1f, 0.1f, 0.03f), {0, 1.5f}, {{-3.4f, 1}, {-2.6f, 1}, {-1.8f, 1}, {-1.0f, 1}});
    const Section guard = {{0.3f, -0.35f}, {0.3f, 0.35f}, {-0.3f, 0.35f}, {-0.3f, -0.35f}};
    for (float x : {-1.4f, 1.4f})
        loft(m, guard, {x, 0.55f}, slices(-2.4f, 2.4f, 8, 0.3f, 0.6f));
}

bool buildVehicleCollisionMeshes(BuildContext& ctx)
{
    builderEngine();
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    MeshBuilder hull;
    tankHull(hull);
    if (!hull.save("abrams_hull_col.mesh", dir + "abrams_hull_col.mesh")) {
        ctx.log << "meshes: cannot write abrams_hull_col.mesh\n";
        return false;
    }
    return true;
}

}  // namespace

DATABUILDER_STEP("vehicle collision meshes", 12, buildVehicleCollisionMeshes);
