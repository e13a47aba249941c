#pragma once
#include "cutscenes/BasicCutScene.h"

namespace MyGUI {
class Widget;
class ImageBox;
}
namespace OgreUtils {
class DirectShowMovieTexture;
}

// Where the video image goes: native size centred, or across the view keeping the aspect ratio.
MyGUI::IntCoord VideoPlacement(const MyGUI::IntSize& view, float videoWidth, float videoHeight, bool forceFullScreen);

// Shows a video file of Video/ on a full-view image. Ends at the end of the video or, when its
// section allows skipping, on Escape, Return, the left button or pad button 0.
class VideoCutScene : public BasicCutScene {
public:
    VideoCutScene(Ogre::RenderWindow* renderWindow, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                  MyGUI::Gui* gui, FadeOverlay* fader, std::string file, bool flag, uint32_t index,
                  GameSession* gameSession);
    ~VideoCutScene() override;

    void setup(Ogre::ConfigFile& config) override;
    void play() override;
    void pause() override;
    void restart() override;
    void stop() override;
    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    OgreUtils::DirectShowMovieTexture* movie = nullptr;
    MyGUI::Widget* background = nullptr;
    MyGUI::ImageBox* image = nullptr;
};
