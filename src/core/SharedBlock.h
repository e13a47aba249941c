#pragma once
#include <cstdint>

// Shot statistics of the running play: a zero-filled block made by the frame listener and
// handed to the configuration manager, the game core, every state and the play's managers.
// The play state zeroes it when a play is set up.
struct SharedBlock {
    uint32_t bulletsFired = 0;
    uint32_t bulletHits = 0;
    uint32_t bulletKills = 0;
    uint32_t missilesFired = 0;  // rockets, missiles, bombs and dispensers
    uint32_t missileHits = 0;
    uint32_t missileKills = 0;
    uint32_t playsSetUp = 0;     // the play state adds 1 at the end of its set-up
    uint32_t spare7 = 0;
    uint32_t groundKills = 0;
    uint32_t airKills = 0;
    uint32_t spare[5] = {};

    void clear() { *this = SharedBlock{}; }
};
static_assert(sizeof(SharedBlock) == 15 * sizeof(uint32_t), "fifteen 32-bit words");

// The names the play and the world use for the same block.
using ShotStatistics = SharedBlock;
using SharedBlock60 = SharedBlock;
