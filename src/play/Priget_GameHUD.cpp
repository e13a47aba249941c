#include "play/Priget_GameHUD.h"

#include "core/CampaignData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "core/UiTextTable.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);
const MyGUI::Colour kYellow(1.0f, 1.0f, 0.0f, 1.0f);
const MyGUI::Colour kGrey(0.5f, 0.5f, 0.5f, 1.0f);
const MyGUI::Colour kBronze(0.62f, 0.39f, 0.2f, 1.0f);
const MyGUI::Colour kRed(1.0f, 0.0f, 0.0f, 1.0f);
const MyGUI::Align kRightTop = MyGUI::Align::Right | MyGUI::Align::Top;

// Truncated toward zero; a value that is not a number gives 0 and the int range is kept.
int truncInt(float v)
{
    if (!(v == v))
        return 0;
    if (v >= static_cast<float>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<float>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

// A fraction that is not a number counts as 0: an empty bar rather than a NaN width.
float barFraction(float f) { return f == f ? f : 0.0f; }

std::string unsignedText(uint32_t value) { return Ogre::StringConverter::toString(value); }

void setCaption(MyGUI::TextBox* front, MyGUI::TextBox* shadow, const MyGUI::UString& caption)
{
    front->setCaption(caption);
    if (shadow)
        shadow->setCaption(front->getCaption());
}

void loseAlpha(MyGUI::Widget* w, float amount)
{
    if (w && w->getAlpha() > 0.0f)
        w->setAlpha(std::max(0.0f, w->getAlpha() - amount));
}

void setAlpha(MyGUI::Widget* w, float alpha)
{
    if (w)
        w->setAlpha(alpha);
}

// c(t) of a pulse: out almost at once, back over the rest of the timer.
float pulseCurve(float t) { return evalCurve3(t, {0.0f, 0.0f}, {0.95f, 1.0f}, {1.0f, 0.0f}); }

// A pulse timer's step: cut to 1.0, run down at its rate, held at 0.
void runPulse(float& timer, float rate, float dt)
{
    if (timer > 0.0f) {
        timer = std::min(timer, 1.0f);
        timer = std::max(0.0f, timer - rate * dt);
    }
}

void placeX(MyGUI::Widget* w, float x)
{
    if (w)
        w->setPosition(truncInt(x), w->getTop());
}

void placeY(MyGUI::Widget* w, float y)
{
    if (w)
        w->setPosition(w->getLeft(), truncInt(y));
}

MyGUI::IntSize viewSize() { return MyGUI::RenderManager::getInstance().getViewSize(); }

}  // namespace

Priget_GameHUD::Priget_GameHUD(MyGUI::Gui* gui, GameSession* session, GlobalSounds* sounds)
    : Priget(gui), sounds(sounds), session(session)
{
    visible = 0;
    created = 0;
    buildLayout();
}

Priget_GameHUD::~Priget_GameHUD()
{
    for (ComboBall& b : comboBalls) {
        destroyWidget(b.ball);
        destroyWidget(b.effect);
    }
    comboBalls.clear();
    comboBallCount = 0;
    destroyWidget(blackDip);
    destroyWidget(scoreRow.panel);
    destroyWidget(worldRow.panel);
    destroyWidget(bestRow.panel);
    destroyWidget(timeRow.panel);
    destroyWidget(killsRow.panel);
    for (MyGUI::TextBox** t : {&combosRow.label, &combosRow.labelShadow, &combosRow.value, &combosRow.valueShadow,
                               &combosRow.background})
        destroyWidget(*t);
    destroyWidget(combosRow.panel);
    for (HudStatRow* row : {&multiplyRow, &livesRow, &waveRow, &goldRow, &silverRow, &bronzeRow})
        destroyWidget(row->panel);
    destroyWidget(waveBarPanel);
    destroyWidget(centreCounterPanel);
    destroyWidget(weaponPanel);
    destroyWidget(hpPanel);
    destroyWidget(comboResultPanel);
    destroyWidget(chainBar);
    destroyWidget(chainTimeFill);
    destroyWidget(chainTimeBack);
    destroyWidget(hudRoot);
    destroyWidget(bonusOverlayPanel);
    destroyWidget(waveClearOverlayPanel);
}

template <class T>
void Priget_GameHUD::destroyWidget(T*& widget)
{
    if (widget && gui)
        gui->destroyWidget(widget);
    widget = nullptr;
}

MyGUI::TextBox* Priget_GameHUD::makeText(MyGUI::Widget* parent, int left, int top, int width, int height,
                                         const char* font, const std::string& caption)
{
    auto* text = parent->createWidget<MyGUI::TextBox>("TextBox", left, top, width, height, MyGUI::Align::Default);
    text->setInheritsAlpha(false);
    // Our text skin centres vertically; the HUD's places are made for text at the top of its box.
    text->setTextAlign(MyGUI::Align::Left | MyGUI::Align::Top);
    text->setCaption(caption);
    text->setFontName(font);
    return text;
}

// A shadow takes black: the text skin's own colour is white.
static MyGUI::TextBox* asShadow(MyGUI::TextBox* text)
{
    text->setTextColour(MyGUI::Colour::Black);
    text->setAlpha(0.5f);
    return text;
}

HudStatRow Priget_GameHUD::makeRow(int left, int top, bool rightColumn, const char* label,
                                   const MyGUI::Colour& labelColour, const char* value)
{
    HudStatRow row;
    row.panel = hudRoot->createWidget<MyGUI::Widget>("PanelSkin", left, top, 137, 30, MyGUI::Align::Default);
    row.panel->setInheritsAlpha(false);
    row.panel->setAlpha(0.0f);

    // The box keeps below the label's line (its skin draws the lower part of the widget).
    row.background = row.panel->createWidget<MyGUI::TextBox>("HudValueBox", 5, 10, 127, 20, MyGUI::Align::Default);
    row.background->setInheritsAlpha(false);
    row.background->setColour(MyGUI::Colour::Black);
    row.background->setAlpha(0.5f);

    row.labelShadow = asShadow(makeText(row.panel, 1, 1, 137, 30, "ArialBold.14", label));
    row.label = makeText(row.panel, 0, 0, 137, 30, "ArialBold.14", label);
    row.label->setTextColour(labelColour);
    row.label->setAlpha(1.0f);

    if (rightColumn) {
        row.valueShadow = asShadow(makeText(row.panel, 1, 14, 127, 19, "ArialBold.14", value));
        row.value = makeText(row.panel, 0, 13, 127, 19, "ArialBold.14", value);
    } else {
        row.valueShadow = asShadow(makeText(row.panel, 11, 14, 137, 19, "ArialBold.14", value));
        row.value = makeText(row.panel, 10, 13, 137, 19, "ArialBold.14", value);
    }
    row.value->setTextColour(kOrange);
    row.value->setAlpha(1.0f);

    if (rightColumn)
        for (MyGUI::TextBox* t : {row.labelShadow, row.label, row.valueShadow, row.value})
            t->setTextAlign(kRightTop);
    return row;
}

void Priget_GameHUD::buildLayout()
{
    if (created)
        return;
    created = 1;
    const MyGUI::IntSize view = viewSize();
    const int W = view.width;
    const int H = view.height;
    const MyGUI::Align def = MyGUI::Align::Default;

    // 1, 2: the black dip under everything, the root that carries the shake.
    blackDip = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, W, H, def, "Backgound2");
    blackDip->setImageTexture("ZV_BlackDip.png");
    hudRoot = gui->createWidget<MyGUI::Widget>("PanelSkin", 0, 0, W, H, def, "GameHud");
    hudRoot->setAlpha(0.0f);

    // 3: the stat rows, left column from x 20 in 35-pixel steps, right column at W - 157.
    const MyGUI::Colour white = MyGUI::Colour::White;
    worldRow = makeRow(20, 15, false, "World", white);
    bestRow = makeRow(20, 15, false, "Best", white);
    scoreRow = makeRow(20, 50, false, "Score", white);
    timeRow = makeRow(20, 85, false, "Time", white, "00'00.000");
    killsRow = makeRow(20, 120, false, "Kills", white);
    combosRow = makeRow(20, 155, false, "Combos", white);
    multiplyRow = makeRow(20, 190, false, "Multiply", white);
    for (const HudStatRow* row : {&combosRow, &multiplyRow})
        setRowAlphas(*row, 0.0f), row->panel->setAlpha(0.0f);
    livesRow = makeRow(W - 157, 15, true, "Lives", white);
    waveRow = makeRow(W - 157, 45, true, "Wave", white);
    goldRow = makeRow(W - 157, 105, true, "Gold", kYellow);
    silverRow = makeRow(W - 157, 135, true, "Silver", kGrey);
    bronzeRow = makeRow(W - 157, 165, true, "Bronze", kBronze);

    // 4: the wave bar; its fill shows in part as the clip narrows.
    waveBarPanel = hudRoot->createWidget<MyGUI::Widget>("PanelSkin", (W - 370) / 2, 15, 370, 30, def);
    waveBarPanel->setInheritsAlpha(false);
    waveBarPanel->setAlpha(0.0f);
    waveBarBackground = waveBarPanel->createWidget<MyGUI::Widget>("WhiteSkin", 5, 5, 360, 15, def);
    waveBarBackground->setInheritsAlpha(false);
    waveBarBackground->setColour(MyGUI::Colour::Black);
    waveBarBackground->setAlpha(0.5f);
    waveBarClip = waveBarPanel->createWidget<MyGUI::Widget>("PanelSkin", 6, 12, 358, 6, def);
    waveBarClip->setInheritsAlpha(false);
    waveBarClip->setAlpha(0.0f);
    waveBarFill = waveBarClip->createWidget<MyGUI::Widget>("HPbar", 0, 0, 358, 6, def);
    waveBarFill->setInheritsAlpha(false);
    waveBarFill->setAlpha(1.0f);
    waveBarLabelShadow = asShadow(makeText(waveBarPanel, 1, 1, 137, 30, "ArialBold.10", "Wave"));
    waveBarLabel = makeText(waveBarPanel, 0, 0, 137, 30, "ArialBold.10", "Wave");
    waveBarLabel->setTextColour(white);
    waveBarLabel->setAlpha(1.0f);

    // 5: the chain bar and its time gauge, hidden until the colour system makes its balls. They
    // are placed from W - 360 although 364 wide.
    chainBar = hudRoot->createWidget<MyGUI::Widget>("WhiteSkin", (W - 360) / 2, H - 100, 364, 40, def);
    chainBar->setInheritsAlpha(false);
    chainBar->setColour(MyGUI::Colour::Black);
    chainBar->setAlpha(0.0f);
    chainBar->setVisible(false);
    chainBarMarker = chainBar->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, 2, chainBar->getHeight(), def);
    chainBarMarker->setInheritsAlpha(false);
    chainBarMarker->setColour(kOrange);
    chainBarMarker->setAlpha(0.0f);
    chainTimeBack = hudRoot->createWidget<MyGUI::Widget>("WhiteSkin", (W - 360) / 2, H - 106, 364, 6, def);
    chainTimeBack->setInheritsAlpha(false);
    chainTimeBack->setColour(MyGUI::Colour::Black);
    chainTimeBack->setAlpha(0.0f);
    chainTimeBack->setVisible(false);
    chainTimeFill = hudRoot->createWidget<MyGUI::Widget>("WhiteSkin", (W - 360) / 2, H - 106, 364, 6, def);
    chainTimeFill->setInheritsAlpha(false);
    chainTimeFill->setColour(kRed);
    chainTimeFill->setAlpha(0.0f);
    chainTimeFill->setVisible(false);

    // 6: the combo-result box.
    comboResultPanel = hudRoot->createWidget<MyGUI::Widget>("WhiteSkin", (W - 180) / 2, H - 155, 180, 45, def);
    comboResultPanel->setInheritsAlpha(false);
    comboResultPanel->setColour(MyGUI::Colour::Black);
    comboResultPanel->setAlpha(0.0f);
    comboResultPanel->setVisible(true);
    comboResultLabel = makeText(comboResultPanel, 8, 0, 172, 45, "ArialBold.14", "Combo Result:");
    comboResultLabel->setTextColour(white);
    comboResultLabel->setAlpha(0.0f);
    comboResultValue = makeText(comboResultPanel, 18, 15, 162, 30, "ArialBold.20", "1000");
    comboResultValue->setTextColour(kOrange);
    comboResultValue->setTextAlign(MyGUI::Align::Center);
    comboResultValue->setAlpha(0.0f);

    // 7: the centre counter.
    centreCounterPanel = hudRoot->createWidget<MyGUI::Widget>("PanelSkin", (W - 110) / 2, 45, 110, 40, def);
    centreCounterPanel->setInheritsAlpha(false);
    centreCounterPanel->setAlpha(0.0f);
    centreCounterShadow = asShadow(makeText(centreCounterPanel, 1, 1, 110, 40, "ArialBold.24", "0"));
    centreCounterShadow->setTextAlign(MyGUI::Align::Center);
    centreCounter = makeText(centreCounterPanel, 0, 0, 110, 40, "ArialBold.24", "0");
    centreCounter->setTextColour(white);
    centreCounter->setTextAlign(MyGUI::Align::Center);
    centreCounter->setAlpha(1.0f);

    // 8: the weapon and ammo corner. The black full icon lies under the clipped fill icon.
    weaponPanel = hudRoot->createWidget<MyGUI::Widget>("PanelSkin", W - 120, H - 125, 100, 80, def);
    weaponPanel->setInheritsAlpha(false);
    weaponPanel->setAlpha(0.0f);
    weaponIconBackground = weaponPanel->createWidget<MyGUI::Widget>(
        "WhiteSkin", weaponPanel->getWidth() - 65, weaponPanel->getHeight() - 60, 60, 60, def);
    weaponIconBackground->setInheritsAlpha(false);
    weaponIconBackground->setColour(MyGUI::Colour::Black);
    weaponIconBackground->setAlpha(0.5f);
    weaponIconFull = weaponIconBackground->createWidget<MyGUI::ImageBox>("ImageBox", 1, 1, 58, 58, def);
    weaponIconFull->setInheritsAlpha(false);
    weaponIconFull->setColour(MyGUI::Colour::Black);
    weaponIconFull->setAlpha(1.0f);
    rechargeClip = weaponIconBackground->createWidget<MyGUI::Widget>("PanelSkin", 1, 1, 58, 58, def);
    rechargeClip->setInheritsAlpha(false);
    rechargeClip->setAlpha(0.0f);
    weaponIconFill = rechargeClip->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, 58, 58, def);
    weaponIconFill->setInheritsAlpha(false);
    weaponIconFill->setAlpha(1.0f);
    ammoPanel = weaponPanel->createWidget<MyGUI::Widget>("PanelSkin", 0, 14, 100, 30, def);
    ammoPanel->setInheritsAlpha(false);
    ammoPanel->setAlpha(0.0f);
    ammoLabelShadow = asShadow(makeText(ammoPanel, 1, 1, 97, 30, "ArialBold.10", ":Ammo"));
    ammoLabel = makeText(ammoPanel, 0, 0, 97, 30, "ArialBold.10", ":Ammo");
    ammoLabel->setTextColour(white);
    ammoLabel->setAlpha(1.0f);
    for (MyGUI::TextBox* t : {ammoLabelShadow, ammoLabel})
        t->setTextAlign(kRightTop);
    // The value ends three pixels left of the label's text: it reads as the number and ":Ammo".
    const int ammoWidth = ammoLabel->getTextSize().width;
    ammoValueShadow = asShadow(makeText(ammoPanel, -2 - ammoWidth, 1, 97, 19, "ArialBold.10", "0"));
    ammoValueShadow->setTextAlign(kRightTop);
    ammoValue = makeText(ammoPanel, -3 - ammoWidth, 0, 97, 19, "ArialBold.10", "0");
    ammoValue->setTextColour(kOrange);
    ammoValue->setTextAlign(kRightTop);
    ammoValue->setAlpha(1.0f);

    // 9: the HP corner.
    hpPanel = hudRoot->createWidget<MyGUI::Widget>("PanelSkin", W - 160, H - 40, 140, 20, def);
    hpPanel->setInheritsAlpha(false);
    hpPanel->setAlpha(0.0f);
    hpBarBackground = hpPanel->createWidget<MyGUI::Widget>("WhiteSkin", 5, 5, 130, 6, def);
    hpBarBackground->setInheritsAlpha(false);
    hpBarBackground->setColour(MyGUI::Colour::Black);
    hpBarBackground->setAlpha(0.5f);
    hpBarClip = hpPanel->createWidget<MyGUI::Widget>("PanelSkin", 6, 3, 128, 6, def);
    hpBarClip->setInheritsAlpha(false);
    hpBarClip->setAlpha(0.0f);
    hpBarFill = hpBarClip->createWidget<MyGUI::Widget>("HPbar", 0, 0, 128, 6, def);
    hpBarFill->setInheritsAlpha(false);
    hpBarFill->setAlpha(1.0f);
    hpLabelShadow = asShadow(makeText(hpPanel, 1, 9, 137, 30, "ArialBold.10", "/xxx :HP"));
    hpLabel = makeText(hpPanel, 0, 8, 137, 30, "ArialBold.10", "/xxx :HP");
    hpLabel->setTextColour(white);
    hpLabel->setAlpha(1.0f);
    for (MyGUI::TextBox* t : {hpLabelShadow, hpLabel})
        t->setTextAlign(kRightTop);
    const int hpWidth = hpLabelShadow->getTextSize().width;
    hpValueShadow = asShadow(makeText(hpPanel, -2 - hpWidth, 9, 137, 19, "ArialBold.10", "0"));
    hpValueShadow->setTextAlign(kRightTop);
    hpValue = makeText(hpPanel, -3 - hpWidth, 8, 137, 19, "ArialBold.10", "0");
    hpValue->setTextColour(kOrange);
    hpValue->setTextAlign(kRightTop);
    hpValue->setAlpha(1.0f);

    // 10: the two overlays, on their own layer above the HUD.
    auto makeOverlay = [&](int top, const char* caption, MyGUI::Widget*& panel, MyGUI::Widget*& effect,
                           MyGUI::TextBox*& text) {
        panel = gui->createWidget<MyGUI::Widget>("PanelSkin", (W - 640) / 2, top, 640, 90, def, "OverHud");
        panel->setInheritsAlpha(false);
        panel->setAlpha(0.0f);
        effect = panel->createWidget<MyGUI::Widget>("BonusEff", 0, 0, panel->getWidth(), panel->getHeight(), def);
        effect->setInheritsAlpha(false);
        effect->setAlpha(0.0f);
        text = makeText(panel, 0, 0, 640, 90, "ArialBold.24", caption);
        text->setTextColour(white);
        text->setTextAlign(MyGUI::Align::Center);
        text->setAlpha(0.0f);
    };
    makeOverlay(H - 110, "X2 Bonus", bonusOverlayPanel, bonusOverlayEffect, bonusOverlayText);
    makeOverlay(80, "WAVE CLEAR", waveClearOverlayPanel, waveClearOverlayEffect, waveClearOverlayText);

    hideStatWidgets();
    setLabelTexts();
}

