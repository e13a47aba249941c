#include "cutscenes/DialogCutScene.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/ControllerSmoothCaption.h"
#include "core/FadeOverlay.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/Utilities.h"
#include "cutscenes/CutSceneParams.h"
#include "platform/TextConversion.h"
#include "world/SceneCreator.h"

#include <MyGUI.h>
#include <OIS/OIS.h>
#include <Ogre.h>

#include <algorithm>
#include <cmath>

namespace {

// Widget coordinates are whole pixels; a value that is not finite (a zero image size in a
// definition) becomes 0 instead of undefined behaviour.
int toPixel(double v)
{
    if (!std::isfinite(v))
        return 0;
    if (v > 1e7)
        return 10000000;
    if (v < -1e7)
        return -10000000;
    return static_cast<int>(v);
}

MyGUI::Colour toColour(const Ogre::ColourValue& c)
{
    return MyGUI::Colour(c.r, c.g, c.b, c.a);
}

// The point of the three-by-three grid that an alignment code names; any other code is 3.
MyGUI::IntPoint gridAnchor(uint32_t code, int W, int H)
{
    int col = 2, row = 0;
    if (code >= 1 && code <= 9) {
        col = static_cast<int>((code - 1) % 3);
        row = static_cast<int>((code - 1) / 3);
    }
    const int xs[3] = {0, W / 2, W};
    const int ys[3] = {0, H / 2, H};
    return {xs[col], ys[row]};
}

bool joystickButton(OIS::JoyStick* joystick, GameSession* session, size_t button)
{
    if (!joystick || !session || !session->gamepadEnabled)
        return false;
    const std::vector<bool>& buttons = joystick->getJoyStickState().mButtons;
    return button < buttons.size() && buttons[button];
}

size_t guiLength(const std::string& text)
{
    return toUTFString(text).size();
}

}  // namespace

DialogCutScene::DialogCutScene(Ogre::RenderWindow* renderWindow_, Ogre::SceneManager* sceneManager_,
                               audio::SoundManager* soundManager_, MyGUI::Gui* gui_, FadeOverlay* fader_,
                               std::string file_, bool flag_, uint32_t index_, GameSession* gameSession_,
                               DialogCutSceneParams* params_, SceneCreator* sceneCreator_, Ogre::Viewport* viewport_,
                               uint32_t languageCount_)
    : BasicCutScene(renderWindow_, sceneManager_, soundManager_, gui_, fader_, std::move(file_), flag_, index_,
                    gameSession_),
      dialog(params_)
{
    params = params_;
    sceneCreator = sceneCreator_;
    viewport = viewport_;
    languageCount = languageCount_;
    kind = 1;
    state = CUTSCENE_CREATED;
    inputLatch = 1;
    actionIndex = 0;
}

DialogCutScene::~DialogCutScene()
{
    if (!loaded)
        return;
    if (camera) {
        // The viewport must not keep a camera that is gone: it shows the one it had before.
        if (viewport && viewport->getCamera() == camera)
            viewport->setCamera(previousCamera);
        sceneManager->destroyCamera(camera);
    }
    if (cameraNode)
        sceneManager->destroySceneNode(cameraNode);
    if (music && soundManager)
        soundManager->destroySound(music);
    music = nullptr;
    for (ActorView& view : actors)
        if (view.image)
            gui->destroyWidget(view.image);
    actors.clear();
    for (MyGUI::ImageBox* image : imageWidgets)
        if (image)
            gui->destroyWidget(image);
    imageWidgets.clear();
    if (dialogBox)
        gui->destroyWidget(dialogBox);
    if (background)
        gui->destroyWidget(background);
    delete captionController;
}

uint32_t DialogCutScene::actionCount() const
{
    return dialog ? static_cast<uint32_t>(dialog->actions.size()) : 0;
}

BasicActionParams* DialogCutScene::currentAction() const
{
    return actionIndex < actionCount() ? dialog->actions[actionIndex].get() : nullptr;
}

ActorView* DialogCutScene::actor(uint32_t c)
{
    return c < actors.size() && actors[c].image ? &actors[c] : nullptr;
}

MyGUI::ImageBox* DialogCutScene::imageWidget(uint32_t k)
{
    return k < imageWidgets.size() ? imageWidgets[k] : nullptr;
}

