#include "play/GS_PlayOnly.h"

#include "audio/Sound.h"
#include "core/BinaryIO.h"
#include "core/FadeOverlay.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "core/SharedBlock.h"
#include "core/Utilities.h"
#include "definitions/DificultyData.h"
#include "definitions/FxParamsLibrary.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/GameObjectKind.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "play/GameRulesManager.h"
#include "play/PlayCamera.h"
#include "play/Priget_EndPlayMenu.h"
#include "play/Priget_GameHUD.h"
#include "play/Priget_PlayMissInfo.h"
#include "play/Priget_PlayPause.h"
#include "play/RecordListManager.h"
#include "play/RecordTable.h"
#include "world/CollisionRays.h"
#include "world/DamageRegistry.h"
#include "world/FxPool.h"
#include "world/GameObject.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/PlayWorld.h"
#include "world/ProjectileManager.h"
#include "world/SceneCreator.h"
#include "world/TargetRegistry.h"
#include "world/VirtualReactor.h"
#include "world/WeaponContext.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <cmath>

namespace {

constexpr int kPadConfirm = 0;
constexpr int kPadPause = 7;
constexpr int kStickDeadZone = 4000;

Ogre::SceneNode* makeNode(Ogre::SceneManager* scene)
{
    Ogre::SceneNode* node =
        scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    node->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    return node;
}

Ogre::SceneNode* makeChildNode(Ogre::SceneNode* parent)
{
    Ogre::SceneNode* node = parent->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    node->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    return node;
}

Ogre::Camera* makeCamera(Ogre::SceneManager* scene, const char* name, Ogre::Viewport* viewport)
{
    // A new camera already faces -Z, towards (0, 0, -300).
    Ogre::Camera* cam = scene->createCamera(name);
    cam->setNearClipDistance(5.0f);
    if (viewport && viewport->getActualHeight() > 0)
        cam->setAspectRatio(static_cast<float>(viewport->getActualWidth()) /
                            static_cast<float>(viewport->getActualHeight()));
    return cam;
}

void destroyNodeTree(Ogre::SceneManager* scene, Ogre::SceneNode*& node)
{
    if (!node)
        return;
    node->removeAndDestroyAllChildren();
    scene->destroySceneNode(node);
    node = nullptr;
}

int axisValue(OIS::JoyStick* joystick, size_t axis)
{
    const OIS::JoyStickState& state = joystick->getJoyStickState();
    return axis < state.mAxes.size() ? state.mAxes[axis].abs : 0;
}

bool outsideDeadZone(int value) { return value < -kStickDeadZone || value > kStickDeadZone; }

void destroyWidget(MyGUI::Gui* gui, MyGUI::Widget*& widget)
{
    if (widget && gui)
        gui->destroyWidget(widget);
    widget = nullptr;
}

template <class W>
void destroyTyped(MyGUI::Gui* gui, W*& widget)
{
    MyGUI::Widget* w = widget;
    destroyWidget(gui, w);
    widget = nullptr;
}

}  // namespace

