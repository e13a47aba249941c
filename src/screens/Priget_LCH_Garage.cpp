#include "screens/Priget_LCH_Garage.h"

#include "core/CampaignData.h"
#include "core/ControllerSmoothCaption.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/UiTextTable.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>

#include <cmath>
#include <sstream>

namespace {

const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);
const MyGUI::Colour kGrey(0.5f, 0.5f, 0.5f, 1.0f);

// At most six significant digits, as a stream writes a float by default.
std::string sixDigits(double value)
{
    std::ostringstream out;
    out.precision(6);
    out << value;
    return out.str();
}

GarageText makeText(MyGUI::Widget* parent, int x, int y, int w, int h, const std::string& font,
                    const std::string& caption)
{
    GarageText t;
    t.shadow = parent->createWidget<MyGUI::TextBox>("TextBox", x + 1, y + 1, w, h, MyGUI::Align::Default);
    t.text = parent->createWidget<MyGUI::TextBox>("TextBox", x, y, w, h, MyGUI::Align::Default);
    t.shadow->setTextColour(MyGUI::Colour::Black);
    t.text->setTextColour(MyGUI::Colour::White);
    for (MyGUI::TextBox* box : {t.shadow, t.text}) {
        box->setFontName(font);
        box->setCaption(caption);
        box->setTextAlign(MyGUI::Align::Left | MyGUI::Align::Top);
        box->setInheritsAlpha(false);
        box->setNeedMouseFocus(false);
    }
    return t;
}

MyGUI::Widget* makeBlackBox(MyGUI::Widget* parent, int x, int y, int w, int h)
{
    auto* box = parent->createWidget<MyGUI::Widget>("WhiteSkin", x, y, w, h, MyGUI::Align::Default);
    box->setAlpha(0.5f);
    box->setColour(MyGUI::Colour::Black);
    box->setInheritsAlpha(false);
    return box;
}

}  // namespace

void GarageText::setCaption(const std::string& caption)
{
    const MyGUI::UString text16 = toUTFString(caption);
    shadow->setCaption(text16);
    text->setCaption(text16);
}

std::string GarageText::caption() const { return text ? text->getCaption().asUTF8() : std::string(); }

Priget_LCH_Garage::Priget_LCH_Garage(GameSession* session, MyGUI::Gui* gui_, GlobalSounds* sounds)
    : Priget(gui_), globalSounds(sounds), gameSession(session)
{
    if (gameSession) {
        gameSession->selectedIndex = 0;
        gameSession->inputLatch = 1;
    }
    pulsePhase = 0.0f;
    create(true);
    selectedGroup = SHOP_TURRET;
    selectedItem = 1;
    refreshItemStates();
    refreshPurchaseInfo();
    setHelpCaption();
}

Priget_LCH_Garage::~Priget_LCH_Garage()
{
    delete captionController;
    captionController = nullptr;
    for (MyGUI::Widget* w : {static_cast<MyGUI::Widget*>(captionWidget), static_cast<MyGUI::Widget*>(titleText),
                             partsBox, weaponsBox, pointsBox})
        if (w)
            gui->destroyWidget(w);
}

CampaignData* Priget_LCH_Garage::campaign() const { return gameSession ? gameSession->campaign : nullptr; }

uint32_t Priget_LCH_Garage::language() const
{
    if (!gameSession || !gameSession->settings || !gameSession->profile)
        return 0;
    const uint32_t count = gameSession->profile->getLanguageCount();
    if (count > 0 && gameSession->settings->Language >= count)
        gameSession->settings->Language = 0;
    return gameSession->settings->Language;
}

GarageItemWidgets* Priget_LCH_Garage::item(uint32_t group, uint32_t index)
{
    switch (group) {
    case SHOP_TURRET: return index < 3 ? &turretItems[index] : nullptr;
    case SHOP_CORE: return index < 3 ? &coreItems[index] : nullptr;
    case SHOP_TRACK: return index < 3 ? &trackItems[index] : nullptr;
    case SHOP_WEAPONS: return index < 5 ? &weaponItems[index] : nullptr;
    default: return nullptr;
    }
}

