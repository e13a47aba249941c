#pragma once
// The middle class of rockets, missiles, bombs and dispensers: an engine reactor, a launch
// position, and a warhead stage that outlives the flight. After the hit of a napalm warhead the
// hidden projectile walks a line of blasts along the ground ahead of the impact; after the hit of
// a cluster warhead it sets off blasts scattered around the impact point, one per blastInterval.
#include "world/Projectile.h"

class VirtualReactor;

class Adv_Projectile : public Projectile {
public:
    // Detaches the engine reactor into the world where the projectile ends.
    ~Adv_Projectile() override;

    bool update(float dt, bool& hitReport, int& projectileType) override;
    bool advance(const float& dt, bool& hitReport) override;
    bool groundTest(const float& dt, float& hitDistance) override;

    virtual bool updateTrail(const float& dt);
    virtual bool updateClusterStage(const float& dt);
    virtual bool updateNapalmStage(const float& dt);
    virtual void startNapalmStage();
    virtual void startClusterStage();

    float getStageTimer() const { return stageTimer_; }
    uint32_t getStageCount() const { return stageCount_; }
    VirtualReactor* getReactor() const { return reactor_; }

protected:
    using Projectile::Projectile;

    // Spawns the definition's reactor on the node and switches it on (none for "" or " ").
    void makeReactor();
    // State 1: the warhead's stage tick; any other warhead type ends the projectile.
    bool runStage(float dt);

    float stageTimer_ = 0.0f;
    uint32_t stageCount_ = 1;
    Ogre::Vector3 launchPosition_ = Ogre::Vector3::ZERO;
    VirtualReactor* reactor_ = nullptr;
};
