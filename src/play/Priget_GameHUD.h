#pragma once
// The in-play head-up display. The rules engine feeds it values through the setters and runs its
// update every frame; the play state drives its fades. It keeps no game state of its own: each
// setter turns one value into captions or sizes, and `update` animates pulses, a colour flash,
// fades, a shake and a blink from the timers below.
#include "core/Priget.h"

#include <cstdint>
#include <string>
#include <vector>

namespace MyGUI {
struct Colour;
class Widget;
class TextBox;
class ImageBox;
}
class GameSession;
class GlobalSounds;

// The six widgets of one stat row. Every text is drawn twice: the front text and a shadow one
// pixel right and down.
struct HudStatRow {
    MyGUI::Widget* panel = nullptr;
    MyGUI::TextBox* background = nullptr;
    MyGUI::TextBox* label = nullptr;
    MyGUI::TextBox* labelShadow = nullptr;
    MyGUI::TextBox* value = nullptr;
    MyGUI::TextBox* valueShadow = nullptr;
};

// One ball of the chain bar and its glow.
struct ComboBall {
    MyGUI::Widget* ball = nullptr;
    MyGUI::Widget* effect = nullptr;
};

class Priget_GameHUD : public Priget {
public:
    // Builds every widget at once (buildLayout); most of them start transparent.
    Priget_GameHUD(MyGUI::Gui* gui, GameSession* session, GlobalSounds* sounds);
    ~Priget_GameHUD() override;

    // Makes the layout once: a second call builds nothing.
    void buildLayout();

    // Value setters; a pulse, changed or hit flag restarts that value's animation.
    void setKillsText(uint32_t kills);
    void setLives(uint32_t lives, bool pulse);
    void setWave(uint32_t wave, bool pulse);
    void setComboResult(uint32_t points);
    // A negative score shows "0" without a pulse.
    void setScore(float value, bool changed);
    void setComboChainText(const std::string& text);
    // A negative multiplier only marks the multiplier as back at 1.0 (the Multiply row then fades).
    void showMultiplierBonus(float multiplier);
    // Only while the Kills row is shown; a streak of 2 or more raises the Combos row.
    void setKillStreak(float streak);
    void setChrono(float seconds);
    void setTime(float value, bool changed);
    void setWaveBar(float value, float full, float empty, bool changed);
    void setMaxHP(float max);
    void setHPBar(float hp, bool hit);
    void setAmmo(uint32_t ammo, bool infinite, bool changed);
    // The callers keep the fraction within 0..1.
    void setRechargeBar(float fraction);
    void setWeaponIcon(const std::string& texture);

    // Chain bar, rows, best texts and labels.
    void createComboWidgets(uint32_t count, uint32_t marker);
    void setChainTimeFraction(float fraction);
    // Does nothing without balls or for an index past them.
    void setComboBallState(uint32_t index, const std::string& state);
    void arrangeRows(bool worldShown, bool ScoreHud, bool WaveBarHud, bool LivesBarHud, bool TimeHud, bool ChronoHud,
                     bool BestSHud, bool HPHud, bool KillHud);
    void setBestValue(float value, bool asTime);
    void setWorldValue(float value, bool asTime);
    void setMedalTargets(bool show, const std::string& gold, const std::string& silver, const std::string& bronze);
    void setLabelTexts();

    // Animation and phases; dt is the frame time in seconds.
    void update(float dt);
    // One call with 1.0 shows the HUD at once.
    void fadeIn(float dt);
    // Hides or shows the whole HUD at once (the pause panel stands where the rows are).
    void setShown(bool shown);
    // End of play: the overlays and the Combos row fade.
    void fadeOut(float dt);
    // End of play: the whole HUD fades.
    void showResult(float dt);
    // Starts the colour flash and holds it on its blue tint until the owner releases it
    // (flashTimer := 2.0, flashHold := 0).
    void flashHit();
    void updateFlashColour(float dt);
    void hideStatWidgets();

    // "00'00.000" below 0 (and for a value that is not a number).
    static std::string formatHudTime(float seconds);

    GlobalSounds* sounds = nullptr;
    GameSession* session = nullptr;

