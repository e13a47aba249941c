#pragma once
// The behaviour of air objects and Ovni (AI kind 5): an Ovni waits, turns to a random heading
// and flies for a while, over and over, and fights in a search, lock and fire cycle with a rest
// after every shot whose length comes from the play's difficulty and the record's personality.
// A plain air object cannot fly, so it only fights; its gun sits on its aim node and needs no
// turret to line up.
#include "world/AIbeheiviour.h"

class AIbeheiv_Ovni : public AIbeheiv_AirObj {
public:
    AIbeheiv_Ovni(DificultyData* difficulty, DamageRegistry* damage, TargetRegistry* targets, RandomGenerator* rng);

    void update(float dt, GameObject* obj, AIdata* rec) override;
    // Fire when the weapon is ready, then rest; a target lost or out of range ends the attack.
    void attack(float dt, GameObject* obj, AIdata* rec) override;
    // Search, pause briefly, then lock while aiming; fire once locked with the gun straight ahead.
    void approach(float dt, GameObject* obj, AIdata* rec) override;

    // The record's clocks, mood, warning and pursuit timers of one tick.
    void updateRecordTimers(float dt, AIdata* rec);
    // The pause before the next attack cycle: between the difficulty's low and high rest values
    // by the record's aggression, extrapolated beyond them. Draws two values (high first).
    float restTime(const AIdata* rec);
};
