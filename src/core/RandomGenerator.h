#pragma once
#include <cstdint>

// Multiply-with-carry generator (four lags and a carry); reproducible for a given seed.
class RandomGenerator {
public:
    void seed(uint32_t seed);
    uint32_t nextU32();
    // In [0, 1).
    double nextUnit();
    // In [0, 999999999].
    int32_t nextInt();

private:
    uint32_t x0_ = 0, x1_ = 0, x2_ = 0, x3_ = 0, c_ = 0;
};

// A seed from the local clock.
uint32_t makeTimeSeed();
