#include "support/PanelTestBed.h"

#include "audio/SoundManager.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "core/RandomGenerator.h"

#include <MyGUI.h>
#include <MyGUI_OgrePlatform.h>
#include <Ogre.h>

#include <dlfcn.h>

#include <vector>

namespace testsupport {

PanelTestBed::PanelTestBed(int width, int height)
{
    // Keep the GL driver loaded to the end, so the leak checker can name what it leaks itself.
    for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
    logs_ = new Ogre::LogManager();
    logs_->createLog("panel_test.log", true, false, true);
    root_ = new Ogre::Root("plugins.cfg", "", "");
    Ogre::ConfigFile resources;
    resources.load("resources.cfg", "\t:=", true);
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& section : resources.getSettingsBySection())
        for (const auto& setting : section.second)
            groups.addResourceLocation(setting.second, setting.first, section.first);
    root_->setRenderSystem(root_->getAvailableRenderers().front());
    root_->initialise(false);
    window_ = root_->createRenderWindow("panel test", width, height, false);
    Ogre::SceneManager* scene = root_->createSceneManager();
    Ogre::Viewport* viewport = window_->addViewport(scene->createCamera("cam"));
    viewport->setBackgroundColour(Ogre::ColourValue(0.3f, 0.5f, 0.3f));
    groups.initialiseAllResourceGroups();
    platform_ = new MyGUI::OgrePlatform();
    platform_->initialise(window_, scene, Ogre::RGN_DEFAULT, "MyGUI.log");
    gui_ = new MyGUI::Gui();
    gui_->initialise("core.xml");
    MyGUI::ResourceManager::getInstance().load("Layers.xml");

    soundManager_ = std::make_unique<audio::SoundManager>("", 100);
    sounds_ = std::make_unique<GlobalSounds>(soundManager_.get());
    random_ = std::make_unique<RandomGenerator>();
    settings_ = std::make_unique<GameSettings>();
    session_ = std::make_unique<GameSession>(random_.get(), settings_.get());
    mouse_.setArea(width, height);
}

PanelTestBed::~PanelTestBed()
{
    session_.reset();
    sounds_.reset();
    soundManager_.reset();
    gui_->shutdown();
    delete gui_;
    platform_->shutdown();
    delete platform_;
    delete root_;
    delete logs_;
}

void PanelTestBed::capture()
{
    keyboard_.capture();
    mouse_.capture();
    joystick_.capture();
}

void PanelTestBed::renderFrame() { root_->renderOneFrame(1.0f / 60.0f); }

Screenshot PanelTestBed::screenshot()
{
    renderFrame();
    const int w = static_cast<int>(window_->getWidth());
    const int h = static_cast<int>(window_->getHeight());
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    Ogre::PixelBox box(w, h, 1, Ogre::PF_BYTE_RGB, rgb.data());
    window_->copyContentsToMemory(Ogre::Box(0, 0, w, h), box, Ogre::RenderTarget::FB_AUTO);
    return Screenshot(w, h, std::move(rgb));
}

}  // namespace testsupport
