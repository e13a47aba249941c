#include "cutscenes/BasicCutScene.h"

#include "core/ConfigManager.h"
#include "core/GameSession.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>

#include <cmath>
#include <utility>

namespace {
// A sequence file is a few pages of text; anything near this is not one.
constexpr size_t kMaxCutsceneIniBytes = 4u * 1024u * 1024u;
}  // namespace

BasicCutScene::BasicCutScene(Ogre::RenderWindow* renderWindow_, Ogre::SceneManager* sceneManager_,
                             audio::SoundManager* soundManager_, MyGUI::Gui* gui_, FadeOverlay* fader_, std::string file_,
                             bool flag_, uint32_t index_, GameSession* gameSession_)
    : gameSession(gameSession_),
      renderWindow(renderWindow_),
      sceneManager(sceneManager_),
      soundManager(soundManager_),
      fader(fader_),
      gui(gui_),
      file(std::move(file_)),
      index(index_),
      flag(flag_ ? 1 : 0)
{
}

BasicCutScene::~BasicCutScene() = default;

std::string BasicCutScene::sectionName() const
{
    return "CutScene_" + std::to_string(static_cast<uint64_t>(index) + 1);
}

bool BasicCutScene::openConfig(const std::string& path, Ogre::ConfigFile& config)
{
    // Regular files only: a pipe would block the game and a folder loop the engine's reader.
    platform::RegularFile why = platform::RegularFile::Ok;
    if (loadRegularIniFile(config, path, kMaxCutsceneIniBytes, &why))
        return true;
    fail("cannot read '" + path + "': " +
         (why == platform::RegularFile::Missing      ? "missing"
          : why == platform::RegularFile::TooLarge   ? "too large"
          : why == platform::RegularFile::NotRegular ? "not a regular file"
                                                     : "unreadable"));
    return false;
}

void BasicCutScene::fail(const std::string& why)
{
    if (!failed)
        Ogre::LogManager::getSingleton().logMessage("Cutscene " + sectionName() + ": " + why);
    failed = true;
}

void BasicCutScene::loadFile()
{
    if (loaded || failed)
        return;
    // The cutscene state gives every player an empty name: its section is in the sequence file.
    if (file.empty()) {
        loadFromSequence();
        return;
    }
    Ogre::ConfigFile config;
    if (openConfig("../../Video/" + file, config))
        setup(config);
}

void BasicCutScene::loadFromSequence()
{
    if (loaded || failed)
        return;
    std::string sequence = sequenceName;
    if (sequence.empty() && gameSession)
        sequence = gameSession->getCutsceneName();
    Ogre::ConfigFile config;
    if (openConfig("../../Data/Cutscene/" + sequence + ".ini", config))
        setup(config);
}

void BasicCutScene::setup(Ogre::ConfigFile&)
{
    if (loaded)
        return;
    loaded = true;
    state = CUTSCENE_FINISHED;
}

void BasicCutScene::play()
{
    if (state == CUTSCENE_CREATED)
        restart();
    else
        state = CUTSCENE_PLAYING;
}

void BasicCutScene::pause()
{
    state = CUTSCENE_PAUSED;
}

void BasicCutScene::update(float, OIS::Keyboard*, OIS::JoyStick*, OIS::Mouse*)
{
    if (loaded || failed) {
        firstFrame = false;
        state = CUTSCENE_FINISHED;
    }
}

MyGUI::IntSize BasicCutScene::viewSize() const
{
    return MyGUI::RenderManager::getInstance().getViewSize();
}

bool BasicCutScene::confirmPressed(OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse, bool escape)
{
    bool down = false;
    if (keyboard) {
        down = keyboard->isKeyDown(OIS::KC_RETURN) || (escape && keyboard->isKeyDown(OIS::KC_ESCAPE));
    }
    if (mouse && mouse->getMouseState().buttonDown(OIS::MB_Left))
        down = true;
    if (joystick && gameSession && gameSession->gamepadEnabled) {
        const OIS::JoyStickState& js = joystick->getJoyStickState();
        if (!js.mButtons.empty() && js.mButtons[0])
            down = true;
    }
    const bool pressed = down && !inputLatch;
    inputLatch = down ? 1 : 0;
    return pressed;
}

namespace {
// k = t^0.4 and k = t^3.
void slowedStart(const MyGUI::IntCoord& from, const MyGUI::IntCoord& to, MyGUI::IntCoord& result, float t)
{
    MyGUI::action::linearMoveFunction(from, to, result, std::pow(t, 0.4f));
}
void acceleratedStart(const MyGUI::IntCoord& from, const MyGUI::IntCoord& to, MyGUI::IntCoord& result, float t)
{
    MyGUI::action::linearMoveFunction(from, to, result, t * t * t);
}
// Overshoot to 1.225 at t = 0.7 and to 1.8 at t = 0.6, then back to the target.
void shortJump(const MyGUI::IntCoord& from, const MyGUI::IntCoord& to, MyGUI::IntCoord& result, float t)
{
    MyGUI::action::linearMoveFunction(from, to, result, 3.5f * t - 2.5f * t * t);
}
void longJump(const MyGUI::IntCoord& from, const MyGUI::IntCoord& to, MyGUI::IntCoord& result, float t)
{
    MyGUI::action::linearMoveFunction(from, to, result, 6.0f * t - 5.0f * t * t);
}
}  // namespace

MyGUI::ControllerPosition* createMoveController(const MyGUI::IntPoint& target, float time, int moveFunction)
{
    MyGUI::ControllerItem* item =
        MyGUI::ControllerManager::getInstance().createItem(MyGUI::ControllerPosition::getClassTypeName());
    auto* controller = item->castType<MyGUI::ControllerPosition>();
    controller->setPosition(target);
    controller->setTime(time);
    switch (moveFunction) {
    case 1: controller->setAction(MyGUI::newDelegate(MyGUI::action::inertionalMoveFunction)); break;
    case 2: controller->setAction(MyGUI::newDelegate(slowedStart)); break;
    case 3: controller->setAction(MyGUI::newDelegate(acceleratedStart)); break;
    case 4: controller->setAction(MyGUI::newDelegate(shortJump)); break;
    case 5: controller->setAction(MyGUI::newDelegate(longJump)); break;
    default: controller->setAction(MyGUI::newDelegate(MyGUI::action::linearMoveFunction)); break;
    }
    return controller;
}