void Priget_LCH_Garage::create(bool shown)
{
    if (created)
        return;
    Priget::create(shown);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int W = view.width, H = view.height;

    titleText = gui->createWidget<MyGUI::TextBox>("TextBox", 210, 10, 290, 270, MyGUI::Align::Default, "Main");
    titleText->setFontName("ArialBold.20");
    titleText->setTextColour(MyGUI::Colour::White);
    titleText->setTextAlign(MyGUI::Align::Left | MyGUI::Align::Top);
    titleText->setCaption("GARAGE:");
    titleText->setNeedMouseFocus(false);

    // The 800-wide view puts the boxes a little further right.
    const int shift = W == 800 ? 50 : 0;
    const int partsX = (W - 870) / 2 + 200 + shift, partsY = (H - 270) / 2 - 80;
    partsBox = gui->createWidget<MyGUI::Widget>("WhiteSkin", partsX, partsY, 290, 270, MyGUI::Align::Default, "Main",
                                                "pM_mMenu");
    partsBox->setAlpha(0.5f);
    partsBox->setColour(MyGUI::Colour::Black);
    tuneText = makeText(partsBox, 15, 8, 150, 40, "ArialBold.14", "TUNE:");

    const char* const partImages[3] = {"ZV_pTur", "ZV_pCore", "ZV_pTrack"};
    std::array<GarageItemWidgets, 3>* groups[3] = {&turretItems, &coreItems, &trackItems};
    auto makeItem = [&](MyGUI::Widget* parent, int x, int y, const std::string& image) {
        GarageItemWidgets w;
        w.frame = parent->createWidget<MyGUI::Widget>("PanelColour", x, y, 68, 68, MyGUI::Align::Default);
        w.frame->setAlpha(1.0f);
        w.frame->setInheritsAlpha(false);
        w.frame->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_Garage::onPressed);
        w.image = w.frame->createWidget<MyGUI::ImageBox>("ImageBox", 1, 1, 64, 64, MyGUI::Align::Default);
        w.image->setImageTexture(image);
        w.image->setInheritsAlpha(false);
        w.image->setNeedMouseFocus(false);
        w.image->setNeedKeyFocus(false);
        w.lockImage = w.frame->createWidget<MyGUI::ImageBox>("ImageBox", 1, 1, 64, 64, MyGUI::Align::Default);
        w.lockImage->setImageTexture("Zv_Locked.png");
        w.lockImage->setInheritsAlpha(false);
        w.lockImage->setNeedMouseFocus(false);
        w.lockImage->setNeedKeyFocus(false);
        w.lockImage->setVisible(false);
        return w;
    };
    for (int g = 0; g < 3; ++g)
        for (int k = 0; k < 3; ++k)
            (*groups[g])[k] = makeItem(partsBox, 34 + 79 * k, 34 + 79 * g,
                                       std::string(partImages[g]) + std::to_string(k + 1) + ".png");
    partsSelectionBox = partsBox->createWidget<MyGUI::Widget>("gSelBox", 33, 33, 68, 68, MyGUI::Align::Default);
    partsSelectionBox->setInheritsAlpha(false);
    partsSelectionBox->setNeedMouseFocus(false);

    weaponsBox = gui->createWidget<MyGUI::Widget>("WhiteSkin", partsX, partsY + 270 + 16, 445, 115,
                                                  MyGUI::Align::Default, "Main");
    weaponsBox->setAlpha(0.5f);
    weaponsBox->setColour(MyGUI::Colour::Black);
    weaponsLabel = makeText(weaponsBox, 15, 8, 150, 40, "ArialBold.10", "WEAPONS:");
    const char* const weaponImages[5] = {"WGatlingL.png", "WRocketL.png", "WFlakL.png", "WShieldL.png", "WTimeSL.png"};
    const bool shopOpen = !campaign() || campaign()->canBuyAtCurrentStep();
    for (int k = 0; k < 5; ++k) {
        weaponItems[k] = makeItem(weaponsBox, 34 + 79 * k, 34, weaponImages[k]);
        weaponItems[k].lockImage->setVisible(!shopOpen);
    }
    weaponsSelectionBox = weaponsBox->createWidget<MyGUI::Widget>("gSelBox", 33, 33, 68, 68, MyGUI::Align::Default);
    weaponsSelectionBox->setInheritsAlpha(false);
    weaponsSelectionBox->setNeedMouseFocus(false);

    pointsBox = gui->createWidget<MyGUI::Widget>("WhiteSkin", W - 215, 85, 186, 182, MyGUI::Align::Default, "Main");
    pointsBox->setAlpha(0.0f);
    // An invisible holder: clicks go to the button inside.
    pointsBox->setInheritsPick(true);
    // A label and its value lie 10 pixels apart, less than a line of the font: the values keep
    // to the right end of the box, the labels to the left, so no two lines meet.
    MyGUI::Widget* readOut = makeBlackBox(pointsBox, 0, 0, 186, 82);
    usedLabel = makeText(readOut, 8, 8, 170, 14, "ArialBold.10", "Used:");
    usedValue = makeText(readOut, 8, 18, 170, 14, "ArialBold.10", "0");
    availableLabel = makeText(readOut, 8, 28, 170, 14, "ArialBold.10", "Available:");
    availableValue = makeText(readOut, 8, 38, 170, 14, "ArialBold.10", "0");
    costLabel = makeText(readOut, 8, 48, 170, 14, "ArialBold.10", "Cost:");
    costValue = makeText(readOut, 8, 58, 170, 14, "ArialBold.10", "0");
    MyGUI::Widget* remainBox = makeBlackBox(pointsBox, 0, 86, 186, 46);
    remainLabel = makeText(remainBox, 8, 8, 170, 14, "ArialBold.10", "Remain:");
    remainValue = makeText(remainBox, 8, 26, 170, 14, "ArialBold.10", "0");
    for (GarageText* value : {&usedValue, &availableValue, &costValue, &remainValue})
        for (MyGUI::TextBox* box : {value->shadow, value->text})
            box->setTextAlign(MyGUI::Align::Right | MyGUI::Align::Top);
    MyGUI::Widget* buttonBox = makeBlackBox(pointsBox, 0, 136, 186, 36);
    buyButtonBox = buttonBox;
    // A disabled button passes its presses to the box under it: there they are refused aloud.
    buttonBox->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_Garage::onPressed);
    buyButton = buttonBox->createWidget<MyGUI::Button>("SelectedButton", (186 - 172) / 2, (36 - 30) / 2, 172, 30,
                                                       MyGUI::Align::Default, "pm_bRes");
    buyButton->setCaption("Buy");
    buyButton->setInheritsAlpha(false);
    buyButton->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_Garage::onPressed);

    captionWidget = gui->createWidget<MyGUI::TextBox>("TextBox", 230, H - 40, 740, 30, MyGUI::Align::Default, "Main");
    captionWidget->setFontName("ArialBold.14");
    captionWidget->setTextColour(MyGUI::Colour::White);
    captionWidget->setNeedMouseFocus(false);
    // Driven by this panel, not by the controller manager (null when the type is not registered).
    MyGUI::ControllerItem* controller =
        MyGUI::ControllerManager::getInstance().createItem(ControllerSmoothCaption::getClassTypeName());
    captionController = controller ? controller->castType<ControllerSmoothCaption>(false) : nullptr;
    if (controller && !captionController)
        delete controller;

    fillTexts();
}

