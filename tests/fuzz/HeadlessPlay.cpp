#include "fuzz/HeadlessPlay.h"

#include "audio/SoundManager.h"
#include "core/BinaryIO.h"
#include "core/CampaignData.h"
#include "core/ConfigManager.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/KeyBindings.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "core/SharedBlock.h"
#include "cutscenes/CutsceneSequence.h"
#include "definitions/DefinitionCache.h"
#include "definitions/FxParamsLibrary.h"
#include "definitions/GameObjectKind.h"
#include "definitions/OvniParams.h"
#include "definitions/PickupParamsLibrary.h"
#include "play/GameRulesManager.h"
#include "play/RecordTable.h"
#include "world/FxPool.h"
#include "world/GameObject.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/PickupManager.h"
#include "world/PlayWorld.h"
#include "world/SceneCreator.h"

#include <Ogre.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace fuzz {

PlayEngine::PlayEngine(const std::string& treeRoot, const std::string& mediaDir) : engine_()
{
    loadHeadlessEffects(engine_.root(), &factory_, treeRoot, mediaDir, "FuzzFx");
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(treeRoot + "/Data/Meshes", "FileSystem", Ogre::RGN_DEFAULT);
    groups.initialiseResourceGroup(Ogre::RGN_DEFAULT);
    // Loaded once here rather than in every case: no damaged file is a mesh.
    for (const auto& entry : fs::directory_iterator(treeRoot + "/Data/Meshes"))
        if (entry.path().extension() == ".mesh")
            Ogre::MeshManager::getSingleton().load(entry.path().filename().string(), Ogre::RGN_DEFAULT);
}

PlayEngine::~PlayEngine() = default;

namespace {

std::vector<std::string> cacheNames(const std::string& treeRoot, const std::string& extension)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(treeRoot + "/Data/System"))
        if (entry.path().extension() == "." + extension)
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

int objectKindOf(const std::string& name)
{
    switch (readDefinitionTypeCode(definition_families::GameObject, name)) {
    case 2: return static_cast<int>(GameObjectKind::GroundObject);
    case 3: return static_cast<int>(GameObjectKind::GroundVehicle);
    case 4: {
        // Air objects and Ovni share the code; only an Ovni cache reads whole as an Ovni.
        OvniParams ovni(name);
        return static_cast<int>(ovni.cacheLoaded() ? GameObjectKind::Ovni : GameObjectKind::AirObject);
    }
    default: return 0;
    }
}

namespace {

// The processor time of this thread: a busy machine does not make a tick slow, only the tick's
// own work does.
double cpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1.0e-9;
}

// The scene a mode names in its cache's header, as the play state reads it before the play.
std::string sceneOfMode(const std::string& mode)
{
    BinaryReader in;
    if (!in.open(GameRulesManager::cachePath(mode)))
        return "";
    uint32_t word = 0;
    std::string storedName, sceneName;
    in.readU32(word);
    in.readU32(word);
    in.readU32(word);
    in.readString(storedName);
    in.readString(sceneName);
    return in.ok() ? sceneName : "";
}

// An actor-breeding weapon's request, carried out as the play state does after the rules.
void processSpawnRequest(GamePlayData& playData, GameObjectManager& objects)
{
    SpawnRequest& request = playData.spawnRequest;
    if (!request.pending)
        return;
    GameObject* object = objects.spawnByName(request.actorName, request.position, request.actorTeam,
                                             static_cast<GameObjectKind>(request.actorType));
    if (object) {
        if (request.withAI)
            objects.attachAI(object);
        Ogre::SceneNode* node = object->getMainNode();
        const Ogre::Quaternion& q = request.orientation;
        if (q.w != 0.0f || q.x != 0.0f || q.y != 0.0f || q.z != 0.0f)
            node->setOrientation(q);
        node->translate(request.offset, Ogre::Node::TS_LOCAL);
    }
    request.pending = 0;
}

}  // namespace

PlayOptions shippedContent(const std::string& treeRoot)
{
    PlayOptions options;
    for (const std::string& name : cacheNames(treeRoot, "ZVO"))
        if (const int kind = objectKindOf(name))
            options.objects.emplace_back(name, kind);
    options.pickups = cacheNames(treeRoot, "ZVP");
    options.effects = cacheNames(treeRoot, "ZVE");
    options.reactors = cacheNames(treeRoot, "ZVR");
    options.cutscenes = cacheNames(treeRoot, "ZVN");
    return options;
}