GS_PlayOnly::GS_PlayOnly(GamePlayData* playData_, Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                         audio::SoundManager* soundManager_, SharedBlock* block, ConfigManager* configManager_,
                         Ogre::Root* root_, GameSettings* settings_, KeyBindings* keyBindings_, MyGUI::Gui* gui_,
                         FadeOverlay* fadeOverlay_, GameSession* session_, GlobalSounds* globalSounds_,
                         Ogre::Viewport* viewport_, SceneCreator* sceneCreator_, SceneContext* sceneContext_)
    : playData(playData_), configManager(configManager_), settings(settings_), sceneContext(sceneContext_),
      keyBindings(keyBindings_), root(root_)
{
    window = window_;
    sceneManager = sceneManager_;
    soundManager = soundManager_;
    sharedBlock = block;
    gui = gui_;
    fadeOverlay = fadeOverlay_;
    session = session_;
    globalSounds = globalSounds_;
    viewport = viewport_;
    sceneCreator = sceneCreator_;
    mouseWasDown = 1;
    firstFrame = 1;
    startStep = 0;
    stateId = GAMESTATE_PLAY;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;
    name = "";

    if (session) {
        session->selectedIndex = 0;
        session->menuPhase = 0;
    }
    if (fadeOverlay)
        fadeOverlay->setAlpha(1.0f);
    if (sharedBlock)
        sharedBlock->clear();
    // The border waits below the ground until the countdown raises it.
    if (sceneContext && sceneContext->borderNode)
        sceneContext->borderNode->setPosition(0.0f, -30.0f, 0.0f);

    if (gui) {
        pausePanel = new Priget_PlayPause(session, gui, globalSounds);
        pausePanel->reset(false);
        clicks_.bind(pausePanel->resumeButton(), [this](MyGUI::Widget* w) { onResumeClicked(w); });
        clicks_.bind(pausePanel->retryButton(), [this](MyGUI::Widget* w) { onRetryClicked(w); });
        clicks_.bind(pausePanel->quitButton(), [this](MyGUI::Widget* w) { onQuitClicked(w); });
        missionInfo = new Priget_PlayMissInfo(session, gui, globalSounds);
        endMenu = new Priget_EndPlayMenu(session, gui, globalSounds);
        endMenu->setVisible(false);
        clicks_.bind(endMenu->retryButton(), [this](MyGUI::Widget* w) { onRetryClicked(w); });
        clicks_.bind(endMenu->quitButton(), [this](MyGUI::Widget* w) { onQuitClicked(w); });
        clicks_.bind(endMenu->continueButton(), [this](MyGUI::Widget* w) { onContinueClicked(w); });
    }
    if (fadeOverlay)
        fadeOverlay->setAlpha(1.0f);
}

GS_PlayOnly::~GS_PlayOnly()
{
    if (playData)
        playData->playPhase = PLAYPHASE_INTRO;
    if (sceneCreator && sceneCreator->anchorNode())
        sceneCreator->anchorNode()->setPosition(Ogre::Vector3::ZERO);
    if (bubbleReactor) {
        bubbleReactor->detachToWorld();
        bubbleReactor = nullptr;
    }
    delete pausePanel;
    pausePanel = nullptr;
    delete missionInfo;
    missionInfo = nullptr;
    delete endMenu;
    endMenu = nullptr;
    if (sceneContext && sceneContext->borderNode)
        sceneContext->borderNode->setVisible(false, true);
    if (playData && playData->bubble.entity)
        playData->bubble.entity->setVisible(false);
    if (viewport && sceneManager && sceneManager->hasCamera("MenuCam"))
        viewport->setCamera(sceneManager->getCamera("MenuCam"));
    destroyCamera(playCam, playCamNode, playCamBase);
    destroyCamera(endCam, endCamNode, endCamBase);

    delete rules;
    rules = nullptr;
    delete recordList;
    recordList = nullptr;
    delete recordTable;
    recordTable = nullptr;
    delete camera;
    camera = nullptr;

    destroyTyped(gui, countdownText);
    destroyTyped(gui, introPanel);
    introShade = nullptr;
    bigCogImage = smallCogImage = nullptr;
    bigCog = smallCog = nullptr;
    destroyTyped(gui, endBand);
    destroyTyped(gui, endVeil);
    destroyTyped(gui, endBonus);
    destroyTyped(gui, endCaption);

    // The world goes last, in its own teardown order: pickups, objects, AI, projectiles, targets,
    // effects, damage registry, definitions, libraries, difficulty, random generator.
    pickups = nullptr;
    objects = nullptr;
    ai = nullptr;
    worldHandles = nullptr;
    projectiles = nullptr;
    targets = nullptr;
    fxPool = nullptr;
    damageRegistry = nullptr;
    warheadDefs = nullptr;
    projectileDefs = nullptr;
    fxLibrary = nullptr;
    goLibrary = nullptr;
    difficulty = nullptr;
    random = nullptr;
    world.reset();
}

void GS_PlayOnly::destroyCamera(Ogre::Camera*& cam, Ogre::SceneNode*& node, Ogre::SceneNode*& base)
{
    if (!sceneManager)
        return;
    if (cam) {
        if (cam->getParentSceneNode())
            cam->getParentSceneNode()->detachObject(cam);
        sceneManager->destroyCamera(cam);
        cam = nullptr;
    }
    destroyNodeTree(sceneManager, node);
    destroyNodeTree(sceneManager, base);
}

// ---- frames ----

