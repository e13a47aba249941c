// The dialog player running its actions: chaining, transitions, moves, fades and poses
// (run under Xvfb).
#include "DialogTestRig.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

using dialogtest::DialogRig;
using dialogtest::character;

namespace {

// A scene of `characters` actors (three poses, 200, 400 and 600 x 100, pivot (0, 0), shown at
// (300, 50) in pose `defPose`), two free images and the given action keys.
std::string scene(int characters, int actionCount, const std::string& actions, int defPose = 1)
{
    std::string s = "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 3\nNum_Characters = " +
                    std::to_string(characters) + "\n";
    for (int c = 1; c <= characters; ++c)
        s += character(c, 1, 300, 50, 200, 100, 0, 0, 3, defPose);
    s += "Num_Images = 2\nImg_1_ImgFile = st_pic_map.png\nImg_1_ImgSize = 32 32\n"
         "Img_2_ImgFile = st_pic_map.png\nImg_2_ImgSize = 32 32\nImg_2_StartInScene = true\nImg_2_ImgOpacity = 1\n";
    return s + "Num_Action = " + std::to_string(actionCount) + "\n" + actions;
}

struct Played {
    std::unique_ptr<CutsceneSequence> sequence;
    std::unique_ptr<DialogCutScene> player;
};

Played play(DialogRig& rig, const std::string& ini)
{
    Played p;
    p.sequence = rig.loadSequence("Actions", ini);
    p.player = rig.makePlayer(*p.sequence);
    p.player->loadFile();
    p.player->play();
    return p;
}

}  // namespace

TEST(DialogActionsRun, ParallelActionsRunWithOneConfirm)
{
    DialogRig rig;
    Played p = play(rig, scene(2, 4,
                               "Action_1_Type = 1\nAction_1_PhraseText = \"\"\n"
                               "Action_2_Type = 2\nAction_2_ActorIndx = 0\nAction_2_ParralelAction = true\n"
                               "Action_3_Type = 3\nAction_3_ActorIndx = 1\nAction_3_ParralelAction = true\n"
                               "Action_3_DestAlign = 9\nAction_3_DestOffset = -10 -20\n"
                               "Action_4_Type = 1\nAction_4_PhraseName = Second\nAction_4_PhraseText = \"Hi\"\n"));
    DialogCutScene& player = *p.player;
    EXPECT_EQ(player.actionIndex, 0u);
    rig.frame(player);
    rig.tap(player);
    EXPECT_EQ(player.actionIndex, 3u);
    EXPECT_EQ(player.fullText, "Hi");
    EXPECT_FALSE(player.actors[0].image->getVisible());
    // Placed at once by its anchor: (800, 600) + (-10, -20) minus the pivot of pose 2.
    EXPECT_TRUE(player.actors[1].image->getVisible());
    EXPECT_EQ(player.actors[1].image->getAbsolutePosition(), MyGUI::IntPoint(790, 580));
    EXPECT_FLOAT_EQ(player.actors[1].image->getAlpha(), 1.0f);
    EXPECT_FALSE(p.sequence->entries[0].dialog()->actions[1]->started);
}

TEST(DialogActionsRun, ALeaveEndsTheFadesOfEarlierEntersAndLeaves)
{
    DialogRig rig;
    Played p = play(rig, scene(3, 3,
                               "Action_1_Type = 3\nAction_1_ActorIndx = 0\nAction_1_FadeIn = true\n"
                               "Action_1_FadeTime = 1\nAction_1_DestAlign = 1\n"
                               "Action_2_Type = 2\nAction_2_ActorIndx = 1\nAction_2_FadeOut = true\n"
                               "Action_2_FadeTime = 1\nAction_2_ParralelAction = true\n"
                               "Action_3_Type = 3\nAction_3_ActorIndx = 2\nAction_3_DestAlign = 1\n"));
    DialogCutScene& player = *p.player;
    const auto& actions = p.sequence->entries[0].dialog()->actions;
    for (int i = 0; i < 6; ++i)
        rig.frame(player);
    // Six frames into a one-second fade in.
    EXPECT_NEAR(player.actors[0].image->getAlpha(), 0.1f, 0.01f);
    EXPECT_TRUE(actions[0]->started);

    rig.tap(player);
    // The enter still fading in is made whole; the leave that fades out with a parallel enter
    // behind it is ended by that enter at once: hidden, transparent.
    EXPECT_FALSE(actions[0]->started);
    EXPECT_FLOAT_EQ(player.actors[0].image->getAlpha(), 1.0f);
    EXPECT_TRUE(player.actors[0].image->getVisible());
    EXPECT_FALSE(actions[1]->started);
    EXPECT_FALSE(player.actors[1].image->getVisible());
    EXPECT_FLOAT_EQ(player.actors[1].image->getAlpha(), 0.0f);
    EXPECT_EQ(player.actionIndex, 2u);
    EXPECT_TRUE(player.actors[2].image->getVisible());
}

TEST(DialogActionsRun, ALeaveMovesOffScreenByTheViewWidthPlusItsOwn)
{
    DialogRig rig;
    Played p = play(rig, scene(1, 2,
                               "Action_1_Type = 2\nAction_1_ActorIndx = 0\nAction_1_MoveOut = true\n"
                               "Action_1_MoveTime = 0.2\nAction_1_MoveDir = -1 0\n"
                               "Action_2_Type = 1\nAction_2_PhraseText = \"\"\n"));
    DialogCutScene& player = *p.player;
    MyGUI::ImageBox* image = player.actors[0].image;
    ASSERT_NE(player.actors[0].moveController, nullptr);
    // The GUI moves it in real time: wait for the target, 300 - 1.2 x (800 + 200).
    for (int i = 0; i < 600 && image->getLeft() != -900; ++i)
        rig.frame(player);
    EXPECT_EQ(image->getPosition(), MyGUI::IntPoint(-900, 50));
    // Hidden once the move's time has run out in play time.
    for (int i = 0; i < 15; ++i)
        rig.frame(player);
    EXPECT_FALSE(image->getVisible());
    EXPECT_FALSE(p.sequence->entries[0].dialog()->actions[0]->started);
}