void DialogCutScene::loadFile()
{
    if (loaded)
        return;
    loaded = true;
    firstFrame = true;
    const MyGUI::IntSize view = viewSize();
    const int W = view.width, H = view.height;
    const DialogCutSceneParams empty(nullptr, "", 0, 0);
    const DialogCutSceneParams& def = dialog ? *dialog : empty;

    // Actors.
    actors.resize(def.characters.size());
    for (uint32_t c = 0; c < def.characters.size(); ++c) {
        const DialogCharacter& ch = def.characters[c];
        ActorView& view = actors[c];
        view.image = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, 10, 10, MyGUI::Align::Default,
                                                        "DialogChars");
        view.moveController = nullptr;
        view.image->setColour(toColour(ch.ImgColour));
        view.image->setAlpha(ch.ImgOpacity);
        view.pose = ch.DefPose;
        if (view.pose >= 1 && view.pose <= ch.poses.size()) {
            const CharacterPose& pose = ch.poses[view.pose - 1];
            view.image->setImageTexture(pose.Img);
            view.image->setSize(toPixel(pose.ImgSize.x), toPixel(pose.ImgSize.y));
        } else {
            view.pose = 0;
        }
        placeCharacter(c, ch.CharAlign, ch.CharOffset.x, ch.CharOffset.y);
        view.image->setVisible(ch.StartInScene);
    }

    // Background.
    background = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, W, H, MyGUI::Align::Default, "Backgound");
    background->setAlpha(def.BackGroundAlpha);
    if (!def.BackGroundImg.empty())
        background->setImageTexture(def.BackGroundImg);

    if (!def.SceneMap.empty() && sceneCreator)
        sceneCreator->loadScene(def.SceneMap);

    // Camera.
    // One dialog camera at a time: while another player holds it, this one keeps the view as is.
    if (sceneManager && !sceneManager->hasCamera(kCameraName)) {
        camera = sceneManager->createCamera(kCameraName);
        // A new camera already looks down -Z, towards (0, 0, -300); the node turns it.
        camera->setNearClipDistance(1.0f);
        if (viewport && viewport->getActualHeight() > 0)
            camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / Ogre::Real(viewport->getActualHeight()));
        cameraNode = sceneManager->getRootSceneNode()->createChildSceneNode();
        cameraNode->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
        cameraNode->attachObject(camera);
        cameraNode->setPosition(0, -10000, 0);
        cameraNode->lookAt(Ogre::Vector3(0, -20000, 0), Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
        if (viewport) {
            previousCamera = viewport->getCamera();
            viewport->setCamera(camera);
        }
        if (def.CameraType == 1) {
            cameraNode->setPosition(def.CamPosition);
            cameraNode->lookAt(def.CamLookAt, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
            if (def.CamFOV > 0)
                camera->setFOVy(Ogre::Degree(def.CamFOV));
            if (def.CamMinClip > 0)
                camera->setNearClipDistance(def.CamMinClip);
            if (def.CamMaxClip > 0)
                camera->setFarClipDistance(def.CamMaxClip);
        }
    }

    // Free images.
    imageWidgets.assign(def.images.size(), nullptr);
    const double a = H > 0 ? double(W) / double(H) : 0.0;
    for (uint32_t k = 0; k < def.images.size(); ++k) {
        const DialogImage& img = def.images[k];
        auto* widget = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, 10, 10, MyGUI::Align::Default,
                                                          "Backgound2");
        imageWidgets[k] = widget;
        widget->setColour(toColour(img.ImgColour));
        widget->setAlpha(img.ImgOpacity);
        widget->setImageTexture(img.ImgFile);
        const double iw = img.ImgSize.x, ih = img.ImgSize.y;
        const double b = iw / ih;
        double w = iw, h = ih;
        const bool fullWidth = W >= H ? (img.SizeType == 2 ? b <= a : b > a) : (img.SizeType == 2 ? b > a : b <= a);
        switch (img.SizeType) {
        case 1: w = W * iw; h = H * ih; break;
        case 2:
        case 3:
            if (fullWidth) {
                w = W;
                h = W * ih / iw;
            } else {
                w = H * iw / ih;
                h = H;
            }
            break;
        default: break;
        }
        const int pw = toPixel(w), ph = toPixel(h);
        const uint32_t code = img.ImgAlign;
        const int col = (code >= 1 && code <= 9) ? int((code - 1) % 3) : 2;
        const int row = (code >= 1 && code <= 9) ? int((code - 1) / 3) : 0;
        double x, y;
        if (img.SizeType == 2 || img.SizeType == 3) {
            x = col == 0 ? 0 : col == 1 ? (W - pw) / 2 : W - pw;
            y = row == 0 ? 0 : row == 1 ? (H - ph) / 2 : H - ph;
        } else {
            const MyGUI::IntPoint anchor = gridAnchor(code, W, H);
            x = anchor.left;
            y = anchor.top;
        }
        widget->setCoord(toPixel(x + img.ImgOffset.x), toPixel(y + img.ImgOffset.y), pw, ph);
        widget->setVisible(img.StartInScene);
    }

    // The dialog box.
    dialogBox = gui->createWidget<MyGUI::Widget>("PanelSkin", (W - 800) / 2, H - 200, 800, 200, MyGUI::Align::Default,
                                                 "Main");
    dialogBox->setAlpha(0.0f);
    dialogBox->setInheritsAlpha(false);
    dialogBox->setVisible(true);
    textPanel = dialogBox->createWidget<MyGUI::Widget>("RimPanel", 0, 50, 800, 150, MyGUI::Align::Default);
    textPanel->setInheritsAlpha(false);
    darkPanel = dialogBox->createWidget<MyGUI::Widget>("WhiteSkin", 0, 50, 800, 150, MyGUI::Align::Default);
    darkPanel->setInheritsAlpha(false);
    darkPanel->setColour(MyGUI::Colour::Black);
    darkPanel->setAlpha(0.5f);
    auto makeCaption = [this](int left, int top) {
        auto* edit = textPanel->createWidget<MyGUI::EditBox>("WordWrapEmpty", left, top, 784, 134, MyGUI::Align::Default);
        edit->setInheritsAlpha(false);
        edit->setCaption("");
        edit->setEditMultiLine(true);
        edit->setEditReadOnly(true);
        edit->setEditWordWrap(true);
        edit->setEditStatic(true);
        return edit;
    };
    captionShadow = makeCaption(9, 9);
    captionShadow->setTextColour(MyGUI::Colour::Black);
    captionText = makeCaption(8, 8);
    captionText->setTextColour(MyGUI::Colour::White);
    MyGUI::ControllerItem* item =
        MyGUI::ControllerManager::getInstance().createItem(ControllerSmoothCaption::getClassTypeName());
    captionController = item ? item->castType<ControllerSmoothCaption>(false) : nullptr;
    if (item && !captionController)
        delete item;
    continueMark = textPanel->createWidget<MyGUI::ImageBox>("ImageBox", 762, 112, 32, 32, MyGUI::Align::Default);
    continueMark->setInheritsAlpha(false);
    continueMark->setImageTexture("hudDialogCog.png");
    namePlate = dialogBox->createWidget<MyGUI::Widget>("RimPanel", 0, 0, 150, 40, MyGUI::Align::Default);
    namePlate->setInheritsAlpha(false);
    auto makeName = [this](int left, int top) {
        auto* text = namePlate->createWidget<MyGUI::TextBox>("TextBox", left, top, 134, 32, MyGUI::Align::Default);
        text->setInheritsAlpha(false);
        text->setTextAlign(MyGUI::Align::Left | MyGUI::Align::VCenter);
        text->setFontName("ArialBold.14");
        text->setCaption(kPlaceholderName);
        return text;
    };
    nameShadow = makeName(9, 5);
    nameShadow->setTextColour(MyGUI::Colour::Black);
    nameText = makeName(8, 4);
    nameText->setTextColour(MyGUI::Colour(1.0f, 0.5f, 0.0f, 1.0f));
    const int nameWidth = nameText->getTextSize().width;
    if (nameWidth > 134) {
        namePlate->setSize(nameWidth + 32, 40);
        nameText->setSize(nameWidth, 32);
        nameShadow->setSize(nameWidth, 32);
    }

    if (!def.CutMusic.empty() && def.CutMusic != " ")
        playMusic(def.CutMusic, true);
}