bool GS_PlayOnly::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (firstFrame) {
        runFirstFrame();
        return true;
    }
    if (!playData)
        return !done;
    switch (playData->playPhase) {
    case PLAYPHASE_MISSION_INFO:
        updateMissionInfo(keyboard, joystick, mouse);
        break;
    case PLAYPHASE_INTRO:
        updateCountdown(dt, mouse);
        break;
    case PLAYPHASE_PLAYING:
        if (paused) {
            updatePause(dt, keyboard, joystick, mouse);
        } else {
            updateIntroFade(dt);
            updateHoldSequence(dt);
            // A held world runs no tick and reads neither the pause nor the aim.
            if (holdTime == 0.0f) {
                playTick(dt, keyboard, joystick, mouse);
                checkPauseAndAim(keyboard, joystick, mouse);
            }
        }
        break;
    case PLAYPHASE_CLEARED:
    case PLAYPHASE_LOST:
        updateEndOfPlay(dt, keyboard, joystick, mouse);
        break;
    default:
        break;
    }
    return !done;
}

void GS_PlayOnly::runFirstFrame()
{
    switch (startStep) {
    case 0:
        break;  // the first frame shows the black screen
    case 1:
        startPlay();
        break;
    case 2:
        startSequenceA();
        break;
    default:
        startSequenceC();
        break;
    }
    startStep += 1;
}

void GS_PlayOnly::startSequenceA()
{
    if (fadeOverlay)
        fadeOverlay->setAlpha(1.0f);
    if (GroundVehicle* vehicle = playerVehicle())
        vehicle->snapToGround();
    if (sceneContext && sceneContext->ambientSound)
        sceneContext->ambientSound->play();
    if (objects)
        objects->callAllSlot32();
    startStep = 3;
}

void GS_PlayOnly::startSequenceC()
{
    if (fadeOverlay) {
        fadeOverlay->setAlpha(1.0f);
        fadeOverlay->startFadeIn(1.0);
    }
    if (camera)
        camera->update();
    if (globalSounds)
        globalSounds->playRandomMusic();
    if (sceneContext && sceneContext->borderEntity)
        sceneContext->borderEntity->setVisible(true);
    setPointerShown(false);
    if (session && session->showMissionInfo) {
        if (session->challengeMode && missionInfo && missionInfo->infoBox)
            missionInfo->infoBox->setVisible(true);
        if (camera)
            camera->updateIntro();
        if (countdownText)
            countdownText->setVisible(false);
        if (playData)
            playData->playPhase = PLAYPHASE_MISSION_INFO;
    }
    firstFrame = 0;
}

void GS_PlayOnly::updateMissionInfo(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    const bool down = confirmDown(keyboard, joystick, mouse) || pauseToggleDown(keyboard, joystick);
    if (!down) {
        confirmLatch = 0;
        return;
    }
    if (!confirmLatch) {
        if (globalSounds)
            globalSounds->playAccept();
        if (missionInfo && missionInfo->infoBox)
            missionInfo->infoBox->setVisible(false);
        if (countdownText)
            countdownText->setVisible(true);
        playData->playPhase = PLAYPHASE_INTRO;
    }
    confirmLatch = 1;
}

void GS_PlayOnly::updateCountdown(float dt, OIS::Mouse* mouse)
{
    const float c = countdown;
    const float next = c - dt;
    countdown = next;
    for (float mark : {3.0f, 2.0f, 1.0f}) {
        if (c >= mark && next < mark && globalSounds)
            globalSounds->playColourRed();
    }
    if (rules && rules->aimPointer)
        rules->fadePointerIn(remapClamped(0.0f, 1.0f, c, 1.0f, 0.0f), mouse);
    if (next < 1.5f && rules)
        rules->fadeHudIn(dt);
    if (next <= 0.0f) {
        if (rules && rules->hud)
            rules->hud->fadeIn(1.0f);
        GroundVehicle* vehicle = playerVehicle();
        if (vehicle && vehicle->engineSound)
            vehicle->engineSound->play();
        playData->playPhase = PLAYPHASE_PLAYING;
        if (countdownText)
            countdownText->setVisible(false);
        introFade = 1.0f;
        if (globalSounds)
            GlobalSounds::restart(globalSounds->greenStinger());
    }
    if (next <= 3.0f) {
        const float turn = (std::ceil(next) - next) * dt;
        if (bigCog)
            bigCog->setAngle(bigCog->getAngle() + turn * 10.5f);
        if (smallCog)
            smallCog->setAngle(smallCog->getAngle() - turn * 20.5f);
        if (countdownText) {
            // Each number shows at full strength when its second starts and fades during it.
            const float alpha = 1.0f + (next - std::ceil(next));
            countdownText->setAlpha(std::min(1.0f, std::max(0.0f, alpha)));
            countdownText->setCaption(std::to_string(static_cast<int>(next + 1.0f)));
        }
    } else if (countdownText) {
        countdownText->setAlpha(0.0f);
    }
    if (sceneContext && sceneContext->borderNode)
        sceneContext->borderNode->setPosition(0.0f, remapClamped(1.0f, 2.0f, next, 0.0f, -30.0f), 0.0f);
    if (camera)
        camera->updateView(next);
}

