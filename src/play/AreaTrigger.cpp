#include "play/AreaTrigger.h"

#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "definitions/OvniParams.h"
#include "world/TargetRegistry.h"

#include <OgreControllerManager.h>
#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgrePredefinedControllers.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>

namespace {
const char* const kMeshName = "ZV_TriggerArea.mesh";
const char* const kMaterialName = "ZV_TriggerAreaM";
const char* const kScrollUnit = "tgteff";
}  // namespace

AreaTrigger::AreaTrigger(GamePlayData* gamePlayData_, Ogre::SceneManager* sceneManager_, RandomGenerator* random_,
                         DamageRegistry* damageRegistry_, TargetRegistry* targetRegistry_,
                         audio::SoundManager* soundManager_, FxPool* fxPool_, SceneContext* sceneContext_,
                         uint32_t number_)
    : gamePlayData(gamePlayData_), sceneManager(sceneManager_), damageRegistry(damageRegistry_),
      targetRegistry(targetRegistry_), fxPool(fxPool_), soundManager(soundManager_), sceneContext(sceneContext_),
      random(random_), number(number_)
{
    if (!sceneManager)
        return;
    createEntity();
    setupMaterial();
}

AreaTrigger::~AreaTrigger()
{
    if (node) {
        while (node->numAttachedObjects() > 0) {
            Ogre::MovableObject* object = node->detachObject(static_cast<unsigned short>(0));
            sceneManager->destroyMovableObject(object);
        }
        sceneManager->destroySceneNode(node);
        node = nullptr;
        entity = nullptr;
    }
    if (scroller) {
        Ogre::ControllerManager::getSingleton().destroyController(scroller);
        scroller = nullptr;
    }
    if (material) {
        Ogre::MaterialManager::getSingleton().remove(material);
        material.reset();
    }
}

void AreaTrigger::createEntity()
{
    entity = sceneManager->createEntity(entityName(number), kMeshName);
    node = sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    node->attachObject(entity);
    centre = Ogre::Vector3(node->getPosition().x, 0.0f, node->getPosition().z);
}

void AreaTrigger::setupMaterial()
{
    Ogre::MaterialPtr base = Ogre::MaterialManager::getSingleton().getByName(kMaterialName);
    if (!base) {
        Ogre::LogManager::getSingleton().logMessage(std::string("Area trigger: material ") + kMaterialName +
                                                    " is missing");
        return;
    }
    materialName = materialNameOf(number);
    material = base->clone(materialName);
    entity->setMaterial(material);
    Ogre::Technique* technique = material->getTechnique(0);
    Ogre::Pass* pass = technique ? technique->getPass(0) : nullptr;
    if (!pass)
        return;
    pass->setDiffuse(0.5f, 0.5f, 0.0f, 0.5f);
    pass->setAmbient(0.5f, 0.5f, 0.0f);
    Ogre::TextureUnitState* unit = pass->getTextureUnitState(kScrollUnit);
    if (!unit)
        return;
    // The scroll cycles once per sequence time; occupied areas scroll faster.
    Ogre::ControllerManager& controllers = Ogre::ControllerManager::getSingleton();
    scrollFunction = std::make_shared<Ogre::AnimationControllerFunction>(1.0f);
    scroller = controllers.createController(controllers.getFrameTimeSource(),
                                            std::make_shared<Ogre::TexCoordModifierControllerValue>(unit, true),
                                            scrollFunction);
    static_cast<Ogre::AnimationControllerFunction*>(scrollFunction.get())->setSequenceTime(0.05f);
    scroller->setEnabled(true);
}

void AreaTrigger::applyScale(float s)
{
    scale = s;
    if (node)
        node->setScale(s, s, s);
    radius *= s;
}

void AreaTrigger::placeAt(const Ogre::Vector3& p)
{
    position = p;
    if (node)
        node->setPosition(p);
    const Ogre::Vector3 at = getPosition();
    centre = Ogre::Vector3(at.x, 0.0f, at.z);
}

Ogre::Vector3 AreaTrigger::getPosition() const { return node ? node->getPosition() : position; }

float AreaTrigger::getScale() const { return node ? node->getScale().x : scale; }

bool AreaTrigger::contains(const Ogre::Vector3& position)
{
    probe = Ogre::Vector3(position.x, 0.0f, position.z);
    return probe.squaredDistance(centre) <= radius * radius;
}

bool AreaTrigger::update(float dt)
{
    uint32_t count = 0;
    if (type == 1) {
        Ogre::SceneNode* playerNode = sceneContext ? sceneContext->playerNode : nullptr;
        if (playerNode && contains(playerNode->_getDerivedPosition()))
            count = 1;
    } else if (targetRegistry) {
        const uint32_t slots = targetRegistry->getNumEntries();
        for (uint32_t slot = 0; slot < slots; ++slot) {
            if (!targetRegistry->inUse(slot))
                continue;
            if (type == 2 && !dynamic_cast<const OvniParams*>(targetRegistry->entries()[slot].definition))
                continue;
            if (contains(targetRegistry->getPosition(slot)))
                ++count;
        }
    }
    countInside = count;
    setStateColour(count > 0);
    if (gamePlayData) {
        if (count > countBefore)
            gamePlayData->onAreaEnter(number, count - countBefore);
        else if (count < countBefore)
            gamePlayData->onAreaLeave(number, countBefore - count);
        if (count > 0)
            gamePlayData->onAreaInside(number, count, dt);
    }
    countBefore = count;
    return false;
}

void AreaTrigger::setStateColour(bool occupiedNow)
{
    if (occupied == (occupiedNow ? 1 : 0))
        return;
    occupied = occupiedNow ? 1 : 0;
    Ogre::ColourValue colour;
    if (type == 1)
        colour = occupiedNow ? Ogre::ColourValue(0.0f, 0.0f, 1.0f, 1.0f) : Ogre::ColourValue(0.0f, 0.5f, 0.5f, 0.5f);
    else if (type == 2)
        colour = occupiedNow ? Ogre::ColourValue(1.0f, 0.0f, 0.0f, 1.0f) : Ogre::ColourValue(0.5f, 0.5f, 0.0f, 0.5f);
    else
        colour = occupiedNow ? Ogre::ColourValue(1.0f, 1.0f, 1.0f, 1.0f) : Ogre::ColourValue(0.0f, 0.5f, 0.0f, 0.5f);
    Ogre::Technique* technique = material ? material->getTechnique(0) : nullptr;
    if (Ogre::Pass* pass = technique ? technique->getPass(0) : nullptr) {
        pass->setDiffuse(colour);
        pass->setAmbient(colour);
    }
    if (scrollFunction)
        static_cast<Ogre::AnimationControllerFunction*>(scrollFunction.get())
            ->setSequenceTime(occupiedNow ? 0.1f : 0.05f);
}
