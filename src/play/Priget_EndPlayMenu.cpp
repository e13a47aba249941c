#include "play/Priget_EndPlayMenu.h"

#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/PlayerProfile.h"
#include "core/UiTextTable.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"
#include "gui/PanelInput.h"

#include <MyGUI.h>
#include <MyGUI_RotatingSkin.h>
#include <OIS/OIS.h>
#include <OgreStringConverter.h>

namespace {

MyGUI::TextBox* makeText(MyGUI::Widget* parent, int left, int top, int width, int height, const char* caption,
                         const char* font, const MyGUI::Colour& colour)
{
    auto* text = parent->createWidget<MyGUI::TextBox>("TextBox", left, top, width, height, MyGUI::Align::Default);
    text->setInheritsAlpha(false);
    text->setCaption(caption);
    text->setFontName(font);
    text->setTextColour(colour);
    return text;
}

}  // namespace

Priget_EndPlayMenu::Priget_EndPlayMenu(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds)
    : ThreeButtonPanel(session, gui, sounds)
{
    session_->selectedIndex = 0;
    session_->inputLatch = 1;
    navLatch = 1;
    create(true);
}

Priget_EndPlayMenu::~Priget_EndPlayMenu()
{
    created = 0;
    for (MyGUI::Widget* w : {background, menuPanel, static_cast<MyGUI::Widget*>(spinCogImage),
                             static_cast<MyGUI::Widget*>(selectCogImage), resultBox, bestBox})
        if (w)
            gui->destroyWidget(w);
}

void Priget_EndPlayMenu::create(bool show)
{
    if (created)
        return;
    Priget::create(show);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int W = view.width;
    const int H = view.height;

    background = gui->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, W, H, MyGUI::Align::Default, "Backgound");
    background->setAlpha(0.0f);
    background->setColour(MyGUI::Colour::Black);
    background->setVisible(false);

    spinCogImage = makeCog("Backgound2", (W - 328) / 2 - 32, H - 180, 64, "hudCogW1.png", 0.0f, spinCog);
    selectCogImage = makeCog("Backgound2", (W - 128) / 2, H - 196, 128, "hudCogW2.png", 0.0f, selectCog);

    menuPanel = gui->createWidget<MyGUI::Widget>("WhiteSkin", (W - 328) / 2, H - 148, 328, 48,
                                                 MyGUI::Align::Default, "Main", "pM_mMenu");
    menuPanel->setAlpha(0.0f);
    menuPanel->setColour(MyGUI::Colour::Black);
    const char* const names[3] = {"pm_bRet", "pm_bQui", "pm_bCont"};
    const char* const captions[3] = {"Retry", "Quit", "Continue"};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = menuPanel->createWidget<MyGUI::Button>("SelectedButton", 8 + 160 * i, 8, 152, 32,
                                                            MyGUI::Align::Default, names[i]);
        buttons[i]->setCaption(captions[i]);
        buttons[i]->setInheritsAlpha(false);
        buttons[i]->setAlpha(0.0f);
        bindMoveSound(buttons[i]);
    }

    resultBox = gui->createWidget<MyGUI::Widget>("WhiteSkin", (W - 300) / 2, 100, 300, 90, MyGUI::Align::Default,
                                                 "Backgound");
    resultBox->setAlpha(0.5f);
    resultBox->setColour(MyGUI::Colour::Black);
    resultBox->setVisible(false);
    resultLabel = makeText(resultBox, 10, 10, 280, 40, "Result: ", "ArialBold.24", MyGUI::Colour::White);
    resultLabel->setAlpha(1.0f);
    resultValue = makeText(resultBox, 0, 50, 300, 40, "0000", "ArialBold.20", MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    resultValue->setAlpha(1.0f);
    resultValue->setTextAlign(MyGUI::Align::Center);

    bestBox = gui->createWidget<MyGUI::Widget>("WhiteSkin", (W - 168) / 2, 210, 168, 48, MyGUI::Align::Default,
                                               "Main");
    bestBox->setAlpha(0.5f);
    bestBox->setInheritsAlpha(false);
    bestBox->setColour(MyGUI::Colour::Black);
    bestBox->setVisible(false);
    bestLabel = makeText(bestBox, 8, 6, 100, 30, "Best:", "ArialBold.14", MyGUI::Colour(0.5f, 0.5f, 0.5f, 1.0f));
    bestValue = makeText(bestBox, 16, 18, 136, 30, "0000", "ArialBold.14", MyGUI::Colour::White);
    bestValue->setTextAlign(MyGUI::Align::Right | MyGUI::Align::Top);

    setButtonStates();
    setLabelTexts();
}

void Priget_EndPlayMenu::setVisible(bool on)
{
    fadeTime = 0.0f;
    spinCogImage->setVisible(on);
    selectCogImage->setVisible(on);
    menuPanel->setVisible(on);
    buttons[0]->setVisible(on);
    buttons[1]->setVisible(on);
    if (continueAvailable)
        buttons[2]->setVisible(on);
}

void Priget_EndPlayMenu::show(bool on)
{
    visible = on ? 1 : 0;
    session_->selectedIndex = 0;
    background->setVisible(on);
    if (on) {
        menuPanel->setAlpha(0.5f);
        menuPanel->setVisible(true);
        buttons[0]->setVisible(true);
        buttons[1]->setVisible(true);
        if (continueAvailable)
            buttons[2]->setVisible(true);
        background->setVisible(true);
        spinCogImage->setVisible(true);
        selectCogImage->setVisible(true);
        fadeTime = 1.0f;
        background->setAlpha(0.0f);
    } else {
        fadeTime = 0.0f;
    }
}

