// The AI record: a fresh record's fields and its personality, drawn from the play's generator in
// a fixed order.
#include "core/RandomGenerator.h"
#include "world/AIdata.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

TEST(AIRecord, PersonalityFollowsTheTableInTheDrawOrder)
{
    RandomGenerator rng;
    RandomGenerator reference;
    rng.seed(1234);
    reference.seed(1234);
    AIdata rec(nullptr, nullptr, &rng, 3);

    const std::map<int, std::function<float(float)>> formula = {
        {1, [](float r) { return 255.0f * r; }},
        {2, [](float r) { return 255.0f * r; }},
        {3, [](float r) { return 0.45f * r + 0.2f - 0.225f; }},
        {4, [](float r) { return 255.0f * r; }},
        {5, [](float r) { return 255.0f * r; }},
        {6, [](float r) { return 255.0f * r; }},
        {7, [](float r) { return 255.0f * r; }},
        {8, [](float r) { return 255.0f * r; }},
        {9, [](float r) { return 0.3f * r - 0.15f; }},
        {11, [](float r) { return 0.6f * r - 0.3f; }},
        {12, [](float r) { return 4.0f * r - 2.0f; }},
        {13, [](float r) { return 4.0f * r - 2.0f; }},
        {14, [](float r) { return 4.0f * r - 2.0f; }},
        {15, [](float r) { return 0.3f * r + 0.7f; }},
        {16, [](float r) { return (r + 1.0f) * 0.5f; }},
        {17, [](float r) { return 4.0f * r - 2.0f; }},
        {18, [](float r) { return 4.0f * r - 2.0f; }},
        {19, [](float r) { return 4.0f * r - 2.0f; }},
        {20, [](float r) { return 3.0f * r - 1.5f; }},
    };
    for (int n : {5, 1, 2, 4, 9, 3, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}) {
        SCOPED_TRACE(n);
        const float r = static_cast<float>(reference.nextUnit());
        EXPECT_FLOAT_EQ(rec.personality(n), formula.at(n)(r));
    }
    EXPECT_EQ(rec.personality(10), 0.0f);
    // Nineteen draws taken: the play's generator goes on where the reference's twentieth is.
    EXPECT_EQ(rng.nextU32(), reference.nextU32());

    // The same seed gives the same personality.
    RandomGenerator again;
    again.seed(1234);
    AIdata twin(nullptr, nullptr, &again, 3);
    for (int n = 1; n <= AIdata::kPersonalityCount; ++n)
        EXPECT_EQ(twin.personality(n), rec.personality(n)) << n;
}

TEST(AIRecord, StartsInStateZeroWithNothingHeld)
{
    RandomGenerator rng;
    rng.seed(9);
    AIdata rec(nullptr, nullptr, &rng, 5);
    EXPECT_EQ(rec.aiKind, 5u);
    EXPECT_EQ(rec.rng, &rng);
    EXPECT_EQ(rec.state, 0u);
    EXPECT_EQ(rec.hasTarget, 0);
    EXPECT_EQ(rec.targetSlot, 0);
    EXPECT_EQ(rec.goalPoint, Ogre::Vector3::ZERO);
    EXPECT_EQ(rec.secondPoint, Ogre::Vector3::ZERO);
    for (float timer : {rec.evadeTime, rec.pursueLeft, rec.pursueTime, rec.warnedTime, rec.lockTime, rec.moveTimer,
                        rec.age, rec.restTime, rec.retreatTime, rec.arrivalRadius, rec.goalYaw, rec.lastDamage})
        EXPECT_EQ(timer, 0.0f);
    EXPECT_EQ(rec.pursuing + rec.excludeSlot + rec.holdGoal + rec.excited + rec.calming + rec.warned + rec.legStarted, 0);
    EXPECT_EQ(rec.keepTarget + rec.exciteCount, 0u);
}