std::string runPlay(PlayEngine& engine, audio::SoundManager& sounds, const PlayOptions& options)
{
    // The game core's long-lived objects, in its order (the sound manager lives across plays).
    RandomGenerator random;
    random.seed(7);
    GameSettings settings;
    ConfigManager config(&settings);
    config.readConfigIni();
    GameSession session(&random, &settings);
    KeyBindings bindings;
    KeyBindings::load(&config, &bindings);
    GlobalSounds globalSounds(&sounds);
    GamePlayData playData;
    playData.loadSettings();
    SharedBlock shared;
    SceneContext context(&sounds);
    Ogre::SceneManager* scene = engine.root()->createSceneManager();
    FxParamsLibrary coreFxLibrary;
    auto coreFx = std::make_unique<FxPool>(scene, &coreFxLibrary, &sounds, &random, "GMS");
    auto creator = std::make_unique<SceneCreator>(&playData, scene, nullptr, nullptr, &settings, "Town", &context,
                                                  coreFx.get());

    // A profile, its campaign and progress, as the title and the challenge screens load them.
    session.setProfileName("Pilot");
    session.recreateProfile();
    session.loadCampaign("TcData");

    // The play state's set-up.
    session.levelName = options.mode;
    creator->loadScene(sceneOfMode(options.mode));
    context.playArea = Ogre::Vector4(-80.0f, -55.0f, 80.0f, 55.0f);
    PlayWorld::Borrowed borrowed;
    borrowed.root = engine.root();
    borrowed.scene = scene;
    borrowed.sounds = &sounds;
    borrowed.playData = &playData;
    borrowed.sharedBlock = &shared;
    borrowed.sceneContext = &context;
    borrowed.sceneCreator = creator.get();
    borrowed.globalSounds = &globalSounds;
    auto world = std::make_unique<PlayWorld>(borrowed, 11);
    auto records = std::make_unique<RecordTable>(&session, "Data1.dat");
    records->load();
    auto rules = std::make_unique<GameRulesManager>(
        &playData, nullptr, scene, &sounds, &shared, &config, engine.root(), &settings, &bindings, nullptr, &session,
        &globalSounds, nullptr, creator.get(), &context, &world->difficulty(), &world->random(), &world->fxLibrary(),
        &world->goLibrary(), &world->projectileDefs(), &world->warheadDefs(), &world->damage(), &world->fx(),
        &world->targets(), &world->projectiles(), &world->weaponContext(), &world->ai(), &world->objects(),
        &world->pickups(), nullptr);
    const std::string reactor = playData.getPlayReactorName();
    if (!isAbsentName(reactor) && playData.bubble.node)
        world->fx().spawnReactor(playData.bubble.node, reactor);
    rules->spawnInitialOvnis();
    playData.playPhase = 1;

    // Everything the game has, about the player: objects with their AI, pickups under the player
    // (weapon pickups arm it), effects, and reactors on a node of their own.
    float angle = 0.0f;
    auto around = [&angle](float radius, float height) {
        angle += 0.7f;
        return Ogre::Vector3(radius * std::cos(angle), height, radius * std::sin(angle));
    };
    for (const auto& [name, kind] : options.objects) {
        const float height = kind == static_cast<int>(GameObjectKind::GroundObject) ||
                                     kind == static_cast<int>(GameObjectKind::GroundVehicle)
                                 ? 2.0f
                                 : 12.0f;
        if (GameObject* object =
                world->objects().spawnByName(name, around(25.0f, height), 2, static_cast<GameObjectKind>(kind)))
            world->objects().attachAI(object);
    }
    for (const std::string& name : options.pickups)
        if (PickupParams* params = world->pickups().getLibrary()->getParams(name, false))
            world->pickups().spawn(params, around(2.0f, 0.5f));
    for (const std::string& name : options.effects)
        world->fx().spawnEffect(world->fxLibrary().getEffectParams(name), around(10.0f, 1.0f), Ogre::Vector3::UNIT_Y);
    Ogre::SceneNode* reactorNode = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(5, 1, 5));
    for (const std::string& name : options.reactors)
        world->fx().spawnReactor(reactorNode, name);

    // Ticks as the play state runs them, the player driving in circles and firing both weapons.
    std::string finding;
    const int ticks = static_cast<int>(options.seconds / options.dt);
    for (int i = 0; i < ticks && finding.empty(); ++i) {
        const double start = cpuSeconds();
        if (GroundVehicle* player = rules->player) {
            player->accelerateInput = 1.0f;
            player->steerInput = (i / 30) % 2 ? 1.0f : -1.0f;
            player->dashInput = i % 45 == 0 ? 1.0f : 0.0f;
            player->setTrigger(true);
            player->secondaryFire = 1;
            player->aimPoint = Ogre::Vector3(30.0f * std::cos(i * 0.1f), 0.0f, 30.0f * std::sin(i * 0.1f));
        }
        world->tick(options.dt, true);
        rules->update(options.dt, nullptr);
        processSpawnRequest(playData, world->objects());
        creator->updateAnimations(options.dt);
        coreFx->update(options.dt);
        scene->getRootSceneNode()->_update(true, false);
        const double took = cpuSeconds() - start;
        if (took > 1.0) {
            std::ostringstream text;
            text << "tick " << i << " took " << took << " s of processor time";
            finding = text.str();
        }
    }

    // The cutscene state's first step: the sequence and its entries.
    const uint32_t languages = session.profile ? session.profile->getLanguageCount() : 0;
    for (const std::string& name : options.cutscenes) {
        CutsceneSequence sequence;
        sequence.readSequenceCache(name, languages, &sounds);
    }

    // The play state's teardown, then the core's.
    rules.reset();
    records.reset();
    world.reset();
    creator.reset();
    coreFx.reset();
    engine.root()->destroySceneManager(scene);
    return finding;
}

}  // namespace fuzz
