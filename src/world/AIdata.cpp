#include "world/AIdata.h"

#include "core/RandomGenerator.h"

namespace {

// Value n from one draw R, by the personality table.
float personalityValue(int n, float r)
{
    switch (n) {
    case 3:
        return 0.45f * r + 0.2f - 0.225f;
    case 9:
        return 0.3f * r - 0.15f;
    case 11:
        return 0.6f * r - 0.3f;
    case 12:
    case 13:
    case 14:
    case 17:
    case 18:
    case 19:
        return 4.0f * r - 2.0f;
    case 15:
        return 0.3f * r + 0.7f;
    case 16:
        return (r + 1.0f) * 0.5f;
    case 20:
        return 3.0f * r - 1.5f;
    default:  // 1, 2, 4, 5, 6, 7, 8
        return 255.0f * r;
    }
}

}  // namespace

AIdata::AIdata(DificultyData* difficulty_, GS_PlayOnly* playContext_, RandomGenerator* rng_, uint32_t aiKind_)
    : difficulty(difficulty_), playContext(playContext_), rng(rng_), aiKind(aiKind_)
{
    setPersonality(5, personalityValue(5, draw()));
    rollPersonality();
}

void AIdata::rollPersonality()
{
    for (int n : {1, 2, 4, 9, 3, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})
        setPersonality(n, personalityValue(n, draw()));
}

float AIdata::draw() { return rng ? static_cast<float>(rng->nextUnit()) : 0.0f; }
