#include "screens/Priget_LCH_SelTier.h"

#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "core/UiTextTable.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"
#include "gui/PanelInput.h"

#include <MyGUI.h>
#include <MyGUI_RotatingSkin.h>
#include <OIS/OIS.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);

bool isLocked(ChallengeStatus s) { return s == ChallengeStatus::PointsLocked || s == ChallengeStatus::StoryLocked; }

MyGUI::TextBox* makeText(MyGUI::Widget* parent, int x, int y, int w, int h, const std::string& font,
                         const std::string& caption, const MyGUI::Colour& colour)
{
    auto* t = parent->createWidget<MyGUI::TextBox>("TextBox", x, y, w, h, MyGUI::Align::Default);
    t->setFontName(font);
    t->setTextColour(colour);
    t->setCaption(caption);
    t->setInheritsAlpha(false);
    t->setNeedMouseFocus(false);
    return t;
}

// A plain box that clips its children: the panel scrolls the canvas inside it itself, so the
// wheel stays a navigation input.
MyGUI::Widget* makeBox(MyGUI::Gui* gui, const std::string& skin, int x, int y, int w, int h, const std::string& layer,
                       float alpha, const MyGUI::Colour& colour, const std::string& name = "")
{
    auto* box = gui->createWidget<MyGUI::Widget>(skin, x, y, w, h, MyGUI::Align::Default, layer, name);
    box->setAlpha(alpha);
    box->setColour(colour);
    return box;
}

std::string decimal(uint32_t v) { return std::to_string(v); }

}  // namespace

void TextPair::setCaption(const MyGUI::UString& caption)
{
    if (shadow)
        shadow->setCaption(caption);
    if (text)
        text->setCaption(caption);
}

void TextPair::setVisible(bool visible)
{
    if (shadow)
        shadow->setVisible(visible);
    if (text)
        text->setVisible(visible);
}

std::string TextPair::caption() const { return text ? text->getCaption().asUTF8() : std::string(); }

Priget_LCH_SelTier::Priget_LCH_SelTier(GameSession* session, MyGUI::Gui* gui_, GlobalSounds* sounds)
    : Priget(gui_), globalSounds(sounds), gameSession(session)
{
    navLatch = 1;
    slideTimer = 1.0f;
    pulsePhase = 0.0f;
    weaponSlot = session && session->selectedWeapon <= 5 ? session->selectedWeapon : 0;
    create(true);
}

Priget_LCH_SelTier::~Priget_LCH_SelTier()
{
    clearRows();
    for (MyGUI::Widget* w : {backdrop, static_cast<MyGUI::Widget*>(backgroundImage), skipFrame, tierBackPanel,
                             stripBackPanel, kudosHolder, tierView, stripView, static_cast<MyGUI::Widget*>(arrowLeft),
                             static_cast<MyGUI::Widget*>(arrowRight), infoBox, lockBox, bestBox, weaponBox, startBox,
                             cogBackdrop, static_cast<MyGUI::Widget*>(cogImage1), static_cast<MyGUI::Widget*>(cogImage2),
                             menuBox})
        if (w)
            gui->destroyWidget(w);
}

CampaignData* Priget_LCH_SelTier::campaign() const { return gameSession ? gameSession->campaign : nullptr; }

uint32_t Priget_LCH_SelTier::tierCount() const { return campaign() ? campaign()->getTierCount() : 0; }

uint32_t Priget_LCH_SelTier::challengeCount(uint32_t tier) const
{
    return campaign() && tier >= 1 ? campaign()->getChallengeCount(tier - 1) : 0;
}

bool Priget_LCH_SelTier::hasTextTables() const
{
    return gameSession && gameSession->profile && gameSession->profile->getLanguageCount() > 0;
}

uint32_t Priget_LCH_SelTier::language() const
{
    if (!hasTextTables() || !gameSession->settings)
        return 0;
    if (gameSession->settings->Language >= gameSession->profile->getLanguageCount())
        gameSession->settings->Language = 0;
    return gameSession->settings->Language;
}

TextPair Priget_LCH_SelTier::makePair(MyGUI::Widget* parent, int x, int y, int w, int h, const std::string& font,
                                      const std::string& caption, const MyGUI::Colour& colour)
{
    TextPair pair;
    pair.shadow = makeText(parent, x + 1, y + 1, w, h, font, caption, MyGUI::Colour::Black);
    pair.text = makeText(parent, x, y, w, h, font, caption, colour);
    return pair;
}

ChallengeRow* Priget_LCH_SelTier::selectedRow()
{
    if (selectedChallenge < 1 || selectedChallenge > rows.size())
        return nullptr;
    return &rows[selectedChallenge - 1];
}

