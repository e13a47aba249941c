#include "core/ConfigManager.h"

#include "core/BinaryIO.h"
#include "core/GameSettings.h"
#include "core/ShippedDefaults.h"
#include "core/Utilities.h"
#include "platform/Platform.h"

#include <OgreConfigFile.h>
#include <OgreDataStream.h>
#include <OgreException.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {
// Below this the menus do not fit; above it no display shows the window and its buffers cost
// hundreds of megabytes.
constexpr uint32_t kMinWindowSide = 320;
constexpr uint32_t kMaxWindowSide = 8192;
}  // namespace

GameSettings::GameSettings()
{
    renderOptions["FSAA"] = "0";
    renderOptions["vsync"] = "false";
    renderOptions["colourDepth"] = "16";
}

WindowSize windowSizeFor(const GameSettings& s)
{
    // 0 is an absent or unreadable value, and a negative one wraps past INT32_MAX: no size at all.
    const auto given = [](uint32_t side) { return side > 0 && side <= uint32_t{INT32_MAX}; };
    if (!given(s.width) || !given(s.height))
        return {800, 600};
    const auto clamp = [](uint32_t side) { return std::min(std::max(side, kMinWindowSide), kMaxWindowSide); };
    return {clamp(s.width), clamp(s.height)};
}

ConfigManager::ConfigManager(GameSettings* settings, std::string path)
    : settings_(settings), path_(std::move(path))
{
}

std::string ConfigManager::keyBindingsPath() const
{
    const auto slash = path_.find_last_of('/');
    return (slash == std::string::npos ? std::string() : path_.substr(0, slash + 1)) + "ctrlConfig.ini";
}

namespace {
const char* const kSeparators = "\t:=";

void loadText(Ogre::ConfigFile& cfg, const char* text, size_t size)
{
    // The stream only borrows the text, which outlives the parse.
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<char*>(text), size, false, true));
    cfg.load(stream, kSeparators, true);
}

void loadText(Ogre::ConfigFile& cfg, const char* text) { loadText(cfg, text, std::strlen(text)); }
}  // namespace

bool loadRegularIniFile(Ogre::ConfigFile& cfg, const std::string& path, size_t maxBytes, platform::RegularFile* why)
{
    std::string text;
    const platform::RegularFile read = platform::readRegularFile(path, maxBytes, text);
    if (why)
        *why = read;
    if (read != platform::RegularFile::Ok)
        return false;
    cfg.clear();
    loadText(cfg, text.data(), text.size());
    return true;
}

SettingsSource loadSettingsFile(Ogre::ConfigFile& cfg, const std::string& path, const char* shipped,
                                const std::string& kept)
{
    // Read from a handle checked to be a regular file: the engine's reader never returns on a
    // folder, and waits forever on a pipe.
    platform::RegularFile read = platform::RegularFile::Ok;
    if (loadRegularIniFile(cfg, path, kMaxSettingsFileBytes, &read))
        return SettingsSource::File;
    if (read == platform::RegularFile::Missing) {
        loadText(cfg, shipped);
        if (!writeFileAtomically(path, shipped)) {
            platform::showWarning("Could not write " + path + "; " + kept + " kept in memory");
            return SettingsSource::ShippedInMemory;
        }
        platform::showWarning(path + " missing: wrote the default " + kept);
        return SettingsSource::WrittenFromShipped;
    }
    if (read == platform::RegularFile::TooLarge)
        platform::showWarning(path + " is larger than " + std::to_string(kMaxSettingsFileBytes >> 20) +
                              " MB; default " + kept + " kept in memory");
    else
        platform::showWarning(path + " is not a readable file; default " + kept + " kept in memory");
    cfg.clear();
    loadText(cfg, shipped);
    return SettingsSource::ShippedInMemory;
}

