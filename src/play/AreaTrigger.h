#pragma once
// A circular area of the arena that a game mode marks: a disc whose colour and scrolling texture
// show whether something is inside. Its per-frame count drives the area's mecha events.
#include <OgreControllerManager.h>
#include <OgreMaterial.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>

namespace Ogre {
class Entity;
class SceneManager;
class SceneNode;
}
namespace audio {
class SoundManager;
}
class DamageRegistry;
class FxPool;
class GamePlayData;
class RandomGenerator;
class SceneContext;
class TargetRegistry;

class AreaTrigger {
public:
    static constexpr float kBaseRadius = 10.0f;  // the radius of the disc mesh

    // Without a scene manager the area has no disc (the data builder reads mode files so).
    AreaTrigger(GamePlayData* gamePlayData, Ogre::SceneManager* sceneManager, RandomGenerator* random,
                DamageRegistry* damageRegistry, TargetRegistry* targetRegistry, audio::SoundManager* soundManager,
                FxPool* fxPool, SceneContext* sceneContext, uint32_t number);
    virtual ~AreaTrigger();
    AreaTrigger(const AreaTrigger&) = delete;
    AreaTrigger& operator=(const AreaTrigger&) = delete;

    // Counts what is inside (height ignored, the rim inside) and raises the area's enter, leave
    // and inside events; always false.
    virtual bool update(float dt);
    // Recolours the disc when the occupied state changes.
    void setStateColour(bool occupiedNow);
    bool isOccupied() const { return occupied != 0; }
    uint32_t getCount() const { return countInside; }

    // Scales the disc and its radius (10 x scale).
    void applyScale(float scale);
    // Places the disc; the centre of its test is the position on the ground.
    void placeAt(const Ogre::Vector3& position);
    Ogre::Vector3 getPosition() const;
    float getScale() const;

    uint32_t getType() const { return type; }
    void setType(uint32_t t) { type = t; }
    float getRadius() const { return radius; }
    const Ogre::Vector3& getCentre() const { return centre; }
    uint32_t getNumber() const { return number; }
    Ogre::SceneNode* getNode() const { return node; }
    Ogre::Entity* getEntity() const { return entity; }
    const std::string& getMaterialName() const { return materialName; }

    static std::string entityName(uint32_t number) { return "ZV_TriAre" + std::to_string(number); }
    static std::string materialNameOf(uint32_t number) { return "ZV_AT_Mat" + std::to_string(number); }

private:
    bool contains(const Ogre::Vector3& position);
    void createEntity();
    void setupMaterial();

    GamePlayData* gamePlayData = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    DamageRegistry* damageRegistry = nullptr;
    TargetRegistry* targetRegistry = nullptr;
    FxPool* fxPool = nullptr;
    audio::SoundManager* soundManager = nullptr;
    SceneContext* sceneContext = nullptr;
    RandomGenerator* random = nullptr;
    Ogre::SceneNode* node = nullptr;
    Ogre::Entity* entity = nullptr;
    uint32_t number = 0;
    Ogre::MaterialPtr material;
    std::string materialName;
    Ogre::Controller<float>* scroller = nullptr;
    Ogre::ControllerFunctionRealPtr scrollFunction;
    Ogre::Vector3 centre = Ogre::Vector3::ZERO;
    Ogre::Vector3 probe = Ogre::Vector3::ZERO;
    uint32_t type = 0;
    uint8_t occupied = 0;
    float radius = kBaseRadius;
    uint32_t countInside = 0;
    uint32_t countBefore = 0;
    // Kept for a disc-less area.
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    float scale = 1.0f;
};