void Priget_LCH_SelTier::create(bool show)
{
    if (created)
        return;
    Priget::create(show);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int W = view.width, H = view.height;

    // 1, 2: backdrop and picture.
    backdrop = makeBox(gui, "WhiteSkin", 0, 0, W, H, "Backgound", 1.0f, MyGUI::Colour::Black);
    backdrop->setNeedMouseFocus(false);
    if (W <= 1500 && H <= 900)
        backgroundImage = gui->createWidget<MyGUI::ImageBox>("ImageBox", (W - 1500) / 2, (H - 900) / 2, 1500, 900,
                                                             MyGUI::Align::Default, "Backgound");
    else
        backgroundImage = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, W, H, MyGUI::Align::Default, "Backgound");
    backgroundImage->setImageTexture("OCP_IntroBrie.jpg");
    backgroundImage->setNeedMouseFocus(false);

    // 3: the tier column, bottom tier at the bottom.
    const int tierTop = 160, tierHeight = H - tierTop - 20;
    tierBackPanel = makeBox(gui, "WhiteSkin", 15, tierTop, 170, tierHeight, "Backgound2", 0.5f, MyGUI::Colour::Black);
    tierView = gui->createWidget<MyGUI::Widget>("ScrollViewEmpty", 15, tierTop, 170, tierHeight, MyGUI::Align::Default,
                                                "Main");
    const uint32_t tiers = tierCount();
    const int canvasHeight = tiers > 0 ? kTabPitch * static_cast<int>(tiers) - 10 : 0;
    tierCanvas = tierView->createWidget<MyGUI::Widget>("ScrollViewEmpty", 0, tierHeight - canvasHeight, 170,
                                                       canvasHeight, MyGUI::Align::Default);

    // 4: the strip.
    const int stripX = 200, stripY = 85;
    stripBackPanel = makeBox(gui, "WhiteSkin", stripX, stripY, 500, 60, "Backgound2", 0.5f, MyGUI::Colour::Black);
    stripView = gui->createWidget<MyGUI::Widget>("ScrollViewEmpty", stripX + 30, stripY + 5, 440, 50,
                                                 MyGUI::Align::Default, "Main");
    stripCanvas = stripView->createWidget<MyGUI::Widget>("ScrollViewEmpty", 0, 0, 0, 40, MyGUI::Align::Default);

    // 5: kudos.
    kudosHolder = gui->createWidget<MyGUI::Widget>("ScrollViewEmpty", W - 200, 15, 190, 60, MyGUI::Align::Default,
                                                   "OverHud");
    kudosHolder->setNeedMouseFocus(false);
    kudosHeading = makePair(kudosHolder, 0, 0, 190, 30, "ArialBold.24", "Kudos", kOrange);
    kudosNumber = makeText(kudosHolder, 0, 30, 190, 24, "ArialBold.20", "00000", MyGUI::Colour::White);

    // 6: arrows.
    arrowLeft = gui->createWidget<MyGUI::Button>("ButtonLeftSkin", stripX + 3, stripY + 16, 24, 28, MyGUI::Align::Default,
                                                 "Main");
    arrowRight = gui->createWidget<MyGUI::Button>("ButtonRightSkin", stripX + 500 - 27, stripY + 16, 24, 28,
                                                  MyGUI::Align::Default, "Main");
    arrowLeft->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);
    arrowRight->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);

    // 7: tier tabs.
    tierTabs.resize(tiers);
    for (uint32_t i = 0; i < tiers; ++i) {
        TierTab& tab = tierTabs[i];
        const int y = canvasHeight - kTabPitch * static_cast<int>(i) - 60;
        tab.background = tierCanvas->createWidget<MyGUI::Widget>("WhiteSkin", 10, y, 150, 60, MyGUI::Align::Default);
        tab.background->setNeedMouseFocus(false);
        tab.title = makeText(tab.background, 8, 4, 134, 20, "ArialBold.14", "Tier " + std::to_string(i + 1), kOrange);
        tab.clearText = makeText(tab.background, 8, 26, 134, 14, "ArialBold.10", "Clear: ", MyGUI::Colour::White);
        tab.kudosText = makeText(tab.background, 8, 40, 134, 14, "ArialBold.10", "Kudos: ", MyGUI::Colour::White);
        tab.overlay = tierCanvas->createWidget<MyGUI::Widget>("WhiteSkin", 10, y, 150, 60, MyGUI::Align::Default);
        tab.overlay->setAlpha(0.0f);
        tab.overlay->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);
    }

    // 8: info box.
    const int infoX = 200, infoY = 160;
    infoBox = makeBox(gui, "WhiteSkin", infoX, infoY, 500, 300, "Backgound2", 0.5f, MyGUI::Colour::Black);
    infoHeading = makePair(infoBox, 12, 8, 476, 20, "ArialBold.14", "Challenge: 1 - 1", kOrange);
    infoTitle = makePair(infoBox, 12, 30, 476, 26, "ArialBold.20", "Title", MyGUI::Colour::White);
    objectiveLabel = makePair(infoBox, 12, 64, 200, 20, "ArialBold.14", "Objective:", kOrange);
    description = infoBox->createWidget<MyGUI::EditBox>("WordWrapEmpty", 12, 86, 476, 110, MyGUI::Align::Default);
    description->setFontName("ArialBold.10");
    description->setEditMultiLine(true);
    description->setEditWordWrap(true);
    description->setEditReadOnly(true);
    description->setInheritsAlpha(false);
    description->setNeedMouseFocus(false);
    const char* const cupStates[3] = {"Bronze", "Silver", "Gold"};
    for (int m = 0; m < 3; ++m) {
        const int x = 12 + 160 * m;
        medalCups[m] = infoBox->createWidget<MyGUI::Widget>("MissCups", x, 210, 48, 48, MyGUI::Align::Default);
        medalCups[m]->_setWidgetState(cupStates[m]);
        medalCups[m]->setInheritsAlpha(false);
        medalCups[m]->setNeedMouseFocus(false);
        targetLabels[m] = makeText(infoBox, x + 54, 206, 100, 16, "ArialBold.10", "TGT:", kOrange);
        targetValues[m] = makeText(infoBox, x + 54, 222, 100, 20, "ArialBold.14", "0", MyGUI::Colour::White);
        kudosValues[m] = makeText(infoBox, x + 54, 244, 100, 20, "ArialBold.14", "0000", kOrange);
    }

    // 9: lock box.
    lockBox = makeBox(gui, "WhiteSkin", infoX + 50, infoY + 22, 400, 256, "Backgound2", 0.5f, MyGUI::Colour::Black);
    lockImage = lockBox->createWidget<MyGUI::ImageBox>("ImageBox", 16, 64, 128, 128, MyGUI::Align::Default);
    lockImage->setImageTexture("Zv_Locked.png");
    lockImage->setInheritsAlpha(false);
    lockImage->setNeedMouseFocus(false);
    lockedLabel = makePair(lockBox, 160, 24, 230, 30, "ArialBold.24", "LOCKED", kOrange);
    needLabel = makePair(lockBox, 160, 80, 230, 20, "ArialBold.14", "Need", MyGUI::Colour::White);
    requiredKudos = makePair(lockBox, 160, 104, 230, 26, "ArialBold.20", "000", kOrange);
    storyText = lockBox->createWidget<MyGUI::EditBox>("WordWrapEmpty", 160, 80, 230, 160, MyGUI::Align::Default);
    storyText->setFontName("ArialBold.14");
    storyText->setEditMultiLine(true);
    storyText->setEditWordWrap(true);
    storyText->setEditReadOnly(true);
    storyText->setInheritsAlpha(false);
    storyText->setNeedMouseFocus(false);
    lockKudosLabel = makePair(lockBox, 160, 134, 230, 20, "ArialBold.14", "Kudos", MyGUI::Colour::White);

    // 10: cogs.
    cogBackdrop = makeBox(gui, "WhiteSkin", W - 100, H - 100, 90, 90, "Backgound2", 0.0f, MyGUI::Colour::Black);
    cogBackdrop->setNeedMouseFocus(false);
    auto makeCog = [&](int x, int y, int size, const char* texture, MyGUI::RotatingSkin*& skin) {
        auto* image = gui->createWidget<MyGUI::ImageBox>("RotatingSkin", x, y, size, size, MyGUI::Align::Default,
                                                         "Backgound2");
        image->setImageTexture(texture);
        image->setColour(kOrange);
        image->setAlpha(0.8f);
        image->setNeedMouseFocus(false);
        skin = image->getSubWidgetMain() ? image->getSubWidgetMain()->castType<MyGUI::RotatingSkin>(false) : nullptr;
        if (skin)
            skin->setCenter(MyGUI::IntPoint(size / 2, size / 2));
        return image;
    };
    cogImage1 = makeCog(W - 96, H - 96, 64, "hudCogW1.png", cog1);
    cogImage2 = makeCog(W - 52, H - 60, 40, "hudCogW2.png", cog2);

    // 11: the menu box.
    menuBox = makeBox(gui, "WhiteSkin", 16, 15, 168, 138, "Main", 0.0f, MyGUI::Colour::Black, "pM_mMenu");
    auto makeMenuButton = [&](int y, const char* name, const char* caption) {
        auto* b = menuBox->createWidget<MyGUI::Button>("Button", 8, y, 152, 32, MyGUI::Align::Default, name);
        b->setInheritsAlpha(false);
        b->setCaption(caption);
        return b;
    };
    challengesButton = makeMenuButton(4, "pm_bRet", "Challenges");
    garageButton = makeMenuButton(44, "pm_bRet", "Garage");
    quitButton = makeMenuButton(84, "pm_bQui", "Quit");
    quitButton->eventMouseSetFocus += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onButtonFocus);
    challengesButton->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);
    garageButton->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);
    challengesButton->setEnabled(false);
    garageButton->setEnabled(true);

    // 12: best box.
    bestBox = makeBox(gui, "WhiteSkin", infoX, infoY + 310, 160, 40, "Backgound2", 0.5f, MyGUI::Colour::Black);
    bestLabel = makeText(bestBox, 8, 10, 60, 20, "ArialBold.14", "Best:", kOrange);
    bestValue = makeText(bestBox, 66, 10, 90, 20, "ArialBold.14", "0000", MyGUI::Colour::White);

    // 13: start.
    startBox = makeBox(gui, "WhiteSkin", infoX + 250, infoY + 390, 250, 44, "Main", 0.5f, MyGUI::Colour::Black);
    startButton = startBox->createWidget<MyGUI::Button>("SelectedButton", 4, 4, 242, 36, MyGUI::Align::Default,
                                                        "pm_bQui");
    startButton->setCaption("Start Challenge");
    startButton->setInheritsAlpha(false);
    startButton->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);

    // 14: the story-skip option.
    skipFrame = makeBox(gui, "WhiteSkin", infoX, infoY + 360, 160, 30, "Main", 0.5f, MyGUI::Colour::Black);
    skipCheckBox = skipFrame->createWidget<MyGUI::Button>("CheckBox", 4, 3, 152, 24, MyGUI::Align::Default,
                                                          "p_t_MM_btAdv");
    skipCheckBox->setCaption("Skip Previous Story");
    skipCheckBox->setFontName("ArialBold.10");
    skipCheckBox->setInheritsAlpha(false);
    skipCheckBox->setStateSelected(campaign() && campaign()->skipSeenStory);
    skipCheckBox->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);

    // 15: the weapon group.
    weaponBox = makeBox(gui, "WhiteSkin", infoX + 170, infoY + 310, 330, 72, "Main", 0.5f, MyGUI::Colour::Black);
    weaponLabel = makePair(weaponBox, 8, 2, 200, 16, "ArialBold.10", "WEAPON", kOrange);
    const char* const icons[6] = {nullptr, "WGatlingL.png", "WRocketL.png", "WFlakL.png", "WShieldL.png", "WTimeSL.png"};
    for (int i = 0; i < 6; ++i) {
        WeaponSlotButton& slot = weaponSlots[i];
        slot.frame = weaponBox->createWidget<MyGUI::Widget>("RimPanel", 8 + 53 * i, 20, 48, 48, MyGUI::Align::Default);
        slot.frame->setInheritsAlpha(false);
        slot.frame->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);
        if (icons[i]) {
            slot.icon = slot.frame->createWidget<MyGUI::ImageBox>("ImageBox", 4, 4, 40, 40, MyGUI::Align::Default);
            slot.icon->setImageTexture(icons[i]);
            slot.icon->setInheritsAlpha(false);
            slot.icon->setNeedMouseFocus(false);
        }
    }

    // 16 to 19.
    selectedTier = gameSession ? gameSession->selectedTier + 1 : 1;
    selectedChallenge = gameSession ? gameSession->selectedChallenge + 1 : 1;
    // The stored choice may name a tier or challenge this catalogue does not have.
    if (selectedTier < 1 || selectedTier > tiers) {
        selectedTier = 1;
        selectedChallenge = 1;
    } else if (selectedChallenge < 1 || selectedChallenge > challengeCount(selectedTier)) {
        selectedChallenge = 1;
    }
    rebuildRows();
    refreshColours();
    refreshWeaponHighlight();
    if (CampaignData* c = campaign()) {
        kudosNumber->setCaption(decimal(c->pointsEarned));
        for (uint32_t i = 0; i < tiers; ++i) {
            uint32_t finished = 0;
            for (uint32_t n = 0; n < c->getChallengeCount(i); ++n)
                if (c->getChallenge(i, n)->timesFinished > 0)
                    ++finished;
            tierTabs[i].kudosText->setCaption("Kudos: " + decimal(c->getTierPointsEarned(i)));
            const std::string clear =
                hasTextTables() ? gameSession->profile->getText(language(), UiTextId::SelClear) + ": " : "Clear: ";
            tierTabs[i].clearText->setCaption(toUTFString(clear + decimal(finished) + " / " +
                                                          decimal(c->countOpenChallenges(i))));
        }
    }
    fillInfoTexts();
}

