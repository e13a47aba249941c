#pragma once
#include <cstdint>

// A zero-filled block made by the frame listener and handed to the configuration manager,
// the game core and every state.
struct SharedBlock {
    uint32_t words[32] = {};
};