TEST(DialogActionsRun, ImageFadesFollowTheirTime)
{
    DialogRig rig;
    Played p = play(rig, scene(0, 3,
                               "Action_1_Type = 5\nAction_1_SIimgIndx = 0\nAction_1_SIsetVis = true\n"
                               "Action_1_SIimgfade = true\nAction_1_SIfadeTime = 1\nAction_1_SIparalAction = true\n"
                               "Action_2_Type = 5\nAction_2_SIimgIndx = 1\nAction_2_SIsetVis = false\n"
                               "Action_2_SIimgfade = true\nAction_2_SIfadeTime = 1\n"
                               "Action_3_Type = 1\nAction_3_PhraseText = \"\"\n"));
    DialogCutScene& player = *p.player;
    MyGUI::ImageBox* shown = player.imageWidgets[0];
    MyGUI::ImageBox* hidden = player.imageWidgets[1];
    EXPECT_TRUE(shown->getVisible());
    EXPECT_FLOAT_EQ(shown->getAlpha(), 0.0f);
    for (int i = 0; i < 30; ++i)
        rig.frame(player);
    EXPECT_NEAR(shown->getAlpha(), 0.5f, 1e-4f);
    EXPECT_NEAR(hidden->getAlpha(), 0.5f, 1e-4f);
    for (int i = 30; i < 58; ++i)
        rig.frame(player);
    EXPECT_TRUE(hidden->getVisible());
    for (int i = 58; i < 61; ++i)
        rig.frame(player);
    EXPECT_FALSE(hidden->getVisible());
    EXPECT_FLOAT_EQ(shown->getAlpha(), 1.0f);
    EXPECT_TRUE(shown->getVisible());
}

TEST(DialogActionsRun, PoseChangesChainAndPhrasesCanChangeAPose)
{
    DialogRig rig;
    Played p = play(rig, scene(2, 3,
                               "Action_1_Type = 4\nAction_1_CMcharIndx = 1\nAction_1_CMmoodIndx = 2\n"
                               "Action_2_Type = 1\nAction_2_PhraseText = \"\"\nAction_2_PhraseChangeM = true\n"
                               "Action_2_PhraseCharIndx = 0\nAction_2_PhraseMoodIndx = 0\n"
                               "Action_3_Type = 1\nAction_3_PhraseText = \"\"\n",
                               2));
    DialogCutScene& player = *p.player;
    // Both ran at the start: the pose change does not wait.
    EXPECT_EQ(player.actionIndex, 1u);
    EXPECT_EQ(player.actors[1].pose, 3u);
    EXPECT_EQ(player.actors[1].image->getSize(), MyGUI::IntSize(600, 100));
    EXPECT_EQ(player.actors[0].pose, 1u);
    EXPECT_EQ(player.actors[0].image->getSize(), MyGUI::IntSize(200, 100));
    // The position stays.
    EXPECT_EQ(player.actors[0].image->getPosition(), MyGUI::IntPoint(300, 50));
}

TEST(DialogActionsRun, IndicesOutsideTheDefinitionDoNothingAndChainAsTheirTypeSays)
{
    DialogRig rig;
    rig.settings.Language = 4;
    Played p = play(rig, scene(1, 8,
                               "Action_1_Type = 4\nAction_1_CMcharIndx = 7\n"
                               "Action_2_Type = 4\nAction_2_CMcharIndx = 0\nAction_2_CMmoodIndx = 9\n"
                               "Action_3_Type = 5\nAction_3_SIimgIndx = 5\nAction_3_SIimgfade = true\n"
                               "Action_3_SIsetVis = true\nAction_3_SIfadeTime = 1\nAction_3_SIparalAction = true\n"
                               "Action_4_Type = 3\nAction_4_ActorIndx = 6\nAction_4_FadeIn = true\n"
                               "Action_4_FadeTime = 1\nAction_4_ParralelAction = true\n"
                               "Action_5_Type = 2\nAction_5_ActorIndx = 6\nAction_5_MoveOut = true\n"
                               "Action_5_MoveTime = 1\nAction_5_MoveDir = 1 0\nAction_5_ParralelAction = true\n"
                               "Action_6_Type = 6\nAction_6_SMmusicName = \" \"\n"
                               "Action_7_Type = 1\nAction_7_PhraseText = \"Only one language\"\n"
                               "Action_7_PhraseChangeM = true\nAction_7_PhraseCharIndx = 3\n"
                               "Action_8_Type = 6\nAction_8_SMmusicName = \"vt_story_theme.ogg\"\n"));
    DialogCutScene& player = *p.player;
    EXPECT_EQ(player.actionIndex, 6u);
    EXPECT_EQ(player.actors[0].pose, 1u);
    EXPECT_EQ(player.music, nullptr);
    // A language the phrase lacks shows an empty caption, whole at once.
    EXPECT_EQ(player.fullText, "");
    for (int i = 0; i < 70; ++i)
        rig.frame(player);
    EXPECT_TRUE(player.continueMark->getVisible());
    rig.tap(player);
    EXPECT_EQ(player.actionIndex, 8u);
    EXPECT_NE(player.music, nullptr);
}
