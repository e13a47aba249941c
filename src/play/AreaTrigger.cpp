#include "play/AreaTrigger.h"

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