void GS_PlayOnly::updateIntroFade(float dt)
{
    if (introFade == 0.0f)
        return;
    introFade -= dt;
    if (introFade < 0.0f) {
        introFade = 0.0f;
        if (introPanel)
            introPanel->setVisible(false);
    }
    for (MyGUI::Widget* w : {introShade, static_cast<MyGUI::Widget*>(bigCogImage),
                             static_cast<MyGUI::Widget*>(smallCogImage)}) {
        if (w)
            w->setAlpha(introFade * 0.5f);
    }
}

GroundVehicle* GS_PlayOnly::playerVehicle() const { return rules ? rules->player : nullptr; }

// ---- input helpers ----

bool GS_PlayOnly::padButtonDown(OIS::JoyStick* joystick, int button) const
{
    if (!joystick || !session || !session->gamepadEnabled)
        return false;
    const OIS::JoyStickState& state = joystick->getJoyStickState();
    return button < static_cast<int>(state.mButtons.size()) && state.mButtons[button];
}

bool GS_PlayOnly::confirmDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) const
{
    return (keyboard && keyboard->isKeyDown(OIS::KC_RETURN)) ||
           (mouse && mouse->getMouseState().buttonDown(OIS::MB_Middle)) || padButtonDown(joystick, kPadConfirm);
}

bool GS_PlayOnly::pauseToggleDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick) const
{
    return (keyboard && keyboard->isKeyDown(OIS::KC_ESCAPE)) || padButtonDown(joystick, kPadPause);
}

void GS_PlayOnly::setPointerShown(bool on)
{
    if (auto* pointers = MyGUI::PointerManager::getInstancePtr())
        pointers->setVisible(on);
}

// ---- set-up ----

void GS_PlayOnly::startPlay()
{
    name = "";
    if (fadeOverlay)
        fadeOverlay->setAlpha(1.0f);
    if (session)
        loadScene(session->getLevelName());
    createEndCameras();
    // The difficulty, random generator, libraries, registries and managers, each made with the
    // ones before it.
    PlayWorld::Borrowed borrowed;
    borrowed.root = root;
    borrowed.scene = sceneManager;
    borrowed.sounds = soundManager;
    borrowed.playData = playData;
    borrowed.sharedBlock = sharedBlock;
    borrowed.sceneContext = sceneContext;
    borrowed.sceneCreator = sceneCreator;
    borrowed.globalSounds = globalSounds;
    world = std::make_unique<PlayWorld>(borrowed, makeTimeSeed());
    difficulty = &world->difficulty();
    random = &world->random();
    fxLibrary = &world->fxLibrary();
    goLibrary = &world->goLibrary();
    projectileDefs = &world->projectileDefs();
    warheadDefs = &world->warheadDefs();
    damageRegistry = &world->damage();
    fxPool = &world->fx();
    targets = &world->targets();
    projectiles = &world->projectiles();
    worldHandles = &world->weaponContext();
    ai = &world->ai();
    objects = &world->objects();
    pickups = &world->pickups();
    if (sceneContext)
        sceneContext->playArea = Ogre::Vector4(-80.0f, -55.0f, 80.0f, 55.0f);
    buildIntroPanel();
    camera = new PlayCamera(window, sceneManager, sceneContext, viewport);
    recordTable = new RecordTable(session, "Data1.dat");
    recordList = new RecordListManager(gui, recordTable, session);
    rules = new GameRulesManager(playData, window, sceneManager, soundManager, sharedBlock, configManager, root,
                                 settings, keyBindings, gui, session, globalSounds, viewport, sceneCreator,
                                 sceneContext, difficulty, random, fxLibrary, goLibrary, projectileDefs, warheadDefs,
                                 damageRegistry, fxPool, targets, projectiles, worldHandles, ai, objects, pickups,
                                 camera);
    startBubbleReactor();
    rules->spawnInitialOvnis();
    if (sharedBlock)
        sharedBlock->playsSetUp += 1;
}

