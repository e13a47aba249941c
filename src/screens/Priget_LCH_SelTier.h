#pragma once
#include "core/Priget.h"

#include <MyGUI_Colour.h>
#include <MyGUI_MouseButton.h>
#include <MyGUI_UString.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace MyGUI {
class Widget;
class TextBox;
class EditBox;
class ImageBox;
class Button;
class RotatingSkin;
}
namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}
class GameSession;
class GlobalSounds;
class CampaignData;

// A label drawn twice: a black shadow one pixel right of and below the text. Both always carry
// the same caption.
struct TextPair {
    MyGUI::TextBox* shadow = nullptr;
    MyGUI::TextBox* text = nullptr;

    void setCaption(const MyGUI::UString& caption);
    void setVisible(bool visible);
    std::string caption() const;
};

struct TierTab {
    MyGUI::Widget* background = nullptr;
    MyGUI::TextBox* kudosText = nullptr;
    MyGUI::TextBox* clearText = nullptr;
    MyGUI::TextBox* title = nullptr;
    MyGUI::Widget* overlay = nullptr;
};

struct ChallengeRow {
    MyGUI::Widget* panel = nullptr;
    MyGUI::Widget* medal = nullptr;  // skin "MissState"
    MyGUI::TextBox* number = nullptr;
    MyGUI::TextBox* numberHighlight = nullptr;
    MyGUI::Widget* overlay = nullptr;
    MyGUI::Widget* newMarker = nullptr;  // skin "NewY"
    std::string medalState;              // the state the medal skin shows
};

struct WeaponSlotButton {
    MyGUI::Widget* frame = nullptr;
    MyGUI::ImageBox* icon = nullptr;  // null for slot 0
};

// The challenge list's tier and challenge panel: tier tabs, the strip of challenges of the shown
// tier, the info or lock box of the selected one, the weapon choice, the story-skip option and
// the start. Selections here are 1-based; the session keeps them 0-based.
class Priget_LCH_SelTier : public Priget {
public:
    static constexpr int kRowPitch = 50;
    static constexpr int kTabPitch = 70;

    Priget_LCH_SelTier(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);
    ~Priget_LCH_SelTier() override;

    void create(bool show) override;

    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void animate(float dt);
    void stepChallengeLeft();
    void stepChallengeRight();
    void changeTier();
    void startChallenge();

    void rebuildRows();
    // The number under the "Kudos" heading (the garage shows what is left to spend).
    void showKudos(int64_t kudos);
    void clearRows();
    void setMedalState();
    void showChallengeInfo();
    void refreshColours();
    void fillInfoTexts();
    void refreshWeaponHighlight();
    void refreshWeaponLocks();

    void setShown(const bool& shown);
    void show();
    void hide();

    // The selected row, or null when the shown tier has no such row.
    ChallengeRow* selectedRow();

    // The left button pressed on one of the panel's clickable widgets: runs its handler below.
    void onPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);
    // Handlers (public so that the owner and tests can reach the widgets they are bound to).
    void onTierTabClick(MyGUI::Widget* sender);
    void onChallengeRowClick(MyGUI::Widget* sender);
    void onWeaponClick(MyGUI::Widget* sender);
    void onSkipStoryClick(MyGUI::Widget* sender);
    void onStartClick(MyGUI::Widget* sender);
    void onArrowLeftClick(MyGUI::Widget* sender);
    void onArrowRightClick(MyGUI::Widget* sender);
    void onButtonFocus(MyGUI::Widget* sender, MyGUI::Widget* other);
    void onShowClick(MyGUI::Widget* sender);
    void onHideClick(MyGUI::Widget* sender);

    GlobalSounds* globalSounds = nullptr;
    GameSession* gameSession = nullptr;
    uint8_t navLatch = 1;

    MyGUI::Widget* backdrop = nullptr;
    MyGUI::ImageBox* backgroundImage = nullptr;
    MyGUI::Widget* skipFrame = nullptr;
    MyGUI::Button* skipCheckBox = nullptr;
    MyGUI::Widget* tierBackPanel = nullptr;
    MyGUI::Widget* stripBackPanel = nullptr;
    MyGUI::Widget* kudosHolder = nullptr;  // holds the heading and the number
    TextPair kudosHeading;
    MyGUI::TextBox* kudosNumber = nullptr;
    MyGUI::Widget* tierView = nullptr;
    MyGUI::Widget* tierCanvas = nullptr;
    MyGUI::Widget* stripView = nullptr;
    MyGUI::Widget* stripCanvas = nullptr;

    std::vector<TierTab> tierTabs;
    std::vector<ChallengeRow> rows;

    MyGUI::Button* arrowLeft = nullptr;
    MyGUI::Button* arrowRight = nullptr;

    MyGUI::Widget* infoBox = nullptr;
    TextPair infoHeading;
    TextPair infoTitle;
    TextPair objectiveLabel;
    MyGUI::EditBox* description = nullptr;
    std::array<MyGUI::Widget*, 3> medalCups{};  // bronze, silver, gold
    std::array<MyGUI::TextBox*, 3> targetLabels{};
    std::array<MyGUI::TextBox*, 3> targetValues{};
    std::array<MyGUI::TextBox*, 3> kudosValues{};

    MyGUI::Widget* lockBox = nullptr;
    MyGUI::ImageBox* lockImage = nullptr;
    TextPair lockedLabel;
    TextPair needLabel;
    TextPair lockKudosLabel;
    TextPair requiredKudos;
    MyGUI::EditBox* storyText = nullptr;

    MyGUI::Widget* bestBox = nullptr;
    MyGUI::TextBox* bestLabel = nullptr;
    MyGUI::TextBox* bestValue = nullptr;

    MyGUI::Widget* weaponBox = nullptr;
    TextPair weaponLabel;
    std::array<WeaponSlotButton, 6> weaponSlots{};

    MyGUI::Widget* startBox = nullptr;
    MyGUI::Button* startButton = nullptr;

    MyGUI::Widget* cogBackdrop = nullptr;
    MyGUI::ImageBox* cogImage1 = nullptr;
    MyGUI::ImageBox* cogImage2 = nullptr;
    MyGUI::RotatingSkin* cog1 = nullptr;
    MyGUI::RotatingSkin* cog2 = nullptr;

    MyGUI::Widget* menuBox = nullptr;
    MyGUI::Button* quitButton = nullptr;
    MyGUI::Button* challengesButton = nullptr;
    MyGUI::Button* garageButton = nullptr;

    uint32_t selectedTier = 1;
    uint32_t selectedChallenge = 1;
    uint32_t weaponSlot = 0;
    uint8_t startRequested = 0;
    float slideTimer = 1.0f;
    float pulsePhase = 0.0f;

private:
    CampaignData* campaign() const;
    uint32_t tierCount() const;
    uint32_t challengeCount(uint32_t tier) const;
    // The language of the texts: the settings' one (reset to 0 when out of range), or 0 without
    // text tables.
    uint32_t language() const;
    bool hasTextTables() const;
    void setStripCanvasX(int x);
    int stripCanvasX() const;
    TextPair makePair(MyGUI::Widget* parent, int x, int y, int w, int h, const std::string& font,
                      const std::string& caption, const MyGUI::Colour& colour = MyGUI::Colour::White);
};