void Priget_LCH_SelTier::clearRows()
{
    for (ChallengeRow& row : rows) {
        if (row.panel)
            gui->destroyWidget(row.panel);
        if (row.newMarker)
            gui->destroyWidget(row.newMarker);
    }
    rows.clear();
}

void Priget_LCH_SelTier::showKudos(int64_t kudos)
{
    const std::string text = std::to_string(kudos);
    if (kudosNumber && kudosNumber->getCaption().asUTF8() != text)
        kudosNumber->setCaption(text);
}

void Priget_LCH_SelTier::rebuildRows()
{
    clearRows();
    CampaignData* c = campaign();
    if (c && kudosNumber)
        kudosNumber->setCaption(decimal(c->pointsEarned));
    const uint32_t count = challengeCount(selectedTier);
    if (!c || tierCount() == 0 || count == 0) {
        stripCanvas->setSize(0, 40);
        return;
    }
    stripCanvas->setSize(kRowPitch * static_cast<int>(count), 50);
    rows.resize(count);
    for (uint32_t n = 1; n <= count; ++n) {
        ChallengeRow& row = rows[n - 1];
        const int x = 5 + kRowPitch * static_cast<int>(n - 1);
        row.panel = stripCanvas->createWidget<MyGUI::Widget>("RimPanel", x, 5, 40, 40, MyGUI::Align::Default);
        row.panel->setAlpha(1.0f);
        row.panel->setInheritsAlpha(false);
        // Clicks go to the overlay inside, never to the panel itself.
        row.panel->setInheritsPick(true);
        row.medal = row.panel->createWidget<MyGUI::Widget>("MissState", 0, 0, 40, 40, MyGUI::Align::Default);
        row.medal->setInheritsAlpha(false);
        row.medal->setNeedMouseFocus(false);
        row.number = makeText(row.panel, 3, 11, 36, 20, "ArialBold.10", decimal(n), MyGUI::Colour::Black);
        row.numberHighlight = makeText(row.panel, 2, 10, 36, 20, "ArialBold.10", decimal(n), kOrange);
        row.number->setTextAlign(MyGUI::Align::Center);
        row.numberHighlight->setTextAlign(MyGUI::Align::Center);
        row.overlay = row.panel->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, 40, 40, MyGUI::Align::Default);
        row.overlay->setAlpha(0.0f);
        row.overlay->setInheritsAlpha(false);
        row.overlay->eventMouseButtonPressed += MyGUI::newDelegate(this, &Priget_LCH_SelTier::onPressed);
        row.newMarker = stripCanvas->createWidget<MyGUI::Widget>("NewY", x - 3, 6, 46, 16, MyGUI::Align::Default);
        row.newMarker->setInheritsAlpha(false);
        row.newMarker->setNeedMouseFocus(false);
    }
    setMedalState();
    showChallengeInfo();
}

