#pragma once
// A window with the engine and the GUI as the game sets them up, for the cutscene players
// (run under Xvfb). It works in a private copy of the parts of the game tree the players read.
#include "support/GameHarness.h"
#include "support/ScriptedInput.h"
#include "support/TestSupport.h"

#include <OgreLog.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ogre {
class Root;
class RenderWindow;
class LogManager;
}
namespace MyGUI {
class Gui;
class OgrePlatform;
}

namespace playertest {

// The colours of our briefing video: per second the centre block, then its surround.
struct VideoSecond {
    testsupport::Rgb centre, surround;
};
extern const VideoSecond kBriefingColours[3];

class CutsceneEngine : public Ogre::LogListener {
public:
    CutsceneEngine(int width = 800, int height = 600);
    ~CutsceneEngine() override;

    MyGUI::Gui* gui() const { return gui_; }
    Ogre::RenderWindow* window() const { return window_; }
    std::string workDir() const { return tree_.workDir(); }
    // Writes ../../Data/Cutscene/<name>.ini.
    void writeSequence(const std::string& name, const std::string& text) const;
    // Renders one frame (the GUI's controllers run in it).
    void render();
    testsupport::Screenshot screenshot() const;
    // Keeps a screenshot for people to look at: build dir/screenshots/<name>.png.
    static void keep(const testsupport::Screenshot& shot, const std::string& name);
    // Whether some log line of the engine so far holds `part`.
    bool logged(const std::string& part) const;

    testsupport::ScriptedKeyboard keyboard;
    testsupport::ScriptedMouse mouse;
    testsupport::ScriptedJoyStick joystick;
    // Applies the scripted input set since the last call.
    void capture();

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        // The engine's work-queue threads log too.
        std::lock_guard<std::mutex> lock(linesMutex_);
        lines_.push_back(message);
    }

private:
    testsupport::TempGameTree tree_;
    testsupport::ScopedWorkDir cwd_;
    Ogre::LogManager* logs_ = nullptr;
    Ogre::Root* root_ = nullptr;
    Ogre::RenderWindow* window_ = nullptr;
    MyGUI::OgrePlatform* platform_ = nullptr;
    MyGUI::Gui* gui_ = nullptr;
    mutable std::mutex linesMutex_;
    std::vector<std::string> lines_;
};

}  // namespace playertest
