#pragma once
#include "core/Priget.h"

#include <MyGUI_MouseButton.h>
#include <OgreConfigOptionMap.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ogre {
class Root;
}
namespace MyGUI {
class Widget;
class Button;
class ComboBox;
class TextBox;
}
class GameSession;
class ConfigManager;
struct GameSettings;
class MessageWindow;

// A screen mode the render system offers.
struct VideoModeEntry {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;
};

// The display page of the options: language, resolution, quality presets, vsync, full screen,
// anti-aliasing. Apply writes config.ini; the running window is left as it is.
class Priget_OptionsDisplay : public Priget {
public:
    static constexpr uint32_t kMinWidth = 800;
    static constexpr uint32_t kMinHeight = 600;
    static constexpr uint32_t kQualityLevels = 5;
    static constexpr uint32_t kCustomPreset = 5;

    // The text argument is not used.
    Priget_OptionsDisplay(MyGUI::Gui* gui, GameSession* session, Ogre::Root* root, ConfigManager* config,
                          GameSettings* settings, const std::string& unused, bool createNow, bool visible);
    ~Priget_OptionsDisplay() override;

    void create(bool visible) override;
    void destroy() override;
    void show(bool visible);

    // "800 x 600 @ 32-bit colour" (or "800 x 600", counted as 32 bits); 0 for a missing part.
    static uint32_t parseVideoMode(const std::string& value);
    static uint32_t parseVideoModeHeight(const std::string& value);
    static uint32_t parseVideoModeDepth(const std::string& value);
    static bool isNonMaskable(const std::string& value);
    // The modes of at least 800 x 600, in the render system's order.
    static std::vector<VideoModeEntry> videoModesFrom(const Ogre::ConfigOptionMap& options);
    // The anti-aliasing choices, from "Anti aliasing" or else "FSAA".
    static std::vector<std::string> antialiasingFrom(const Ogre::ConfigOptionMap& options);
    // The combo index of an "FSAA" value: the halvings that bring it below 2.
    static uint32_t antialiasingIndexFor(int fsaa);

    void onPresetChange(MyGUI::ComboBox* sender, size_t index);
    void onModelQualityChange(MyGUI::ComboBox* sender, size_t index);
    void onQualityChange(MyGUI::ComboBox* sender, size_t index);
    void onVsyncClick(MyGUI::Widget* sender);
    void onFullScreenClick(MyGUI::Widget* sender);
    void onAdvancedClick(MyGUI::Widget* sender);
    void onApplyClick(MyGUI::Widget* sender);
    void onMessageResult(MessageWindow* sender, int result);
    void onResolutionChange(MyGUI::ComboBox* sender, size_t index);

    // What Apply would change of the screen mode the player did not choose (the settings' mode is
    // not listed, so the first listed one stands in for it); "" when nothing.
    std::string modeChangeNotice() const;

    const std::vector<VideoModeEntry>& videoModes() const { return videoModes_; }
    uint32_t videoModeCount() const { return static_cast<uint32_t>(videoModes_.size()); }
    const std::string& applyNotice() const { return applyNotice_; }
    MessageWindow* message() const { return message_.get(); }

    GameSession* session = nullptr;
    GameSettings* settings = nullptr;
    Ogre::Root* root = nullptr;
    ConfigManager* config = nullptr;
    MyGUI::Widget* modalBlocker = nullptr;
    MyGUI::Widget* mainPanel = nullptr;
    MyGUI::Widget* advancedPanel = nullptr;

    MyGUI::TextBox* titleText = nullptr;
    MyGUI::TextBox* languageText = nullptr;
    MyGUI::TextBox* resolutionText = nullptr;
    MyGUI::TextBox* overallText = nullptr;
    MyGUI::TextBox* advancedTitleText = nullptr;
    MyGUI::TextBox* antialiasingText = nullptr;
    MyGUI::TextBox* modelText = nullptr;
    MyGUI::TextBox* textureText = nullptr;
    MyGUI::TextBox* worldText = nullptr;
    MyGUI::TextBox* effectsText = nullptr;
    MyGUI::Button* applyButton = nullptr;
    MyGUI::Button* advancedCheck = nullptr;
    MyGUI::Button* fullScreenCheck = nullptr;
    MyGUI::Button* vsyncCheck = nullptr;
    MyGUI::ComboBox* languageCombo = nullptr;
    MyGUI::ComboBox* resolutionCombo = nullptr;
    MyGUI::ComboBox* modelCombo = nullptr;
    MyGUI::ComboBox* textureCombo = nullptr;
    MyGUI::ComboBox* worldCombo = nullptr;
    MyGUI::ComboBox* effectsCombo = nullptr;
    MyGUI::ComboBox* overallCombo = nullptr;
    MyGUI::ComboBox* antialiasingCombo = nullptr;

private:
    void readVideoModes();
    void readAntialiasingOptions();
    void fillLanguages();
    void fillResolutions();
    uint32_t selectCurrentVideoMode() const;
    void loadCurrentValues();
    void refreshTexts();
    Ogre::ConfigOptionMap renderSystemOptions() const;
    void onPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);
    void destroyParts();

    void showMessage(const std::string& text);
    // As the resolution list shows a mode: "1024 x 768 - 32bits".
    static std::string modeText(uint32_t width, uint32_t height, uint32_t depth);

    std::string applyNotice_;
    std::string modeChangeNotice_;
    // The settings' mode is not in the list and the player has not picked one.
    bool modeUnchosen_ = false;
    // The player was told what Apply changes of the mode; the next Apply writes it.
    bool modeChangeTold_ = false;
    std::vector<VideoModeEntry> videoModes_;
    std::unique_ptr<MessageWindow> message_;
};