void Priget_LCH_Garage::fillTexts()
{
    const PlayerProfile* p = gameSession ? gameSession->profile : nullptr;
    if (!p || p->getLanguageCount() == 0)
        return;
    const uint32_t lang = language();
    auto text = [&](UiTextId id) { return p->getText(lang, id); };
    titleText->setCaption(toUTFString(text(UiTextId::GarageTitle) + ":"));
    tuneText.setCaption(text(UiTextId::GarageTune));
    weaponsLabel.setCaption(text(UiTextId::GarageWeapons));
    buyButton->setCaption(toUTFString(text(UiTextId::GarageBuy)));
    usedLabel.setCaption(text(UiTextId::GarageUsed) + ":");
    availableLabel.setCaption(text(UiTextId::GarageAvailable) + ":");
    costLabel.setCaption(text(UiTextId::GarageCost) + ":");
    remainLabel.setCaption(text(UiTextId::GarageRemain) + ":");
}

void Priget_LCH_Garage::show(bool shown)
{
    for (MyGUI::Widget* w : {partsBox, weaponsBox, pointsBox, static_cast<MyGUI::Widget*>(buyButton),
                             static_cast<MyGUI::Widget*>(titleText), static_cast<MyGUI::Widget*>(captionWidget)})
        w->setVisible(shown);
    visible = shown ? 1 : 0;
}

void Priget_LCH_Garage::update(float dt)
{
    if (captionController)
        captionController->addTime(captionWidget, 2.0f * dt);
    pulseSelection(dt);
}

