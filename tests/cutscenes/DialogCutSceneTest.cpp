// The dialog player's scene on an 800 x 600 view, its frame update and its end (run under Xvfb).
#include "DialogTestRig.h"
#include "audio/Sound.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <vector>

using dialogtest::DialogRig;
using dialogtest::character;

namespace {

MyGUI::IntCoord coordOf(const MyGUI::Widget* w)
{
    return w->getAbsoluteCoord();
}

std::string captionOf(const MyGUI::Widget* w)
{
    return static_cast<const MyGUI::TextBox*>(w)->getCaption().asUTF8();
}

// Phrases of the given texts, in order; with `credits` the scene asks for the credits.
std::string phraseScene(const std::vector<std::string>& texts, bool credits = false)
{
    std::string s = "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 3\n";
    s += credits ? "CreditsAfterEnd = true\n" : "";
    s += "Num_Action = " + std::to_string(texts.size()) + "\n";
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string a = "Action_" + std::to_string(i + 1);
        s += a + "_Type = 1\n" + a + "_PhraseName = \"Speaker" + std::to_string(i + 1) + "\"\n" + a +
             "_PhraseText = \"" + texts[i] + "\"\n" + a + "_PhraseSpeed = 1\n";
    }
    return s;
}

}  // namespace

TEST(DialogCutScene, BuildPlacesEveryPartOnAnEightHundredBySixHundredView)
{
    DialogRig rig;
    const std::string ini = "[Sequence]\nnum_Cutscenes = 2\n[CutScene_1]\nCutScene_Type = 3\nNum_Characters = 1\n" +
                            character(1, 5, 0, 0, 200, 400, 100, 300) +
                            "Num_Images = 3\n"
                            "Img_1_ImgFile = st_pic_map.png\nImg_1_ImgSize = 1200 1000\nImg_1_SizeType = 3\n"
                            "Img_1_ImgAlign = 5\nImg_1_StartInScene = true\nImg_1_ImgOpacity = 1\n"
                            "Img_2_ImgFile = st_pic_map.png\nImg_2_ImgSize = 0.5 0.25\nImg_2_SizeType = 1\n"
                            "Img_2_ImgAlign = 1\n"
                            "Img_3_ImgFile = st_pic_map.png\nImg_3_ImgSize = 64 32\nImg_3_SizeType = 0\n"
                            "Img_3_ImgAlign = 9\nImg_3_ImgOffset = -10 -10\n"
                            "BackGroundImg = st_bg_dawn.png\nBackGroundAlpha = 0.8\n"
                            "CameraType = 0\nCamPosition = 5 6 7\nCamFOV = 0\nCutMusic = \"\"\n"
                            "[CutScene_2]\nCutScene_Type = 3\nCameraType = 1\nCamPosition = 10 20 30\n"
                            "CamLookAt = 10 20 0\nCamFOV = 50\nCamMinClip = 0.5\nCamMaxClip = 1500\n"
                            "CutMusic = \" \"\n";
    auto sequence = rig.loadSequence("Build", ini);
    {
        auto player = rig.makePlayer(*sequence, 0);
        player->loadFile();
        ASSERT_TRUE(player->loaded);
        EXPECT_EQ(coordOf(player->dialogBox), MyGUI::IntCoord(0, 400, 800, 200));
        const MyGUI::IntCoord caption = coordOf(player->captionText);
        EXPECT_EQ(caption.left, 8);
        EXPECT_EQ(caption.top - 400, 58);
        EXPECT_EQ(coordOf(player->continueMark), MyGUI::IntCoord(762, 562, 32, 32));
        EXPECT_EQ(coordOf(player->nameText).point(), MyGUI::IntPoint(8, 404));
        EXPECT_EQ(captionOf(player->nameText), DialogCutScene::kPlaceholderName);
        EXPECT_EQ(coordOf(player->background), MyGUI::IntCoord(0, 0, 800, 600));
        EXPECT_FLOAT_EQ(player->background->getAlpha(), 0.8f);

        ASSERT_EQ(player->actors.size(), 1u);
        EXPECT_EQ(player->actors[0].pose, 1u);
        EXPECT_EQ(coordOf(player->actors[0].image), MyGUI::IntCoord(300, 0, 200, 400));
        EXPECT_TRUE(player->actors[0].image->getVisible());

        ASSERT_EQ(player->imageWidgets.size(), 3u);
        EXPECT_EQ(coordOf(player->imageWidgets[0]), MyGUI::IntCoord(40, 0, 720, 600));
        EXPECT_TRUE(player->imageWidgets[0]->getVisible());
        EXPECT_EQ(coordOf(player->imageWidgets[1]).size(), MyGUI::IntSize(400, 150));
        EXPECT_EQ(coordOf(player->imageWidgets[2]), MyGUI::IntCoord(790, 590, 64, 32));
        EXPECT_FALSE(player->imageWidgets[2]->getVisible());

        // Camera type 0 ignores the scene's camera values.
        ASSERT_NE(player->camera, nullptr);
        EXPECT_EQ(rig.viewport()->getCamera(), player->camera);
        EXPECT_EQ(player->camera->getName(), "ZV_dc_cam");
        EXPECT_EQ(player->cameraNode->getPosition(), Ogre::Vector3(0, -10000, 0));
        EXPECT_NEAR(player->camera->getFOVy().valueDegrees(), 45.0f, 1e-3f);
        EXPECT_EQ(player->music, nullptr);

        // A second build changes nothing.
        player->loadFile();
        EXPECT_EQ(rig.scene()->getCameras().size(), 2u);
    }
    // Gone with the player, and the viewport does not keep it.
    EXPECT_FALSE(rig.scene()->hasCamera("ZV_dc_cam"));
    EXPECT_NE(rig.viewport()->getCamera(), nullptr);

    auto player = rig.makePlayer(*sequence, 1);
    player->loadFile();
    EXPECT_EQ(player->cameraNode->getPosition(), Ogre::Vector3(10, 20, 30));
    EXPECT_TRUE(player->cameraNode->getOrientation().zAxis().positionEquals(Ogre::Vector3::UNIT_Z, 1e-3f));
    EXPECT_NEAR(player->camera->getFOVy().valueDegrees(), 50.0f, 1e-3f);
    EXPECT_FLOAT_EQ(player->camera->getNearClipDistance(), 0.5f);
    EXPECT_FLOAT_EQ(player->camera->getFarClipDistance(), 1500.0f);
    EXPECT_TRUE(player->actors.empty());
    EXPECT_TRUE(player->imageWidgets.empty());
    EXPECT_EQ(player->music, nullptr);
}