void DialogCutScene::playMusic(const std::string& file, bool fadeIn)
{
    if (!soundManager)
        return;
    music = soundManager->createSound(kMusicName, file, true, false);
    if (!music)
        return;
    music->play();
    if (fadeIn)
        music->fadeIn(0.5f);
}

void DialogCutScene::placeCharacter(uint32_t c, uint32_t alignment, float offsetX, float offsetY)
{
    ActorView* view = actor(c);
    if (!view || view->pose == 0 || !dialog || c >= dialog->characters.size())
        return;
    const std::vector<CharacterPose>& poses = dialog->characters[c].poses;
    if (view->pose > poses.size())
        return;
    const Ogre::Vector2 pivot = poses[view->pose - 1].ImgPivot;
    const MyGUI::IntSize size = viewSize();
    const MyGUI::IntPoint anchor = gridAnchor(alignment, size.width, size.height);
    view->image->setPosition(toPixel(double(anchor.left) + offsetX - pivot.x),
                             toPixel(double(anchor.top) + offsetY - pivot.y));
}

void DialogCutScene::restart()
{
    loadFile();
    endTimer = 0.0f;
    actionIndex = 0;
    state = CUTSCENE_PLAYING;
    executeAction();
}

void DialogCutScene::finish()
{
    state = CUTSCENE_FINISHED;
    if (gameSession && dialog)
        gameSession->creditsRequested = dialog->CreditsAfterEnd ? 1 : 0;
}