void Priget_LCH_SelTier::setMedalState()
{
    CampaignData* c = campaign();
    if (!c)
        return;
    for (uint32_t n = 0; n < rows.size(); ++n) {
        ChallengeRow& row = rows[n];
        const ChallengeStatus status = c->getChallengeStatus(selectedTier - 1, n);
        const ChallengeDef* def = c->getChallenge(selectedTier - 1, n);
        row.newMarker->setVisible(def && def->timesStarted == 0 && !isLocked(status));
        switch (status) {
        case ChallengeStatus::Open: row.medalState = "normal"; break;
        case ChallengeStatus::Bronze: row.medalState = "Bronze"; break;
        case ChallengeStatus::Silver: row.medalState = "Silver"; break;
        case ChallengeStatus::Gold: row.medalState = "Gold"; break;
        default: row.medalState = "Locked"; break;
        }
        row.medal->_setWidgetState(row.medalState);
    }
}

void Priget_LCH_SelTier::showChallengeInfo()
{
    CampaignData* c = campaign();
    ChallengeRow* selected = selectedRow();
    if (rows.empty() || !c || !selected)
        return;
    const uint32_t tier = selectedTier - 1;
    for (uint32_t n = 0; n < rows.size(); ++n) {
        ChallengeRow& row = rows[n];
        if (&row == selected) {
            row.panel->setColour(kOrange);
            row.panel->setAlpha(1.0f);
        } else {
            row.panel->setColour(MyGUI::Colour::White);
            row.panel->setAlpha(isLocked(c->getChallengeStatus(tier, n)) ? 0.5f : 1.0f);
        }
    }

    const uint32_t index = selectedChallenge - 1;
    const ChallengeDef* def = c->getChallenge(tier, index);
    const ChallengeStatus status = c->getChallengeStatus(tier, index);
    const bool open = c->pointsEarned >= def->requiredPoints && status != ChallengeStatus::StoryLocked;
    const uint32_t lang = language();
    if (open) {
        infoBox->setVisible(true);
        lockBox->setVisible(false);
        const std::string numbers = decimal(selectedTier) + " - " + decimal(selectedChallenge);
        if (!hasTextTables())
            infoHeading.setCaption("Challenge: " + numbers);
        else
            infoHeading.setCaption(toUTFString(gameSession->profile->getText(lang, UiTextId::SelChallenge) + ": " +
                                               numbers));
        infoTitle.setCaption(toUTFString(c->getChallengeTitle(tier, index, lang)));
        description->setCaption(toUTFString(formatWrappedText(c->getChallengeDescription(tier, index, lang), nullptr)));
        const float thresholds[3] = {def->bronzeThreshold, def->silverThreshold, def->goldThreshold};
        const uint32_t points[3] = {def->bronzePoints, def->silverPoints, def->goldPoints};
        for (int m = 0; m < 3; ++m) {
            // Whole numbers either way; NaN or out-of-range thresholds show 0.
            const float t = thresholds[m];
            const long long whole = std::isfinite(t) && std::fabs(t) < 9.0e15f ? static_cast<long long>(t) : 0;
            targetValues[m]->setCaption(def->resultIsTime ? formatRaceTime(static_cast<float>(whole))
                                                          : std::to_string(whole));
            kudosValues[m]->setCaption(decimal(points[m]));
        }
        bestBox->setVisible(def->timesFinished > 0);
        if (def->resultIsTime) {
            bestValue->setCaption(formatRaceTime(def->best));
        } else {
            std::ostringstream out;
            out.precision(6);
            out << def->best;
            bestValue->setCaption(out.str());
        }
    } else {
        infoBox->setVisible(false);
        lockBox->setVisible(true);
        bestBox->setVisible(false);
        const bool pointsLocked = status == ChallengeStatus::PointsLocked;
        storyText->setVisible(!pointsLocked);
        needLabel.setVisible(pointsLocked);
        lockKudosLabel.setVisible(pointsLocked);
        requiredKudos.setVisible(pointsLocked);
        if (pointsLocked)
            requiredKudos.setCaption(decimal(def->requiredPoints));
        else
            storyText->setCaption(toUTFString(c->getStepName(tier, index, lang)));
    }
    startButton->setEnabled(open);
    startButton->setAlpha(open ? 1.0f : 0.5f);
}

