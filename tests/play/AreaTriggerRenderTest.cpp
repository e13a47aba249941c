// A trigger-area disc drawn by the GL renderer on the virtual display, with the game's own mesh,
// material and stripe texture.
#include "play/AreaTrigger.h"
#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

TEST(AreaTriggerRender, TheDiscShowsItsStripesInItsFreeColour)
{
    for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
    constexpr unsigned kWidth = 320, kHeight = 240;
    Ogre::LogManager logs;
    logs.createLog("area_render_test.log", true, false, true);
    {
        Ogre::Root root(testsupport::gameTreeDir() + "/Bin/Game/plugins.cfg", "", "");
        root.setRenderSystem(root.getRenderSystemByName("OpenGL Rendering Subsystem"));
        root.initialise(false);
        Ogre::RenderWindow* window = root.createRenderWindow("area test", kWidth, kHeight, false);
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        for (const char* folder : {"Data/Meshes", "Data/Materials", "Data/Textures"})
            groups.addResourceLocation(testsupport::gameTreeDir() + "/" + folder, "FileSystem", "AreaTest");
        groups.initialiseResourceGroup("AreaTest");

        Ogre::SceneManager* scene = root.createSceneManager();
        scene->setAmbientLight(Ogre::ColourValue::White);
        Ogre::Camera* camera = scene->createCamera("cam");
        camera->setNearClipDistance(0.5f);
        Ogre::SceneNode* eye = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 18, 14));
        eye->attachObject(camera);
        eye->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
        window->addViewport(camera)->setBackgroundColour(Ogre::ColourValue(0.1f, 0.12f, 0.16f));
        camera->setAspectRatio(float(kWidth) / float(kHeight));
        {
            AreaTrigger area(nullptr, scene, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0);
            ASSERT_FALSE(area.getMaterialName().empty());
            root.renderOneFrame();
            std::vector<uint8_t> pixels(kWidth * kHeight * 3);
            Ogre::PixelBox box(kWidth, kHeight, 1, Ogre::PF_BYTE_RGB, pixels.data());
            window->copyContentsToMemory(box, box);
            if (const char* shot = std::getenv("VANTOREL_AREA_SHOT"))
                window->writeContentsToFile(shot);

            // The disc: yellow-tinted pixels (the background is bluish); its stripes stand out
            // from its fill.
            int disc = 0, stripes = 0, fill = 0;
            for (size_t i = 0; i < pixels.size(); i += 3) {
                const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
                if (r <= 25 || b * 5 > r * 4 || std::abs(r - g) > 20)
                    continue;
                ++disc;
                stripes += r > 60 ? 1 : 0;
                fill += r <= 50 ? 1 : 0;
            }
            const int frame = int(kWidth * kHeight);
            EXPECT_GT(disc, frame / 4);
            EXPECT_GT(stripes, frame / 20);
            EXPECT_GT(fill, frame / 20);
            const uint8_t* corner = pixels.data();  // top left
            EXPECT_LT(corner[0], 30);  // background
        }
        window->removeAllViewports();
        root.destroySceneManager(scene);
    }
}