void GS_PlayOnly::loadScene(std::string modeName)
{
    BinaryReader in;
    if (!in.open(GameRulesManager::cachePath(modeName)))
        return;  // the map loaded before stays
    uint32_t magic = 0, version = 0, typeCode = 0;
    std::string storedName, sceneName;
    in.readU32(magic);
    in.readU32(version);
    in.readU32(typeCode);
    in.readString(storedName);
    in.readString(sceneName);
    if (!in.ok())
        return;  // a short or damaged header names no map
    if (sceneCreator)
        sceneCreator->loadScene(sceneName);
}

void GS_PlayOnly::createEndCameras()
{
    if (!sceneManager)
        return;
    endCam = makeCamera(sceneManager, "ZV_EndCam", viewport);
    endCamBase = makeNode(sceneManager);
    endCamNode = makeChildNode(endCamBase);
    endCamNode->attachObject(endCam);

    playCam = makeCamera(sceneManager, "ZV_playCam", viewport);
    playCamBase = makeNode(sceneManager);
    playCamBase->setPosition(2.0f, 150.0f, 100.0f);
    playCamBase->setDirection(Ogre::Vector3(0.0f, -50.0f, -30.0f), Ogre::Node::TS_LOCAL,
                              Ogre::Vector3::NEGATIVE_UNIT_Z);
    playCamNode = makeChildNode(playCamBase);
    playCamNode->attachObject(playCam);
    if (viewport)
        viewport->setCamera(playCam);
}

void GS_PlayOnly::startBubbleReactor()
{
    bubbleReactor = nullptr;
    if (!playData || !fxPool)
        return;
    const std::string reactor = playData->getPlayReactorName();
    if (reactor != "" && reactor != " ")
        bubbleReactor = fxPool->spawnReactor(playData->bubble.node, reactor);
}

void GS_PlayOnly::buildIntroPanel()
{
    if (!gui)
        return;
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    const int W = view.width, H = view.height;
    const MyGUI::Align def = MyGUI::Align::Default;

    introPanel = gui->createWidget<MyGUI::Widget>("PanelSkin", (W - 500) / 2, (H - 500) / 2, 500, 500, def, "GameHud");
    introPanel->setInheritsAlpha(false);
    introPanel->setAlpha(0.0f);
    const MyGUI::IntSize panel = introPanel->getSize();
    introShade = introPanel->createWidget<MyGUI::Widget>("WhiteSkin", (panel.width - 100) / 2,
                                                         (panel.height - 100) / 2, 100, 100, def);
    introShade->setInheritsAlpha(false);
    introShade->setAlpha(0.5f);
    introShade->setColour(MyGUI::Colour::Black);
    auto makeCog = [&](int left, int top, int size, const char* texture, MyGUI::RotatingSkin*& skin) {
        auto* image = introPanel->createWidget<MyGUI::ImageBox>("RotatingSkin", left, top, size, size, def);
        image->setInheritsAlpha(false);
        image->setAlpha(0.5f);
        image->setColour(MyGUI::Colour::Black);
        image->setImageTexture(texture);
        skin = image->getSubWidgetMain() ? image->getSubWidgetMain()->castType<MyGUI::RotatingSkin>(false) : nullptr;
        if (skin)
            skin->setCenter(MyGUI::IntPoint(size / 2, size / 2));
        return image;
    };
    bigCogImage = makeCog(128, 128, 128, "hudCogW1.png", bigCog);
    smallCogImage = makeCog(162, 238, 64, "hudCogW2.png", smallCog);

    countdownText =
        gui->createWidget<MyGUI::TextBox>("TextBox", (W - 110) / 2, (H - 40) / 2, 110, 40, def, "GameHud");
    countdownText->setInheritsAlpha(false);
    countdownText->setAlpha(1.0f);
    countdownText->setCaption("3");
    countdownText->setTextColour(MyGUI::Colour::White);
    countdownText->setFontName("ArialBold.24");
    countdownText->setTextAlign(MyGUI::Align::Center);

    endBand = gui->createWidget<MyGUI::Widget>("WhiteSkin", W, (H - 200) / 2, W, 200, def, "Backgound2");
    endBand->setInheritsAlpha(false);
    endBand->setAlpha(0.5f);
    endBand->setColour(MyGUI::Colour::Black);
    endBand->setVisible(false);
    endVeil = gui->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, W, H, def, "Backgound2");
    endVeil->setInheritsAlpha(false);
    endVeil->setAlpha(0.0f);
    endVeil->setColour(MyGUI::Colour::Black);
    endVeil->setVisible(false);
    endBonus = gui->createWidget<MyGUI::Widget>("BonusEff", (W - 640) / 2, (H - 90) / 2, 640, 90, def, "Backgound2");
    endBonus->setInheritsAlpha(false);
    endBonus->setAlpha(0.0f);
    endBonus->setVisible(false);
    endCaption =
        gui->createWidget<MyGUI::TextBox>("TextBox", (W - 640) / 2, (H - 90) / 2, 640, 90, def, "Backgound2");
    endCaption->setInheritsAlpha(false);
    endCaption->setAlpha(0.0f);
    endCaption->setCaption("Clear");
    endCaption->setTextColour(MyGUI::Colour::White);
    endCaption->setFontName("ArialBold.24");
    endCaption->setTextAlign(MyGUI::Align::Center);
    endCaption->setVisible(false);
}