void Priget_LCH_SelTier::refreshColours()
{
    for (uint32_t i = 0; i < tierTabs.size(); ++i) {
        const bool shown = i + 1 == selectedTier;
        tierTabs[i].background->setColour(shown ? kOrange : MyGUI::Colour::Black);
        tierTabs[i].title->setTextColour(shown ? MyGUI::Colour::White : kOrange);
    }
}

void Priget_LCH_SelTier::fillInfoTexts()
{
    if (!hasTextTables())
        return;
    const uint32_t lang = language();
    const PlayerProfile* p = gameSession->profile;
    auto text = [&](UiTextId id) { return p->getText(lang, id); };
    for (uint32_t i = 0; i < tierTabs.size(); ++i)
        tierTabs[i].title->setCaption(toUTFString(text(UiTextId::SelTier) + " " + decimal(i + 1)));
    infoHeading.setCaption(toUTFString(text(UiTextId::SelChallenge) + ": 1 - 1"));
    objectiveLabel.setCaption(toUTFString(text(UiTextId::SelObjective) + ":"));
    for (MyGUI::TextBox* label : targetLabels)
        label->setCaption(toUTFString(text(UiTextId::SelTarget)));
    lockedLabel.setCaption(toUTFString(text(UiTextId::SelLocked)));
    needLabel.setCaption(toUTFString(text(UiTextId::SelNeed)));
    quitButton->setCaption(toUTFString(text(UiTextId::SelQuit)));
    challengesButton->setCaption(toUTFString(text(UiTextId::SelChallenges)));
    garageButton->setCaption(toUTFString(text(UiTextId::SelGarage)));
    bestLabel->setCaption(toUTFString(text(UiTextId::SelBest) + ":"));
    startButton->setCaption(toUTFString(text(UiTextId::SelStartChallenge)));
    skipCheckBox->setCaption(toUTFString(text(UiTextId::SelSkipStory)));
    weaponLabel.setCaption(toUTFString(text(UiTextId::SelWeapons)));
    // The heading above was the placeholder; the selected challenge's own follows.
    showChallengeInfo();
}

