#pragma once
#include <OgreVector.h>

#include <array>
#include <cstdint>
#include <string>

namespace Ogre {
class Entity;
class SceneNode;
}
namespace audio {
class Sound;
class SoundManager;
}

// The record through which the loaded map and the running play meet: the scene creator writes
// the map's collision bodies, floor reactor names and the battle border; the play writes the
// play area and the player's identity. Entities and nodes belong to the scene creator; a null
// collision body means the map has none.
class SceneContext {
public:
    explicit SceneContext(audio::SoundManager* soundManager);
    // Destroys the ambient sound through the sound manager.
    ~SceneContext();
    SceneContext(const SceneContext&) = delete;
    SceneContext& operator=(const SceneContext&) = delete;

    // Replaces the previous map's bodies and floor reactor names.
    void setCollisionBodies(Ogre::Entity* moveBlocker, Ogre::Entity* projBlocker, Ogre::Entity* moveFloor1,
                            Ogre::Entity* moveFloor2, Ogre::Entity* moveFloor3, Ogre::Entity* moveFloor4,
                            Ogre::Entity* projFloor, const std::string& floorReactor1,
                            const std::string& floorReactor2, const std::string& floorReactor3,
                            const std::string& floorReactor4);
    // The play area with each component times the play area scale.
    Ogre::Vector4 getScaledBorder() const;

    audio::SoundManager* soundManager = nullptr;
    Ogre::Vector4 playArea{0.0f, 0.0f, 0.0f, 0.0f};  // min x, min z, max x, max z
    float playAreaScale = 1.0f;

    // The player, written when the rules spawn the vehicle.
    uint32_t playerObjectId = 0;
    uint32_t playerTeam = 0;  // compared with a killed object's team before an enemy kill is booked
    Ogre::SceneNode* playerNode = nullptr;

    audio::Sound* ambientSound = nullptr;  // owned

    Ogre::Entity* movementBlocker = nullptr;    // "cMovBlockMesh"
    Ogre::Entity* projectileBlocker = nullptr;  // "cProjBlockMesh"
    std::array<Ogre::Entity*, 4> moveFloors{};  // "cMovFloor1Mesh" to "cMovFloor4Mesh"
    Ogre::Entity* projectileFloor = nullptr;    // "cProjFloorMesh"
    std::array<std::string, 4> floorReactorNames;

    Ogre::SceneNode* borderNode = nullptr;
    Ogre::Entity* borderCollisionEntity = nullptr;  // "entColBorder"
    Ogre::Entity* borderEntity = nullptr;           // "entBorder"
};
