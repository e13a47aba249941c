#pragma once
// The AI record of one computer-driven object: the state of its state machine, the target it
// works on, its timers and mood, and a personality of 20 values drawn once when it is made. The
// behaviours are shared per kind, so everything they remember about an object lives here.
#include <OgreVector.h>

#include <array>
#include <cstdint>

class DificultyData;
class GS_PlayOnly;
class RandomGenerator;

class AIdata {
public:
    static constexpr int kPersonalityCount = 20;

    // Every field zero, both points at the origin; draws personality value 5, then the others
    // (rollPersonality). The draws come from the play's one generator, so their order matters.
    AIdata(DificultyData* difficulty, GS_PlayOnly* playContext, RandomGenerator* rng, uint32_t aiKind);
    virtual ~AIdata() = default;
    AIdata(const AIdata&) = delete;
    AIdata& operator=(const AIdata&) = delete;

    // Draws values 1, 2, 4, 9, 3, 6, 7, 8, 11 to 20, in that order (10 is the mood level, not drawn).
    void rollPersonality();
    // Personality value n, counted from 1 as in the tuning tables.
    float personality(int n) const { return personality_[static_cast<size_t>(n - 1)]; }
    void setPersonality(int n, float value) { personality_[static_cast<size_t>(n - 1)] = value; }
    // One draw in [0, 1) of the record's generator; 0 without one.
    float draw();

    DificultyData* difficulty = nullptr;
    GS_PlayOnly* playContext = nullptr;  // carried for the play; no AI step reads it
    RandomGenerator* rng = nullptr;
    uint32_t aiKind = 0;
    float evadeTime = 0.0f;
    uint8_t hasTarget = 0;
    int32_t targetSlot = 0;  // a TargetRegistry slot, re-checked every tick: never a pointer
    uint8_t pursuing = 0;
    int32_t pursuedSlot = 0;
    float pursueLeft = 0.0f;
    float pursueTime = 0.0f;
    uint8_t excludeSlot = 0;
    int32_t excludedSlot = 0;
    uint8_t holdGoal = 0;
    uint8_t excited = 0;
    uint8_t calming = 0;
    float warnedTime = 0.0f;
    uint8_t warned = 0;
    uint8_t legStarted = 0;
    Ogre::Vector3 goalPoint = Ogre::Vector3::ZERO;
    Ogre::Vector3 secondPoint = Ogre::Vector3::ZERO;
    float arrivalRadius = 0.0f;
    float goalYaw = 0.0f;  // degrees
    float lockTime = 0.0f;
    float moveTimer = 0.0f;
    uint32_t state = 0;
    uint32_t keepTarget = 0;
    float lastDamage = 0.0f;
    uint32_t exciteCount = 0;
    float age = 0.0f;
    float restTime = 0.0f;
    float retreatTime = 0.0f;

private:
    std::array<float, kPersonalityCount> personality_{};
};