void Priget_LCH_SelTier::refreshWeaponHighlight()
{
    for (WeaponSlotButton& slot : weaponSlots) {
        if (slot.icon)
            slot.icon->setAlpha(0.5f);
        slot.frame->setColour(MyGUI::Colour::White);
        slot.frame->setAlpha(1.0f);
    }
    WeaponSlotButton& chosen = weaponSlots[std::min<uint32_t>(weaponSlot, 5)];
    if (chosen.icon)
        chosen.icon->setAlpha(1.0f);
    chosen.frame->setColour(kOrange);
}

void Priget_LCH_SelTier::refreshWeaponLocks()
{
    CampaignData* c = campaign();
    for (uint32_t i = 1; i <= 5; ++i)
        weaponSlots[i].frame->setColour(c && c->weaponUnlocked[i - 1] ? MyGUI::Colour::White : MyGUI::Colour::Black);
}

void Priget_LCH_SelTier::setShown(const bool& shown)
{
    slideTimer = 0.0f;
    for (MyGUI::Widget* w : {static_cast<MyGUI::Widget*>(cogImage1), static_cast<MyGUI::Widget*>(cogImage2), menuBox,
                             static_cast<MyGUI::Widget*>(garageButton), static_cast<MyGUI::Widget*>(quitButton),
                             weaponBox, skipFrame})
        w->setVisible(shown);
    refreshWeaponLocks();
}

void Priget_LCH_SelTier::hide()
{
    for (MyGUI::Widget* w : {stripView, stripBackPanel, lockBox, infoBox, tierView, startBox, bestBox,
                             static_cast<MyGUI::Widget*>(arrowLeft), static_cast<MyGUI::Widget*>(arrowRight), weaponBox,
                             skipFrame})
        w->setVisible(false);
    challengesButton->setEnabled(true);
    garageButton->setEnabled(false);
    if (globalSounds)
        globalSounds->playAccept();
}

