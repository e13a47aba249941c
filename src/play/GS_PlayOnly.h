#pragma once
// One play of a game mode or a challenge: it builds the map, the world's registries and managers,
// the play camera and the rules engine when it starts, runs the start sequence (black frame,
// set-up, first frame, fade-in), the mission-info and countdown phases, the play ticks with the
// hold sequence, pause and aim, and deletes everything it made when it ends.
#include "core/ZV_GameState.h"
#include "gui/MenuClick.h"

#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Ogre {
class Camera;
class RenderWindow;
class SceneManager;
class SceneNode;
class Root;
class Viewport;
}
namespace MyGUI {
class Gui;
class Widget;
class ImageBox;
class TextBox;
class RotatingSkin;
}
namespace audio {
class SoundManager;
}
struct SharedBlock;
struct GameSettings;
struct WeaponContext;
class AIManager;
class ConfigManager;
class DamageRegistry;
class DificultyData;
class FadeOverlay;
class FxParamsLibrary;
class FxPool;
class GameObjectManager;
class GamePlayData;
class GameRulesManager;
class GameSession;
class GlobalSounds;
class GOParamsLibrary;
class GroundVehicle;
class KeyBindings;
class PickupManager;
class PlayCamera;
class PlayWorld;
class Priget_EndPlayMenu;
class Priget_PlayMissInfo;
class Priget_PlayPause;
class ProjectileDefRegistry;
class ProjectileManager;
class RandomGenerator;
class RecordListManager;
class RecordTable;
class SceneContext;
class SceneCreator;
class TargetRegistry;
class VirtualReactor;
class WarheadDefRegistry;

// The play's handles for objects and weapons made during the play.
using WorldHandles = WeaponContext;

// PlayPhase, held in GamePlayData.
enum PlayPhase : uint32_t {
    PLAYPHASE_INTRO = 0,
    PLAYPHASE_PLAYING = 1,
    PLAYPHASE_CLEARED = 2,
    PLAYPHASE_LOST = 3,
    PLAYPHASE_MISSION_INFO = 4,
};

class GS_PlayOnly : public ZV_GameState {
public:
    GS_PlayOnly(GamePlayData* playData, Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager,
                audio::SoundManager* soundManager, SharedBlock* block, ConfigManager* configManager,
                Ogre::Root* root, GameSettings* settings, KeyBindings* keyBindings, MyGUI::Gui* gui,
                FadeOverlay* fadeOverlay, GameSession* session, GlobalSounds* globalSounds,
                Ogre::Viewport* viewport, SceneCreator* sceneCreator, SceneContext* sceneContext);
    // Releases the play in a fixed order: panels, cameras, rules, camera, widgets, then the world.
    ~GS_PlayOnly() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    // Start sequence: one step per frame until the countdown can start.
    void runFirstFrame();
    void startSequenceA();
    void startSequenceC();

    // Set-up.
    void startPlay();
    // The map named in the mode's cache header; a missing, short or damaged cache loads nothing.
    void loadScene(std::string modeName);
    void createEndCameras();
    void startBubbleReactor();
    void buildIntroPanel();

