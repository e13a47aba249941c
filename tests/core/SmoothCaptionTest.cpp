#include "core/ControllerSmoothCaption.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// Feeds n frames of dt and returns the caption after each frame ("" where nothing changed).
std::vector<std::string> run(SmoothCaptionTyper& typer, int n, float dt)
{
    std::vector<std::string> shown;
    for (int i = 0; i < n; ++i) {
        std::string caption;
        shown.push_back(typer.addTime(dt, caption) ? caption : "");
    }
    return shown;
}
}  // namespace

TEST(SmoothCaption, TypesOneCharacterEachTimeMoreThanAStepHasGathered)
{
    SmoothCaptionTyper typer;
    typer.setTarget("abc");
    // At 60 frames per second the gathered time passes 0.04 s on frames 3, 5 and 8.
    const std::vector<std::string> expected = {"", "", "a _", "", "ab _", "", "", "abc", "", "", "", ""};
    EXPECT_EQ(run(typer, 12, 1.0f / 60.0f), expected);
    EXPECT_EQ(typer.shownLength(), 3u);
}

TEST(SmoothCaption, ALongFrameRevealsOneCharacterAndCarriesTheRest)
{
    SmoothCaptionTyper typer;
    typer.setTarget("abcd");
    std::string caption;
    EXPECT_TRUE(typer.addTime(0.1f, caption));
    EXPECT_EQ(caption, "a _");
    EXPECT_TRUE(typer.addTime(0.0f, caption));  // 0.06 s left over
    EXPECT_EQ(caption, "ab _");
    EXPECT_FALSE(typer.addTime(0.0f, caption));  // 0.02 s left: not enough
    EXPECT_EQ(caption, "ab _");
    // A step of exactly 0.04 s is not more than a step.
    SmoothCaptionTyper exact;
    exact.setTarget("x");
    EXPECT_FALSE(exact.addTime(0.04f, caption));
}

TEST(SmoothCaption, EmptyTextNeverShowsTheCursor)
{
    SmoothCaptionTyper typer;
    typer.setTarget("");
    for (const std::string& c : run(typer, 10, 0.05f))
        EXPECT_EQ(c, "");
    std::string caption = "unchanged";
    EXPECT_FALSE(typer.showNext(caption));
    EXPECT_EQ(caption, "unchanged");
}

TEST(SmoothCaption, NewTextRestartsTheTypingButKeepsTheGatheredTime)
{
    SmoothCaptionTyper typer;
    typer.setTarget("hello");
    run(typer, 3, 0.05f);
    EXPECT_EQ(typer.shownLength(), 3u);
    std::string caption;
    typer.addTime(0.03f, caption);  // 0.03 + 0.03 carried = 0.06: reveals "hell _"
    typer.setTarget("yo");
    EXPECT_EQ(typer.shownLength(), 0u);
    EXPECT_TRUE(typer.addTime(0.03f, caption));  // 0.02 carried + 0.03
    EXPECT_EQ(caption, "y _");
    // restart() drops the gathered time too.
    typer.addTime(0.039f, caption);  // leaves 0.009 s, enough to tip the next 0.035 s over
    typer.restart();
    EXPECT_FALSE(typer.addTime(0.035f, caption));
}
