#pragma once
#include "core/Priget.h"

#include <array>
#include <cstdint>
#include <string>

namespace MyGUI {
class Widget;
class Button;
class TextBox;
class ImageBox;
class RotatingSkin;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}
class GameSession;
class GlobalSounds;
class ControllerSmoothCaption;

// The main menu: six game modes (as far as the profile has unlocked them), Challenge Mode,
// Options and Quit Game, with a typed help line, an animated frame and cogs, and the quit box.
// It moves the session's selectedIndex; the title state decides what a confirm or click does.
class Priget_Menu_MainMenu : public Priget {
public:
    static constexpr int kItemCount = 9;
    static constexpr int kModeCount = 6;
    static constexpr int kMarkerCount = 7;
    static constexpr int kCogCount = 5;
    static constexpr uint32_t kQuitItem = 8;

    Priget_Menu_MainMenu(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);
    ~Priget_Menu_MainMenu() override;

    void create(bool show) override;
    void destroy() override;

    // Per frame while the menu or the quit box is open.
    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    // Per frame while the title prompt or the profile screen is shown: intro and cogs only.
    void animateIn(float dt);
    void show(bool visible);
    void hide();
    // The captions and layout of the current profile, and the intro anew.
    void reset();
    void setButtonStates(bool pushHelp);
    void setQuitButtonStates(bool pushHelp);
    std::string itemHelpText() const;
    std::string quitHelpText() const;

    MyGUI::Widget* getFreeButton() const;
    MyGUI::Widget* getSkirmButton() const;
    MyGUI::Widget* getProfButton() const;
    MyGUI::Widget* getOptionsButton() const;
    MyGUI::Widget* getQuitButton() const;

    void onItemFocus(MyGUI::Widget* sender, bool gained);
    void onQuitItemFocus(MyGUI::Widget* sender, bool gained);

    MyGUI::Button* item(int index) const { return items_[static_cast<size_t>(index)]; }
    MyGUI::Widget* marker(int index) const { return markers_[static_cast<size_t>(index)]; }
    MyGUI::Widget* mainFrame() const { return frames_[2]; }
    MyGUI::Widget* leftBar() const { return frames_[0]; }
    MyGUI::Widget* rightBar() const { return frames_[1]; }
    MyGUI::Widget* quitBox() const { return quitBox_; }
    MyGUI::Button* quitYes() const { return quitYes_; }
    MyGUI::Button* quitNo() const { return quitNo_; }
    MyGUI::TextBox* quitQuestion() const { return quitQuestion_; }
    MyGUI::TextBox* versionText() const { return versionText_; }
    MyGUI::TextBox* helpLine() const { return helpLine_; }
    MyGUI::Widget* helpStrip() const { return helpStrip_; }
    MyGUI::ImageBox* cog(int index) const { return cogs_[static_cast<size_t>(index)]; }
    float cogAngle(int index) const;
    ControllerSmoothCaption* captionController() const { return caption_; }

    GlobalSounds* globalSounds = nullptr;
    GameSession* session = nullptr;
    uint8_t navLatch = 1;
    float introTimer = 1.0f;
    uint32_t menuHeight = 368;
    float shownHeight = 0.0f;
    uint32_t shownModeCount = 0;

private:
    void setCaptions();
    void layoutByLocks();
    void runIntro(float dt);
    void turnCogs(float dt, float factor);
    void turnCog(int index, float by);
    void hitTestButtons(int x, int y);
    void hitTestQuitButtons(int x, int y);
    void navigate(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void moveSelection(int step);
    void toggleQuitItem();
    uint32_t language() const;
    void pushHelp(const std::string& text);
    void destroyWidgets();

    MyGUI::TextBox* versionText_ = nullptr;
    MyGUI::TextBox* quitQuestion_ = nullptr;
    MyGUI::Widget* helpStrip_ = nullptr;
    MyGUI::TextBox* helpLine_ = nullptr;
    ControllerSmoothCaption* caption_ = nullptr;
    std::array<MyGUI::Widget*, 3> frames_{};  // left bar, right bar, main frame
    MyGUI::ImageBox* background_ = nullptr;
    std::array<MyGUI::Button*, kItemCount> items_{};
    std::array<MyGUI::Widget*, kMarkerCount> markers_{};
    MyGUI::Widget* quitBox_ = nullptr;
    MyGUI::Button* quitYes_ = nullptr;
    MyGUI::Button* quitNo_ = nullptr;
    std::array<MyGUI::ImageBox*, kCogCount> cogs_{};
    std::array<MyGUI::RotatingSkin*, kCogCount> cogSkins_{};
    std::array<float, kCogCount> cogAngles_{};
    MyGUI::ImageBox* logo_ = nullptr;
};
