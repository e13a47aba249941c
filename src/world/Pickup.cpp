#include "world/Pickup.h"

#include "core/GamePlayData.h"
#include "definitions/PickupParams.h"
#include "definitions/goParams.h"
#include "world/CollisionRays.h"
#include "world/DamageRegistry.h"
#include "world/GameObject.h"
#include "world/GameObjectData.h"
#include "world/TargetRegistry.h"

#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

namespace {

// Height above the pickup from which the floor ray starts.
constexpr float kFloorRayLift = 10.0f;

float horizontalSquaredDistance(const Ogre::Vector3& a, const Ogre::Vector3& b)
{
    const float dx = a.x - b.x;
    const float dz = a.z - b.z;
    return dx * dx + dz * dz;
}

}  // namespace

Pickup::Pickup(const PickupContext& context, PickupParams* definition, uint32_t pickupId,
               const Ogre::Vector3& position)
    : context_(context), definition_(definition), pickupId_(pickupId)
{
    Ogre::SceneNode* root = context_.scene->getRootSceneNode();
    rootNode_ = root->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    modelNode_ = rootNode_->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    const std::string name = "pickup" + Ogre::StringConverter::toString(pickupId_);
    try {
        entity_ = context_.scene->createEntity(name, definition_->meshName);
        modelNode_->attachObject(entity_);
    } catch (const Ogre::Exception& e) {
        Ogre::LogManager::getSingleton().logMessage("pickup: cannot create '" + name + "' from '" +
                                                    definition_->meshName + "': " + e.getDescription());
        entity_ = nullptr;
    }
    rootNode_->setPosition(position);
    dropToFloor();
}

Pickup::~Pickup()
{
    if (entity_) {
        modelNode_->detachObject(entity_);
        context_.scene->destroyEntity(entity_);
    }
    modelNode_->removeAndDestroyAllChildren();
    context_.scene->destroySceneNode(modelNode_);
    rootNode_->removeAndDestroyAllChildren();
    context_.scene->destroySceneNode(rootNode_);
}

void Pickup::dropToFloor()
{
    Ogre::Vector3 hit;
    float distance = -1.0f;
    if (raycastProjFloor(context_.damage, rootNode_->getPosition() + Ogre::Vector3(0, kFloorRayLift, 0),
                         Ogre::Vector3::NEGATIVE_UNIT_Y, distance, hit))
        rootNode_->translate(0, -(distance - kFloorRayLift), 0, Ogre::Node::TS_PARENT);
}

bool Pickup::update(float dt)
{
    if (definition_->TimeLive > 0.0f) {
        age_ += dt;
        if (definition_->TimeLive <= age_)
            return false;
    }
    if (isCollected()) {
        apply();
        return false;
    }
    animateIdle(dt);
    return true;
}

bool Pickup::hasExpired() const { return definition_->TimeLive > 0.0f && definition_->TimeLive <= age_; }

void Pickup::animateIdle(float dt)
{
    if (definition_->Rotate)
        modelNode_->yaw(Ogre::Degree(definition_->Rotate_Speed * dt), Ogre::Node::TS_LOCAL);
    if (definition_->Levitate) {
        levitationPhase_ += definition_->Lev_Amplitude * dt;
        if (levitationPhase_ > 360.0f)
            levitationPhase_ -= 360.0f;
        Ogre::Vector3 p = modelNode_->getPosition();
        p.y = Ogre::Math::Cos(levitationPhase_ * definition_->Lev_Range) + definition_->Lev_Offset;
        modelNode_->setPosition(p);
    }
}

bool Pickup::isCollected()
{
    if (!context_.targets || !context_.objects)
        return false;
    const Ogre::Vector3 here = rootNode_->getPosition();
    const std::vector<TargetEntry>& entries = context_.targets->entries();
    for (const TargetEntry& entry : entries) {
        if (entry.free || !entry.active || !entry.ownerData || !entry.node)
            continue;
        GameObject* object = context_.objects(entry.ownerData->objectId);
        if (!object || !object->getParams() || !object->getParams()->ItemPicker)
            continue;
        // A dead object (killed after its own update this tick, or the parked player whose parts
        // stay targetable) must not be repaired by what it drives over.
        if (object->getHP() <= 0.0f)
            continue;
        if (horizontalSquaredDistance(here, entry.node->_getDerivedPosition()) < definition_->ColectRange) {
            pickerId_ = entry.ownerData->objectId;
            return true;
        }
    }
    return false;
}

GameObject* Pickup::picker() const { return context_.objects ? context_.objects(pickerId_) : nullptr; }

void HeathPickup::apply()
{
    auto* def = dynamic_cast<HealthPickupParams*>(definition_);
    GameObject* object = picker();
    if (!def)
        return;
    DamageEntry* entry = object && context_.damage ? context_.damage->getEntry(object->getDamageSlot()) : nullptr;
    if (entry) {
        if (def->Function == 1) {
            const float hp = object->getData() ? static_cast<float>(object->getData()->hitPoints) : 0.0f;
            const float amount = def->Perc ? def->Value * hp : def->Value;
            object->heal(entry->damageTaken - amount, def->OverHeal);
        } else if (def->Function == 2) {
            entry->damageTaken = 0.0f;
        }
    }
    if (context_.playData) {
        if (def->Value < 0.0f)
            context_.playData->playerHit = 1;
        else if (def->Value > 0.0f)
            context_.playData->healed = 1;
    }
}

void GoEffPickup::apply()
{
    auto* def = dynamic_cast<GoEffPickupParams*>(definition_);
    GameObject* object = picker();
    if (!def || !object || !object->getData())
        return;
    if (def->TurboMode) {
        object->getData()->turbo = true;
        object->setTurboTime(object->getTurboTime() + def->AddTurbo);
        if (context_.playData) {
            context_.playData->turboStartRequest = 1;
            context_.playData->turboPickup = 1;
        }
    }
    if (def->NoDamageMode) {
        object->getData()->noDamage = true;
        object->setNoDamageTime(object->getNoDamageTime() + def->AddNoDamage);
    }
}

void WeaponPickup::apply()
{
    auto* def = dynamic_cast<PickWeapParams*>(definition_);
    GameObject* object = picker();
    if (def && object)
        object->giveWeapon(def->getWeapName());
}
