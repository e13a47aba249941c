#include "screens/GS_Credits.h"

#include "audio/Sound.h"
#include "core/FadeOverlay.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "gui/PanelInput.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <OIS/OIS.h>

#include <algorithm>

namespace {

const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);

const char* const kThanks[] = {
    "The Ogre 3D developers",
    "The MyGUI developers",
    "The OpenAL Soft developers",
    "The FFmpeg developers",
    "The Debian project",
};

const char* const kLibraryLogos[] = {"C_ogre_Logo2.png", "C_MyGUI_Logo2.png", "C_Ogremax_logo.png",
                                     "C_Raknet_Logo.png"};


}  // namespace

GS_Credits::GS_Credits(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                       audio::SoundManager* soundManager_, MyGUI::Gui* gui_, FadeOverlay* fadeOverlay_,
                       const std::string&, GameSession* session_, Ogre::Viewport* viewport_,
                       SceneCreator* sceneCreator_, GlobalSounds* globalSounds_)
{
    window = window_;
    sceneManager = sceneManager_;
    soundManager = soundManager_;
    sharedBlock = nullptr;
    gui = gui_;
    fadeOverlay = fadeOverlay_;
    session = session_;
    globalSounds = globalSounds_;
    viewport = viewport_;
    sceneCreator = sceneCreator_;
    mouseWasDown = 1;
    firstFrame = 1;
    startStep = 0;
    step = 0;
    stateId = 15;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;
    if (globalSounds && globalSounds->musicVoice())
        globalSounds->musicVoice()->stop();
    name = session ? session->getCutsceneName() : std::string();
    MyGUI::PointerManager::getInstance().setVisible(false);
    scrollPos = 0.0f;
    speed = 0.0f;
    fadeTimer = 0.0f;
    fastScroll = 1;
    leaving = 0;
    if (fadeOverlay)
        fadeOverlay->setAlpha(1.0f);
    createPage();
}

GS_Credits::~GS_Credits()
{
    if (page)
        gui->destroyWidget(page);
    if (backdrop)
        gui->destroyWidget(backdrop);
    MyGUI::PointerManager::getInstance().setVisible(false);
}

void GS_Credits::createPage()
{
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    backdrop = gui->createWidget<MyGUI::Widget>("WhiteSkin", 0, 0, view.width, view.height, MyGUI::Align::Default,
                                                "Backgound");
    backdrop->setColour(MyGUI::Colour::Black);
    page = gui->createWidget<MyGUI::Widget>("PanelSkin", (view.width - 800) / 2, 0, 800, 3000, MyGUI::Align::Default,
                                            "OverPause");
    page->setAlpha(0.0f);

    const auto image = [this](int left, int top, int width, int height, const std::string& file) {
        auto* box = page->createWidget<MyGUI::ImageBox>("ImageBox", left, top, width, height, MyGUI::Align::Default);
        box->setInheritsAlpha(false);
        box->setImageTexture(file);
    };
    const auto text = [this](int left, int top, const MyGUI::UString& caption, const char* font,
                             const MyGUI::Colour& colour) {
        auto* box = page->createWidget<MyGUI::TextBox>("TextBox", left, top, 400, 32, MyGUI::Align::Default);
        box->setInheritsAlpha(false);
        box->setFontName(font);
        box->setTextColour(colour);
        box->setCaption(caption);
        return box;
    };
    const auto heading = [&](int top, const char* caption, const char* font) {
        text(200, top, caption, font, kOrange);
    };
    const auto nameLine = [&](int top, const std::string& caption) {
        text(300, top, toUTFString(caption), "ArialBold.14", MyGUI::Colour::White);
    };

    image(144, 130, 512, 256, "VNT_LogoB.png");
    heading(606, "PROJECT LEAD:", "ArialBold.20");
    nameLine(656, "The Vantorel team");
    heading(806, "CHARACTER ARTWORK & 2D BACKGROUND:", "ArialBold.14");
    nameLine(856, "Drawn by the game's own image scripts");
    heading(1006, "SPECIAL THANKS:", "ArialBold.20");
    int top = 1056;
    for (const char* line : kThanks) {
        nameLine(top, line);
        top += 30;
    }
    const int lastNameTop = top - 30;
    const int logoOffsets[] = {300, 458, 616, 774};
    for (size_t i = 0; i < 4; ++i)
        image(272, lastNameTop + logoOffsets[i], 256, 128, kLibraryLogos[i]);
    const int closingTop = lastNameTop + 1302;
    image(0, closingTop, 800, 256, "OrvelSplash2.png");
    image(0, closingTop, 800, 256, "OrvelSplash1.png");
    MyGUI::TextBox* closing =
        text(200, closingTop + 328, toUTFString("Thank you for playing Vantorel"), "ArialBold.14", MyGUI::Colour::White);
    closing->setTextAlign(MyGUI::Align::Center);
}

bool GS_Credits::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (firstFrame) {
        if (fadeOverlay)
            fadeOverlay->startFadeIn(kFadeTime);
        firstFrame = 0;
        return !done;
    }

    if (scrollPos <= kFullSpeedUntil && !leaving) {
        if (speed < 1.0f)
            speed = std::min(1.0f, speed + dt * 0.5f);
    } else {
        speed = remapClamped(kSlowFrom, kStopAt, scrollPos, 1.0f, 0.0f);
        if (speed <= 0.01f || leaving) {
            if (fadeTimer == 0.0f && fadeOverlay)
                fadeOverlay->startFadeOut(kFadeTime);
            fadeTimer += dt;
            if (fadeTimer > kFadeTime) {
                nextStateId = 1;
                done = 1;
            }
        }
    }

    scrollPos += dt * speed * (fastScroll ? kFastPixelsPerSecond : kPixelsPerSecond);
    page->setPosition(page->getLeft(), -static_cast<int>(scrollPos));

    const bool padEnabled = session && session->gamepadEnabled;
    const bool confirm = panelinput::keyDown(keyboard, OIS::KC_RETURN) ||
                         (mouse && mouse->getMouseState().buttonDown(OIS::MB_Middle)) ||
                         panelinput::padButtonDown(joystick, padEnabled, 0);
    const bool back = panelinput::keyDown(keyboard, OIS::KC_ESCAPE) || panelinput::padButtonDown(joystick, padEnabled, 7);
    if (confirm) {
        fastScroll = 1;
    } else if (back) {
        if (!fastScroll && !leaving && fadeTimer == 0.0f) {
            leaving = 1;
            if (fadeOverlay)
                fadeOverlay->startFadeOut(kFadeTime);
        }
    } else {
        fastScroll = 0;
    }
    return !done;
}