void Priget_GameHUD::setRowAlphas(const HudStatRow& row, float alpha)
{
    setAlpha(row.background, alpha * 0.5f);
    setAlpha(row.label, alpha);
    setAlpha(row.labelShadow, alpha * 0.5f);
    setAlpha(row.value, alpha);
    setAlpha(row.valueShadow, alpha * 0.5f);
}

// ---- Value setters ----

void Priget_GameHUD::setKillsText(uint32_t kills)
{
    setCaption(killsRow.value, killsRow.valueShadow, unsignedText(kills));
    killsPulse = 1.0f;
}

void Priget_GameHUD::setLives(uint32_t lives, bool pulse)
{
    setCaption(livesRow.value, livesRow.valueShadow, unsignedText(lives));
    if (pulse)
        livesPulse = 1.0f;
}

void Priget_GameHUD::setWave(uint32_t wave, bool pulse)
{
    setCaption(waveRow.value, waveRow.valueShadow, unsignedText(wave));
    if (pulse) {
        waveClearTimer = 3.0f;
        wavePulse = 1.0f;
    }
}

void Priget_GameHUD::setComboResult(uint32_t points)
{
    comboResultValue->setCaption(unsignedText(points));
    comboResultPanel->setAlpha(0.5f);
    comboResultLabel->setAlpha(1.0f);
    comboResultValue->setAlpha(1.0f);
    comboResultTimer = 2.0f;
}