void ConfigManager::readConfigIni()
{
    Ogre::ConfigFile cfg;
    loadSettingsFile(cfg, path_, shippedConfigIni(), "settings");
    if (!settings_)
        return;
    GameSettings& s = *settings_;
    // An absent key reads as "" and so parses as 0 or false, not as the default.
    auto get = [&](const char* section, const char* key) {
        return stripQuotes(cfg.getSetting(key, section, ""));
    };
    using SC = Ogre::StringConverter;

    s.renderOptions["FSAA"] = get("renderer", "FSAA");
    s.renderOptions["vsync"] = get("renderer", "vsync");
    s.renderOptions["colourDepth"] = get("renderer", "colourDepth");
    s.width = static_cast<uint32_t>(SC::parseInt(get("renderer", "width")));
    s.height = static_cast<uint32_t>(SC::parseInt(get("renderer", "height")));
    s.fullscreen = SC::parseBool(get("renderer", "fullscreen"));

    s.GraficQuality = SC::parseInt(get("Display", "GraficQuality"));
    s.ModelQuality = SC::parseInt(get("Display", "ModelQuality"));
    s.TextureQuality = SC::parseInt(get("Display", "TextureQuality"));
    s.WorldQuality = SC::parseInt(get("Display", "WorldQuality"));
    s.EffectsQuality = SC::parseInt(get("Display", "EffectsQuality"));
    s.EffectsNumber = SC::parseInt(get("Display", "EffectsNumber"));
    s.Language = SC::parseUnsignedInt(get("Display", "Language"));

    s.SFXVolume = SC::parseInt(get("Sound", "SFXVolume"));
    s.VoiceVolume = SC::parseInt(get("Sound", "VoiceVolume"));
    s.MusicVolume = SC::parseInt(get("Sound", "MusicVolume"));
    s.EnvironmentVolume = SC::parseInt(get("Sound", "EnvironmentVolume"));

    s.ScoreServer = get("Network", "ScoreServer");
}

bool ConfigManager::writeConfigIni()
{
    if (!settings_)
        return false;
    GameSettings& s = *settings_;
    using SC = Ogre::StringConverter;

    // operator[] on purpose: a missing render option is added empty, as the reader would leave it.
    unsigned fsaa = SC::parseUnsignedInt(s.renderOptions["FSAA"]);
    if (fsaa != 0 && fsaa != 2 && fsaa != 4 && fsaa != 6 && fsaa != 8)
        fsaa = 0;
    const unsigned depth = SC::parseUnsignedInt(s.renderOptions["colourDepth"]) < 17 ? 16 : 32;
    const bool vsync = SC::parseBool(s.renderOptions["vsync"]);
    // Every number goes out as unsigned decimal; the reader's converter wraps it back.
    const auto u = [](int32_t v) { return static_cast<uint32_t>(v); };

    std::ostringstream out;
    out << "[renderer]\n"
        << "width = " << s.width << "\n"
        << "height = " << s.height << "\n"
        << "FSAA = " << fsaa << "\n"
        << "colourDepth = " << depth << "\n"
        << "vsync = " << (vsync ? "true" : "false") << "\n"
        << "fullscreen = " << (s.fullscreen ? "true" : "false") << "\n"
        << "\n[Display]\n"
        << "GraficQuality = " << u(s.GraficQuality) << "\n"
        << "ModelQuality = " << u(s.ModelQuality) << "\n"
        << "TextureQuality = " << u(s.TextureQuality) << "\n"
        << "WorldQuality = " << u(s.WorldQuality) << "\n"
        << "EffectsQuality = " << u(s.EffectsQuality) << "\n"
        << "EffectsNumber = " << u(s.EffectsNumber) << "\n"
        << "Language = " << s.Language << "\n"
        << "\n[Sound]\n"
        << "SFXVolume = " << u(s.SFXVolume) << "\n"
        << "VoiceVolume = " << u(s.VoiceVolume) << "\n"
        << "MusicVolume = " << u(s.MusicVolume) << "\n"
        << "EnvironmentVolume = " << u(s.EnvironmentVolume) << "\n"
        << "\n[Network]\n"
        << "ScoreServer =" << (s.ScoreServer.empty() ? "" : " ") << s.ScoreServer << "\n";

    // Temporary file and rename: a crash or a full disk mid-write keeps the old settings.
    if (writeFileAtomically(path_, out.str()))
        return true;
    platform::showWarning("Could not write " + path_ + "; settings kept in memory");
    return false;
}
