#include "core/MainFrameListener.h"

#include <gtest/gtest.h>

TEST(FrameTime, ZeroCountsAsOneMicrosecondAndLongFramesAreCapped)
{
    EXPECT_FLOAT_EQ(frameTimeFromMicroseconds(0), 1e-6f);
    EXPECT_FLOAT_EQ(frameTimeFromMicroseconds(1), 1e-6f);
    EXPECT_FLOAT_EQ(frameTimeFromMicroseconds(16667), 0.016667f);
    EXPECT_FLOAT_EQ(frameTimeFromMicroseconds(250000), 0.25f);
    EXPECT_FLOAT_EQ(frameTimeFromMicroseconds(300000), 0.25f);
    EXPECT_FLOAT_EQ(frameTimeFromMicroseconds(0xFFFFFFFFu), 0.25f);
}