void Priget_EndPlayMenu::handleInput(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!created)
        return;
    if (fadeTime != 0.0f) {
        fadeTime -= dt;
        if (fadeTime <= 0.0f)
            fadeTime = 0.0f;
        background->setAlpha(remapClamped(0.0f, 0.75f, fadeTime, 0.25f, 0.0f));
        spinCogImage->setAlpha(remapClamped(0.6f, 1.0f, fadeTime, 0.5f, 0.0f));
        selectCogImage->setAlpha(remapClamped(0.5f, 0.75f, fadeTime, 0.5f, 0.0f));
        buttons[0]->setAlpha(remapClamped(0.4f, 0.65f, fadeTime, 1.0f, 0.0f));
        buttons[1]->setAlpha(remapClamped(0.3f, 0.55f, fadeTime, 1.0f, 0.0f));
        buttons[2]->setAlpha(remapClamped(0.2f, 0.45f, fadeTime, 1.0f, 0.0f));
    }
    if (!visible)
        return;

    const float k = (1.0f - fadeTime) * dt;
    if (spinCog)
        spinCog->setAngle(spinCog->getAngle() - k * 3.5f);
    turnSelectCog(selectCog, k * 5.5f);

    hitTestButtons(mouse);

    const bool pad = session_->gamepadEnabled != 0;
    const int hat = panelinput::hat(joystick, pad);
    const int stick = panelinput::axis(joystick, pad, 1);
    const int wheel = panelinput::wheel(mouse);

    if (panelinput::rightButtonDown(mouse)) {
        if (!navLatch) {
            if (session_->mouseOverButton) {
                playWarningClick();
            } else {
                session_->selectedIndex = 1;
                setButtonStates();
            }
        }
        navLatch = 1;
        return;
    }
    using panelinput::keyDown;
    const bool previous = keyDown(keyboard, OIS::KC_UP) || keyDown(keyboard, OIS::KC_W) || wheel > 0 ||
                          keyDown(keyboard, OIS::KC_LEFT) || keyDown(keyboard, OIS::KC_A) ||
                          hat == OIS::Pov::West || hat == OIS::Pov::NorthWest || hat == OIS::Pov::SouthWest ||
                          stick < panelinput::kAxisLow;
    const bool next = !previous &&
                      (keyDown(keyboard, OIS::KC_DOWN) || keyDown(keyboard, OIS::KC_S) || wheel < 0 ||
                       keyDown(keyboard, OIS::KC_RIGHT) || keyDown(keyboard, OIS::KC_D) || hat == OIS::Pov::East ||
                       hat == OIS::Pov::NorthEast || hat == OIS::Pov::SouthEast || stick > panelinput::kAxisHigh);
    if (!previous && !next) {
        navLatch = 0;
        return;
    }
    if (!navLatch) {
        if (session_->mouseOverButton) {
            playWarningClick();
        } else {
            if (previous)
                selectPreviousButton();
            else
                playMenuSelectSound();
            setButtonStates();
        }
    }
    navLatch = 1;
}

void Priget_EndPlayMenu::setResultText(std::string text)
{
    resultBox->setVisible(true);
    if (hasBest)
        bestBox->setVisible(true);
    resultValue->setCaption(toUTFString(text));
}

void Priget_EndPlayMenu::setBestValue(float value, bool asTime)
{
    hasBest = 1;
    bestValue->setCaption(asTime ? formatRaceTime(value) : Ogre::StringConverter::toString(value));
}

void Priget_EndPlayMenu::setupContinue()
{
    MyGUI::Button* cont = buttons[2];
    if (!session_->challengeMode) {
        cont->setEnabled(false);
        continueAvailable = 0;
    } else {
        continueAvailable = 1;
        const CampaignData* campaign = session_->campaign;
        const uint32_t t = session_->selectedTier;
        const uint32_t c = session_->selectedChallenge;
        if (!campaign) {
            // No campaign to look the next challenge up in: nothing to continue to.
            cont->setEnabled(false);
        } else {
            uint32_t nextTier = 0;
            uint32_t nextChallenge = 0;
            if (campaign->nextChallenge(t, c, nextTier, nextChallenge)) {
                const ChallengeStatus status = campaign->getChallengeStatus(nextTier, nextChallenge);
                const ChallengeDef* next = campaign->getChallenge(nextTier, nextChallenge);
                if (status == ChallengeStatus::PointsLocked || status == ChallengeStatus::StoryLocked || !next)
                    cont->setEnabled(false);
                else
                    cont->setEnabled(campaign->pointsEarned >= next->requiredPoints);
            }
        }
    }
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int width = continueAvailable ? 488 : 328;
    menuPanel->setCoord((view.width - width) / 2, view.height - 148, width, 48);
}

void Priget_EndPlayMenu::setLabelTexts()
{
    uint32_t language = 0;
    const PlayerProfile* profile = textTables(language);
    if (!profile)
        return;
    buttons[0]->setCaption(toUTFString(profile->getText(language, UiTextId::EndRetry)));
    buttons[1]->setCaption(toUTFString(profile->getText(language, UiTextId::EndQuit)));
    buttons[2]->setCaption(toUTFString(profile->getText(language, UiTextId::EndContinue)));
    resultLabel->setCaption(toUTFString(profile->getText(language, UiTextId::EndResult) + ":"));
    bestLabel->setCaption(toUTFString(profile->getText(language, UiTextId::EndBest) + ":"));
}

void Priget_EndPlayMenu::setButtonStates()
{
    const uint32_t index = session_->selectedIndex;
    const int selected = (index == 1 || index == 2) ? static_cast<int>(index) : 0;
    for (int i = 0; i < 3; ++i) {
        if (!buttons[i] || (i == 2 && !buttons[i]->getEnabled()))
            continue;
        buttons[i]->_setWidgetState(i == selected ? "normal" : "normal_NotSel");
    }
}
