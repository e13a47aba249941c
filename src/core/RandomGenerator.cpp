#include "core/RandomGenerator.h"

#include "platform/Platform.h"

void RandomGenerator::seed(uint32_t seed)
{
    uint32_t s = seed;
    uint32_t* words[] = {&x0_, &x1_, &x2_, &x3_, &c_};
    for (uint32_t* w : words) {
        s = s * 29943829u - 1u;
        *w = s;
    }
    for (int i = 0; i < 19; ++i)
        nextU32();
}

uint32_t RandomGenerator::nextU32()
{
    const uint64_t sum = 2111111111ull * x3_ + 1492ull * x2_ + 1776ull * x1_ + 5115ull * x0_ + c_;
    x3_ = x2_;
    x2_ = x1_;
    x1_ = x0_;
    x0_ = static_cast<uint32_t>(sum);
    c_ = static_cast<uint32_t>(sum >> 32);
    return x0_;
}

double RandomGenerator::nextUnit() { return static_cast<double>(nextU32()) * 2.3283064365386963e-10; }

int32_t RandomGenerator::nextInt()
{
    return static_cast<int32_t>((static_cast<uint64_t>(nextU32()) * 1000000000ull) >> 32);
}

uint32_t makeTimeSeed()
{
    const platform::LocalTime t = platform::localTime();
    uint32_t seed = t.milliseconds;
    seed -= t.hour;
    seed -= t.month;
    seed += t.minute;
    seed += t.day;
    seed += t.year;
    return seed;
}