void Priget_GameHUD::setScore(float value, bool changed)
{
    if (value < 0.0f) {
        setCaption(scoreRow.value, scoreRow.valueShadow, "0");
        return;
    }
    setCaption(scoreRow.value, scoreRow.valueShadow, unsignedText(saturatingU32(value)));
    if (changed)
        scorePulse = 1.0f;
}

void Priget_GameHUD::setComboChainText(const std::string& text)
{
    bonusOverlayText->setCaption(toUTFString(text));
    bonusTimer = 3.0f;
}

void Priget_GameHUD::showMultiplierBonus(float multiplier)
{
    if (multiplier < 0.0f) {
        shownMultiplier = 1.0f;
        return;
    }
    shownMultiplier = multiplier;
    multiplyAlpha = 1.0f;
    const std::string text = Ogre::StringConverter::toString(multiplier);
    setCaption(multiplyRow.value, multiplyRow.valueShadow, text);
    bonusOverlayText->setCaption(toUTFString("X" + text + " Bonus"));
    setRowAlphas(multiplyRow, 1.0f);
    multiplyPulse = 1.0f;
    bonusTimer = 3.0f;
}

void Priget_GameHUD::setKillStreak(float streak)
{
    if (!killsRow.panel->getVisible())
        return;
    shownKillStreak = saturatingU32(streak);
    if (streak < 0.0f) {
        setCaption(combosRow.value, combosRow.valueShadow, "0");
        return;
    }
    setCaption(combosRow.value, combosRow.valueShadow, unsignedText(shownKillStreak));
    if (shownKillStreak >= 2) {
        combosPulse = 1.0f;
        combosAlpha = 1.0f;
    }
    setRowAlphas(combosRow, combosAlpha);
}

