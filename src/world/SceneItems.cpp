#include "world/SceneItems.h"

#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>

Ogre::Entity* createEntityOrNull(Ogre::SceneManager* scene, const std::string& entityName,
                                 const std::string& meshName, const std::string& who)
{
    try {
        return scene->createEntity(entityName, meshName);
    } catch (const Ogre::Exception& e) {
        if (auto* log = Ogre::LogManager::getSingletonPtr())
            log->logMessage(who + ": cannot create '" + entityName + "' from '" + meshName +
                            "'; it goes on without it: " + e.getDescription());
        return nullptr;
    }
}

bool meshAvailable(const std::string& meshName)
{
    if (meshName.empty())
        return false;
    try {
        return bool(Ogre::MeshManager::getSingleton().load(meshName, Ogre::RGN_AUTODETECT));
    } catch (const Ogre::Exception&) {
        return false;
    }
}