void Priget_LCH_SelTier::show()
{
    for (MyGUI::Widget* w : {stripView, stripBackPanel, lockBox, infoBox, tierView, startBox, bestBox,
                             static_cast<MyGUI::Widget*>(arrowLeft), static_cast<MyGUI::Widget*>(arrowRight), weaponBox,
                             skipFrame})
        w->setVisible(true);
    challengesButton->setEnabled(false);
    garageButton->setEnabled(true);
    showChallengeInfo();
    refreshWeaponLocks();
    if (globalSounds)
        globalSounds->playAccept();
}

void Priget_LCH_SelTier::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!created)
        return;
    if (visible) {
        animate(dt);
        if (cog1)
            cog1->setAngle(cog1->getAngle() - 0.5f * dt);
        if (cog2) {
            const float target = static_cast<float>(selectedChallenge);
            float angle = cog2->getAngle();
            if (angle < target)
                angle = std::min(angle + 5.5f * dt, target);
            else if (angle > target)
                angle = std::max(angle - 5.5f * dt, target);
            cog2->setAngle(angle);
        }
    }

    using namespace panelinput;
    const bool pad = gameSession && gameSession->gamepadEnabled;
    const int h = hat(joystick, pad);
    const int vertical = axis(joystick, pad, 0);
    const int horizontal = axis(joystick, pad, 1);
    const int z = wheel(mouse);
    auto key = [&](OIS::KeyCode k) { return keyDown(keyboard, k); };
    const bool up = key(OIS::KC_UP) || key(OIS::KC_W) || (h & OIS::Pov::North) || vertical < kAxisLow;
    const bool down = key(OIS::KC_DOWN) || key(OIS::KC_S) || (h & OIS::Pov::South) || vertical > kAxisHigh;
    const bool left = key(OIS::KC_LEFT) || key(OIS::KC_A) || (h & OIS::Pov::West) || horizontal < kAxisLow || z > 0;
    const bool right = key(OIS::KC_RIGHT) || key(OIS::KC_D) || (h & OIS::Pov::East) || horizontal > kAxisHigh || z < 0;
    const bool confirm = key(OIS::KC_RETURN) || key(OIS::KC_SPACE) ||
                         (mouse && mouse->getMouseState().buttonDown(OIS::MB_Middle)) ||
                         (pad && joystick && !joystick->getJoyStickState().mButtons.empty() &&
                          joystick->getJoyStickState().mButtons[0]);

    if (up) {
        if (!navLatch && selectedTier < tierCount()) {
            if (globalSounds)
                globalSounds->playMove();
            ++selectedTier;
            selectedChallenge = 1;
            rebuildRows();
            refreshColours();
        }
        navLatch = 1;
    } else if (down) {
        if (!navLatch && selectedTier > 1) {
            if (globalSounds)
                globalSounds->playMove();
            --selectedTier;
            selectedChallenge = 1;
            changeTier();
        }
        navLatch = 1;
    } else if (left) {
        if (!navLatch) {
            if (globalSounds)
                globalSounds->playMove();
            stepChallengeLeft();
        }
        navLatch = 1;
    } else if (right) {
        if (!navLatch) {
            if (globalSounds)
                globalSounds->playMove();
            stepChallengeRight();
        }
        navLatch = 1;
    } else if (confirm) {
        if (!navLatch) {
            if (globalSounds)
                globalSounds->playAccept();
            startChallenge();
        }
        navLatch = 1;
    } else {
        navLatch = 0;
    }
}

void Priget_LCH_SelTier::animate(float dt)
{
    pulsePhase += 20.0f * dt;
    if (pulsePhase > 360.0f)
        pulsePhase -= 360.0f;
    const float a = 0.2f + 0.8f * std::cos(pulsePhase);
    // The GUI takes no negative alpha: the low part of the swing shows as fully clear.
    const float alpha = std::max(a, 0.0f);
    if (ChallengeRow* row = selectedRow())
        row->panel->setAlpha(alpha);
    weaponSlots[std::min<uint32_t>(weaponSlot, 5)].frame->setAlpha(alpha);
}

void Priget_LCH_SelTier::changeTier()
{
    rebuildRows();
    refreshColours();
}

int Priget_LCH_SelTier::stripCanvasX() const { return stripCanvas->getLeft(); }

void Priget_LCH_SelTier::setStripCanvasX(int x) { stripCanvas->setPosition(x, stripCanvas->getTop()); }

void Priget_LCH_SelTier::stepChallengeLeft()
{
    setStripCanvasX(std::min(stripCanvasX() + kRowPitch, 0));
    if (selectedChallenge > 1) {
        --selectedChallenge;
    } else if (selectedTier > 1) {
        --selectedTier;
        // An empty tier keeps challenge 1: there is no challenge 0.
        selectedChallenge = std::max<uint32_t>(challengeCount(selectedTier), 1);
        rebuildRows();
        refreshColours();
        if (stripView->getWidth() < stripCanvas->getWidth())
            setStripCanvasX(stripView->getWidth() - stripCanvas->getWidth());
    } else {
        selectedTier = 1;
    }
    showChallengeInfo();
}

