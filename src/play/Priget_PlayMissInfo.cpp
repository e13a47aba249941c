#include "play/Priget_PlayMissInfo.h"

#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "core/UiTextTable.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <OgreStringConverter.h>

#include <cmath>

namespace {

const MyGUI::Colour kGrey(0.5f, 0.5f, 0.5f, 1.0f);
const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);

MyGUI::TextBox* makeText(MyGUI::Widget* box, int left, int top, int width, int height, const char* caption,
                         const char* font, const MyGUI::Colour& colour, float alpha = 1.0f)
{
    auto* text = box->createWidget<MyGUI::TextBox>("TextBox", left, top, width, height, MyGUI::Align::Default);
    text->setTextColour(colour);
    text->setAlpha(alpha);
    text->setCaption(caption);
    text->setFontName(font);
    text->setInheritsAlpha(false);
    // The box lies over the pause column's layer: it must leave the mouse to the buttons.
    text->setNeedMouseFocus(false);
    return text;
}

// A target as the box shows it: a whole score, or a time in whole seconds.
std::string targetText(float target, bool isTime)
{
    // Truncation toward zero; a value out of the unsigned range shows as 0.
    const double whole = std::trunc(static_cast<double>(target));
    const uint32_t value = (whole >= 0.0 && whole <= 4294967295.0) ? static_cast<uint32_t>(whole) : 0u;
    return isTime ? formatRaceTime(static_cast<float>(value)) : Ogre::StringConverter::toString(value);
}

}  // namespace

Priget_PlayMissInfo::Priget_PlayMissInfo(GameSession* session, MyGUI::Gui* gui, GlobalSounds* sounds)
    : Priget(gui), sounds(sounds), session(session)
{
    create(true);
}

Priget_PlayMissInfo::~Priget_PlayMissInfo()
{
    if (infoBox)
        gui->destroyWidget(infoBox);
}

void Priget_PlayMissInfo::create(bool show)
{
    if (created)
        return;
    Priget::create(show);
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int BW = 500;

    infoBox = gui->createWidget<MyGUI::Widget>("WhiteSkin", (view.width - 500) / 2, (view.height - 300) / 2, 500,
                                               300, MyGUI::Align::Default, "OverPause");
    infoBox->setVisible(false);
    infoBox->setAlpha(0.5f);
    infoBox->setColour(MyGUI::Colour::Black);
    infoBox->setNeedMouseFocus(false);

    // The boxes of the heading, the title and the label overlap: the heading and the label keep
    // to the top of theirs, the title to the bottom of its own, so no two lines meet.
    challengeShadow = makeText(infoBox, 16, 16, BW, 40, "Challenge: 1 - 1", "ArialBold.14", MyGUI::Colour::Black, 0.5f);
    challengeText = makeText(infoBox, 15, 15, BW, 40, "Challenge: 1 - 1", "ArialBold.14", MyGUI::Colour::White);
    titleShadow = makeText(infoBox, 31, 31, BW, 40, "Title", "ArialBold.20", MyGUI::Colour::Black, 0.5f);
    titleText = makeText(infoBox, 30, 30, BW, 40, "Title", "ArialBold.20", kGrey);
    MyGUI::TextBox* objectiveShadow =
        makeText(infoBox, 16, 86, BW, 40, "Objective:", "ArialBold.14", MyGUI::Colour::Black, 0.5f);
    MyGUI::TextBox* objectiveLabel = makeText(infoBox, 15, 85, BW, 40, "Objective:", "ArialBold.14", kOrange);
    objectiveLabels[0] = objectiveShadow;
    objectiveLabels[1] = objectiveLabel;
    for (MyGUI::TextBox* t : {challengeShadow, challengeText, objectiveShadow, objectiveLabel})
        t->setTextAlign(MyGUI::Align::Left | MyGUI::Align::Top);
    for (MyGUI::TextBox* t : {titleShadow, titleText})
        t->setTextAlign(MyGUI::Align::Left | MyGUI::Align::Bottom);

    objectiveEdit = infoBox->createWidget<MyGUI::EditBox>("WordWrapEmpty", 65, 105, BW - 75, 170, MyGUI::Align::Default);
    objectiveEdit->setTextColour(MyGUI::Colour::White);
    objectiveEdit->setCaption("Objective text");
    objectiveEdit->setFontName("ArialBold.10");
    objectiveEdit->setEditMultiLine(true);
    objectiveEdit->setEditReadOnly(true);
    objectiveEdit->setEditWordWrap(true);
    objectiveEdit->setEditStatic(true);
    objectiveEdit->setInheritsAlpha(false);
    objectiveEdit->setNeedMouseFocus(false);

    const char* const medals[3] = {"Bronze", "Silver", "Gold"};
    MyGUI::TextBox** targets[3] = {&bronzeTarget, &silverTarget, &goldTarget};
    MyGUI::TextBox** points[3] = {&bronzePoints, &silverPoints, &goldPoints};
    for (int i = 0; i < 3; ++i) {
        const int x = 150 * i;
        auto* cup = infoBox->createWidget<MyGUI::TextBox>("MissCups", 10 + x, 250, 35, 35, MyGUI::Align::Default);
        cup->_setWidgetState(medals[i]);
        cup->setInheritsAlpha(false);
        cup->setNeedMouseFocus(false);
        // "TGT:" keeps to the top of its box, above the target's line.
        targetLabels[i] = makeText(infoBox, 40 + x, 240, 100, 30, "TGT:", "ArialBold.10", kGrey);
        targetLabels[i]->setTextAlign(MyGUI::Align::Left | MyGUI::Align::Top);
        *targets[i] = makeText(infoBox, 50 + x, 250, 100, 30, "Objective:", "ArialBold.14", MyGUI::Colour::White);
        *points[i] = makeText(infoBox, 50 + x, 270, 100, 30, "0000", "ArialBold.14", kOrange);
    }

    fillChallengeInfo();
    infoBox->setVisible(false);
}