void DialogCutScene::stop()
{
    finish();
}

void DialogCutScene::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (!loaded)
        return;
    firstFrame = false;
    if (state != CUTSCENE_PLAYING)
        return;
    auto key = [keyboard](OIS::KeyCode code) { return keyboard && keyboard->isKeyDown(code); };

    if (key(OIS::KC_ESCAPE) || joystickButton(joystick, gameSession, 7)) {
        finish();
        return;
    }
    if (endTimer > kEndDelay)
        finish();
    const uint32_t count = actionCount();
    if (actionIndex >= count)
        endTimer += dt;
    if (key(OIS::KC_SPACE) || joystickButton(joystick, gameSession, 1))
        dt *= kFastForward;
    updateFades(dt);

    const bool confirmKey = key(OIS::KC_RETURN) || joystickButton(joystick, gameSession, 0);
    if (typing) {
        // Both lengths in GUI characters, so texts beyond ASCII complete too.
        if (captionText->getCaption().size() == guiLength(fullText)) {
            continueMark->setVisible(true);
            typing = false;
            captionText->setCaption(toUTFString(fullText));
        } else if (captionController) {
            captionController->addTime(captionText, typingSpeed * dt);
        }
        if (confirmKey) {
            if (!inputLatch)
                captionText->setCaption(toUTFString(fullText));
            inputLatch = 1;
        } else {
            inputLatch = 0;
        }
        captionShadow->setCaption(captionText->getCaption());
        return;
    }
    if (actionIndex < count) {
        const bool click = mouse && mouse->getMouseState().buttonDown(OIS::MB_Left);
        if (confirmKey || click) {
            if (!inputLatch) {
                ++actionIndex;
                executeAction();
                if (actionIndex == count) {
                    if (fader)
                        fader->startFadeOut(kEndFadeTime);
                    if (music)
                        music->fadeOut(kEndFadeTime);
                }
            }
            inputLatch = 1;
        } else {
            inputLatch = 0;
        }
    }
}

MyGUI::IntPoint DialogCutScene::moveTarget(const MyGUI::Widget* w, float dirX, float dirY) const
{
    const double W = viewSize().width;
    const MyGUI::IntCoord coord = w->getCoord();
    return {toPixel(coord.left + kMoveDistance * dirX * (W + coord.width)),
            toPixel(coord.top + kMoveDistance * dirY * (W + coord.height))};
}

void DialogCutScene::startMove(ActorView& view, float dirX, float dirY, float time, uint32_t function)
{
    MyGUI::ControllerPosition* controller =
        createMoveController(moveTarget(view.image, dirX, dirY), time, static_cast<int>(function));
    MyGUI::ControllerManager::getInstance().addItem(view.image, controller);
    view.moveController = controller;
}

// The plate stands over the speaker's side of the box: the left end for a speaker on the left
// half of the view (or none found), the right end for one on the right half.
void DialogCutScene::placeNamePlate(const DialogAction_PhraseParam& phrase)
{
    const ActorView* speaker = nullptr;
    if (dialog)
        for (uint32_t c = 0; c < dialog->characters.size() && !speaker; ++c) {
            const ActorView* view = actor(c);
            if (view && view->image->getVisible() && dialog->characters[c].CharName == phrase.getName())
                speaker = view;
        }
    if (!speaker)
        speaker = actor(phrase.PhraseCharIndx);
    bool right = false;
    if (speaker && speaker->image->getVisible()) {
        const MyGUI::IntCoord at = speaker->image->getAbsoluteCoord();
        right = at.left + at.width / 2 > viewSize().width / 2;
    }
    namePlate->setPosition(right ? dialogBox->getWidth() - namePlate->getWidth() : 0, namePlate->getTop());
}