TEST(DialogCutScene, SceneMusicIsCreatedAndFadedInUnlessTheNameIsBlank)
{
    DialogRig rig;
    auto sequence = rig.loadSequence("Music", "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 3\n"
                                              "CutMusic = \"vt_story_theme.ogg\"\n");
    {
        auto player = rig.makePlayer(*sequence);
        player->loadFile();
        ASSERT_NE(player->music, nullptr);
        EXPECT_TRUE(player->music->isLooping());
        EXPECT_TRUE(rig.sounds.hasSound(DialogCutScene::kMusicName));
    }
    EXPECT_FALSE(rig.sounds.hasSound(DialogCutScene::kMusicName));
}

TEST(DialogCutScene, ATenCharacterPhraseIsWholeAfterItsEighthCharacter)
{
    DialogRig rig;
    auto sequence = rig.loadSequence("Typing", phraseScene({"0123456789", "\xDC" "n" "\xEF" "c" "\xF6" "d" "\xE9" " " "\xBD"}));
    auto player = rig.makePlayer(*sequence);
    player->loadFile();
    player->play();
    ASSERT_EQ(player->state, CUTSCENE_PLAYING);
    EXPECT_TRUE(player->typing);
    // 0.05 s a frame: one character per update.
    for (int i = 0; i < 8; ++i)
        rig.frame(*player, 0.05f);
    EXPECT_EQ(captionOf(player->captionText), "01234567 _");
    EXPECT_TRUE(player->typing);
    EXPECT_FALSE(player->continueMark->getVisible());
    rig.frame(*player, 0.05f);
    EXPECT_FALSE(player->typing);
    EXPECT_TRUE(player->continueMark->getVisible());
    EXPECT_EQ(captionOf(player->captionText), "0123456789");
    EXPECT_EQ(captionOf(player->captionShadow), "0123456789");
    EXPECT_EQ(captionOf(player->nameText), "Speaker1");

    // Text beyond ASCII completes too: lengths compare in the GUI's characters.
    rig.tap(*player);
    EXPECT_EQ(player->actionIndex, 1u);
    for (int i = 0; i < 40 && player->typing; ++i)
        rig.frame(*player, 0.05f);
    EXPECT_FALSE(player->typing);
    EXPECT_EQ(player->captionText->getCaption(), toUTFString("\xDC" "n" "\xEF" "c" "\xF6" "d" "\xE9" " " "\xBD"));
}

