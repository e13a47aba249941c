// Kill streak and multiplier, and the colour bar: kills of one colour in a row light balls; a
// long enough run scores a combo, a short one greys its balls.
#include "play/GameRulesManager.h"

#include "core/GamePlayData.h"
#include "core/GlobalSounds.h"
#include "core/Utilities.h"
#include "play/Priget_GameHUD.h"

#include <MyGUI.h>

#include <cmath>

namespace {

bool isLit(uint32_t ball) { return ball != 0 && ball != GameRulesManager::kGreyBall; }

}  // namespace

void GameRulesManager::updateKillStreak()
{
    if (!gamePlayData)
        return;
    GamePlayData& d = *gamePlayData;
    if (d.killReported) {
        ++killStreak;
        if (!multiplierSteps.empty())
            updateMultiplier();
    }
    // A hit is counted after the kill of the same frame.
    if (d.playerHit) {
        killStreak = 0;
        d.killMultiplier = 1.0f;
        if (hud) {
            hud->setKillStreak(0.0f);
            hud->showMultiplierBonus(-1.0f);
        }
    }
}

void GameRulesManager::updateMultiplier()
{
    if (!gamePlayData)
        return;
    // The last qualifying row in file order wins, so rows out of order can hide a higher one.
    const MultiplierStep* chosen = nullptr;
    for (const MultiplierStep& step : multiplierSteps)
        if (step.Kills <= killStreak)
            chosen = &step;
    if (!chosen) {
        gamePlayData->killMultiplier = 1.0f;
        if (hud)
            hud->showMultiplierBonus(-1.0f);
        return;
    }
    if (!(chosen->mVar > gamePlayData->killMultiplier))
        return;
    if (globalSounds)
        globalSounds->restart(globalSounds->comboStinger());
    gamePlayData->killMultiplier = chosen->mVar;
    if (hud)
        hud->showMultiplierBonus(chosen->mVar);
}

void GameRulesManager::lightColourBall(uint32_t slot)
{
    const uint32_t colour = colourBalls[slot];
    const ColourState& state = colourStates[colour - 1];
    if (hud) {
        hud->chainActive = 1;
        if (hud->chainTimeFill) {
            hud->chainTimeFill->setAlpha(1.0f);
            hud->chainTimeFill->setColour(MyGUI::Colour(state.colour.r, state.colour.g, state.colour.b, 1.0f));
        }
        if (hud->chainTimeBack)
            hud->chainTimeBack->setAlpha(0.25f);
        hud->setComboBallState(slot, state.name);
    }
    comboTimer = ComboTimeToCombo;
}

bool GameRulesManager::addKillColour(uint32_t colour)
{
    // A colour past the list would light a ball with no state to show (and 999 would pass for
    // grey): such a kill leaves the bar alone.
    if (colour == 0 || colour > colourStates.size())
        return false;
    const auto playKill = [this] {
        if (globalSounds)
            globalSounds->restart(globalSounds->killStinger());
    };
    const uint32_t count = static_cast<uint32_t>(colourBalls.size());
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t ball = colourBalls[i];
        if (ball == 0) {
            colourBalls[i] = colour;
            lightColourBall(i);
            playKill();
            return true;
        }
        if (ball == kGreyBall || ball == colour)
            continue;
        // Another colour: the run so far ends, and the new colour starts after what it left.
        const uint32_t r = endComboChain();
        if (r >= count)
            return false;
        colourBalls[r] = colour;
        lightColourBall(r);
        playKill();
        return true;
    }
    // Full bar: the lit run grows one ball to the left, eating grey; at the first slot the bar
    // empties with "COMBO CHAIN" and starts again.
    for (uint32_t i = 0; i < count; ++i) {
        if (!isLit(colourBalls[i]))
            continue;
        if (i == 0) {
            showComboChain();
            colourBalls[0] = colour;
            lightColourBall(0);
        } else {
            colourBalls[i - 1] = colour;
            lightColourBall(i - 1);
        }
    }
    return true;
}

uint32_t GameRulesManager::endComboChain()
{
    if (hud)
        hud->chainActive = 0;
    const uint32_t count = static_cast<uint32_t>(colourBalls.size());
    uint32_t lit = 0;
    uint32_t first = count + 1;
    for (uint32_t i = 0; i < count; ++i) {
        if (!isLit(colourBalls[i]))
            continue;
        if (lit == 0)
            first = i;
        ++lit;
    }
    if (lit >= ComboMinCombo) {
        const float points = ComboMinPoint * std::pow(ComboPointMulti, static_cast<float>(lit));
        // A long bar or a large factor goes past what the HUD shows: it shows the top value, and
        // the score variable gets the full points.
        if (hud)
            hud->setComboResult(saturatingU32(points));
        if (gamePlayData && ComboMechaScoreIndx != 0 && ComboMechaScoreIndx <= gamePlayData->numMechaVars()) {
            MechaVariable& v = gamePlayData->mechaVars[ComboMechaScoreIndx - 1];
            v.value += points;
            v.changed = 1;
        }
        if (globalSounds)
            globalSounds->playAccept();
        for (uint32_t i = 0; i < count; ++i)
            if (isLit(colourBalls[i])) {
                colourBalls[i] = 0;
                if (hud)
                    hud->setComboBallState(i, "normal");
            }
        return first;
    }
    if (globalSounds)
        globalSounds->playBack();
    for (uint32_t i = 0; i < count; ++i)
        if (isLit(colourBalls[i])) {
            colourBalls[i] = kGreyBall;
            if (hud)
                hud->setComboBallState(i, "grey");
        }
    return first + lit;
}

void GameRulesManager::showComboChain()
{
    if (hud)
        hud->setComboChainText("COMBO CHAIN");
    if (globalSounds)
        globalSounds->restart(globalSounds->comboStinger());
    for (uint32_t i = 0; i < colourBalls.size(); ++i) {
        colourBalls[i] = 0;
        if (hud)
            hud->setComboBallState(i, "normal");
    }
}

uint32_t GameRulesManager::countCompletedCombos() const
{
    uint32_t grey = 0;
    for (uint32_t ball : colourBalls)
        if (ball == kGreyBall)
            ++grey;
    return grey;
}

void GameRulesManager::updateComboTimers(float dt)
{
    if (!UseComboSys || !(comboTimer > 0.0f))
        return;
    comboTimer -= dt;
    // Reaching 0 exactly ends the chain too: a timer left at 0 would never run again.
    if (comboTimer <= 0.0f) {
        endComboChain();
        comboTimer = 0.0f;
    }
    if (hud && ComboTimeToCombo > 0.0f)
        hud->setChainTimeFraction(comboTimer / ComboTimeToCombo);
}
