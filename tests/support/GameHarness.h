#pragma once
// Scripted play of the real game, in-process, on a real window (run the tests under Xvfb).
//
//   testsupport::GameHarness game;                 // private game tree, engine, GUI, core, GS_Menu
//   game.tapKey(OIS::KC_RETURN);                   // down for one frame, then up
//   game.runFrames(30);                            // fixed frame time (options.frameTime)
//   ASSERT_NE(game.stateAs<GS_PlayOnly>(), nullptr);
//   EXPECT_TRUE(game.pixel(10, 10).near(testsupport::Rgb{77, 20, 20}));
//
// The start-up follows MainApplication's (config.ini of the copied tree, then the window size
// and `adjustSettings`), and the frame listener is the real MainFrameListener with scripted
// keyboard, mouse and (optionally) joystick in place of the X devices. Each frame runs
// Root::renderOneFrame, so the whole frame listener, GameCore::update and the GUI run as in the
// game. Input set between frames is seen at the next frame's capture. The fade overlay starts
// black: give a new screen the frames of its fade-in before reading its pixels. Mouse clicks
// reach the GUI through ZV_GameState::handleMouse, so only states that call it react to them.
// Only one harness may exist at a time (one engine per process); it works in Bin/Game of its
// tree, so relative game paths ("../../Saves/...") land in the copy.
#include "support/ScriptedInput.h"
#include "support/TestSupport.h"

#include <OgreVector.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace Ogre {
class Root;
class RenderWindow;
class SceneManager;
class Camera;
class Viewport;
class OverlaySystem;
class LogManager;
}
namespace MyGUI {
class Gui;
class Widget;
struct Colour;
}
struct GameSettings;
class GameCore;
class GameSession;
class ZV_GameState;
class MainFrameListener;
class InterpolationAffectorFactory;
class PlayWorld;

namespace testsupport {

struct Rgb {
    int r = 0, g = 0, b = 0;
    // Each channel within `tolerance` of the other's.
    bool near(const Rgb& other, int tolerance = 6) const;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);
// A GUI colour as the 8-bit pixel it renders to.
Rgb toRgb(const MyGUI::Colour& colour);

// The window's pixels at one moment.
class Screenshot {
public:
    Screenshot(int width, int height, std::vector<uint8_t> rgb);
    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const;
    // How many pixels in the rectangle are near `colour`.
    int countNear(const Rgb& colour, int x, int y, int w, int h, int tolerance = 6) const;
    // How many pixels in the rectangle pass `test`; the parts outside the picture count nothing.
    int countWhere(int x, int y, int w, int h, const std::function<bool(const Rgb&)>& test) const;
    // The same over the square of half-size `half` around (cx, cy).
    int countAround(int cx, int cy, int half, const std::function<bool(const Rgb&)>& test) const
    {
        return countWhere(cx - half, cy - half, 2 * half + 1, 2 * half + 1, test);
    }
    // How many pixels in the square of half-size `half` around (cx, cy) differ from `before`'s
    // by more than `tolerance` in some channel; the parts outside the picture count nothing.
    int countChanged(const Screenshot& before, int cx, int cy, int half, int tolerance = 24) const;
    void savePng(const std::string& path) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> rgb_;
};

// Keeps the picture as <name>.png for a look by eye when VANTOREL_SHOT_DIR names a folder.
void keepShot(const Screenshot& shot, const std::string& name);

// Where a world point lands in a window of w x h pixels seen through `camera`.
Ogre::Vector2 toScreen(Ogre::Camera* camera, const Ogre::Vector3& point, int w, int h);

// A test's own camera on a node at `eye` looking at `target`, shown in `viewport` (the caller
// puts the viewport's previous camera back when it is done).
Ogre::Camera* showTestCamera(Ogre::SceneManager* scene, Ogre::Viewport* viewport, const std::string& name,
                             const Ogre::Vector3& eye, const Ogre::Vector3& target);

struct HarnessOptions {
    unsigned width = 800;
    unsigned height = 600;
    // Seconds per frame, for the game core and for the engine's frame event.
    float frameTime = 1.0f / 60.0f;
    // Gives the listener a scripted joystick (otherwise it has none, as on a machine without one).
    bool joystick = false;
    std::string joystickVendor = "Scripted Pad";
    // Runs in the copied tree's Bin/Game before the engine starts (write files, remove some).
    std::function<void(const std::string& workDir)> prepareTree;
    // Runs after config.ini was read and before the window and the game core are made.
    std::function<void(GameSettings&)> adjustSettings;
};

class GameHarness {
public:
    explicit GameHarness(HarnessOptions options = {});
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // One frame of the engine's loop; false once the loop has ended (then no more frames run).
    bool frame();
    // Up to `count` frames; the number run before the loop ended.
    int runFrames(int count);
    // Frames until `done` holds (checked after each frame); false when `maxFrames` ran out first.
    bool runUntil(const std::function<bool()>& done, int maxFrames = 300);
    bool loopEnded() const { return loopEnded_; }

