// The video player (needs an X display: run under Xvfb).
#include "CutsceneTestEngine.h"

#include "core/GameSession.h"
#include "cutscenes/VideoCutScene.h"
#include "platform/DirectShowMovieTexture.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <memory>

using playertest::CutsceneEngine;
using playertest::kBriefingColours;
using testsupport::Rgb;

namespace {
std::unique_ptr<VideoCutScene> startVideo(CutsceneEngine& engine, const std::string& extra,
                                          GameSession* session = nullptr, const std::string& size = "320 180")
{
    engine.writeSequence("Vid", "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 1\n"
                                "VideoFileSize = \"" + size + "\"\nVideo_File = \"Briefing.avi\"\n" + extra);
    auto player = std::make_unique<VideoCutScene>(nullptr, nullptr, nullptr, engine.gui(), nullptr, "", false, 0, session);
    player->setSequenceName("Vid");
    player->loadFile();
    player->play();
    return player;
}
}  // namespace

TEST(VideoCutScene, PlacementKeepsNativeSizeUntilTheVideoIsLargerThanTheView)
{
    const MyGUI::IntSize view(800, 600);
    struct Case {
        float w, h;
        bool force;
        MyGUI::IntCoord expected;
    };
    const Case cases[] = {
        {800, 600, false, {0, 0, 800, 600}},          // the view's size: native
        {801, 600, false, {0, 0, 800, 599}},          // one pixel wider: across the width
        {800, 601, false, {0, 0, 800, 601}},          // one pixel taller, wide video: across the width
        {320.7f, 180.9f, false, {239, 209, 320, 180}},  // fractions truncated
        {320, 180, true, {0, 75, 800, 450}},          // forced, 16:9 kept
        {300, 700, false, {271, 0, 257, 600}},        // tall: across the height
        {0, 0, true, {0, 0, 800, 600}},               // no size given
    };
    for (const Case& c : cases)
        EXPECT_EQ(VideoPlacement(view, c.w, c.h, c.force), c.expected) << c.w << " x " << c.h << " force " << c.force;
}

TEST(VideoCutScene, SetupBuildsTheImageOnTheVideoTexture)
{
    CutsceneEngine engine;
    auto player = startVideo(engine, "Can_Skip = true\nCan_Pause = 1\n", nullptr, "320.7 180.9");
    ASSERT_TRUE(player->loaded);
    ASSERT_FALSE(player->hasFailed());
    EXPECT_EQ(player->kind, 1u);
    EXPECT_TRUE(player->canSkip);
    EXPECT_TRUE(player->canPause);
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
    ASSERT_NE(player->movie, nullptr);
    EXPECT_EQ(player->movie->getMovieTexture()->getWidth(), 320u);
    EXPECT_EQ(player->movie->getMovieTexture()->getHeight(), 180u);
    EXPECT_EQ(player->image->getCoord(), MyGUI::IntCoord(239, 209, 320, 180));
    EXPECT_EQ(player->image->getName(), "geoCUTS_Video");
    EXPECT_EQ(player->background->getName(), "VideoCUTS_BG");
    EXPECT_EQ(player->background->getCoord(), MyGUI::IntCoord(0, 0, 800, 600));

    player->pause();
    EXPECT_EQ(player->state, CUTSCENE_PAUSED);
    EXPECT_FALSE(player->movie->isPlaying());
    player->play();
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
    EXPECT_TRUE(player->movie->isPlaying());
    player->stop();
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);

    // Deleting the player releases the texture everywhere, so the next video can make it again.
    player.reset();
    EXPECT_FALSE(Ogre::TextureManager::getSingleton().resourceExists("DirectShowManualTexture", Ogre::RGN_DEFAULT));
    EXPECT_EQ(MyGUI::RenderManager::getInstance().getTexture("DirectShowManualTexture"), nullptr);
    EXPECT_EQ(engine.gui()->findWidgetT("geoCUTS_Video", false), nullptr);
    auto next = startVideo(engine, "");
    EXPECT_FALSE(next->hasFailed());
}

TEST(VideoCutScene, PlaysToTheEndOfTheVideo)
{
    CutsceneEngine engine;
    auto player = startVideo(engine, "");
    int frames = 0;
    while (player->state != CUTSCENE_FINISHED && frames < 100) {
        player->update(0.05f, nullptr, nullptr, nullptr);
        ++frames;
    }
    EXPECT_FALSE(player->firstFrame);
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);
    EXPECT_GE(frames, 59);
    EXPECT_LE(frames, 62);
}