// ---- play tick ----

void GS_PlayOnly::playTick(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (rules)
        rules->handlePlayerInput(dt, keyboard, mouse, joystick);
    if (world)
        world->tick(dt, playData->playPhase == PLAYPHASE_PLAYING);
    // Read again: a play that ended during the world's tick runs no rules step.
    if (rules && playData->playPhase == PLAYPHASE_PLAYING)
        rules->update(dt, mouse);
    processSpawnRequest();
    updateSlowTimeBubble();
    if (camera)
        camera->update();
    if (pausePanel)
        pausePanel->animate(dt);
}

void GS_PlayOnly::updateSlowTimeBubble()
{
    SlowTimeBubble& bubble = playData->bubble;
    if (!bubble.node)
        return;
    if (bubble.active) {
        if (bubble.entity && !bubble.entity->getVisible()) {
            bubble.node->setScale(bubble.scale, bubble.scale, bubble.scale);
            bubble.entity->setVisible(true);
            if (bubbleReactor)
                bubbleReactor->setState(2);
        }
        if (bubble.ownerNode)
            bubble.node->setPosition(bubble.ownerNode->_getDerivedPosition());
    } else if (bubble.entity && bubble.entity->getVisible()) {
        bubble.entity->setVisible(false);
        if (bubbleReactor)
            bubbleReactor->setState(1);
    }
}

void GS_PlayOnly::processSpawnRequest()
{
    SpawnRequest& request = playData->spawnRequest;
    if (!request.pending)
        return;
    // An unknown name makes nothing; the request is cleared all the same.
    GameObject* object = objects ? objects->spawnByName(request.actorName, request.position, request.actorTeam,
                                                        static_cast<GameObjectKind>(request.actorType))
                                 : nullptr;
    if (object) {
        if (request.withAI)
            objects->attachAI(object);
        Ogre::SceneNode* node = object->getMainNode();
        const Ogre::Quaternion& q = request.orientation;
        if (q.w != 0.0f || q.x != 0.0f || q.y != 0.0f || q.z != 0.0f)
            node->setOrientation(q);
        node->translate(request.offset, Ogre::Node::TS_LOCAL);
    }
    request.pending = 0;
}

void GS_PlayOnly::freezeWorld()
{
    if (projectiles)
        projectiles->pauseAll();
    if (fxPool)
        fxPool->pauseAll();
    if (objects)
        objects->pauseAllSounds();
}

void GS_PlayOnly::thawWorld()
{
    if (projectiles)
        projectiles->resumeAll();
    if (fxPool)
        fxPool->resumeAll();
    if (objects)
        objects->resumeAllSounds();
}

