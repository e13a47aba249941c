// The meshes of shots in flight, built along -z (their facing): a tracer round, a finned rocket,
// the guided missile and a mortar shell. Each is small and drawn only while it flies.
#include "BuildStep.h"
#include "BuilderEngine.h"
#include "MeshBuilder.h"

#include <OgreQuaternion.h>

#include <filesystem>
#include <functional>
#include <ostream>

namespace {

using V3 = Ogre::Vector3;

// MeshBuilder shapes stand along +y; shots fly along -z, so each shape is laid down nose first.
class LyingShape {
public:
    explicit LyingShape(MeshBuilder& m) : m_(m) {}
    // A body of `length` whose tail lies at z = tailZ, nose toward -z.
    void cylinder(const char* material, float tailZ, float radius, float length, int segments = 10)
    {
        MeshBuilder part;
        part.addCylinder(material, V3::ZERO, radius, length, segments);
        append(part, tailZ);
    }
    void cone(const char* material, float tailZ, float radiusTail, float radiusNose, float length, int segments = 10)
    {
        MeshBuilder part;
        part.addCone(material, V3::ZERO, radiusTail, radiusNose, length, segments);
        append(part, tailZ);
    }

private:
    void append(const MeshBuilder& part, float tailZ)
    {
        // Up (+y) becomes forward (-z).
        m_.append(part, Ogre::Quaternion(Ogre::Degree(-90), V3::UNIT_X), V3(0, 0, tailZ));
    }
    MeshBuilder& m_;
};

void bullet(MeshBuilder& m)
{
    LyingShape s(m);
    // Long and glowing, so a round shows as a streak at a distance.
    s.cylinder("VT/ShotTracer", 1.5f, 0.12f, 2.7f, 8);
    s.cone("VT/ShotTracer", -1.2f, 0.12f, 0.0f, 0.3f, 8);
}

void rocket(MeshBuilder& m)
{
    LyingShape s(m);
    s.cylinder("VT/ShotMetal", 0.7f, 0.16f, 1.1f);
    s.cone("VT/ShotNose", -0.4f, 0.16f, 0.0f, 0.4f);
    m.addBox("VT/ShotMetal", {0, 0, 0.55f}, {0.7f, 0.04f, 0.3f});
    m.addBox("VT/ShotMetal", {0, 0, 0.55f}, {0.04f, 0.7f, 0.3f});
}

void missile(MeshBuilder& m)
{
    LyingShape s(m);
    s.cylinder("VT/ShotMetal", 1.0f, 0.2f, 1.6f);
    s.cone("VT/ShotNose", -0.6f, 0.2f, 0.05f, 0.55f);
    m.addBox("VT/ShotMetal", {0, 0, 0.75f}, {0.9f, 0.05f, 0.4f});
    m.addBox("VT/ShotMetal", {0, 0, 0.75f}, {0.05f, 0.9f, 0.4f});
    m.addBox("VT/ShotMetal", {0, 0, -0.2f}, {0.6f, 0.04f, 0.25f});
    m.addBox("VT/ShotMetal", {0, 0, -0.2f}, {0.04f, 0.6f, 0.25f});
}

void shell(MeshBuilder& m)
{
    LyingShape s(m);
    s.cylinder("VT/ShotMetal", 0.35f, 0.22f, 0.5f);
    s.cone("VT/ShotNose", -0.15f, 0.22f, 0.04f, 0.35f);
    s.cone("VT/ShotMetal", 0.6f, 0.12f, 0.22f, 0.25f);
}

bool buildShotMeshes(BuildContext& ctx)
{
    builderEngine();
    const std::string dir = "../../Data/Meshes/";
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::function<void(MeshBuilder&)>> shots[] = {
        {"proj_bullet.mesh", bullet},
        {"proj_rocket.mesh", rocket},
        {"stand_missil.mesh", missile},
        {"proj_bomb.mesh", shell},
    };
    bool ok = true;
    for (const auto& [name, make] : shots) {
        MeshBuilder m;
        make(m);
        if (!m.save(name, dir + name)) {
            ctx.log << "shot meshes: cannot write " << name << "\n";
            ok = false;
        }
    }
    return ok;
}

}  // namespace

DATABUILDER_STEP("shot meshes", 12, buildShotMeshes);