TEST(DialogCutScene, ConfirmShowsTheWholeCaptionFirstAndPassesOneStepPerPress)
{
    DialogRig rig;
    auto sequence = rig.loadSequence("Confirm", phraseScene({"A long first phrase", "Second phrase", "Third"}));
    auto player = rig.makePlayer(*sequence);
    player->loadFile();
    player->play();

    // Held from the previous screen: the latch starts set, so nothing happens.
    rig.engine.keyboard.press(OIS::KC_RETURN);
    rig.frame(*player);
    rig.frame(*player);
    EXPECT_TRUE(player->typing);
    EXPECT_NE(captionOf(player->captionText), "A long first phrase");
    rig.engine.keyboard.release(OIS::KC_RETURN);
    rig.frame(*player);

    // A left click while typing does nothing.
    rig.engine.mouse.press(OIS::MB_Left);
    rig.frame(*player);
    rig.engine.mouse.release(OIS::MB_Left);
    rig.frame(*player);
    EXPECT_TRUE(player->typing);
    EXPECT_EQ(player->actionIndex, 0u);

    // Return while typing: the whole caption; the mark comes with the next update.
    rig.engine.keyboard.press(OIS::KC_RETURN);
    rig.frame(*player);
    EXPECT_EQ(captionOf(player->captionText), "A long first phrase");
    EXPECT_FALSE(player->continueMark->getVisible());
    // Held on: it passes nothing.
    for (int i = 0; i < 5; ++i)
        rig.frame(*player);
    EXPECT_TRUE(player->continueMark->getVisible());
    EXPECT_FALSE(player->typing);
    EXPECT_EQ(player->actionIndex, 0u);
    rig.engine.keyboard.release(OIS::KC_RETURN);
    rig.frame(*player);

    // A click passes on once the caption is whole.
    rig.engine.mouse.press(OIS::MB_Left);
    for (int i = 0; i < 3; ++i)
        rig.frame(*player);
    rig.engine.mouse.release(OIS::MB_Left);
    rig.frame(*player);
    EXPECT_EQ(player->actionIndex, 1u);
    EXPECT_EQ(player->fullText, "Second phrase");
    EXPECT_EQ(captionOf(player->nameText), "Speaker2");

    // The pad counts only once the session enables it.
    rig.engine.joystick.setButton(0, true);
    rig.frame(*player);
    rig.engine.joystick.setButton(0, false);
    rig.frame(*player);
    EXPECT_TRUE(player->typing);
    rig.session.gamepadEnabled = 1;
    rig.engine.joystick.setButton(0, true);
    rig.frame(*player);
    EXPECT_EQ(captionOf(player->captionText), "Second phrase");
    EXPECT_EQ(player->state, CUTSCENE_PLAYING);
}

TEST(DialogCutScene, ThreeStepsNeedThreeConfirmsAndTheSceneEndsHalfASecondLater)
{
    DialogRig rig;
    rig.session.creditsRequested = 1;
    auto sequence = rig.loadSequence("Three", phraseScene({"", "", ""}));
    auto player = rig.makePlayer(*sequence);
    player->loadFile();
    player->play();
    for (uint32_t step = 1; step <= 2; ++step) {
        rig.frame(*player);  // the empty caption is whole at once
        EXPECT_TRUE(player->continueMark->getVisible());
        rig.tap(*player);
        EXPECT_EQ(player->actionIndex, step);
    }
    EXPECT_EQ(rig.fader.getMode(), FadeOverlay::Idle);
    rig.frame(*player);
    rig.tap(*player);
    EXPECT_EQ(player->actionIndex, 3u);
    // Passing the last one fades the screen out.
    EXPECT_EQ(rig.fader.getMode(), FadeOverlay::FadingOut);
    EXPECT_DOUBLE_EQ(rig.fader.getDuration(), 0.5);

    // Fast-forward does not shorten the end delay.
    rig.engine.keyboard.press(OIS::KC_SPACE);
    int frames = 0;
    while (player->state == CUTSCENE_PLAYING && frames < 200) {
        rig.frame(*player, 0.1f);
        ++frames;
    }
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);
    EXPECT_GE(frames, 5);
    EXPECT_LE(frames, 7);
    // The scene does not ask for the credits: the request is cleared.
    EXPECT_EQ(rig.session.creditsRequested, 0);
}

TEST(DialogCutScene, SpaceSpeedsTypingAndFadesFiveTimes)
{
    DialogRig rig;
    auto sequence = rig.loadSequence(
        "Fast", "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 3\nNum_Images = 1\n"
                "Img_1_ImgFile = st_pic_map.png\nImg_1_ImgSize = 10 10\nNum_Action = 2\n"
                "Action_1_Type = 5\nAction_1_SIimgIndx = 0\nAction_1_SIsetVis = true\nAction_1_SIimgfade = true\n"
                "Action_1_SIfadeTime = 1\nAction_1_SIparalAction = true\n"
                "Action_2_Type = 1\nAction_2_PhraseText = \"abcdefghijklmnopqrstuvwxyz\"\nAction_2_PhraseSpeed = 1\n");
    auto player = rig.makePlayer(*sequence);
    player->loadFile();
    player->play();
    ASSERT_EQ(player->actionIndex, 1u);
    rig.engine.keyboard.press(OIS::KC_SPACE);
    // 0.01 s a frame, five times as long: 0.05 s of typing, one character, and 0.05 of the fade.
    for (int i = 0; i < 4; ++i)
        rig.frame(*player, 0.01f);
    EXPECT_EQ(captionOf(player->captionText), "abcd _");
    EXPECT_NEAR(player->imageWidgets[0]->getAlpha(), 0.2f, 1e-4f);
}