void Priget_LCH_Garage::pulseSelection(float dt)
{
    pulsePhase += 10.0f * dt;
    if (pulsePhase > 360.0f)
        pulsePhase -= 360.0f;
    const float alpha = remapLinear(-1.0f, 1.0f, std::cos(pulsePhase), 0.2f, 1.0f);
    partsSelectionBox->setAlpha(alpha);
    weaponsSelectionBox->setAlpha(alpha);
}

void Priget_LCH_Garage::onItemClick(MyGUI::Widget* sender)
{
    for (uint32_t group = SHOP_TURRET; group <= SHOP_WEAPONS; ++group)
        for (uint32_t i = 0; i < 5; ++i) {
            GarageItemWidgets* w = item(group, i);
            if (w && w->frame == sender) {
                selectedGroup = group;
                selectedItem = i + 1;
            }
        }
    setHelpCaption();
}

// Acts on the press: the states hand the GUI a release on every frame the button is up, which the
// GUI alone would take for a click on whatever the pointer rests on.
void Priget_LCH_Garage::onPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button != MyGUI::MouseButton::Left)
        return;
    if (sender == buyButton)
        onBuyClick(sender);
    else if (sender == buyButtonBox) {
        const MyGUI::IntPoint at = MyGUI::InputManager::getInstance().getMousePosition();
        if (!buyButton->getEnabled() && buyButton->getAbsoluteCoord().inside(at))
            refuse(refusalText());
    } else
        onItemClick(sender);
}

void Priget_LCH_Garage::onBuyClick(MyGUI::Widget*) { buySelected(); }

std::string Priget_LCH_Garage::itemHelpText() const
{
    if (selectedGroup < SHOP_TURRET || selectedGroup > SHOP_WEAPONS || !campaign())
        return std::string();
    return campaign()->getShopItemText(selectedGroup, selectedItem - 1, language());
}

void Priget_LCH_Garage::setHelpCaption()
{
    const std::string help = itemHelpText();
    if (captionController)
        captionController->notifyChangeProperty(captionWidget, "Widget_Caption", help);
    else
        captionWidget->setCaption(toUTFString(help));
    const GarageItemWidgets* w = item(selectedGroup, selectedItem - 1);
    const bool weapons = selectedGroup == SHOP_WEAPONS;
    MyGUI::Widget* box = weapons ? weaponsSelectionBox : partsSelectionBox;
    (weapons ? partsSelectionBox : weaponsSelectionBox)->setVisible(false);
    box->setVisible(true);
    if (w)
        box->setPosition(w->frame->getLeft() - 1, w->frame->getTop() - 1);
    refreshPurchaseInfo();
}

void Priget_LCH_Garage::refreshItemStates()
{
    CampaignData* c = campaign();
    if (!c)
        return;
    usedValue.setCaption(std::to_string(c->pointsSpent));
    availableValue.setCaption(std::to_string(c->getAvailablePoints()));
    for (uint32_t g = 0; g < 3; ++g) {
        uint32_t highest = 0;
        for (uint32_t level = 0; level < 3; ++level)
            if (const UpgradeLevel* u = c->getUpgrade(g, level); u && u->bought)
                highest = level + 1;
        for (uint32_t level = 1; level <= 3; ++level) {
            MyGUI::ImageBox* image = item(g + 1, level - 1)->image;
            if (level <= highest) {
                image->setColour(MyGUI::Colour::White);
                image->setAlpha(1.0f);
            } else if (level == highest + 1) {
                image->setColour(kGrey);
                image->setAlpha(0.5f);
            } else {
                image->setColour(MyGUI::Colour::Black);
                image->setAlpha(0.5f);
            }
        }
    }
    for (uint32_t k = 0; k < 5; ++k) {
        MyGUI::ImageBox* image = weaponItems[k].image;
        image->setColour(c->weaponUnlocked[k] ? MyGUI::Colour::White : kGrey);
        image->setAlpha(c->weaponUnlocked[k] ? 1.0f : 0.5f);
    }
}

