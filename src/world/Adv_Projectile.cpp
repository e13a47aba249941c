#include "world/Adv_Projectile.h"

#include "core/Utilities.h"
#include "definitions/WarHeadParams.h"
#include "definitions/projParams.h"
#include "world/FxPool.h"
#include "world/VirtualReactor.h"

#include <OgreMath.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <limits>

namespace {

// A blast count from a float: nothing for a negative, NaN or sub-one value, saturating above.
uint32_t blastCount(float value)
{
    if (!(value >= 1.0f))
        return 0;
    if (value >= 4294967295.0f)
        return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(value);
}

}  // namespace

Adv_Projectile::~Adv_Projectile()
{
    if (reactor_) {
        reactor_->detachToWorld();
        reactor_ = nullptr;
    }
}

void Adv_Projectile::makeReactor()
{
    const std::string& name = definition_->ReactorName;
    if (name.empty() || name == " " || !fx_)
        return;
    reactor_ = fx_->spawnReactor(node_, name);
    if (reactor_)
        reactor_->setState(2);
}

bool Adv_Projectile::runStage(float dt)
{
    switch (warhead_->getWarheadType()) {
    case NapalmWHParams::kTypeCode:
        return updateNapalmStage(dt);
    case SClusterWHParams::kTypeCode:
        return updateClusterStage(dt);
    default:
        return false;
    }
}

bool Adv_Projectile::update(float dt, bool& hitReport, int& projectileType)
{
    hitReport = false;
    projectileType = static_cast<int>(definition_->ProjectileType);
    switch (record_->state) {
    case ProjectileState_Stage:
        return runStage(dt);
    case ProjectileState_Exploded:
        return impactSoundRunning();
    default:
        return advance(dt, hitReport);
    }
}

bool Adv_Projectile::advance(const float& dt, bool& hitReport)
{
    advanceDistance(dt);
    if (rayHitTest(dt)) {
        hideNode();
        stopLiveSound();
        hitReport = true;
        detonate();
        return false;
    }
    moveForward(dt);
    life_ -= dt;
    accelerate(dt);
    return life_ >= 0.0f;
}

bool Adv_Projectile::groundTest(const float& dt, float& hitDistance)
{
    if (!floorRay(node_->getPosition(), facing(), groundPoint_, hitDistance))
        return false;
    const float reach = window(dt);
    if (definition_->UseProximityFuse)
        return reach + definition_->ProxFuse_TGTDist > hitDistance;
    if (reach > hitDistance) {
        node_->setPosition(groundPoint_);
        return true;
    }
    return false;
}

bool Adv_Projectile::updateTrail(const float&) { return false; }

void Adv_Projectile::startNapalmStage()
{
    record_->state = ProjectileState_Stage;
    hideNode();
    stopLiveSound();
    areaDamage(node_->getPosition(), warhead_->FriendlyFire);
    detonate();

    const auto* napalm = dynamic_cast<const NapalmWHParams*>(warhead_);
    float spread = 0.0f;
    if (napalm) {
        if (napalm->hasDropHeightInf)
            spread = remapLinear(0.0f, 5000.0f, launchPosition_.y - node_->getPosition().y, napalm->DH_Spread_At_0m,
                                 napalm->DH_Spread_At_5000m);
        if (napalm->hasInertiaSpread) {
            const float base = napalm->hasDropHeightInf ? spread : napalm->MaxDistanceSpread;
            const float y = Ogre::Math::Clamp(node_->getOrientation().zAxis().y, -1.0f, 1.0f);
            const float angle = Ogre::Math::ACos(y).valueDegrees();
            spread = remapLinear(0.0f, 90.0f, angle, 0.01f, 1.5f) * base;
        }
    }

    // The walker faces level along the flight heading.
    Ogre::Vector3 target = node_->getPosition() - 10000.0f * node_->getOrientation().zAxis();
    target.y = node_->getPosition().y;
    node_->setOrientation(Ogre::Quaternion::IDENTITY);
    node_->lookAt(target, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);

    lastPosition_ = node_->getPosition();
    // No blasts for a range of 0 or a negative spread.
    stageCount_ = warhead_->DamageRange > 0.0f ? blastCount(spread / warhead_->DamageRange) : 0;
    stageTimer_ = warhead_->blastInterval;
}

