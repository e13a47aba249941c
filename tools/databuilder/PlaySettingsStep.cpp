// Writes Data/System/GPset.Dat from data/tables/GPset.ini.
#include "BuildStep.h"

#include "core/BinaryIO.h"
#include "core/GamePlayData.h"
#include "core/Utilities.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreStringConverter.h>

#include <ostream>

namespace {
const char* const kValueKeys[GamePlayData::PlaySettingCount] = {
    "DoubleTapWindow", "ProjFloatPitchRate", "ProjFloatHeight",
    "TurboTimeFactor", "OvniHoverHeight",    "VerticalFloatSpeed",
};

bool readNumber(const Ogre::ConfigFile& cfg, const char* section, const char* key, float& out,
                std::ostream& log)
{
    const std::string text = stripQuotes(cfg.getSetting(key, section, ""));
    if (!Ogre::StringConverter::parse(text, out)) {
        log << "GPset.ini: [" << section << "] " << key << " is missing or not a number\n";
        return false;
    }
    return true;
}

bool buildPlaySettings(BuildContext& ctx)
{
    const std::string source = ctx.dataDir + "/tables/GPset.ini";
    Ogre::ConfigFile cfg;
    try {
        cfg.loadDirect(source, "\t:=", true);
    } catch (const Ogre::Exception& e) {
        ctx.log << "GPset.ini: " << e.getDescription() << "\n";
        return false;
    }

    float values[GamePlayData::PlaySettingCount] = {};
    bool ok = true;
    for (int i = 0; i < GamePlayData::PlaySettingCount; ++i)
        ok = readNumber(cfg, "PlaySettings", kValueKeys[i], values[i], ctx.log) && ok;
    float timeFactor = 0.0f;
    float radius = 0.0f;
    ok = readNumber(cfg, "SlowTimeBubble", "TimeFactor", timeFactor, ctx.log) && ok;
    ok = readNumber(cfg, "SlowTimeBubble", "Radius", radius, ctx.log) && ok;
    if (ok && values[GamePlayData::TurboTimeFactor] <= 0.0f) {
        ctx.log << "GPset.ini: TurboTimeFactor must be above 0\n";
        ok = false;
    }
    if (!ok)
        return false;

    BinaryWriter out;
    out.writeU32(GamePlayData::kSettingsMagic);
    out.writeU32(0);
    for (float v : values)
        out.writeF32(v);
    writeBinString(out, stripQuotes(cfg.getSetting("Mesh", "SlowTimeBubble", "")));
    out.writeF32(timeFactor);
    out.writeF32(radius);
    writeBinString(out, stripQuotes(cfg.getSetting("PlayReactor", "SlowTimeBubble", "")));
    if (!out.commit(GamePlayData::kSettingsPath)) {
        ctx.log << "could not write " << GamePlayData::kSettingsPath << "\n";
        return false;
    }
    return true;
}
}  // namespace

DATABUILDER_STEP("GPset.Dat", 20, buildPlaySettings);
