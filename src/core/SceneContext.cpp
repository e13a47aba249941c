#include "core/SceneContext.h"

#include "audio/SoundManager.h"

SceneContext::SceneContext(audio::SoundManager* manager) : soundManager(manager) {}

SceneContext::~SceneContext()
{
    if (ambientSound && soundManager)
        soundManager->destroySound(ambientSound);
    ambientSound = nullptr;
}

void SceneContext::setCollisionBodies(Ogre::Entity* moveBlocker, Ogre::Entity* projBlocker,
                                      Ogre::Entity* moveFloor1, Ogre::Entity* moveFloor2,
                                      Ogre::Entity* moveFloor3, Ogre::Entity* moveFloor4,
                                      Ogre::Entity* projFloor, const std::string& floorReactor1,
                                      const std::string& floorReactor2, const std::string& floorReactor3,
                                      const std::string& floorReactor4)
{
    movementBlocker = moveBlocker;
    projectileBlocker = projBlocker;
    moveFloors = {moveFloor1, moveFloor2, moveFloor3, moveFloor4};
    projectileFloor = projFloor;
    floorReactorNames = {floorReactor1, floorReactor2, floorReactor3, floorReactor4};
}

Ogre::Vector4 SceneContext::getScaledBorder() const { return playArea * playAreaScale; }