void GS_PlayOnly::updateHoldSequence(float dt)
{
    GamePlayData& d = *playData;
    if (d.turboStartRequest && !d.turboHeld)
        turboDelay = 1.0f;
    if (turboDelay > 0.0f) {
        turboDelay -= dt;
        if (turboDelay < 0.0f) {
            d.turboHeld = 1;
            holdTime = 1.0f;
            freezeWorld();
        }
    }
    if (d.turboHeld && holdTime > 0.0f) {
        holdTime -= dt;
        if (holdTime < 0.0f) {
            d.holdReleased = 1;
            holdTime = 0.0f;
            thawWorld();
        }
        if (holdTime < 0.7f && playCamNode) {
            const float z = holdTime < 0.3f ? 20.0f : 20.0f * (1.0f - (holdTime - 0.3f) * 2.5f);
            playCamNode->setPosition(0.0f, 0.0f, z);
        }
    }
    if (camReturn > 0.0f) {
        camReturn = std::max(0.0f, camReturn - dt);
        if (playCamNode)
            playCamNode->setPosition(0.0f, 0.0f, camReturn / 1.3f * 20.0f);
    }
    if (d.turboEndRequest)
        camReturn = 1.3f;
    d.turboStartRequest = 0;
    d.turboEndRequest = 0;
}

// ---- pause ----

void GS_PlayOnly::checkPauseAndAim(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!pauseToggleDown(keyboard, joystick)) {
        confirmLatch = 0;
    } else {
        if (!confirmLatch)
            pausePlay();
        confirmLatch = 1;
    }
    handleMouse(mouse);
    updateAim(joystick, mouse);
}

void GS_PlayOnly::pausePlay()
{
    if (session)
        session->selectedIndex = 0;
    if (globalSounds)
        globalSounds->playBack();
    paused = 1;
    if (session && session->challengeMode && missionInfo && missionInfo->infoBox)
        missionInfo->infoBox->setVisible(true);
    if (pausePanel)
        pausePanel->show(true);
    // The pause column covers the HUD's rows: the HUD steps aside while paused.
    if (rules && rules->hud)
        rules->hud->setShown(false);
    freezeWorld();
    setPointerShown(true);
    if (rules)
        rules->setPointerVisible(false);
}

void GS_PlayOnly::updatePause(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (pausePanel)
        pausePanel->handleInput(dt, keyboard, joystick, mouse);
    handleMouse(mouse);
    if (!handlePauseMenu(keyboard, joystick, mouse) && session)
        session->inputLatch = 0;
    // A choice may have ended the state or resumed the play in this frame.
    if (done || !paused)
        return;
    if (!pauseToggleDown(keyboard, joystick)) {
        confirmLatch = 0;
        return;
    }
    if (!confirmLatch)
        resume();
    confirmLatch = 1;
}

bool GS_PlayOnly::handlePauseMenu(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!confirmDown(keyboard, joystick, mouse))
        return false;
    if (!session)
        return true;
    if (session->inputLatch)
        return true;
    switch (session->selectedIndex) {
    case 1:
        retry();
        break;
    case 2:
        quit();
        break;
    default:
        resume();
        break;
    }
    session->inputLatch = 1;
    return true;
}

void GS_PlayOnly::resume()
{
    if (globalSounds)
        globalSounds->playAccept();
    paused = 0;
    if (pausePanel)
        pausePanel->show(false);
    if (missionInfo && missionInfo->infoBox)
        missionInfo->infoBox->setVisible(false);
    if (rules && rules->hud)
        rules->hud->setShown(true);
    thawWorld();
    setPointerShown(false);
    if (rules)
        rules->setPointerVisible(true);
}

// ---- aim ----

