#pragma once
// Scene items made from names that definitions and maps carry. A name that points nowhere (or at a
// mesh the engine cannot load) costs the object that part, with one line in the log, never the play.
#include <string>

namespace Ogre {
class Entity;
class SceneManager;
}

// An entity of that mesh, or null (one log line naming `who`) when the engine refuses it.
Ogre::Entity* createEntityOrNull(Ogre::SceneManager* scene, const std::string& entityName,
                                 const std::string& meshName, const std::string& who);
// Whether the mesh can be had (it is loaded when it was not yet); logs nothing.
bool meshAvailable(const std::string& meshName);