    MyGUI::ImageBox* blackDip = nullptr;
    MyGUI::Widget* hudRoot = nullptr;  // its position carries the shake
    HudStatRow worldRow, bestRow, scoreRow, timeRow, killsRow, combosRow, multiplyRow, livesRow;
    // The Wave row; its bar's clip and fill (children of waveBarPanel) travel with it.
    HudStatRow waveRow;
    MyGUI::Widget* waveBarClip = nullptr;
    MyGUI::Widget* waveBarFill = nullptr;
    HudStatRow goldRow, silverRow, bronzeRow;
    MyGUI::Widget* centreCounterPanel = nullptr;
    MyGUI::TextBox* centreCounter = nullptr;
    MyGUI::TextBox* centreCounterShadow = nullptr;
    MyGUI::Widget* waveBarPanel = nullptr;
    MyGUI::TextBox* waveBarLabel = nullptr;
    MyGUI::TextBox* waveBarLabelShadow = nullptr;
    MyGUI::Widget* waveBarBackground = nullptr;
    MyGUI::Widget* chainBar = nullptr;
    MyGUI::Widget* chainTimeFill = nullptr;
    MyGUI::Widget* chainTimeBack = nullptr;
    MyGUI::Widget* chainBarMarker = nullptr;
    uint8_t chainActive = 0;  // a colour chain is lit; written by the rules engine
    std::vector<ComboBall> comboBalls;
    uint32_t comboBallCount = 0;
    MyGUI::Widget* comboResultPanel = nullptr;
    MyGUI::TextBox* comboResultLabel = nullptr;
    MyGUI::TextBox* comboResultValue = nullptr;
    MyGUI::Widget* weaponPanel = nullptr;
    MyGUI::Widget* weaponIconBackground = nullptr;
    MyGUI::ImageBox* weaponIconFull = nullptr;
    MyGUI::Widget* rechargeClip = nullptr;
    MyGUI::ImageBox* weaponIconFill = nullptr;
    MyGUI::Widget* ammoPanel = nullptr;
    MyGUI::TextBox* ammoLabel = nullptr;
    MyGUI::TextBox* ammoLabelShadow = nullptr;
    MyGUI::TextBox* ammoValue = nullptr;
    MyGUI::TextBox* ammoValueShadow = nullptr;
    MyGUI::Widget* hpPanel = nullptr;
    MyGUI::Widget* hpBarBackground = nullptr;
    MyGUI::Widget* hpBarClip = nullptr;
    MyGUI::Widget* hpBarFill = nullptr;
    MyGUI::TextBox* hpLabel = nullptr;
    MyGUI::TextBox* hpLabelShadow = nullptr;
    MyGUI::TextBox* hpValue = nullptr;
    MyGUI::TextBox* hpValueShadow = nullptr;
    float maxHP = 1.0f;
    float currentHP = 1.0f;
    MyGUI::Widget* bonusOverlayPanel = nullptr;
    MyGUI::Widget* bonusOverlayEffect = nullptr;
    MyGUI::TextBox* bonusOverlayText = nullptr;
    MyGUI::Widget* waveClearOverlayPanel = nullptr;
    MyGUI::Widget* waveClearOverlayEffect = nullptr;
    MyGUI::TextBox* waveClearOverlayText = nullptr;
    uint32_t chronoMinutes = 0;
    uint32_t chronoSeconds = 0;
    uint32_t chronoMillis = 0;

    // Pulses run from 1.0 down to 0; bonusTimer and waveClearTimer from 3.0, comboResultTimer and
    // flashTimer from 2.0, shakeTimer, fadeInTimer and resultFadeTimer from 1.0.
    float comboResultTimer = 0.0f;
    float killsPulse = 0.0f;
    float bonusTimer = 0.0f;
    float waveClearTimer = 0.0f;
    float livesPulse = 0.0f;
    float ammoPulse = 0.0f;
    float scorePulse = 0.0f;
    float wavePulse = 0.0f;
    float waveBarPulse = 0.0f;
    float centreCounterPulse = 0.0f;
    float combosPulse = 0.0f;
    float combosAlpha = 0.0f;
    uint32_t shownKillStreak = 0;
    float multiplyPulse = 0.0f;
    float shownMultiplier = 1.0f;
    float multiplyAlpha = 0.0f;
    float hpPulse = 0.0f;
    float flashTimer = 0.0f;
    uint8_t flashHold = 0;
    float shakeTimer = 0.0f;
    float shakePhase = 0.0f;
    float fadeInTimer = 1.0f;
    float resultFadeTimer = 1.0f;
    float blinkPhase = 0.0f;
    uint8_t lowValueBlink = 1;

private:
    HudStatRow makeRow(int left, int top, bool rightColumn, const char* label, const MyGUI::Colour& labelColour,
                       const char* value = "0");
    MyGUI::TextBox* makeText(MyGUI::Widget* parent, int left, int top, int width, int height, const char* font,
                             const std::string& caption);
    // Through the GUI when set, then cleared.
    template <class T>
    void destroyWidget(T*& widget);
    void setRowAlphas(const HudStatRow& row, float alpha);
    std::string valueText(float value, bool asTime) const;
    // The fade-in set of widgets at alpha a (fronts) and a x 0.5 (backgrounds and shadows).
    void applyStatAlphas(float a, bool withWaveBarPanel);
};
