#include "core/GameCore.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "core/ZV_GameState.h"
#include "cutscenes/GS_Cutscene.h"
#include "play/GS_PlayOnly.h"
#include "screens/GS_ChallCampSel.h"
#include "screens/GS_Credits.h"
#include "screens/GS_ListChall.h"
#include "screens/GS_Menu.h"
#include "screens/GS_Options.h"
#include "screens/Priget_Menu_MainMenu.h"
#include "screens/Priget_ProfileLoad.h"
#include "support/GameHarness.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

using testsupport::GameHarness;
using testsupport::HarnessOptions;

TEST(GameCoreTextureFiltering, QualityChoosesFilteringAndAnisotropy)
{
    struct Case {
        int quality;
        Ogre::TextureFilterOptions filtering;
        unsigned anisotropy;
    };
    const Case cases[] = {
        {0, Ogre::TFO_ANISOTROPIC, 8}, {5, Ogre::TFO_ANISOTROPIC, 8}, {-1, Ogre::TFO_ANISOTROPIC, 8},
        {1, Ogre::TFO_ANISOTROPIC, 4}, {2, Ogre::TFO_ANISOTROPIC, 1}, {3, Ogre::TFO_TRILINEAR, 1},
        {4, Ogre::TFO_BILINEAR, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quality);
        const TextureFilteringChoice choice = textureFilteringFor(c.quality);
        EXPECT_EQ(choice.filtering, c.filtering);
        EXPECT_EQ(choice.anisotropy, c.anisotropy);
    }
}

TEST(GameCoreConstruction, SetsUpEngineStateAndStartsAtTheMenu)
{
    HarnessOptions options;
    options.adjustSettings = [](GameSettings& s) { s.TextureQuality = 3; };
    GameHarness game(options);

    auto& materials = Ogre::MaterialManager::getSingleton();
    EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MIN), Ogre::FO_LINEAR);
    EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MAG), Ogre::FO_LINEAR);
    EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MIP), Ogre::FO_LINEAR);
    EXPECT_EQ(materials.getDefaultAnisotropy(), 1u);
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    EXPECT_TRUE(groups.resourceGroupExists("BrefPlaneRG"));
    EXPECT_TRUE(groups.resourceGroupExists("LevelRG"));
    EXPECT_EQ(game.root()->getFrameSmoothingPeriod(), 0.0f);

    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_TRUE(*game.core()->scoreWorkerAlive());
}

TEST(GameCoreUpdate, ProfilePlayTimeGrowsByTheCappedFrameTimeInTheMenus)
{
    HarnessOptions options;
    options.frameTime = 0.3f;  // longer than the longest frame the game takes
    GameHarness game(options);
    GameSession* session = game.session();
    game.runFrames(2);  // no profile yet: nothing to count into

    session->profile = new PlayerProfile(session->profileName, game.core()->randomGenerator());
    const float start = session->profile->playTime;
    EXPECT_EQ(game.runFrames(4), 4);
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_FLOAT_EQ(session->profile->playTime - start, 1.0f);
}

namespace {

size_t rootWidgetCount()
{
    size_t count = 0;
    auto widgets = MyGUI::Gui::getInstance().getEnumerator();
    while (widgets.next())
        ++count;
    return count;
}

}  // namespace

