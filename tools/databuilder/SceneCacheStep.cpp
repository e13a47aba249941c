// Rebuilds every map's cache from its map.ini with the game's own scene builder and writer.
#include "BuildStep.h"
#include "BuilderEngine.h"

#include "core/GameSettings.h"
#include "platform/Platform.h"
#include "world/SceneCreator.h"

#include <Ogre.h>

#include <ostream>

namespace {

bool buildSceneCaches(BuildContext& ctx)
{
    Ogre::Root& root = builderEngine();
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceLocationExists("../../Data/Meshes", "BuilderMeshes")) {
        groups.addResourceLocation("../../Data/Meshes", "FileSystem", "BuilderMeshes");
        groups.initialiseResourceGroup("BuilderMeshes");
    }
    bool ok = true;
    for (const std::string& map : platform::listDirectory("../../Data/Scenes")) {
        if (!platform::fileExists(SceneCreator::iniPath(map)))
            continue;
        Ogre::SceneManager* scene = root.createSceneManager();
        {
            GameSettings settings;
            // No map at construction: the map is then built from its source.
            SceneCreator creator(nullptr, scene, nullptr, nullptr, &settings, "", nullptr, nullptr);
            creator.parseMapIni(map);
            if (creator.nodeRecords().empty() || !creator.writeCache(map)) {
                ctx.log << "scenes: could not build the cache of " << map << "\n";
                ok = false;
            }
        }
        root.destroySceneManager(scene);
    }
    return ok;
}

}  // namespace

DATABUILDER_STEP("scene caches", 20, buildSceneCaches);
