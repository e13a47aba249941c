#include "core/Utilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Remap, LinearExtrapolatesAndClampedHoldsEnds)
{
    EXPECT_FLOAT_EQ(remapLinear(0, 10, 5, 2, 4), 3.0f);
    EXPECT_FLOAT_EQ(remapLinear(0, 10, 20, 2, 4), 6.0f);
    EXPECT_FLOAT_EQ(remapLinear(0, 10, -10, 2, 4), 0.0f);

    EXPECT_FLOAT_EQ(remapClamped(0, 10, 10, 2, 4), 4.0f);
    EXPECT_FLOAT_EQ(remapClamped(0, 10, 10.5f, 2, 4), 4.0f);
    EXPECT_FLOAT_EQ(remapClamped(0, 10, -1, 2, 4), 2.0f);
    EXPECT_FLOAT_EQ(remapClamped(0, 10, 0, 2, 4), 2.0f);
    // A NaN passes both strict tests and goes through the formula.
    EXPECT_TRUE(std::isnan(remapClamped(0, 10, std::numeric_limits<float>::quiet_NaN(), 2, 4)));
}

TEST(Remap, CurvesPickTheirSegments)
{
    const CurvePoint p0{0, 0}, pm{1, 10}, p2{2, 0};
    EXPECT_FLOAT_EQ(evalCurve3(0.5f, p0, pm, p2), 5.0f);
    EXPECT_FLOAT_EQ(evalCurve3(1.0f, p0, pm, p2), 10.0f);  // at Pm.x: the second segment
    EXPECT_FLOAT_EQ(evalCurve3(1.5f, p0, pm, p2), 5.0f);
    EXPECT_FLOAT_EQ(evalCurve3(3.0f, p0, pm, p2), -10.0f);  // unclamped
    EXPECT_FLOAT_EQ(evalCurve3Clamped(3.0f, p0, pm, p2), 0.0f);
    EXPECT_FLOAT_EQ(evalCurve3Clamped(-1.0f, p0, pm, p2), 0.0f);

    // The title screen's alpha curve.
    const CurvePoint a{1.8f, 0}, b{2.5f, 1}, c{3.5f, 1}, d{5.0f, 0};
    EXPECT_FLOAT_EQ(evalCurve4Clamped(0.0f, a, b, c, d), 0.0f);
    EXPECT_NEAR(evalCurve4Clamped(2.15f, a, b, c, d), 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(evalCurve4Clamped(3.0f, a, b, c, d), 1.0f);
    EXPECT_NEAR(evalCurve4Clamped(4.25f, a, b, c, d), 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(evalCurve4Clamped(6.0f, a, b, c, d), 1.0f);  // above the end: P2.y
    EXPECT_FLOAT_EQ(evalCurve4(6.0f, a, b, c, d), -0.66666667f);
}

TEST(Remap, PercentWithStrength)
{
    const float lo = 0.5f, hi = 2.0f;
    EXPECT_FLOAT_EQ(remapPercent(lo, hi, 73.0f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(remapPercent(lo, hi, 73.0f, -5.0f), 1.0f);
    EXPECT_FLOAT_EQ(remapPercent(lo, hi, 100.0f, 100.0f), 2.0f);
    EXPECT_FLOAT_EQ(remapPercent(lo, hi, 0.0f, 150.0f), 0.5f);
    EXPECT_FLOAT_EQ(remapPercent(lo, hi, 100.0f, 50.0f), 1.5f);
}

TEST(Quotes, StripDoubleOrAll)
{
    EXPECT_EQ(stripQuotes("\"abc\""), "abc");
    EXPECT_EQ(stripQuotes("\"it's\""), "it's");
    EXPECT_EQ(stripAllQuotes("\"it's\""), "its");
    EXPECT_EQ(stripQuotes(""), "");
}

TEST(RaceTime, FormatsMinutesSecondsMilliseconds)
{
    const struct {
        float seconds;
        const char* text;
    } cases[] = {
        {0.0f, "00'00.000"},    {600.0f, "10'00.000"}, {61.05f, "01'01.049"},
        {3.007f, "00'03.006"},  {0.005f, "00'00.004"}, {65.25f, "01'05.250"},
        {59.999f, "00'59.999"}, {5999.5f, "99'59.500"}, {6000.0f, "100'00.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatRaceTime(c.seconds), c.text) << c.seconds;
}

TEST(WrappedText, SemicolonsBecomeLineBreaksAndAreCounted)
{
    struct Case {
        const char* text;
        const char* expected;
        uint32_t addedLines;
    };
    const Case cases[] = {
        {"Drive fast;Shoot straight", "Drive fast\nShoot straight", 1},
        {"", "", 0},
        {"x", "x0", 0},
        {";", "\n0", 1},
        {"a;;b;", "a\n\nb\n", 3},
    };
    for (const Case& c : cases) {
        uint32_t counter = 5;
        EXPECT_EQ(formatWrappedText(c.text, &counter), c.expected) << c.text;
        EXPECT_EQ(counter, 5 + c.addedLines) << c.text;
    }
    // Without a counter the text is still converted.
    EXPECT_EQ(formatWrappedText("a;b", nullptr), "a\nb");
}