namespace {

struct HudTimeParts {
    uint32_t minutes = 0, seconds = 0, millis = 0;
};

HudTimeParts hudTimeParts(float seconds)
{
    // Past about 30 years the text stops growing; the parts stay in range.
    if (!(seconds >= 0.0f))
        seconds = 0.0f;
    seconds = std::min(seconds, 1.0e9f);
    // Extended precision, as the race times are shown: 61.005 keeps its 5 ms.
    const long double t = seconds;
    HudTimeParts p;
    p.minutes = static_cast<uint32_t>(t * static_cast<long double>(0.016666668f));
    const long double rest = std::max(0.0L, t - p.minutes * 60.0L);
    p.seconds = static_cast<uint32_t>(rest);
    p.millis = static_cast<uint32_t>(std::max(0.0L, (rest - p.seconds) * 1000.0L));
    return p;
}

std::string hudTimeText(const HudTimeParts& p)
{
    std::string text = (p.minutes < 10 ? "0" : "") + std::to_string(p.minutes);
    text += (p.seconds < 10 ? "'0" : "'") + std::to_string(p.seconds);
    text += (p.millis < 10 ? ".00" : p.millis < 100 ? ".0" : ".") + std::to_string(p.millis);
    return text;
}

}  // namespace

std::string Priget_GameHUD::formatHudTime(float seconds) { return hudTimeText(hudTimeParts(seconds)); }