void Priget_LCH_SelTier::stepChallengeRight()
{
    const int viewWidth = stripView->getWidth(), canvasWidth = stripCanvas->getWidth();
    if (viewWidth < canvasWidth)
        setStripCanvasX(std::max(stripCanvasX() - kRowPitch, viewWidth - canvasWidth));
    else
        setStripCanvasX(0);
    // At or past the last row (an empty tier has none) the next tier follows.
    if (selectedChallenge >= rows.size()) {
        if (selectedTier < tierCount()) {
            selectedChallenge = 1;
            ++selectedTier;
            rebuildRows();
            refreshColours();
        }
    } else {
        ++selectedChallenge;
    }
    showChallengeInfo();
}

void Priget_LCH_SelTier::onTierTabClick(MyGUI::Widget* sender)
{
    selectedChallenge = 1;
    selectedTier = 1;
    for (uint32_t i = 0; i < tierTabs.size(); ++i)
        if (tierTabs[i].overlay == sender)
            selectedTier = i + 1;
    rebuildRows();
    refreshColours();
}

void Priget_LCH_SelTier::onChallengeRowClick(MyGUI::Widget* sender)
{
    selectedChallenge = 1;
    for (uint32_t n = 0; n < rows.size(); ++n)
        if (rows[n].overlay == sender)
            selectedChallenge = n + 1;
    showChallengeInfo();
    if (globalSounds)
        globalSounds->playMove();
}

void Priget_LCH_SelTier::onWeaponClick(MyGUI::Widget* sender)
{
    for (uint32_t i = 0; i < weaponSlots.size(); ++i) {
        if (weaponSlots[i].frame != sender)
            continue;
        if (i > 0 && !(campaign() && campaign()->weaponUnlocked[i - 1])) {
            if (globalSounds)
                globalSounds->playWarning();
            return;
        }
        weaponSlot = i;
        break;
    }
    refreshWeaponHighlight();
    if (globalSounds)
        globalSounds->playMove();
}

void Priget_LCH_SelTier::onSkipStoryClick(MyGUI::Widget*)
{
    const bool checked = !skipCheckBox->getStateSelected();
    skipCheckBox->setStateSelected(checked);
    if (CampaignData* c = campaign())
        c->skipSeenStory = checked;
}

// Acts on the press: the states hand the GUI a release on every frame the button is up, which the
// GUI alone would take for a click on whatever the pointer rests on.
void Priget_LCH_SelTier::onPressed(MyGUI::Widget* sender, int, int, MyGUI::MouseButton button)
{
    if (button != MyGUI::MouseButton::Left)
        return;
    if (sender == arrowLeft)
        onArrowLeftClick(sender);
    else if (sender == arrowRight)
        onArrowRightClick(sender);
    else if (sender == startButton)
        onStartClick(sender);
    else if (sender == skipCheckBox)
        onSkipStoryClick(sender);
    else if (sender == challengesButton)
        onShowClick(sender);
    else if (sender == garageButton)
        onHideClick(sender);
    else if (std::any_of(weaponSlots.begin(), weaponSlots.end(), [&](const WeaponSlotButton& w) { return w.frame == sender; }))
        onWeaponClick(sender);
    else if (std::any_of(tierTabs.begin(), tierTabs.end(), [&](const TierTab& t) { return t.overlay == sender; }))
        onTierTabClick(sender);
    else if (std::any_of(rows.begin(), rows.end(), [&](const ChallengeRow& r) { return r.overlay == sender; }))
        onChallengeRowClick(sender);
}

void Priget_LCH_SelTier::onStartClick(MyGUI::Widget*) { startChallenge(); }

void Priget_LCH_SelTier::onArrowLeftClick(MyGUI::Widget*) { stepChallengeLeft(); }

void Priget_LCH_SelTier::onArrowRightClick(MyGUI::Widget*) { stepChallengeRight(); }

void Priget_LCH_SelTier::onButtonFocus(MyGUI::Widget* sender, MyGUI::Widget*)
{
    if (globalSounds)
        globalSounds->playMove();
    if (gameSession)
        gameSession->selectedIndex = sender == garageButton ? 1 : 0;
}

void Priget_LCH_SelTier::onShowClick(MyGUI::Widget*) { show(); }

void Priget_LCH_SelTier::onHideClick(MyGUI::Widget*) { hide(); }

void Priget_LCH_SelTier::startChallenge()
{
    CampaignData* c = campaign();
    // Only a challenge that has a row on the strip can start.
    if (!c || !selectedRow())
        return;
    const uint32_t tier = selectedTier - 1, index = selectedChallenge - 1;
    ChallengeDef* def = c->getChallenge(tier, index);
    if (!def || isLocked(c->getChallengeStatus(tier, index)))
        return;
    ++def->timesStarted;
    gameSession->selectChallenge(tier, index, weaponSlot, 0);
    startRequested = 1;
}
