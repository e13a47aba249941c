#include "CutsceneTestEngine.h"

#include "platform/Platform.h"

#include <MyGUI.h>
#include <MyGUI_OgrePlatform.h>
#include <Ogre.h>

#include <filesystem>

namespace playertest {

const VideoSecond kBriefingColours[3] = {
    {{200, 40, 40}, {230, 200, 60}},
    {{40, 170, 60}, {60, 60, 160}},
    {{50, 80, 210}, {220, 120, 40}},
};

CutsceneEngine::CutsceneEngine(int width, int height)
    : tree_({"Bin/Game/plugins.cfg", "Data/GUI", "Video", "Data/System/StoryImgs.pak", "Data/System/Char.pak",
             "Data/Cutscene"}),
      cwd_(tree_.workDir())
{
    logs_ = new Ogre::LogManager();
    logs_->createLog("Ogre.log", true, false, false)->addListener(this);
    root_ = new Ogre::Root("plugins.cfg", "", "");
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation("../../Data/GUI", "FileSystem", Ogre::RGN_DEFAULT);
    groups.addResourceLocation("../../Data/System/StoryImgs.pak", "Zip", Ogre::RGN_DEFAULT);
    groups.addResourceLocation("../../Data/System/Char.pak", "Zip", Ogre::RGN_DEFAULT);
    root_->setRenderSystem(root_->getAvailableRenderers().front());
    root_->initialise(false);
    window_ = root_->createRenderWindow("cutscene test", width, height, false);
    platform::keepGraphicsDriverLoaded();
    Ogre::SceneManager* scene = root_->createSceneManager();
    Ogre::Viewport* viewport = window_->addViewport(scene->createCamera("cam"));
    viewport->setBackgroundColour(Ogre::ColourValue(0.25f, 0.25f, 0.25f));
    groups.initialiseAllResourceGroups();
    platform_ = new MyGUI::OgrePlatform();
    platform_->initialise(window_, scene, Ogre::RGN_DEFAULT, "MyGUI.log");
    gui_ = new MyGUI::Gui();
    gui_->initialise("core.xml");
    MyGUI::ResourceManager::getInstance().load("Layers.xml");
    MyGUI::PointerManager::getInstance().setVisible(false);
    mouse.setArea(width, height);
}

CutsceneEngine::~CutsceneEngine()
{
    gui_->shutdown();
    delete gui_;
    platform_->shutdown();
    delete platform_;
    delete root_;
    logs_->getDefaultLog()->removeListener(this);
    delete logs_;
}

void CutsceneEngine::writeSequence(const std::string& name, const std::string& text) const
{
    testsupport::writeTextFile(tree_.path("Data/Cutscene/" + name + ".ini"), text);
}

void CutsceneEngine::render()
{
    root_->renderOneFrame();
}

testsupport::Screenshot CutsceneEngine::screenshot() const
{
    const int w = static_cast<int>(window_->getWidth());
    const int h = static_cast<int>(window_->getHeight());
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    Ogre::PixelBox box(w, h, 1, Ogre::PF_BYTE_RGB, rgb.data());
    window_->copyContentsToMemory(Ogre::Box(0, 0, w, h), box, Ogre::RenderTarget::FB_AUTO);
    return testsupport::Screenshot(w, h, std::move(rgb));
}

void CutsceneEngine::keep(const testsupport::Screenshot& shot, const std::string& name)
{
    const std::string folder = testsupport::gameTreeDir() + "/../screenshots";
    std::filesystem::create_directories(folder);
    shot.savePng(folder + "/" + name + ".png");
}

bool CutsceneEngine::logged(const std::string& part) const
{
    std::lock_guard<std::mutex> lock(linesMutex_);
    for (const std::string& line : lines_)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

void CutsceneEngine::capture()
{
    keyboard.capture();
    mouse.capture();
    joystick.capture();
}

}  // namespace playertest