void Priget_GameHUD::setChrono(float seconds)
{
    const HudTimeParts p = hudTimeParts(seconds);
    chronoMinutes = p.minutes;
    chronoSeconds = p.seconds;
    chronoMillis = p.millis;
    setCaption(timeRow.value, timeRow.valueShadow, hudTimeText(p));
}

void Priget_GameHUD::setTime(float value, bool changed)
{
    if (value <= 10.0f) {
        lowValueBlink = 1;
    } else if (value > 10.0f) {
        lowValueBlink = 0;
        if (fadeInTimer == 0.0f)
            centreCounter->setAlpha(1.0f);
    }
    setCaption(centreCounter, centreCounterShadow, value < 0.0f ? "0" : unsignedText(saturatingU32(value)));
    if (changed)
        centreCounterPulse = 1.0f;
}

void Priget_GameHUD::setWaveBar(float value, float full, float empty, bool changed)
{
    const float fraction = barFraction(remapClamped(empty, full, value, 0.0f, 1.0f));
    waveBarClip->setCoord(7, waveBarClip->getTop(), truncInt(fraction * 358.0f), 6);
    if (changed)
        waveBarPulse = 1.0f;
}

void Priget_GameHUD::setMaxHP(float max)
{
    maxHP = max;
    setCaption(hpLabel, hpLabelShadow, "/" + unsignedText(saturatingU32(max)) + " :HP");
    const int w = hpLabelShadow->getTextSize().width;
    // Each text keeps its own line, the shadow one pixel below the value.
    hpValueShadow->setPosition(-2 - w, hpValueShadow->getTop());
    hpValue->setPosition(-3 - w, hpValue->getTop());
}

void Priget_GameHUD::setHPBar(float hp, bool hit)
{
    currentHP = hp;
    setCaption(hpValue, hpValueShadow, unsignedText(saturatingU32(hp)));
    const float f = barFraction(remapClamped(0.0f, maxHP, hp, 0.0f, 1.0f));
    const int width = truncInt(f * 126.0f);
    hpBarClip->setCoord(truncInt((1.0f - f) * 126.0f + 7.0f), 3, width, 6);
    hpBarClip->setPosition(hpPanel->getWidth() - hpBarClip->getWidth() - 7, hpBarClip->getTop());
    hpBarFill->setPosition(hpBarClip->getWidth() - 126, 3);
    if (hit)
        hpPulse = 1.0f;
}

void Priget_GameHUD::setAmmo(uint32_t ammo, bool infinite, bool changed)
{
    if (infinite) {
        setCaption(ammoValue, ammoValueShadow, "---");
        return;
    }
    setCaption(ammoValue, ammoValueShadow, unsignedText(ammo));
    weaponIconFull->setVisible(ammo > 0);
    weaponIconFill->setVisible(ammo > 0);
    if (changed)
        ammoPulse = 1.0f;
}

void Priget_GameHUD::setRechargeBar(float fraction)
{
    const int n = truncInt(fraction * 58.0f);
    rechargeClip->setCoord(1, 59 - n, 58, n);
    // The icon stays still while the clip shows its lower n rows.
    weaponIconFill->setPosition(0, n - 58);
}

void Priget_GameHUD::setWeaponIcon(const std::string& texture)
{
    // The fill must be drawn over the black full icon. Icons of one texture share a draw batch in
    // the order they took it, and taking the same texture again changes nothing: the fill lets it
    // go before taking it last.
    weaponIconFill->setImageTexture(texture);
    weaponIconFull->setImageTexture(texture);
    weaponIconFill->setImageTexture("");
    weaponIconFill->setImageTexture(texture);
}

// ---- Chain bar, rows, best texts and labels ----

void Priget_GameHUD::createComboWidgets(uint32_t count, uint32_t marker)
{
    chainBar->setVisible(true);
    chainTimeFill->setVisible(true);
    chainTimeBack->setVisible(true);
    chainBar->setSize(static_cast<int>(36 * count + 4), 40);
    // A second call replaces the balls rather than leaving the first ones under the new.
    for (ComboBall& b : comboBalls) {
        destroyWidget(b.ball);
        destroyWidget(b.effect);
    }
    comboBalls.assign(count, ComboBall{});
    comboBallCount = count;
    if (marker > 0 && marker < count) {
        chainBarMarker->setPosition(static_cast<int>(36 * marker + 1), 0);
        chainBarMarker->setVisible(true);
    } else {
        chainBarMarker->setVisible(false);
    }
    for (uint32_t i = 0; i < count; ++i) {
        const int left = static_cast<int>(4 + 36 * i);
        for (MyGUI::Widget** w : {&comboBalls[i].ball, &comboBalls[i].effect}) {
            *w = chainBar->createWidget<MyGUI::Widget>("ccCombo", left, 4, 32, 32, MyGUI::Align::Default);
            (*w)->setInheritsAlpha(false);
            (*w)->setAlpha(0.0f);
        }
        comboBalls[i].effect->_setWidgetState("Eff");
    }
    setChainTimeFraction(1.0f);
}

void Priget_GameHUD::setChainTimeFraction(float fraction)
{
    const int width = std::max(0, truncInt(fraction * static_cast<float>(chainTimeBack->getWidth())));
    chainTimeFill->setSize(width, chainTimeFill->getHeight());
}

void Priget_GameHUD::setComboBallState(uint32_t index, const std::string& state)
{
    if (comboBalls.empty() || index >= comboBallCount)
        return;
    comboBalls[index].ball->_setWidgetState(state);
    comboBalls[index].effect->setAlpha(1.0f);
}

