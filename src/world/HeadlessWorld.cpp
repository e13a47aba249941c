#include "world/HeadlessWorld.h"

#include <Ogre.h>

HeadlessWorld::HeadlessWorld(const Options& options)
    : engine(options.logName), context(options.sceneContextHasSounds ? &sounds : nullptr)
{
    loadHeadlessEffects(engine.root(), &affectors, options.gameTree, options.mediaDir, "HeadlessFx");
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(options.gameTree + "/Data/Meshes", "FileSystem", Ogre::RGN_DEFAULT);
    groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
    scene = engine.root()->createSceneManager();
    if (options.loadPlaySettings)
        playData.loadSettings();
    if (options.beforeMap)
        options.beforeMap(*this);

    GamePlayData* mapData = options.mapTakesPlayData ? &playData : nullptr;
    creator = std::make_unique<SceneCreator>(mapData, scene, nullptr, nullptr, &settings,
                                             options.mapFromIni ? "" : options.map, &context, nullptr);
    if (options.mapFromIni && !options.map.empty())
        creator->parseMapIni(options.map);
    context.playArea = options.playArea;
    context.playAreaScale = options.playAreaScale;
    settle();

    PlayWorld::Borrowed borrowed;
    borrowed.root = engine.root();
    borrowed.scene = scene;
    borrowed.sounds = &sounds;
    borrowed.playData = &playData;
    borrowed.sharedBlock = &sharedBlock;
    borrowed.sceneContext = &context;
    borrowed.sceneCreator = creator.get();
    world = std::make_unique<PlayWorld>(borrowed, options.seed);
}

HeadlessWorld::~HeadlessWorld()
{
    world.reset();
    creator.reset();
}

void HeadlessWorld::settle() { scene->getRootSceneNode()->_update(true, false); }