    // Phases.
    void updateMissionInfo(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void updateCountdown(float dt, OIS::Mouse* mouse);
    void updateIntroFade(float dt);
    // Cleared or lost (GS_PlayOnlyEnd.cpp): result, banner, end camera, then the end panel.
    void updateEndOfPlay(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void startEndCamera();
    void handleEndMenu(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    // The confirm of the end panel; false when no confirm input is down.
    bool handleEndMenuChoice(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);

    // Play tick, hold, pause and aim.
    void playTick(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void updateSlowTimeBubble();
    void processSpawnRequest();
    void updateHoldSequence(float dt);
    void checkPauseAndAim(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void updatePause(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    bool handlePauseMenu(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse);
    // The pause itself: panel up, world frozen, pointer shown.
    void pausePlay();
    void resume();
    void updateAim(OIS::JoyStick* joystick, OIS::Mouse* mouse);
    void aimByJoystick(OIS::JoyStick* joystick);
    void aimByMouse(OIS::Mouse* mouse);
    void aimByMouseFallback(OIS::Mouse* mouse);

    // The ways out.
    void retry();
    void quit();
    void continueCampaign();

    // Button handlers of the pause and end panels (a press and release on the button).
    void onResumeClicked(MyGUI::Widget* sender);
    void onRetryClicked(MyGUI::Widget* sender);
    void onQuitClicked(MyGUI::Widget* sender);
    void onContinueClicked(MyGUI::Widget* sender);

    // The player's vehicle of the rules engine, or none.
    GroundVehicle* playerVehicle() const;

    // Borrowed.
    GamePlayData* playData = nullptr;
    ConfigManager* configManager = nullptr;
    GameSettings* settings = nullptr;
    SceneContext* sceneContext = nullptr;
    KeyBindings* keyBindings = nullptr;
    Ogre::Root* root = nullptr;

    // Owned. The world's libraries, registries and managers belong to `world`; their fields
    // below only point into it.
    std::unique_ptr<PlayWorld> world;
    GameRulesManager* rules = nullptr;
    RecordListManager* recordList = nullptr;
    DamageRegistry* damageRegistry = nullptr;
    ProjectileManager* projectiles = nullptr;
    FxPool* fxPool = nullptr;
    RandomGenerator* random = nullptr;
    GameObjectManager* objects = nullptr;
    GOParamsLibrary* goLibrary = nullptr;
    ProjectileDefRegistry* projectileDefs = nullptr;
    WarheadDefRegistry* warheadDefs = nullptr;
    FxParamsLibrary* fxLibrary = nullptr;
    TargetRegistry* targets = nullptr;
    WorldHandles* worldHandles = nullptr;
    DificultyData* difficulty = nullptr;
    PlayCamera* camera = nullptr;
    PickupManager* pickups = nullptr;
    RecordTable* recordTable = nullptr;
    AIManager* ai = nullptr;
    Ogre::SceneNode* playCamBase = nullptr;
    Ogre::SceneNode* playCamNode = nullptr;
    Ogre::Camera* playCam = nullptr;
    Ogre::Camera* endCam = nullptr;
    Ogre::SceneNode* endCamNode = nullptr;
    Ogre::SceneNode* endCamBase = nullptr;
    Priget_PlayPause* pausePanel = nullptr;
    Priget_EndPlayMenu* endMenu = nullptr;
    Priget_PlayMissInfo* missionInfo = nullptr;

    uint8_t paused = 0;
    // Press-edge latch of the mission-info confirm and the pause toggle.
    uint8_t confirmLatch = 0;
    uint8_t joystickAim = 0;

    MyGUI::TextBox* countdownText = nullptr;
    MyGUI::Widget* introPanel = nullptr;
    MyGUI::Widget* introShade = nullptr;
    MyGUI::ImageBox* bigCogImage = nullptr;
    MyGUI::ImageBox* smallCogImage = nullptr;
    MyGUI::RotatingSkin* bigCog = nullptr;
    MyGUI::RotatingSkin* smallCog = nullptr;
    MyGUI::Widget* endBand = nullptr;
    MyGUI::Widget* endVeil = nullptr;
    MyGUI::Widget* endBonus = nullptr;
    MyGUI::TextBox* endCaption = nullptr;

    float introFade = 0.0f;
    Ogre::Vector3 pickCorners[3] = {Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO};
    float countdown = 3.0f;
    uint32_t endStage = 0;
    float turboDelay = 0.0f;
    float holdTime = 0.0f;
    float camReturn = 0.0f;
    float endTimer = 0.0f;
    uint32_t resultRank = 0;
    VirtualReactor* bubbleReactor = nullptr;
    uint8_t medalWon = 0;

private:
    // Escape or pad button 7.
    bool pauseToggleDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick) const;
    // Return, the middle mouse button or pad button 0: the panels' confirm.
    bool confirmDown(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) const;
    // A pad button, only with the gamepad enabled and a joystick present.
    bool padButtonDown(OIS::JoyStick* joystick, int button) const;
    void freezeWorld();
    void thawWorld();
    void setPointerShown(bool on);
    void leaveTo(uint32_t next);
    void destroyCamera(Ogre::Camera*& cam, Ogre::SceneNode*& node, Ogre::SceneNode*& base);

    MenuClick clicks_;
};