void DialogCutScene::executeAction()
{
    BasicActionParams* action = currentAction();
    if (!action)
        return;
    typing = true;
    action->started = true;
    bool chain = false;

    switch (action->type) {
    case DialogActionType::Phrase: {
        auto* phrase = static_cast<DialogAction_PhraseParam*>(action);
        dialogBox->setVisible(true);
        const float skinAlpha = phrase->PhraseType == 1 ? 0.0f : 1.0f;
        namePlate->setAlpha(skinAlpha);
        textPanel->setAlpha(skinAlpha);
        darkPanel->setVisible(phrase->PhraseType == 1);
        nameText->setCaption(toUTFString(phrase->getName()));
        nameShadow->setCaption(nameText->getCaption());
        placeNamePlate(*phrase);
        // A language the phrase has no text for shows an empty caption.
        const uint32_t language = gameSession && gameSession->settings ? gameSession->settings->Language : 0;
        const std::string text = formatWrappedText(phrase->getText(language), nullptr);
        if (captionController)
            captionController->notifyChangeProperty(captionText, "Widget_Caption", text);
        else
            captionText->setCaption("");
        fullText = text;
        typingSpeed = phrase->PhraseSpeed;
        continueMark->setVisible(false);
        phrase->started = false;
        if (phrase->PhraseChangeM)
            setCharacterPose(phrase->PhraseCharIndx, phrase->PhraseMoodIndx);
        break;
    }
    case DialogActionType::LeaveActor: {
        auto* leave = static_cast<DialogAction_LeaveAParam*>(action);
        finishTransitions(actionIndex);
        if (ActorView* view = actor(leave->ActorIndx)) {
            if (!leave->FadeOut && !leave->MoveOut) {
                view->image->setVisible(false);
                leave->started = false;
            }
            if (leave->MoveOut)
                startMove(*view, leave->MoveDir.x, leave->MoveDir.y, leave->MoveTime, leave->MoveFunc);
        } else {
            leave->started = false;
        }
        if (leave->HidePastDialog)
            dialogBox->setVisible(false);
        chain = leave->ParralelAction;
        break;
    }
    case DialogActionType::EnterActor: {
        auto* enter = static_cast<DialogAction_EnterAParam*>(action);
        finishTransitions(actionIndex);
        if (ActorView* view = actor(enter->ActorIndx)) {
            view->image->setVisible(true);
            if (!enter->FadeIn && !enter->MoveIn) {
                view->image->setAlpha(1.0f);
                view->image->setPosition(0, 0);
                enter->started = false;
            }
            if (!enter->FadeIn)
                view->image->setAlpha(1.0f);
            if (!enter->MoveIn) {
                view->image->setPosition(0, 0);
                placeCharacter(enter->ActorIndx, enter->DestAlign, enter->DestOffset.x, enter->DestOffset.y);
            } else {
                startMove(*view, enter->MoveDir.x, enter->MoveDir.y, enter->MoveTime, enter->MoveFunc);
            }
        } else {
            enter->started = false;
        }
        if (enter->HidePastDialog)
            dialogBox->setVisible(false);
        chain = enter->ParralelAction;
        break;
    }
    case DialogActionType::ChangePose: {
        auto* change = static_cast<DialogAction_ChangMParam*>(action);
        setCharacterPose(change->CMcharIndx, change->CMmoodIndx);
        chain = true;
        break;
    }
    case DialogActionType::ImageState: {
        auto* image = static_cast<DialogAction_ImageStateParam*>(action);
        MyGUI::ImageBox* widget = imageWidget(image->SIimgIndx);
        if (!widget) {
            image->started = false;
        } else if (image->SIimgfade) {
            if (image->SIsetVis) {
                widget->setVisible(true);
                widget->setAlpha(0.0f);
            }
        } else {
            widget->setVisible(image->SIsetVis);
            image->started = false;
        }
        chain = image->SIparalAction;
        break;
    }
    case DialogActionType::SwapMusic: {
        auto* swap = static_cast<DialogAction_SwapMusicParam*>(action);
        if (music && soundManager)
            soundManager->destroySound(music);
        music = nullptr;
        // No name, or a single blank, means silence.
        if (!swap->SMmusicName.empty() && swap->SMmusicName != " ")
            playMusic(swap->SMmusicName, false);
        chain = true;
        break;
    }
    case DialogActionType::PlaySound: {
        auto* sound = static_cast<DialogAction_PlaySoundParam*>(action);
        if (sound->sound)
            sound->sound->play();
        chain = true;
        break;
    }
    default: break;
    }

    if (chain) {
        ++actionIndex;
        executeAction();
    }
}

