#include "support/GameHarness.h"
#include <Ogre.h>
#include <gtest/gtest.h>

TEST(Scratch, Start)
{
    testsupport::GameHarness game;
    game.runFrames(3);
    game.screenshot().savePng("/tmp/core_shot.png");
    game.window()->writeContentsToFile("/tmp/core_shot_wc.png");
    int w=800,h=600;
    for (auto fb : {Ogre::RenderTarget::FB_FRONT, Ogre::RenderTarget::FB_BACK, Ogre::RenderTarget::FB_AUTO}) {
      std::vector<uint8_t> rgb(w*h*3);
      Ogre::PixelBox box(w, h, 1, Ogre::PF_BYTE_RGB, rgb.data());
      game.window()->copyContentsToMemory(Ogre::Box(0, 0, w, h), box, fb);
      printf("fb %d: %d %d %d\n", (int)fb, rgb[30*3*w+30*3], rgb[30*3*w+30*3+1], rgb[30*3*w+30*3+2]);
    }
}
