#pragma once
#include "core/Priget.h"

#include <MyGUI_MouseButton.h>

#include <array>
#include <cstdint>
#include <string>

namespace MyGUI {
class Widget;
class TextBox;
class ImageBox;
class Button;
}
class GameSession;
class GlobalSounds;
class CampaignData;
class ControllerSmoothCaption;

// Which items a garage selection belongs to.
enum ShopGroup : uint32_t { SHOP_TURRET = 1, SHOP_CORE = 2, SHOP_TRACK = 3, SHOP_WEAPONS = 4 };

struct GarageItemWidgets {
    MyGUI::ImageBox* lockImage = nullptr;
    MyGUI::ImageBox* image = nullptr;
    MyGUI::Widget* frame = nullptr;  // takes the click
};

// A label or read-out drawn twice: a shadow one pixel right of and below the white text.
struct GarageText {
    MyGUI::TextBox* shadow = nullptr;
    MyGUI::TextBox* text = nullptr;

    void setCaption(const std::string& caption);
    std::string caption() const;
};

// The garage of the challenge list: upgrade levels and weapons bought with kudos.
class Priget_LCH_Garage : public Priget {
public:
    Priget_LCH_Garage(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds);
    ~Priget_LCH_Garage() override;

    void create(bool show) override;
    void show(bool shown);
    void update(float dt);

    // The left button pressed on an item frame or on "Buy".
    void onPressed(MyGUI::Widget* sender, int left, int top, MyGUI::MouseButton button);
    void onItemClick(MyGUI::Widget* sender);
    void onBuyClick(MyGUI::Widget* sender);
    void buySelected();
    // Why the selection cannot be bought now, in the panel's language; "" when it can.
    std::string refusalText() const;
    // A refused purchase: the warning click and the reason on the help line.
    void refuse(const std::string& reason);
    void setHelpCaption();
    std::string itemHelpText() const;
    void refreshItemStates();
    void refreshPurchaseInfo();
    void fillTexts();
    void pulseSelection(float dt);

    // The frames of group (1 to 4) in item order; null for anything else.
    GarageItemWidgets* item(uint32_t group, uint32_t index);

    GlobalSounds* globalSounds = nullptr;
    GameSession* gameSession = nullptr;
    MyGUI::TextBox* captionWidget = nullptr;
    ControllerSmoothCaption* captionController = nullptr;
    MyGUI::Widget* partsBox = nullptr;
    MyGUI::Widget* weaponsBox = nullptr;
    MyGUI::Widget* pointsBox = nullptr;
    MyGUI::Button* buyButton = nullptr;
    MyGUI::Widget* buyButtonBox = nullptr;  // takes the presses on a disabled "Buy"
    GarageText usedLabel, availableLabel, costLabel, remainLabel, weaponsLabel;
    MyGUI::Widget* partsSelectionBox = nullptr;
    MyGUI::Widget* weaponsSelectionBox = nullptr;
    MyGUI::TextBox* titleText = nullptr;
    GarageText tuneText;
    GarageText usedValue, availableValue, costValue, remainValue;
    float pulsePhase = 0.0f;
    uint32_t selectedItem = 1;
    uint32_t selectedGroup = SHOP_TURRET;
    std::array<GarageItemWidgets, 3> turretItems{};
    std::array<GarageItemWidgets, 3> coreItems{};
    std::array<GarageItemWidgets, 3> trackItems{};
    std::array<GarageItemWidgets, 5> weaponItems{};

private:
    CampaignData* campaign() const;
    uint32_t language() const;
};
