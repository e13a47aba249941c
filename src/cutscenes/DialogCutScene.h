#pragma once
#include "cutscenes/BasicCutScene.h"

#include <MyGUI_Types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Ogre {
class Camera;
class SceneNode;
}
namespace MyGUI {
class Widget;
class ImageBox;
class TextBox;
class EditBox;
class ControllerPosition;
}
namespace audio {
class Sound;
}
class DialogCutSceneParams;
class BasicActionParams;
class DialogAction_PhraseParam;
class ControllerSmoothCaption;

// What the player shows of one character: its image (one pose at a time) and its move.
struct ActorView {
    MyGUI::ImageBox* image = nullptr;
    uint32_t pose = 0;  // 1-based pose shown; 0 none
    MyGUI::ControllerPosition* moveController = nullptr;  // owned by the GUI once attached
};

// A dialog scene: characters, free images and a background (optionally over a map seen through
// its own camera), a dialog box with the speaker's name and a typed caption, and the scene's
// music. It runs the definition's actions one after another; the player confirms each step.
class DialogCutScene : public BasicCutScene {
public:
    static constexpr float kEndDelay = 0.5f;
    static constexpr float kFastForward = 5.0f;
    static constexpr float kEndFadeTime = 0.5f;
    static constexpr float kMoveDistance = 1.2f;
    static constexpr const char* kCameraName = "ZV_dc_cam";
    static constexpr const char* kMusicName = "ZVEsCutSMusic";
    static constexpr const char* kPlaceholderName = "Comms";

    DialogCutScene(Ogre::RenderWindow* renderWindow, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                   MyGUI::Gui* gui, FadeOverlay* fader, std::string file, bool flag, uint32_t index,
                   GameSession* gameSession, DialogCutSceneParams* params, SceneCreator* sceneCreator,
                   Ogre::Viewport* viewport, uint32_t languageCount);
    ~DialogCutScene() override;

    // Builds the scene; once only.
    void loadFile() override;
    void restart() override;
    void stop() override;
    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;
    // Starts the action at actionIndex; actions that chain run the next one at once.
    virtual void executeAction();

    // Places actor c's image by the pivot of the pose it shows: anchor + offset - pivot.
    void placeCharacter(uint32_t c, uint32_t alignment, float offsetX, float offsetY);
    void setCharacterPose(uint32_t c, uint32_t m);
    // Ends the fades of the enter and leave actions among the first n (moves go on).
    void finishTransitions(uint32_t n);
    void updateFades(float dt);

    DialogCutSceneParams* definition() const { return dialog; }
    // The confirm latch lives in the base's input latch word.
    bool confirmLatch() const { return inputLatch != 0; }

    float endTimer = 0.0f;
    Ogre::SceneNode* cameraNode = nullptr;
    Ogre::Camera* camera = nullptr;
    audio::Sound* music = nullptr;
    std::vector<ActorView> actors;
    std::vector<MyGUI::ImageBox*> imageWidgets;
    MyGUI::ImageBox* background = nullptr;
    MyGUI::Widget* dialogBox = nullptr;
    MyGUI::Widget* namePlate = nullptr;
    MyGUI::TextBox* nameText = nullptr;
    MyGUI::TextBox* nameShadow = nullptr;
    MyGUI::Widget* textPanel = nullptr;
    MyGUI::Widget* darkPanel = nullptr;
    MyGUI::EditBox* captionText = nullptr;
    MyGUI::EditBox* captionShadow = nullptr;
    ControllerSmoothCaption* captionController = nullptr;  // owned; driven by update
    MyGUI::ImageBox* continueMark = nullptr;
    float typingSpeed = 1.0f;
    std::string fullText;
    bool typing = false;

private:
    void placeNamePlate(const DialogAction_PhraseParam& phrase);
    void finish();
    ActorView* actor(uint32_t c);
    MyGUI::ImageBox* imageWidget(uint32_t k);
    BasicActionParams* currentAction() const;
    uint32_t actionCount() const;
    // Where a move by `direction` takes widget w: 1.2 x direction x (view width + extent).
    MyGUI::IntPoint moveTarget(const MyGUI::Widget* w, float dirX, float dirY) const;
    void startMove(ActorView& view, float dirX, float dirY, float time, uint32_t function);
    void playMusic(const std::string& file, bool fadeIn);

    DialogCutSceneParams* dialog = nullptr;  // borrowed from the cutscene state
    Ogre::Camera* previousCamera = nullptr;  // what the viewport showed before the build
};