void Priget_PlayMissInfo::fillChallengeInfo()
{
    if (!session || !session->challengeMode)
        return;
    infoBox->setVisible(true);
    const uint32_t t = session->selectedTier;
    const uint32_t c = session->selectedChallenge;
    // Language 0 without profile texts, and for an index beyond them (it would show no text).
    const uint32_t languages = session->profile ? session->profile->getLanguageCount() : 0;
    uint32_t language = 0;
    if (languages > 0 && session->settings && session->settings->Language < languages)
        language = session->settings->Language;
    // The labels in the profile's language; the English ones stay without texts.
    std::string heading = "Challenge";
    if (languages > 0) {
        const PlayerProfile* p = session->profile;
        heading = p->getText(language, UiTextId::SelChallenge);
        for (MyGUI::TextBox* label : objectiveLabels)
            label->setCaption(toUTFString(p->getText(language, UiTextId::SelObjective) + ":"));
        for (MyGUI::TextBox* label : targetLabels)
            label->setCaption(toUTFString(p->getText(language, UiTextId::SelTarget)));
    }
    const std::string line = heading + ": " + std::to_string(t + 1) + " - " + std::to_string(c + 1);
    challengeShadow->setCaption(toUTFString(line));
    challengeText->setCaption(challengeShadow->getCaption());

    const CampaignData* campaign = session->campaign;
    const ChallengeDef* challenge = campaign ? campaign->getChallenge(t, c) : nullptr;
    if (!challenge)
        return;

    titleText->setCaption(toUTFString(campaign->getChallengeTitle(t, c, language)));
    titleShadow->setCaption(titleText->getCaption());
    objectiveEdit->setCaption(toUTFString(formatWrappedText(campaign->getChallengeDescription(t, c, language), nullptr)));

    const bool isTime = challenge->resultIsTime;
    goldTarget->setCaption(toUTFString(targetText(challenge->goldThreshold, isTime)));
    silverTarget->setCaption(toUTFString(targetText(challenge->silverThreshold, isTime)));
    bronzeTarget->setCaption(toUTFString(targetText(challenge->bronzeThreshold, isTime)));
    goldPoints->setCaption(std::to_string(challenge->goldPoints));
    silverPoints->setCaption(std::to_string(challenge->silverPoints));
    bronzePoints->setCaption(std::to_string(challenge->bronzePoints));
}