void Priget_GameHUD::arrangeRows(bool worldShown, bool ScoreHud, bool WaveBarHud, bool LivesBarHud, bool TimeHud,
                                 bool ChronoHud, bool BestSHud, bool HPHud, bool KillHud)
{
    worldRow.panel->setVisible(worldShown);
    bestRow.panel->setVisible(BestSHud);
    scoreRow.panel->setVisible(ScoreHud);
    // The wave number and bar go with the lives, and only in a mode that feeds the bar: elsewhere
    // they would stand at wave 1 with a full bar the mode never moves.
    waveRow.panel->setVisible(LivesBarHud && WaveBarHud);
    waveBarPanel->setVisible(LivesBarHud && WaveBarHud);
    centreCounterPanel->setVisible(TimeHud);
    livesRow.panel->setVisible(LivesBarHud);
    timeRow.panel->setVisible(ChronoHud);
    hpPanel->setVisible(HPHud);
    killsRow.panel->setVisible(KillHud);

    // A challenge finished before shows its best whatever the mode's flag says.
    bool bestShown = BestSHud;
    if (session && session->challengeMode && session->campaign) {
        const CampaignData* campaign = session->campaign;
        const ChallengeDef* challenge = campaign->getChallenge(session->selectedTier, session->selectedChallenge);
        if (challenge &&
            campaign->getChallengeStatus(session->selectedTier, session->selectedChallenge) !=
                ChallengeStatus::PointsLocked &&
            challenge->timesFinished > 0) {
            bestRow.panel->setVisible(true);
            setBestValue(challenge->best, challenge->resultIsTime);
            bestShown = true;
        }
    }

    // The left column: the shown rows of World, Best, Score and Time from the top, then Kills,
    // Combos and Multiply whether shown or not. World keeps the layout's place, the first.
    int place = 0;
    auto stack = [&place](MyGUI::Widget* panel) { panel->setPosition(20, 15 + 35 * place++); };
    if (worldShown)
        ++place;
    if (bestShown)
        stack(bestRow.panel);
    if (ScoreHud)
        stack(scoreRow.panel);
    if (ChronoHud)
        stack(timeRow.panel);
    stack(killsRow.panel);
    stack(combosRow.panel);
    stack(multiplyRow.panel);

    // Without the HP corner the weapon corner moves down into its place.
    if (!HPHud) {
        const MyGUI::IntSize view = viewSize();
        weaponPanel->setPosition(view.width - 120, view.height - 105);
    }
}

std::string Priget_GameHUD::valueText(float value, bool asTime) const
{
    return asTime ? formatHudTime(value) : Ogre::StringConverter::toString(value);
}

void Priget_GameHUD::setBestValue(float value, bool asTime)
{
    setCaption(bestRow.value, bestRow.valueShadow, valueText(value, asTime));
}

void Priget_GameHUD::setWorldValue(float value, bool asTime)
{
    setCaption(worldRow.value, worldRow.valueShadow, valueText(value, asTime));
}

void Priget_GameHUD::setMedalTargets(bool show, const std::string& gold, const std::string& silver,
                                     const std::string& bronze)
{
    const std::pair<HudStatRow*, const std::string*> rows[] = {{&goldRow, &gold}, {&silverRow, &silver},
                                                               {&bronzeRow, &bronze}};
    for (const auto& [row, text] : rows) {
        row->panel->setVisible(show);
        setCaption(row->value, row->valueShadow, toUTFString(*text));
    }
}

void Priget_GameHUD::setLabelTexts()
{
    PlayerProfile* profile = session ? session->profile : nullptr;
    if (!profile || profile->getLanguageCount() == 0)
        return;
    GameSettings* settings = session->settings;
    if (settings && settings->Language >= profile->getLanguageCount())
        settings->Language = 0;
    const uint32_t language = settings ? settings->Language : 0;
    auto text = [&](UiTextId id, const std::string& before = "", const std::string& after = "") {
        return toUTFString(before + profile->getText(language, id) + after);
    };

    waveClearOverlayText->setCaption(text(UiTextId::HudWaveClear));
    ammoLabelShadow->setCaption(text(UiTextId::HudAmmo, ":"));
    ammoLabel->setCaption(ammoLabelShadow->getCaption());
    // The value keeps its three pixels left of the label in the label's new length.
    const int ammoWidth = ammoLabel->getTextSize().width;
    ammoValueShadow->setPosition(-2 - ammoWidth, ammoValueShadow->getTop());
    ammoValue->setPosition(-3 - ammoWidth, ammoValue->getTop());
    comboResultLabel->setCaption(text(UiTextId::HudComboResult, "", ":"));
    waveBarLabelShadow->setCaption(text(UiTextId::HudWave));
    for (MyGUI::TextBox* t : {waveBarLabel, waveRow.labelShadow, waveRow.label})
        t->setCaption(waveBarLabelShadow->getCaption());
    const std::pair<HudStatRow*, UiTextId> rows[] = {
        {&bronzeRow, UiTextId::HudBronze}, {&silverRow, UiTextId::HudSilver},     {&goldRow, UiTextId::HudGold},
        {&livesRow, UiTextId::HudLives},   {&multiplyRow, UiTextId::HudMultiply}, {&combosRow, UiTextId::HudCombos},
        {&killsRow, UiTextId::HudKills},   {&bestRow, UiTextId::HudBest},         {&timeRow, UiTextId::HudTime},
        {&scoreRow, UiTextId::HudScore}};
    for (const auto& [row, id] : rows) {
        row->labelShadow->setCaption(text(id));
        row->label->setCaption(row->labelShadow->getCaption());
    }
}

void Priget_GameHUD::setShown(bool shown)
{
    if (hudRoot)
        hudRoot->setVisible(shown);
}

// ---- Animation ----