TEST(VideoCutScene, SkipInputsEndItOnlyWhenSkippingIsAllowed)
{
    struct Input {
        const char* name;
        std::function<void(CutsceneEngine&, bool)> set;
        bool padEnabled;
        bool skips;
    };
    const Input inputs[] = {
        {"Escape", [](CutsceneEngine& e, bool d) { d ? e.keyboard.press(OIS::KC_ESCAPE) : e.keyboard.release(OIS::KC_ESCAPE); }, false, true},
        {"Return", [](CutsceneEngine& e, bool d) { d ? e.keyboard.press(OIS::KC_RETURN) : e.keyboard.release(OIS::KC_RETURN); }, false, true},
        {"left button", [](CutsceneEngine& e, bool d) { d ? e.mouse.press(OIS::MB_Left) : e.mouse.release(OIS::MB_Left); }, false, true},
        {"pad button 0", [](CutsceneEngine& e, bool d) { e.joystick.setButton(0, d); }, true, true},
        {"pad button 0, pad off", [](CutsceneEngine& e, bool d) { e.joystick.setButton(0, d); }, false, false},
        {"Space", [](CutsceneEngine& e, bool d) { d ? e.keyboard.press(OIS::KC_SPACE) : e.keyboard.release(OIS::KC_SPACE); }, false, false},
    };
    CutsceneEngine engine;
    for (const Input& input : inputs) {
        for (bool canSkip : {false, true}) {
            GameSession session(nullptr, nullptr);
            session.gamepadEnabled = input.padEnabled ? 1 : 0;
            auto player = startVideo(engine, canSkip ? "Can_Skip = true\n" : "", &session);
            auto frame = [&] {
                engine.capture();
                player->update(0.02f, &engine.keyboard, &engine.joystick, &engine.mouse);
            };
            // Held from before the video: not a press.
            input.set(engine, true);
            frame();
            frame();
            EXPECT_EQ(player->state, CUTSCENE_PLAYING) << input.name << " held, can skip " << canSkip;
            input.set(engine, false);
            frame();
            input.set(engine, true);
            frame();
            const bool skipped = player->state == CUTSCENE_FINISHED;
            EXPECT_EQ(skipped, canSkip && input.skips) << input.name << ", can skip " << canSkip;
            input.set(engine, false);
            engine.capture();
        }
    }
}

TEST(VideoCutScene, AMissingVideoEndsTheEntryAndKeepsThePictureBlack)
{
    CutsceneEngine engine;
    engine.writeSequence("Vid", "[CutScene_1]\nVideoFileSize = 320 180\nVideo_File = NotThere.avi\n");
    auto player = std::make_unique<VideoCutScene>(nullptr, nullptr, nullptr, engine.gui(), nullptr, "", false, 0, nullptr);
    player->setSequenceName("Vid");
    player->loadFile();
    EXPECT_TRUE(player->hasFailed());
    EXPECT_TRUE(engine.logged("[DSHOW] Error opening video file!"));
    ASSERT_NE(player->movie, nullptr);
    player->play();
    engine.render();
    const testsupport::Screenshot shot = engine.screenshot();
    EXPECT_EQ(shot.at(400, 300), (Rgb{0, 0, 0}));
    player->update(0.016f, nullptr, nullptr, nullptr);
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);
    player.reset();
    EXPECT_FALSE(Ogre::TextureManager::getSingleton().resourceExists("DirectShowManualTexture", Ogre::RGN_DEFAULT));
    // The program goes on: the next entry plays.
    auto next = startVideo(engine, "");
    EXPECT_FALSE(next->hasFailed());
    next->update(0.05f, nullptr, nullptr, nullptr);
    EXPECT_EQ(next->state, CUTSCENE_PLAYING);
}

TEST(VideoCutScene, ShowsTheFirstColourBlockMidWindow)
{
    CutsceneEngine engine;
    auto player = startVideo(engine, "");
    player->update(0.02f, nullptr, nullptr, nullptr);
    engine.render();
    const testsupport::Screenshot shot = engine.screenshot();
    CutsceneEngine::keep(shot, "video_player");
    // The video is 320 x 180 at native size, centred in 800 x 600: (240, 210) to (560, 390).
    EXPECT_TRUE(shot.at(400, 300).near(kBriefingColours[0].centre, 16)) << shot.at(400, 300);
    EXPECT_TRUE(shot.at(245, 215).near(kBriefingColours[0].surround, 16)) << shot.at(245, 215);
    EXPECT_TRUE(shot.at(555, 385).near(kBriefingColours[0].surround, 16)) << shot.at(555, 385);
    // Outside the video the view shows through.
    EXPECT_TRUE(shot.at(100, 100).near(Rgb{64, 64, 64}, 3)) << shot.at(100, 100);
    EXPECT_TRUE(shot.at(400, 200).near(Rgb{64, 64, 64}, 3)) << shot.at(400, 200);
}

TEST(VideoCutScene, TheFirstStorySequenceOpensWithTheBriefingAcrossTheView)
{
    CutsceneEngine engine;
    VideoCutScene player(nullptr, nullptr, nullptr, engine.gui(), nullptr, "", false, 0, nullptr);
    player.setSequenceName("Cs_FirstContact_In");
    player.loadFile();
    player.play();
    ASSERT_FALSE(player.hasFailed());
    EXPECT_TRUE(player.canSkip);
    // 16:9 across the 800 x 600 view.
    EXPECT_EQ(player.image->getCoord(), MyGUI::IntCoord(0, 75, 800, 450));
    auto frame = [&] {
        engine.capture();
        player.update(0.04f, &engine.keyboard, nullptr, &engine.mouse);
    };
    for (int i = 0; i < 30; ++i)
        frame();
    engine.render();
    const testsupport::Screenshot shot = engine.screenshot();
    CutsceneEngine::keep(shot, "story_briefing");
    EXPECT_TRUE(shot.at(400, 300).near(kBriefingColours[1].centre, 16)) << shot.at(400, 300);
    EXPECT_TRUE(shot.at(20, 90).near(kBriefingColours[1].surround, 16)) << shot.at(20, 90);
    EXPECT_EQ(player.state, CUTSCENE_PLAYING);
    engine.keyboard.press(OIS::KC_RETURN);
    frame();
    EXPECT_EQ(player.state, CUTSCENE_FINISHED);
}
