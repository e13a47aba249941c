// Kill streak, multiplier and the colour bar of the rules, driven through the play data's
// per-frame words as the object manager and the vehicle set them.
#include "core/GamePlayData.h"
#include "play/GameRulesManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t G = GameRulesManager::kGreyBall;

std::unique_ptr<GameRulesManager> makeRules(GamePlayData& data)
{
    return std::make_unique<GameRulesManager>(&data, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

// One rules frame of the streak step: the words the world set, then the frame's reset.
void frame(GameRulesManager& rules, GamePlayData& data, bool kill, bool hit)
{
    data.killReported = kill ? 1 : 0;
    data.playerHit = hit ? 1 : 0;
    rules.updateKillStreak();
    data.killReported = data.playerHit = 0;
}

TEST(KillStreak, MultiplierStepsFollowTheStreakAndAHitResetsThem)
{
    struct Case {
        const char* name;
        std::vector<MultiplierStep> steps;
        // Per frame: 'k' kill, 'h' hit, 'b' both; the multiplier expected after it.
        std::string frames;
        std::vector<float> multipliers;
    };
    const std::vector<Case> cases = {
        {"in order", {{5, 2.0f}, {10, 3.0f}}, "kkkkkkkkkkk",
         {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3}},
        {"listed 10 before 5", {{10, 3.0f}, {5, 2.0f}}, "kkkkkkkkkkkk",
         {1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2}},
        {"hit resets", {{5, 2.0f}, {10, 3.0f}}, "kkkkkkhkkkkk", {1, 1, 1, 1, 2, 2, 1, 1, 1, 1, 1, 2}},
        {"kill and hit in one frame", {{5, 2.0f}}, "kkkkbkkkkk", {1, 1, 1, 1, 1, 1, 1, 1, 1, 2}},
        {"no steps", {}, "kkkkkkh", {1, 1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        GamePlayData data;
        auto rules = makeRules(data);
        rules->multiplierSteps = c.steps;
        uint32_t streak = 0;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            const char f = c.frames[i];
            frame(*rules, data, f == 'k' || f == 'b', f == 'h' || f == 'b');
            streak = (f == 'h' || f == 'b') ? 0 : streak + 1;
            EXPECT_EQ(rules->killStreak, streak) << c.name << " frame " << i;
            EXPECT_FLOAT_EQ(data.killMultiplier, c.multipliers[i]) << c.name << " frame " << i;
        }
    }
}

class ColourBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        rules.reset();  // its destructor frees the play data's tables
        rules = makeRules(data);
        data.mechaVars.assign(2, MechaVariable{});
        GameRulesManager& r = *rules;
        r.UseColourSystem = r.UseComboSys = 1;
        r.colourBalls.assign(5, 0);
        r.colourStates = {{"red", Ogre::ColourValue::Red}, {"green", Ogre::ColourValue::Green},
                          {"blue", Ogre::ColourValue::Blue}};
        r.ComboRedLineUnits = 3;
        r.ComboMinCombo = 3;
        r.ComboMinPoint = 100.0f;
        r.ComboPointMulti = 2.0f;
        r.ComboMechaScoreIndx = 2;
        r.ComboTimeToCombo = 1.0f;
    }

    // Each kill's colour; the results of addKillColour in a string of 't' and 'f'.
    std::string kills(const std::vector<uint32_t>& colours)
    {
        std::string placed;
        for (uint32_t c : colours)
            placed += rules->addKillColour(c) ? 't' : 'f';
        return placed;
    }
    float score() const { return data.mechaVars[1].value; }

    GamePlayData data;
    std::unique_ptr<GameRulesManager> rules;
};

TEST_F(ColourBar, RunsScoreOrGreyAndTheNextColourFollowsThem)
{
    struct Case {
        const char* name;
        std::vector<uint32_t> start;
        std::vector<uint32_t> kills;
        std::string placed;
        std::vector<uint32_t> balls;
        float score;
    };
    const std::vector<Case> cases = {
        {"three then another", {}, {1, 1, 1, 2}, "tttt", {2, 0, 0, 0, 0}, 800.0f},
        {"two then another", {}, {1, 1, 2}, "ttt", {G, G, 2, 0, 0}, 0.0f},
        {"a grey run is passed", {}, {1, 1, 2, 2, 2, 3}, "tttttt", {G, G, 3, 0, 0}, 800.0f},
        {"all grey places nothing", {G, G, G, G, G}, {1}, "t", {G, G, G, G, G}, 0.0f},
        {"greyed run ends at the last slot", {G, G, G, 1, 1}, {2}, "f", {G, G, G, G, G}, 0.0f},
        {"full bar grows left", {G, G, 1, 1, 1}, {1, 1}, "tt", {1, 1, 1, 1, 1}, 0.0f},
        {"and ends with a chain", {1, 1, 1, 1, 1}, {1}, "t", {1, 0, 0, 0, 0}, 0.0f},
        {"colour 0", {1, 0, 0, 0, 0}, {0}, "f", {1, 0, 0, 0, 0}, 0.0f},
        {"colour past the states", {1, 0, 0, 0, 0}, {4, G}, "ff", {1, 0, 0, 0, 0}, 0.0f},
    };
    for (const Case& c : cases) {
        SetUp();
        if (!c.start.empty())
            rules->colourBalls = c.start;
        EXPECT_EQ(kills(c.kills), c.placed) << c.name;
        EXPECT_EQ(rules->colourBalls, c.balls) << c.name;
        EXPECT_FLOAT_EQ(score(), c.score) << c.name;
        EXPECT_EQ(data.mechaVars[1].changed, c.score > 0.0f ? 1 : 0) << c.name;
        EXPECT_EQ(data.mechaVars[0].value, 0.0f) << c.name;
    }
}

TEST_F(ColourBar, TheTimerOrAHitClosesTheChainWithoutPlacingAnything)
{
    kills({1, 1, 1});
    EXPECT_FLOAT_EQ(rules->comboTimer, 1.0f);
    // With a frame time that lands the timer on 0 exactly, the chain still closes.
    for (int i = 0; i < 3; ++i)
        rules->updateComboTimers(0.25f);
    EXPECT_EQ(rules->colourBalls, (std::vector<uint32_t>{1, 1, 1, 0, 0}));
    rules->updateComboTimers(0.25f);
    EXPECT_EQ(rules->colourBalls, (std::vector<uint32_t>(5, 0)));
    EXPECT_FLOAT_EQ(score(), 800.0f);
    EXPECT_EQ(rules->comboTimer, 0.0f);
    rules->updateComboTimers(0.25f);  // no chain open: nothing runs
    EXPECT_FLOAT_EQ(score(), 800.0f);

    kills({2, 2});
    rules->updateComboTimers(1.5f);
    EXPECT_EQ(rules->colourBalls, (std::vector<uint32_t>{G, G, 0, 0, 0}));

    // A hit closes even a full bar: five balls score 100 x 2^5.
    SetUp();
    kills({3, 3, 3, 3, 3});
    EXPECT_EQ(rules->endComboChain(), 0u);
    EXPECT_EQ(rules->colourBalls, (std::vector<uint32_t>(5, 0)));
    EXPECT_FLOAT_EQ(score(), 3200.0f);

    // Without the combo system the timer is left alone.
    SetUp();
    kills({1});
    rules->UseComboSys = 0;
    rules->updateComboTimers(5.0f);
    EXPECT_EQ(rules->colourBalls[0], 1u);
}

TEST_F(ColourBar, GreyBallsCountAsCompletedCombos)
{
    EXPECT_EQ(rules->countCompletedCombos(), 0u);
    kills({1, 1, 2});  // two grey
    EXPECT_EQ(rules->countCompletedCombos(), 2u);
    EXPECT_LT(rules->countCompletedCombos(), rules->ComboRedLineUnits);
    kills({3});  // the single 2 greys too
    EXPECT_EQ(rules->countCompletedCombos(), 3u);
    EXPECT_GE(rules->countCompletedCombos(), rules->ComboRedLineUnits);
}

TEST_F(ColourBar, AHugeComboKeepsItsFullPointsInTheVariable)
{
    rules->colourBalls.assign(30, 0);
    kills(std::vector<uint32_t>(26, 1));
    rules->endComboChain();
    EXPECT_FLOAT_EQ(score(), 100.0f * 67108864.0f);  // 100 x 2^26, past what a u32 holds
}

}  // namespace
