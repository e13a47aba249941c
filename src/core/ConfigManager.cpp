#include "core/ConfigManager.h"

#include "core/BinaryIO.h"
#include "core/GameSettings.h"
#include "core/Utilities.h"

#include <OgreConfigFile.h>
#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <sstream>

GameSettings::GameSettings()
{
    renderOptions["FSAA"] = "0";
    renderOptions["vsync"] = "false";
    renderOptions["colourDepth"] = "16";
}

ConfigManager::ConfigManager(GameSettings* settings, std::string path)
    : settings_(settings), path_(std::move(path))
{
}

void ConfigManager::readConfigIni()
{
    Ogre::ConfigFile cfg;
    cfg.loadDirect(path_, "\t:=", true);
    GameSettings& s = *settings_;
    auto get = [&](const char* section, const char* key) {
        return stripQuotes(cfg.getSetting(key, section, ""));
    };
    using SC = Ogre::StringConverter;

    s.renderOptions["FSAA"] = get("renderer", "FSAA");
    s.renderOptions["vsync"] = get("renderer", "vsync");
    s.renderOptions["colourDepth"] = get("renderer", "colourDepth");
    s.width = SC::parseUnsignedInt(get("renderer", "width"));
    s.height = SC::parseUnsignedInt(get("renderer", "height"));
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
}

bool ConfigManager::writeConfigIni()
{
    if (!settings_)
        return false;
    GameSettings& s = *settings_;
    using SC = Ogre::StringConverter;

    unsigned fsaa = SC::parseUnsignedInt(s.renderOptions["FSAA"]);
    if (fsaa != 0 && fsaa != 2 && fsaa != 4 && fsaa != 6 && fsaa != 8)
        fsaa = 0;
    const unsigned depth = SC::parseUnsignedInt(s.renderOptions["colourDepth"]) < 17 ? 16 : 32;
    const bool vsync = SC::parseBool(s.renderOptions["vsync"]);

    std::ostringstream out;
    out << "[renderer]\n"
        << "width = " << s.width << "\n"
        << "height = " << s.height << "\n"
        << "FSAA = " << fsaa << "\n"
        << "colourDepth = " << depth << "\n"
        << "vsync = " << (vsync ? "true" : "false") << "\n"
        << "fullscreen = " << (s.fullscreen ? "true" : "false") << "\n"
        << "\n[Display]\n"
        << "GraficQuality = " << s.GraficQuality << "\n"
        << "ModelQuality = " << s.ModelQuality << "\n"
        << "TextureQuality = " << s.TextureQuality << "\n"
        << "WorldQuality = " << s.WorldQuality << "\n"
        << "EffectsQuality = " << s.EffectsQuality << "\n"
        << "EffectsNumber = " << s.EffectsNumber << "\n"
        << "Language = " << s.Language << "\n"
        << "\n[Sound]\n"
        << "SFXVolume = " << s.SFXVolume << "\n"
        << "VoiceVolume = " << s.VoiceVolume << "\n"
        << "MusicVolume = " << s.MusicVolume << "\n"
        << "EnvironmentVolume = " << s.EnvironmentVolume << "\n";

    if (writeFileAtomically(path_, out.str()))
        return true;
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("Could not write " + path_ + "; settings kept in memory", Ogre::LML_CRITICAL);
    return false;
}