void Priget_GameHUD::update(float dt)
{
    // 1: the chain-time gauge fades while no chain is lit.
    if (!chainActive) {
        loseAlpha(chainTimeFill, 3.0f * dt);
        loseAlpha(chainTimeBack, 3.0f * dt);
    }
    // 2: the ball glows.
    for (const ComboBall& b : comboBalls)
        loseAlpha(b.effect, 2.0f * dt);
    // 3: the combo-result box stays a second, then fades over one.
    if (comboResultTimer > 0.0f) {
        comboResultTimer = std::max(0.0f, comboResultTimer - dt);
        if (comboResultTimer <= 1.0f) {
            comboResultPanel->setAlpha(comboResultTimer * 0.5f);
            comboResultLabel->setAlpha(comboResultTimer);
            comboResultValue->setAlpha(comboResultTimer);
        }
    }
    // 4: the shake of the whole HUD.
    if (shakeTimer > 0.0f) {
        shakeTimer = std::max(0.0f, shakeTimer - dt);
        shakePhase += shakeTimer * dt * 100.0f;
        if (shakePhase > 360.0f)
            shakePhase -= 360.0f;
        hudRoot->setPosition(truncInt(5.0f * shakeTimer * std::cos(0.7f * shakePhase)),
                             truncInt(5.0f * shakeTimer * std::cos(shakePhase)));
    }
    if (shakeTimer == 0.0f)
        hudRoot->setPosition(0, 0);
    // 5: the centre counter blinks while its value is low.
    if (centreCounterPanel->getVisible() && lowValueBlink) {
        blinkPhase += dt * 15.0f;
        if (blinkPhase > 360.0f)
            blinkPhase -= 360.0f;
        centreCounter->setAlpha((std::cos(blinkPhase) + 1.0f) * 0.5f);
    }
    // 6
    updateFlashColour(dt);
    // 7: the pulses, each widget placed from its curve every frame.
    const float W = static_cast<float>(viewSize().width);
    runPulse(scorePulse, 2.0f, dt);
    placeX(scoreRow.panel, (pulseCurve(scorePulse) + 1.0f) * 20.0f);
    runPulse(multiplyPulse, 1.4f, dt);
    placeX(multiplyRow.panel, (pulseCurve(multiplyPulse) + 1.0f) * 20.0f);
    if (shownMultiplier <= 1.0f) {
        multiplyAlpha = std::max(0.0f, multiplyAlpha - dt);
        setRowAlphas(multiplyRow, multiplyAlpha);
    }
    runPulse(combosPulse, 1.6f, dt);
    placeX(combosRow.panel, (pulseCurve(combosPulse) + 1.0f) * 20.0f);
    if (shownKillStreak < 2) {
        combosAlpha = std::max(0.0f, combosAlpha - dt);
        setRowAlphas(combosRow, combosAlpha);
    }
    runPulse(wavePulse, 1.8f, dt);
    placeX(waveRow.panel, (W - 157.0f) - 20.0f * pulseCurve(wavePulse));
    runPulse(livesPulse, 2.0f, dt);
    placeX(livesRow.panel, (W - 157.0f) - 20.0f * pulseCurve(livesPulse));
    runPulse(ammoPulse, 5.0f, dt);
    placeX(ammoPanel, -5.0f * pulseCurve(ammoPulse));
    runPulse(hpPulse, 2.0f, dt);
    placeX(hpPanel, (W - 160.0f) - 10.0f * pulseCurve(hpPulse));
    runPulse(killsPulse, 1.8f, dt);
    placeX(killsRow.panel, (pulseCurve(killsPulse) + 1.0f) * 20.0f);
    runPulse(centreCounterPulse, 2.8f, dt);
    placeY(centreCounterPanel, 45.0f - 10.0f * pulseCurve(centreCounterPulse));
    runPulse(waveBarPulse, 4.1f, dt);
    placeY(waveBarClip, 12.0f + 3.0f * pulseCurve(waveBarPulse));
    // 8: the overlays: the glow flashes in first, the text is full at 2.6 s left, both fade out.
    auto overlay = [dt](float& timer, MyGUI::Widget* effect, MyGUI::Widget* text) {
        timer = std::min(timer, 3.0f);
        if (timer > 0.0f)
            timer = std::max(0.0f, timer - dt);
        if (timer == 0.0f) {
            effect->setAlpha(0.0f);
            text->setAlpha(0.0f);
            return;
        }
        effect->setAlpha(evalCurve4(timer, {0.0f, 0.0f}, {2.6f, 0.5f}, {2.8f, 1.0f}, {3.0f, 0.0f}));
        text->setAlpha(evalCurve4(timer, {0.0f, 0.0f}, {2.6f, 1.0f}, {2.8f, 0.0f}, {3.0f, 0.0f}));
    };
    overlay(bonusTimer, bonusOverlayEffect, bonusOverlayText);
    overlay(waveClearTimer, waveClearOverlayEffect, waveClearOverlayText);
}

void Priget_GameHUD::flashHit()
{
    const MyGUI::Colour blue(0.0f, 0.5f, 1.0f, 1.0f);
    for (const HudStatRow* row :
         {&worldRow, &bestRow, &scoreRow, &timeRow, &killsRow, &combosRow, &multiplyRow, &livesRow, &waveRow})
        row->value->setTextColour(blue);
    for (MyGUI::TextBox* t : {centreCounter, ammoValue, hpValue})
        t->setTextColour(blue);
    const MyGUI::Colour tint(0.1f, 0.1f, 0.25f, 1.0f);
    for (const HudStatRow* row : {&worldRow, &bestRow, &scoreRow, &timeRow, &killsRow, &combosRow, &multiplyRow,
                                  &livesRow})
        row->background->setColour(tint);
    for (MyGUI::Widget* w : {waveBarBackground, static_cast<MyGUI::Widget*>(waveRow.background),
                             weaponIconBackground, hpBarBackground})
        w->setColour(tint);
    flashTimer = 2.0f;
    flashHold = 1;
}

