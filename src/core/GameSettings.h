#pragma once
#include <OgreCommon.h>

#include <cstdint>
#include <string>

// The user's settings from config.ini.
struct GameSettings {
    GameSettings();

    Ogre::NameValuePairList renderOptions;
    uint32_t width = 800;
    uint32_t height = 600;
    bool fullscreen = true;
    int32_t GraficQuality = 0;
    int32_t ModelQuality = 0;
    int32_t TextureQuality = 0;
    int32_t WorldQuality = 0;
    int32_t EffectsQuality = 0;
    int32_t EffectsNumber = 0;
    int32_t SFXVolume = 0;
    int32_t VoiceVolume = 0;
    int32_t MusicVolume = 0;
    int32_t EnvironmentVolume = 0;
    uint32_t Language = 1;
    // The score server, "host" or "host:port"; empty: scores stay offline.
    std::string ScoreServer;
};

// The size to open the render window with: each side clamped into 320..8192, and 800 x 600 when
// a side is absent or unreadable (0) or negative in the file; the settings keep what was read.
struct WindowSize {
    uint32_t width;
    uint32_t height;
};
WindowSize windowSizeFor(const GameSettings& settings);