void GS_PlayOnly::updateAim(OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    GroundVehicle* vehicle = playerVehicle();
    // No vehicle (its definition missing): nothing to aim.
    if (!vehicle)
        return;
    if (joystickAim) {
        const bool moved = mouse && (mouse->getMouseState().X.rel != 0 || mouse->getMouseState().Y.rel != 0);
        if (moved) {
            rules->setPointerVisible(true);
            joystickAim = 0;
            vehicle->mouseAim = 1;
            aimByMouse(mouse);
        } else {
            aimByJoystick(joystick);
        }
        return;
    }
    const bool stick = joystick && session && session->gamepadEnabled &&
                       (outsideDeadZone(axisValue(joystick, 2)) || outsideDeadZone(axisValue(joystick, 3)));
    if (stick) {
        rules->setPointerVisible(false);
        joystickAim = 1;
        vehicle->mouseAim = 0;
        aimByJoystick(joystick);
    } else {
        aimByMouse(mouse);
    }
}

void GS_PlayOnly::aimByJoystick(OIS::JoyStick* joystick)
{
    GroundVehicle* vehicle = playerVehicle();
    if (!vehicle || !joystick)
        return;
    const int a2 = axisValue(joystick, 2);
    const int a3 = axisValue(joystick, 3);
    if (!outsideDeadZone(a2) && !outsideDeadZone(a3)) {
        vehicle->aimPoint = Ogre::Vector3::ZERO;
        return;
    }
    // An aim vector in the ground plane, not a world point.
    vehicle->aimPoint = Ogre::Vector3(remapLinear(-32768.0f, 32767.0f, static_cast<float>(a3), -10.0f, 10.0f), 0.0f,
                                      remapLinear(-32768.0f, 32767.0f, static_cast<float>(a2), -10.0f, 10.0f));
}

namespace {
// The ray under the mouse through the viewport's camera.
bool mouseRay(Ogre::Viewport* viewport, OIS::Mouse* mouse, Ogre::Ray& ray)
{
    if (!viewport || !viewport->getCamera() || !mouse)
        return false;
    const OIS::MouseState& ms = mouse->getMouseState();
    if (ms.width <= 0 || ms.height <= 0)
        return false;
    const float sx = remapLinear(0.0f, static_cast<float>(ms.width), static_cast<float>(ms.X.abs), 0.0f, 1.0f);
    const float sy = remapLinear(0.0f, static_cast<float>(ms.height), static_cast<float>(ms.Y.abs), 0.0f, 1.0f);
    ray = viewport->getCamera()->getCameraToViewportRay(sx, sy);
    return true;
}
}  // namespace

void GS_PlayOnly::aimByMouse(OIS::Mouse* mouse)
{
    GroundVehicle* vehicle = playerVehicle();
    Ogre::Ray ray;
    if (!vehicle || !damageRegistry || !mouseRay(viewport, mouse, ray))
        return;
    Ogre::Vector3 point;
    if (raycastAllDamageBodies(damageRegistry, ray.getOrigin(), ray.getDirection(), point, vehicle->getObjectId()))
        vehicle->aimPoint = point;
    else
        aimByMouseFallback(mouse);
}

void GS_PlayOnly::aimByMouseFallback(OIS::Mouse* mouse)
{
    Ogre::Ray ray;
    if (!damageRegistry || !mouseRay(viewport, mouse, ray))
        return;
    Ogre::Vector3 point;
    float distance = 0.0f;
    uint32_t floor = 0;
    const bool hit =
        raycastToPolygon(damageRegistry, ray, point, distance, floor, pickCorners[0], pickCorners[1], pickCorners[2]);
    GroundVehicle* vehicle = playerVehicle();
    if (hit && vehicle)
        vehicle->aimPoint = point;
}

// ---- the ways out ----

void GS_PlayOnly::leaveTo(uint32_t next)
{
    if (globalSounds)
        globalSounds->playBack();
    name = "";
    nextStateId = next;
    done = 1;
}

void GS_PlayOnly::retry()
{
    // The same selection again; no outro, whatever was won.
    leaveTo(GAMESTATE_PLAY);
}

void GS_PlayOnly::quit()
{
    if (session && session->challengeMode) {
        if (medalWon)
            session->requestOutroCutscene();
        leaveTo(GAMESTATE_CHALLENGE_LIST);
    } else {
        leaveTo(1);
    }
}

void GS_PlayOnly::onResumeClicked(MyGUI::Widget*)
{
    if (paused && !done)
        resume();
}

void GS_PlayOnly::onRetryClicked(MyGUI::Widget*)
{
    if (!done)
        retry();
}

void GS_PlayOnly::onQuitClicked(MyGUI::Widget*)
{
    if (!done)
        quit();
}