void DialogCutScene::setCharacterPose(uint32_t c, uint32_t m)
{
    ActorView* view = actor(c);
    if (!view || !dialog || c >= dialog->characters.size() || m >= dialog->characters[c].poses.size())
        return;
    const CharacterPose& pose = dialog->characters[c].poses[m];
    view->image->setImageTexture(pose.Img);
    view->image->setSize(toPixel(pose.ImgSize.x), toPixel(pose.ImgSize.y));
    view->pose = m + 1;
}

void DialogCutScene::finishTransitions(uint32_t n)
{
    const uint32_t end = std::min(n, actionCount());
    for (uint32_t i = 0; i < end; ++i) {
        BasicActionParams* action = dialog->actions[i].get();
        if (!action->started)
            continue;
        if (action->type == DialogActionType::EnterActor) {
            auto* enter = static_cast<DialogAction_EnterAParam*>(action);
            enter->started = false;
            if (ActorView* view = enter->FadeIn ? actor(enter->ActorIndx) : nullptr) {
                view->image->setAlpha(1.0f);
                view->image->setVisible(true);
            }
        } else if (action->type == DialogActionType::LeaveActor) {
            auto* leave = static_cast<DialogAction_LeaveAParam*>(action);
            leave->started = false;
            if (ActorView* view = leave->FadeOut ? actor(leave->ActorIndx) : nullptr) {
                view->image->setAlpha(0.0f);
                view->image->setVisible(false);
            }
        }
    }
}

void DialogCutScene::updateFades(float dt)
{
    const uint32_t count = actionCount();
    if (actionIndex >= count)
        return;
    for (uint32_t i = 0; i <= actionIndex; ++i) {
        BasicActionParams* action = dialog->actions[i].get();
        if (!action->started)
            continue;
        if (action->type == DialogActionType::ImageState) {
            auto* image = static_cast<DialogAction_ImageStateParam*>(action);
            if (!image->SIimgfade)
                continue;
            MyGUI::ImageBox* widget = imageWidget(image->SIimgIndx);
            image->fadeElapsed += dt;
            const float alpha = image->SIsetVis ? remapClamped(0, image->SIfadeTime, image->fadeElapsed, 0, 1)
                                                : remapClamped(0, image->SIfadeTime, image->fadeElapsed, 1, 0);
            if (widget)
                widget->setAlpha(alpha);
            if (image->SIfadeTime <= image->fadeElapsed) {
                image->started = false;
                if (!image->SIsetVis && widget)
                    widget->setVisible(false);
            }
        } else if (action->type == DialogActionType::EnterActor) {
            auto* enter = static_cast<DialogAction_EnterAParam*>(action);
            ActorView* view = actor(enter->ActorIndx);
            if (enter->FadeIn) {
                enter->fadeRemaining -= dt;
                if (enter->fadeRemaining > 0) {
                    if (view)
                        view->image->setAlpha(1.0f - enter->fadeRemaining / enter->FadeTime);
                } else if (!(enter->MoveIn && enter->moveRemaining > 0)) {
                    if (view)
                        view->image->setAlpha(1.0f);
                    enter->started = false;
                }
            }
            if (enter->MoveIn) {
                enter->moveRemaining -= dt;
                if (enter->moveRemaining <= 0 && !(enter->FadeIn && enter->fadeRemaining > 0))
                    enter->started = false;
            }
        } else if (action->type == DialogActionType::LeaveActor) {
            auto* leave = static_cast<DialogAction_LeaveAParam*>(action);
            ActorView* view = actor(leave->ActorIndx);
            if (leave->FadeOut) {
                leave->fadeRemaining -= dt;
                if (leave->fadeRemaining > 0) {
                    if (view)
                        view->image->setAlpha(leave->fadeRemaining / leave->FadeTime);
                } else if (!(leave->MoveOut && leave->moveRemaining > 0)) {
                    if (view) {
                        view->image->setAlpha(0.0f);
                        view->image->setVisible(false);
                    }
                    leave->started = false;
                }
            }
            if (leave->MoveOut) {
                leave->moveRemaining -= dt;
                if (leave->moveRemaining <= 0 && !(leave->FadeOut && leave->fadeRemaining > 0)) {
                    if (view)
                        view->image->setVisible(false);
                    leave->started = false;
                }
            }
        }
    }
}