TEST(GameCoreSwitch, NextStateRequestsLeadToTheirStates)
{
    GameHarness game;
    GameSession* session = game.session();
    Ogre::Camera* otherCam = game.sceneManager()->createCamera("OtherCam");
    const size_t widgetsAtMenu = rootWidgetCount();

    struct Case {
        const char* what;
        uint32_t leavingNext;
        std::function<void()> request;        // session requests raised before leaving
        const std::type_info& expected;
        uint32_t stateId, nextStateId;
        uint8_t firstFrame, done;
        std::function<void()> check;          // further checks after the switch
    };
    auto none = [] {};
    const Case cases[] = {
        {"id 1", 1, none, typeid(GS_Menu), 1, 0, 1, 0, none},
        {"id 0", 0, none, typeid(GS_Menu), 1, 0, 1, 0, none},
        {"id 9", 9, none, typeid(GS_Menu), 1, 0, 1, 0, none},
        {"id 2", 2, none, typeid(GS_PlayOnly), 2, 0, 1, 0, none},
        {"id 3", 3, none, typeid(GS_Options), 3, 0, 0, 0, none},
        {"id 4", 4, none, typeid(GS_ListChall), 4, 0, 0, 0, none},
        {"id 5", 5, none, typeid(GS_ChallCampSel), 8, 4, 0, 1, none},
        {"id 6", 6, none, typeid(GS_Cutscene), 15, 0, 1, 0, none},
        {"id 7", 7, none, typeid(GS_Credits), 15, 0, 1, 0, none},
        {"cutscene request with id 2", 2,
         [&] { session->setCutsceneRequest(true, "Intro", "Second"); },
         typeid(GS_Cutscene), 15, 2, 1, 0,
         [&] {
             EXPECT_EQ(session->cutsceneRequested, 0);
             EXPECT_EQ(session->getCutsceneName(), "");
             EXPECT_EQ(session->secondCutsceneName, "");
         }},
        {"credits and cutscene requests", 3,
         [&] {
             session->creditsRequested = 1;
             // The leaving cutscene state turns its queued follow-up into the request.
             session->setNextCutsceneName("Outro");
         },
         typeid(GS_Credits), 15, 0, 1, 0,
         [&] {
             EXPECT_EQ(session->creditsRequested, 0);
             EXPECT_EQ(session->cutsceneRequested, 1);
             EXPECT_EQ(session->getCutsceneName(), "Outro");
         }},
        {"the cutscene request left by the credits", 4, none, typeid(GS_Cutscene), 15, 4, 1, 0,
         [&] { EXPECT_EQ(session->cutsceneRequested, 0); }},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The title's first frame only starts it (and keeps it whatever it was asked).
        if (game.state()->firstFrame && game.stateAs<GS_Menu>()) {
            ASSERT_TRUE(game.frame());
        }
        // The play reads no request before its four-frame start is over.
        if (auto* play = game.stateAs<GS_PlayOnly>()) {
            game.runFrames(4);
            ASSERT_EQ(play->firstFrame, 0);
        }
        ZV_GameState* leaving = game.state();
        c.request();
        game.core()->currentState()->viewport->setCamera(otherCam);
        leaving->nextStateId = c.leavingNext;
        leaving->done = 1;
        ASSERT_TRUE(game.frame());

        ZV_GameState* now = game.state();
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(typeid(*now), c.expected);
        EXPECT_EQ(now->stateId, c.stateId);
        EXPECT_EQ(now->nextStateId, c.nextStateId);
        EXPECT_EQ(now->firstFrame, c.firstFrame);
        EXPECT_EQ(now->done, c.done);
        EXPECT_EQ(now->quitRequested, 0);
        EXPECT_EQ(now->mouseWasDown, 1);
        EXPECT_EQ(now->session, session);
        // The switch puts "MenuCam" back; the title and options screens then show the map.
        const bool showsMap = typeid(*now) == typeid(GS_Menu) || typeid(*now) == typeid(GS_Options);
        const bool ownCamera = typeid(*now) == typeid(GS_ListChall);
        EXPECT_EQ(game.window()->getViewport(0)->getCamera()->getName(),
                  showsMap ? "BreaCam" : (ownCamera ? "gsLisCCam" : "MenuCam"));
        c.check();
    }

    // The passing state leaves for the challenge list at its first update.
    game.state()->nextStateId = 5;
    game.state()->done = 1;
    game.frame();
    ASSERT_NE(game.stateAs<GS_ChallCampSel>(), nullptr);
    game.frame();
    EXPECT_NE(game.stateAs<GS_ListChall>(), nullptr);

    // Back at the menu, the old screens are all gone: only the menu's widgets are left.
    game.state()->nextStateId = 1;
    game.state()->done = 1;
    game.frame();
    ASSERT_NE(game.stateAs<GS_Menu>(), nullptr);
    EXPECT_EQ(rootWidgetCount(), widgetsAtMenu);
}

