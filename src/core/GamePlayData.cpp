#include "core/GamePlayData.h"

#include "core/BinaryIO.h"
#include "platform/Platform.h"

#include <OgreSceneNode.h>

#include <cmath>

const char* const GamePlayData::kSettingsPath = "../../Data/System/GPset.Dat";

bool SlowTimeBubble::covers(const Ogre::Vector3& worldPoint) const
{
    const Ogre::SceneNode* centre = ownerNode ? ownerNode : node;
    if (!active || !centre)
        return false;
    const float r = effectiveRadius();
    return centre->_getDerivedPosition().squaredDistance(worldPoint) <= r * r;
}

GamePlayData::GamePlayData() { loadSettings(); }

GamePlayData::~GamePlayData() { clearArrays(); }

namespace {
// Default tuning must not pass unnoticed: the one line says which file is at fault.
bool reportUnusable(const std::string& what, const std::string& path)
{
    platform::showWarning("Play settings " + what + ": " + path + "; default tuning in use");
    return false;
}
}  // namespace

bool GamePlayData::loadSettings(const std::string& path)
{
    BinaryReader in;
    if (!in.open(path))
        return reportUnusable("missing or unreadable", path);
    uint32_t magic = 0;
    uint32_t reserved = 0;
    if (!in.readU32(magic) || magic != kSettingsMagic || !in.readU32(reserved))
        return reportUnusable("damaged", path);

    // Read everything into temporaries: a short or damaged file changes nothing.
    std::array<float, PlaySettingCount> values{};
    for (float& v : values)
        in.readF32(v);
    std::string meshName = readBinString(in);
    float timeFactor = 0.0f;
    float radius = 0.0f;
    in.readF32(timeFactor);
    in.readF32(radius);
    std::string reactorName = readBinString(in);
    if (!in.ok())
        return reportUnusable("damaged", path);
    bool finite = std::isfinite(timeFactor) && std::isfinite(radius);
    for (float v : values)
        finite = finite && std::isfinite(v);
    if (!finite)
        return reportUnusable("damaged", path);

    playSettings = values;
    bubbleMeshName = std::move(meshName);
    bubble.timeFactor = timeFactor;
    bubble.radius = radius;
    playReactorName = std::move(reactorName);
    return true;
}

void GamePlayData::clearArrays()
{
    // The rows go with their spawn types; every count becomes 0.
    ovniTypes.clear();
    ovniTypes.shrink_to_fit();
    intervalPickupTypes.clear();
    intervalPickupTypes.shrink_to_fit();
    timePickupTypes.clear();
    timePickupTypes.shrink_to_fit();
    mechaVars.clear();
    mechaVars.shrink_to_fit();
    areaRows.clear();
    areaRows.shrink_to_fit();
}
