#pragma once
#include "core/Priget.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Ogre {
class Root;
}
namespace MyGUI {
class Widget;
class ScrollBar;
class TextBox;
}
class ConfigManager;
struct GameSettings;

// The audio page: master, music, voice, SFX and environment volume sliders. The master moves the
// four channels by its own step; destroy() stores the channels in the settings and config.ini.
class Priget_OptionsSound : public Priget {
public:
    static constexpr size_t kRange = 100;

    // The text argument is not used.
    Priget_OptionsSound(MyGUI::Gui* gui, Ogre::Root* root, ConfigManager* config, GameSettings* settings,
                        const std::string& unused, bool createNow, bool visible);
    ~Priget_OptionsSound() override;

    void create(bool visible) override;
    // Stores the volumes and rewrites config.ini; then removes the page's widgets.
    void destroy() override;

    void onMasterVolume(MyGUI::ScrollBar* sender, size_t position);
    void onSfxVolume(MyGUI::ScrollBar* sender, size_t position);
    void onVoiceVolume(MyGUI::ScrollBar* sender, size_t position);
    void onMusicVolume(MyGUI::ScrollBar* sender, size_t position);
    void onEnvironmentVolume(MyGUI::ScrollBar* sender, size_t position);

    GameSettings* settings = nullptr;
    Ogre::Root* root = nullptr;
    ConfigManager* config = nullptr;
    uint32_t lastMasterPosition = 0;
    MyGUI::Widget* panel = nullptr;
    MyGUI::ScrollBar* masterSlider = nullptr;
    MyGUI::ScrollBar* sfxSlider = nullptr;
    MyGUI::ScrollBar* musicSlider = nullptr;
    MyGUI::ScrollBar* voiceSlider = nullptr;
    MyGUI::ScrollBar* environmentSlider = nullptr;
    MyGUI::TextBox* masterValue = nullptr;
    MyGUI::TextBox* sfxValue = nullptr;
    MyGUI::TextBox* musicValue = nullptr;
    MyGUI::TextBox* voiceValue = nullptr;
    MyGUI::TextBox* environmentValue = nullptr;

private:
    void destroyPanel();
};