bool Adv_Projectile::updateNapalmStage(const float& dt)
{
    if (stageCount_ == 0)
        return false;
    stageTimer_ -= dt;
    if (stageTimer_ > 0.0f)
        return true;

    const auto* napalm = dynamic_cast<const NapalmWHParams*>(warhead_);
    const float heightOffset = napalm ? napalm->MaxHeightOffset : 0.0f;
    node_->translate(Ogre::Vector3(0, 0, -warhead_->DamageRange), Ogre::Node::TS_LOCAL);
    node_->translate(Ogre::Vector3(0, heightOffset, 0), Ogre::Node::TS_PARENT);

    float hitDistance = -1.0f;
    if (!floorRay(node_->getPosition(), Ogre::Vector3::NEGATIVE_UNIT_Y, stagePoint_, hitDistance) ||
        !(2.0f * heightOffset > hitDistance)) {
        // The ground falls away: the line ends here.
        stageCount_ = 0;
        stageTimer_ = 0.0f;
        return true;
    }
    node_->setPosition(stagePoint_);
    lastPosition_ = node_->getPosition();
    areaDamage(lastPosition_, warhead_->FriendlyFire);
    detonate();
    stageTimer_ = warhead_->blastInterval;
    --stageCount_;
    return true;
}

void Adv_Projectile::startClusterStage()
{
    record_->state = ProjectileState_Stage;
    hideNode();
    stopLiveSound();
    areaDamage(node_->getPosition(), warhead_->FriendlyFire);
    detonate();
    lastPosition_ = node_->getPosition();
    const auto* cluster = dynamic_cast<const SClusterWHParams*>(warhead_);
    stageCount_ = cluster ? blastCount(Ogre::Math::RangeRandom(static_cast<float>(cluster->MinSpreadBlasts),
                                                               static_cast<float>(cluster->MaxSpreadBlasts)))
                          : 0;
    stageTimer_ = warhead_->blastInterval;
}

bool Adv_Projectile::updateClusterStage(const float& dt)
{
    if (stageCount_ == 0)
        return false;
    stageTimer_ -= dt;
    if (stageTimer_ > 0.0f)
        return true;

    const auto* cluster = dynamic_cast<const SClusterWHParams*>(warhead_);
    const float s = cluster ? cluster->SpreadDistance : 0.0f;
    if (cluster && cluster->LimitPlanarSpread)
        node_->translate(Ogre::Vector3(Ogre::Math::RangeRandom(-s, s), Ogre::Math::RangeRandom(-s, s), 0),
                         Ogre::Node::TS_LOCAL);
    else
        node_->translate(Ogre::Vector3(Ogre::Math::RangeRandom(-s, s), Ogre::Math::RangeRandom(-s, s),
                                       Ogre::Math::RangeRandom(-s, s)),
                         Ogre::Node::TS_WORLD);
    const Ogre::Vector3 p = node_->getPosition();
    node_->setPosition(lastPosition_);

    // From 100 units behind the centre toward the blast point: a blast inside the ground lands on it.
    node_->translate(Ogre::Vector3(0, 0, 100), Ogre::Node::TS_LOCAL);
    const Ogre::Vector3 q = node_->getPosition();
    const float length = (p - q).length();
    float hitDistance = -1.0f;
    if (floorRay(q, (p - q).normalisedCopy(), stagePoint_, hitDistance)) {
        node_->setPosition(length > hitDistance ? stagePoint_ : p);
        areaDamage(node_->getPosition(), false);
        detonate();
    } else {
        node_->setPosition(p);
        if (cluster && cluster->AirExplosion) {
            areaDamage(p, false);
            detonate();
        }
    }
    node_->setPosition(lastPosition_);
    stageTimer_ = warhead_->blastInterval;
    --stageCount_;
    return true;
}