void Priget_LCH_Garage::refreshPurchaseInfo()
{
    CampaignData* c = campaign();
    if (!c) {
        buyButton->setEnabled(false);
        return;
    }
    // Signed: after a reset that kept the spending the balance is negative, never billions.
    const int64_t available = c->getAvailablePoints();
    double cost = 0.0;
    bool blocked = false;
    if (selectedGroup >= SHOP_TURRET && selectedGroup <= SHOP_TRACK) {
        const uint32_t g = selectedGroup - 1;
        const UpgradeLevel* level = c->getUpgrade(g, selectedItem - 1);
        const UpgradeLevel* previous = selectedItem > 1 ? c->getUpgrade(g, selectedItem - 2) : nullptr;
        cost = level ? static_cast<float>(level->price) : 0.0;
        blocked = !level || level->bought || (selectedItem > 1 && !(previous && previous->bought));
    } else if (selectedGroup == SHOP_WEAPONS && selectedItem >= 1 && selectedItem <= 5) {
        cost = c->getWeaponPrice(selectedItem - 1);
    } else {
        blocked = true;
    }
    costValue.setCaption(blocked ? "---" : sixDigits(cost));
    usedValue.setCaption(std::to_string(c->pointsSpent));
    availableValue.setCaption(std::to_string(available));

    double remain = 0.0;
    if (blocked) {
        remainValue.setCaption(std::to_string(available));
        remainValue.text->setTextColour(MyGUI::Colour::White);
    } else {
        remain = static_cast<double>(static_cast<float>(available)) - cost;
        remainValue.setCaption(sixDigits(remain));
        remainValue.text->setTextColour(remain >= 0.0 ? kOrange : kGrey);
    }
    // A NaN price gives a NaN remain, which is not >= 0.
    const bool canBuy = !blocked && remain >= 0.0 && available >= 0 &&
                        (selectedGroup != SHOP_WEAPONS || c->canBuyAtCurrentStep());
    buyButton->setEnabled(canBuy);
}

void Priget_LCH_Garage::buySelected()
{
    const std::string reason = refusalText();
    bool bought = false;
    if (CampaignData* c = campaign()) {
        if (selectedGroup >= SHOP_TURRET && selectedGroup <= SHOP_TRACK)
            bought = c->buyUpgrade(selectedGroup - 1, selectedItem - 1);
        else if (selectedGroup == SHOP_WEAPONS)
            bought = c->buyWeapon(selectedItem - 1);
    }
    refreshItemStates();
    refreshPurchaseInfo();
    if (!bought) {
        refuse(reason);
        return;
    }
    if (globalSounds)
        globalSounds->playAccept();
}

std::string Priget_LCH_Garage::refusalText() const
{
    const CampaignData* c = campaign();
    if (!c || selectedGroup < SHOP_TURRET || selectedGroup > SHOP_WEAPONS)
        return std::string();
    const PlayerProfile* p = gameSession ? gameSession->profile : nullptr;
    const bool tables = p && p->getLanguageCount() > 0;
    auto text = [&](UiTextId id, const char* english) { return tables ? p->getText(language(), id) : english; };
    const uint32_t index = selectedItem - 1;
    double cost = 0.0;
    if (selectedGroup == SHOP_WEAPONS) {
        if (index >= 5)
            return std::string();
        if (c->weaponUnlocked[index])
            return text(UiTextId::GarageOwned, "Already bought");
        if (!c->canBuyAtCurrentStep())
            return text(UiTextId::SelLocked, "LOCKED");
        cost = c->getWeaponPrice(index);
    } else {
        const UpgradeLevel* level = c->getUpgrade(selectedGroup - 1, index);
        const UpgradeLevel* previous = index > 0 ? c->getUpgrade(selectedGroup - 1, index - 1) : nullptr;
        if (!level)
            return std::string();
        if (level->bought)
            return text(UiTextId::GarageOwned, "Already bought");
        if (index > 0 && !(previous && previous->bought))
            return text(UiTextId::GarageNeedPrevious, "Buy the level before it first");
        cost = level->price;
    }
    const double missing = cost - static_cast<double>(c->getAvailablePoints());
    if (missing > 0.0)
        return text(UiTextId::SelNeed, "Need") + " " + sixDigits(std::ceil(missing)) + " " +
               text(UiTextId::Kudos, "Kudos");
    return std::string();
}

void Priget_LCH_Garage::refuse(const std::string& reason)
{
    if (globalSounds)
        globalSounds->playWarning();
    if (reason.empty())
        return;
    if (captionController)
        captionController->notifyChangeProperty(captionWidget, "Caption", reason);
    else
        captionWidget->setCaption(toUTFString(reason));
}