TEST(DialogCutScene, EscapeEndsTheSceneAtOnceWithItsCreditsFlag)
{
    DialogRig rig;
    auto sequence = rig.loadSequence("Skip", phraseScene({"A phrase being typed", "Never reached"}, true));
    auto player = rig.makePlayer(*sequence);
    player->loadFile();
    player->play();
    rig.frame(*player);
    ASSERT_TRUE(player->typing);
    rig.engine.keyboard.press(OIS::KC_ESCAPE);
    rig.frame(*player);
    EXPECT_EQ(player->state, CUTSCENE_FINISHED);
    EXPECT_EQ(rig.session.creditsRequested, 1);
    EXPECT_EQ(player->actionIndex, 0u);
    EXPECT_EQ(rig.fader.getMode(), FadeOverlay::Idle);

    // stop() ends the same way.
    rig.session.creditsRequested = 0;
    player.reset();
    auto again = rig.makePlayer(*sequence);
    again->loadFile();
    again->play();
    again->stop();
    EXPECT_EQ(again->state, CUTSCENE_FINISHED);
    EXPECT_EQ(rig.session.creditsRequested, 1);
}

TEST(DialogCutScene, FirstContactSceneDrawsBackgroundActorAndTypedCaption)
{
    DialogRig rig;
    CutsceneSequence sequence;
    ASSERT_TRUE(sequence.loadSequenceIni("Cs_FirstContact_In", 2, &rig.sounds));
    ASSERT_EQ(sequence.entries.at(1).type, 3u);
    auto player = rig.makePlayer(sequence, 1);
    player->loadFile();
    player->play();
    for (int i = 0; i < 40; ++i)
        rig.frame(*player);
    ASSERT_TRUE(player->typing);
    const testsupport::Screenshot shot = rig.engine.screenshot();
    playertest::CutsceneEngine::keep(shot, "dialog_first_contact");

    // Typed so far: light glyphs in the caption area.
    const MyGUI::IntCoord caption = coordOf(player->captionText);
    EXPECT_GT(shot.countNear({255, 255, 255}, caption.left, caption.top, caption.width, 30, 60), 40);
    EXPECT_EQ(captionOf(player->nameText), "Commander");

    // Return shows the whole caption; the cog under it says the next press passes on.
    rig.tap(*player);
    ASSERT_FALSE(player->typing);
    const testsupport::Screenshot whole = rig.engine.screenshot();
    playertest::CutsceneEngine::keep(whole, "dialog_first_contact_whole");
    const MyGUI::IntCoord mark = coordOf(player->continueMark);
    EXPECT_GT(whole.countNear({255, 128, 0}, mark.left, mark.top, mark.width, mark.height, 70), 100);
    EXPECT_LT(shot.countNear({255, 128, 0}, mark.left, mark.top, mark.width, mark.height, 70), 10);

    // The commander stands where his pose puts him, on the dialog box and clear of it: hiding him
    // changes those pixels.
    const MyGUI::IntCoord actor = coordOf(player->actors[0].image);
    EXPECT_EQ(actor.point(), MyGUI::IntPoint(230 - 128, 600 - 200 - 384));
    EXPECT_LE(actor.bottom(), coordOf(player->dialogBox).top);
    player->actors[0].image->setVisible(false);
    rig.engine.render();
    const testsupport::Screenshot noActor = rig.engine.screenshot();
    int changed = 0;
    for (int y = actor.top; y < 400; y += 4)
        for (int x = actor.left; x < actor.right(); x += 4)
            changed += shot.at(x, y).near(noActor.at(x, y), 10) ? 0 : 1;
    EXPECT_GT(changed, 500);

    // The background picture covers the view: without it, the engine's grey shows.
    player->background->setVisible(false);
    rig.engine.render();
    const testsupport::Screenshot bare = rig.engine.screenshot();
    EXPECT_TRUE(bare.at(600, 100).near({64, 64, 64}, 8)) << bare.at(600, 100);
    EXPECT_FALSE(noActor.at(600, 100).near({64, 64, 64}, 8)) << noActor.at(600, 100);
}