    // Input, taking effect at the next frame.
    // `text`: the character the press types (0 for none).
    void press(OIS::KeyCode key, unsigned int text = 0) { keyboard_->press(key, text); }
    void release(OIS::KeyCode key) { keyboard_->release(key); }
    // Held for `holdFrames` frames, then released and one more frame run.
    void tapKey(OIS::KeyCode key, int holdFrames = 1);
    // Each character as a key press that types it (ScriptedKeyboard::keyForChar), down for one
    // frame and up for one.
    void typeText(const std::string& text);
    void moveMouseTo(int x, int y) { mouse_->moveTo(x, y); }
    void mouseDown(OIS::MouseButtonID button = OIS::MB_Left) { mouse_->press(button); }
    void mouseUp(OIS::MouseButtonID button = OIS::MB_Left) { mouse_->release(button); }
    // Moves there, presses and releases the left button: three frames.
    void click(int x, int y);
    void clickWidget(const MyGUI::Widget* widget);

    // From the start-up splash to the main menu as a player gets there: Return through the
    // splash and the prompt, then the named profile loaded from the list or, when not listed,
    // created by typing its name. False when the main menu was not reached.
    bool enterMainMenu(const std::string& profileName = "Pilot");

    ScriptedKeyboard& keyboard() { return *keyboard_; }
    ScriptedMouse& mouse() { return *mouse_; }
    ScriptedJoyStick* joystick() { return joystick_.get(); }

    GameCore* core() const;
    ZV_GameState* state() const;
    template <class T>
    T* stateAs() const { return dynamic_cast<T*>(state()); }
    GameSession* session() const;
    GameSettings* settings() const { return settings_; }
    MainFrameListener* frameListener() const;
    MyGUI::Gui* gui() const;
    Ogre::Root* root() const { return root_; }
    Ogre::RenderWindow* window() const { return window_; }
    Ogre::SceneManager* sceneManager() const { return sceneManager_; }
    Ogre::Camera* menuCamera() const { return camera_; }
    // The copied tree's Bin/Game, the working directory while the harness lives.
    std::string workDir() const { return tree_.workDir(); }
    const TempGameTree& tree() const { return tree_; }

    // What the window shows after the last frame.
    Screenshot screenshot() const;

    // The world a play makes, on the running game's scene, sounds, data and loaded map.
    std::unique_ptr<PlayWorld> makePlayWorld(uint32_t seed = 1) const;
    Rgb pixel(int x, int y) const { return screenshot().at(x, y); }

private:
    class Listener;

    void start();
    void release();

    HarnessOptions options_;
    TempGameTree tree_;
    std::unique_ptr<ScopedWorkDir> workDirScope_;
    std::unique_ptr<ScriptedKeyboard> keyboard_;
    std::unique_ptr<ScriptedMouse> mouse_;
    std::unique_ptr<ScriptedJoyStick> joystick_;
    Ogre::LogManager* logManager_ = nullptr;
    Ogre::Root* root_ = nullptr;
    Ogre::OverlaySystem* overlaySystem_ = nullptr;
    InterpolationAffectorFactory* affectorFactory_ = nullptr;
    GameSettings* settings_ = nullptr;
    Ogre::RenderWindow* window_ = nullptr;
    Ogre::SceneManager* sceneManager_ = nullptr;
    Ogre::Camera* camera_ = nullptr;
    Listener* listener_ = nullptr;
    bool loopEnded_ = false;
};

}  // namespace testsupport
