// The smooth caption on a real GUI widget (needs an X display: the tests run under Xvfb).
#include "core/ControllerSmoothCaption.h"
#include "support/TestSupport.h"

#include <MyGUI.h>
#include <MyGUI_OgrePlatform.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

using testsupport::ScopedWorkDir;

namespace {
class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Keep the GL driver loaded to the end, so the leak checker can name (and skip) what it
        // leaks itself; unloaded, its blocks show as an unknown module.
        for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
            dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
        logs_ = new Ogre::LogManager();
        logs_->createLog("caption_test.log", true, false, true);
        root_ = new Ogre::Root("plugins.cfg", "", "");
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation("../../Data/GUI", "FileSystem",
                                                                         Ogre::RGN_DEFAULT);
        root_->setRenderSystem(root_->getAvailableRenderers().front());
        root_->initialise(false);
        window_ = root_->createRenderWindow("caption test", 160, 120, false);
        Ogre::SceneManager* scene = root_->createSceneManager();
        window_->addViewport(scene->createCamera("cam"));
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        platform_ = new MyGUI::OgrePlatform();
        platform_->initialise(window_, scene, Ogre::RGN_DEFAULT, "MyGUI.log");
        gui_ = new MyGUI::Gui();
        gui_->initialise("core.xml");
        MyGUI::ResourceManager::getInstance().load("Layers.xml");
        MyGUI::FactoryManager::getInstance().registerFactory<ControllerSmoothCaption>("Controller");
        text_ = gui_->createWidget<MyGUI::TextBox>("TextBox", 0, 0, 150, 20, MyGUI::Align::Default, "Middle");
    }

    void TearDown() override
    {
        MyGUI::FactoryManager::getInstance().unregisterFactory<ControllerSmoothCaption>("Controller");
        gui_->shutdown();
        delete gui_;
        platform_->shutdown();
        delete platform_;
        delete root_;
        delete logs_;
    }

    ControllerSmoothCaption* attachController()
    {
        MyGUI::ControllerItem* item = MyGUI::ControllerManager::getInstance().createItem(
            ControllerSmoothCaption::getClassTypeName());
        auto* caption = item ? item->castType<ControllerSmoothCaption>(false) : nullptr;
        if (caption)
            MyGUI::ControllerManager::getInstance().addItem(text_, caption);
        return caption;
    }

    std::string shown() const { return text_->getCaption().asUTF8(); }

    testsupport::TempGameTree tree_{{"Bin/Game/plugins.cfg", "Data/GUI"}};
    ScopedWorkDir cwd_{tree_.workDir()};
    Ogre::LogManager* logs_ = nullptr;
    Ogre::Root* root_ = nullptr;
    Ogre::RenderWindow* window_ = nullptr;
    MyGUI::OgrePlatform* platform_ = nullptr;
    MyGUI::Gui* gui_ = nullptr;
    MyGUI::TextBox* text_ = nullptr;
};
}  // namespace

TEST_F(GuiFixture, SettingTheCaptionPropertyTypesItOutFrameByFrame)
{
    ControllerSmoothCaption* caption = attachController();
    ASSERT_NE(caption, nullptr);
    EXPECT_STREQ(caption->getTypeName().c_str(), "ControllerSmoothCaption");

    for (const char* key : {"Widget_Caption", "Caption"}) {
        text_->setProperty(key, "ab");
        EXPECT_EQ(shown(), "") << key;
        EXPECT_EQ(caption->typer().target(), "ab") << key;
        gui_->frameEvent(0.05f);
        EXPECT_EQ(shown(), "a _") << key;
        gui_->frameEvent(0.05f);
        EXPECT_EQ(shown(), "ab") << key;
        gui_->frameEvent(0.05f);
        EXPECT_EQ(shown(), "ab") << key;
    }
    // Other properties leave the typing alone.
    text_->setProperty("Colour", "1 0 0");
    EXPECT_EQ(shown(), "ab");
}

TEST_F(GuiFixture, AWidgetOutlivingItsControllerCanStillChangeItsCaption)
{
    ASSERT_NE(attachController(), nullptr);
    MyGUI::ControllerManager::getInstance().removeItem(text_);
    gui_->frameEvent(0.01f);  // the GUI deletes the removed controller here
    text_->setProperty("Caption", "after");
    EXPECT_EQ(shown(), "after");
}