void Priget_GameHUD::updateFlashColour(float dt)
{
    if (flashHold || flashTimer == 0.0f)
        return;
    flashTimer = std::max(0.0f, flashTimer - dt);
    const float t = flashTimer;
    // Blue while held, white at t = 1, the layout's orange texts and black backgrounds at 0.
    const MyGUI::Colour text(evalCurve3(t, {0.0f, 1.0f}, {1.0f, 1.0f}, {2.0f, 0.0f}),
                             evalCurve3(t, {0.0f, 0.5f}, {1.0f, 1.0f}, {2.0f, 0.5f}),
                             evalCurve3(t, {0.0f, 0.0f}, {1.0f, 1.0f}, {2.0f, 1.0f}), 1.0f);
    for (const HudStatRow* row : {&bestRow, &scoreRow, &timeRow, &killsRow, &combosRow, &multiplyRow, &livesRow,
                                  &waveRow})
        row->value->setTextColour(text);
    ammoValue->setTextColour(text);
    hpValue->setTextColour(text);
    centreCounter->setTextColour(MyGUI::Colour(1.0f, 0.5f + 0.25f * t, 0.5f * t, 1.0f));
    const MyGUI::Colour back(0.05f * t, 0.05f * t, 0.125f * t, 1.0f);
    for (const HudStatRow* row : {&worldRow, &bestRow, &scoreRow, &timeRow, &killsRow, &combosRow, &multiplyRow,
                                  &livesRow})
        row->background->setColour(back);
    for (MyGUI::Widget* w : {waveBarBackground, static_cast<MyGUI::Widget*>(waveRow.background),
                             weaponIconBackground, hpBarBackground})
        w->setColour(back);
}

void Priget_GameHUD::applyStatAlphas(float a, bool withWaveBarPanel)
{
    for (const HudStatRow* row : {&worldRow, &bestRow, &scoreRow, &timeRow, &killsRow, &livesRow, &waveRow})
        setRowAlphas(*row, a);
    for (MyGUI::Widget* w : {waveBarFill, static_cast<MyGUI::Widget*>(centreCounter),
                             static_cast<MyGUI::Widget*>(waveBarLabel), static_cast<MyGUI::Widget*>(weaponIconFull),
                             static_cast<MyGUI::Widget*>(weaponIconFill), static_cast<MyGUI::Widget*>(ammoLabel),
                             static_cast<MyGUI::Widget*>(ammoValue), hpBarFill, static_cast<MyGUI::Widget*>(hpLabel),
                             static_cast<MyGUI::Widget*>(hpValue), chainBarMarker})
        setAlpha(w, a);
    setAlpha(waveBarPanel, withWaveBarPanel ? a : 0.0f);
    for (const ComboBall& b : comboBalls)
        setAlpha(b.ball, a);
    for (MyGUI::Widget* w :
         {static_cast<MyGUI::Widget*>(centreCounterShadow), static_cast<MyGUI::Widget*>(waveBarLabelShadow),
          waveBarBackground, weaponIconBackground, static_cast<MyGUI::Widget*>(ammoLabelShadow),
          static_cast<MyGUI::Widget*>(ammoValueShadow), hpBarBackground, static_cast<MyGUI::Widget*>(hpLabelShadow),
          static_cast<MyGUI::Widget*>(hpValueShadow), chainBar})
        setAlpha(w, a * 0.5f);
}

void Priget_GameHUD::fadeIn(float dt)
{
    if (fadeInTimer == 0.0f)
        return;
    fadeInTimer = std::max(0.0f, fadeInTimer - dt);
    applyStatAlphas(1.0f - fadeInTimer, true);
}

void Priget_GameHUD::fadeOut(float dt)
{
    for (MyGUI::Widget* w : {bonusOverlayEffect, static_cast<MyGUI::Widget*>(bonusOverlayText),
                             waveClearOverlayEffect, static_cast<MyGUI::Widget*>(waveClearOverlayText)})
        loseAlpha(w, dt);
    for (MyGUI::TextBox* t : {combosRow.background, combosRow.label, combosRow.labelShadow, combosRow.value,
                              combosRow.valueShadow})
        loseAlpha(t, dt);
}

void Priget_GameHUD::showResult(float dt)
{
    if (resultFadeTimer == 0.0f)
        return;
    resultFadeTimer = std::max(0.0f, resultFadeTimer - dt);
    loseAlpha(comboResultPanel, 3.0f * dt);
    loseAlpha(comboResultLabel, 3.0f * dt);
    comboResultValue->setAlpha(comboResultLabel->getAlpha());
    loseAlpha(chainTimeFill, 3.0f * dt);
    loseAlpha(chainTimeBack, 3.0f * dt);
    for (const ComboBall& b : comboBalls)
        loseAlpha(b.effect, 2.0f * dt);
    applyStatAlphas(resultFadeTimer, false);
    setRowAlphas(combosRow, 0.0f);
    setRowAlphas(multiplyRow, 0.0f);
}

void Priget_GameHUD::hideStatWidgets()
{
    for (const HudStatRow* row : {&worldRow, &bestRow, &scoreRow, &timeRow, &killsRow, &livesRow, &waveRow})
        setRowAlphas(*row, 0.0f);
    for (MyGUI::Widget* w :
         {waveBarClip, waveBarFill, static_cast<MyGUI::Widget*>(centreCounter),
          static_cast<MyGUI::Widget*>(centreCounterShadow), waveBarPanel, static_cast<MyGUI::Widget*>(waveBarLabel),
          static_cast<MyGUI::Widget*>(waveBarLabelShadow), waveBarBackground, weaponIconBackground,
          static_cast<MyGUI::Widget*>(weaponIconFull), static_cast<MyGUI::Widget*>(weaponIconFill),
          static_cast<MyGUI::Widget*>(ammoLabel), static_cast<MyGUI::Widget*>(ammoLabelShadow),
          static_cast<MyGUI::Widget*>(ammoValue), static_cast<MyGUI::Widget*>(ammoValueShadow), hpBarBackground,
          hpBarFill, static_cast<MyGUI::Widget*>(hpLabel), static_cast<MyGUI::Widget*>(hpLabelShadow),
          static_cast<MyGUI::Widget*>(hpValue), static_cast<MyGUI::Widget*>(hpValueShadow)})
        setAlpha(w, 0.0f);
}