namespace {

// A state that only exercises the shared mouse handling.
struct ProbeState : ZV_GameState {
};

struct ButtonCounter {
    int presses = 0, releases = 0;
    void pressed(MyGUI::Widget*, int, int, MyGUI::MouseButton) { ++presses; }
    void released(MyGUI::Widget*, int, int, MyGUI::MouseButton) { ++releases; }
};

}  // namespace

TEST(GameStateMouse, HeldButtonNeedsAReleaseAndEveryUpFrameReleases)
{
    GameHarness game;
    MyGUI::Button* target = game.gui()->createWidget<MyGUI::Button>("Button", 20, 500, 100, 40,
                                                                    MyGUI::Align::Default, "Popup");
    ButtonCounter counter;
    target->eventMouseButtonPressed += MyGUI::newDelegate(&counter, &ButtonCounter::pressed);
    target->eventMouseButtonReleased += MyGUI::newDelegate(&counter, &ButtonCounter::released);
    const int& presses = counter.presses;
    const int& releases = counter.releases;

    ProbeState probe;
    testsupport::ScriptedMouse& mouse = game.mouse();
    auto step = [&](bool down) {
        if (down)
            mouse.press(OIS::MB_Left);
        else
            mouse.release(OIS::MB_Left);
        mouse.capture();
        probe.handleMouse(&mouse);
    };

    // The button is already down when the state starts (held over from the previous screen).
    mouse.moveTo(70, 520);
    step(true);
    step(true);
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(probe.mouseWasDown, 1);

    step(false);
    step(false);
    step(false);
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(releases, 3);
    EXPECT_EQ(probe.mouseWasDown, 0);

    step(true);
    step(true);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(releases, 3);
    step(false);
    EXPECT_EQ(releases, 4);

    game.gui()->destroyWidget(target);
}

TEST(GameCoreQuit, QuitEndsTheLoopOneFrameLaterAndStopsTheWorker)
{
    auto game = std::make_unique<GameHarness>();
    const auto workerAlive = game->core()->scoreWorkerAlive();
    EXPECT_TRUE(*workerAlive);

    // No key ends the game on its own.
    game->press(OIS::KC_ESCAPE);
    game->press(OIS::KC_Q);
    EXPECT_EQ(game->runFrames(5), 5);
    game->keyboard().releaseAll();
    game->frame();

    // Out through the title's quit box: from the main menu back to the profiles, "Quit", "Yes".
    ASSERT_TRUE(game->enterMainMenu());
    auto* menu = game->stateAs<GS_Menu>();
    ASSERT_NE(menu, nullptr);
    game->tapKey(OIS::KC_ESCAPE);
    game->runFrames(20);
    game->clickWidget(menu->profilePanel->quitButton);
    ASSERT_EQ(game->session()->menuPhase, MENU_QUIT_BOX);
    const MyGUI::IntCoord yes = menu->mainMenu->quitYes()->getAbsoluteCoord();
    game->moveMouseTo(yes.left + yes.width / 2, yes.top + yes.height / 2);
    EXPECT_TRUE(game->frame());
    game->mouseDown();
    EXPECT_TRUE(game->frame());
    EXPECT_EQ(menu->quitRequested, 0);
    game->mouseUp();
    // The click is handled in this frame; the loop still runs it to the end.
    EXPECT_TRUE(game->frame());
    EXPECT_EQ(menu->quitRequested, 1);
    EXPECT_FALSE(game->frame());
    EXPECT_TRUE(game->loopEnded());

    game.reset();
    EXPECT_FALSE(*workerAlive);
}
