#pragma once
// A small sequence source covering every action type, a private game tree to read it from, and
// a field-by-field comparison of two dialog scenes.
#include "cutscenes/CutsceneSequence.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace cutscenetest {

// Three entries: a dialog scene with two characters, an image, every scene value and the seven
// action types plus two out-of-range types; an entry without keys (type 0); an entry of type 4
// with two images and nothing else.
inline const char* const kFixtureIni = R"(# test sequence
[Sequence]
num_Cutscenes = 3

[CutScene_1]
CutScene_Type = 3
Num_Characters = 2
Char_1_CharName = "Commander Ilsa"
Char_1_TextColour = 1 0.5 0 0.75
Char_1_StartInScene = true
Char_1_ImgColour = 0.9 0.8 0.7
Char_1_ImgOpacity = 0.85
Char_1_BlendType = 2
Char_1_CharAlign = 7
Char_1_CharOffset = 12 -30
Char_1_DefPose = 2
Char_1_NumPoses = 2
Char_1_Pose_1_Name = "calm"
Char_1_Pose_1_Img = "cmd_calm.png"
Char_1_Pose_1_ImgSize = 256 384
Char_1_Pose_1_ImgPivot = 128 380
Char_1_Pose_1_DefExp = 1
Char_1_Pose_1_NumExps = 2
Char_1_Pose_1_Exp_1_Name = "smile"
Char_1_Pose_1_Exp_1_Img = "cmd_smile.png"
Char_1_Pose_1_Exp_1_ImgSize = 64 32
Char_1_Pose_1_Exp_1_ImgPivot = 32 16
Char_1_Pose_1_Exp_1_PosOffset = 5 6
Char_1_Pose_1_Exp_2_Name = "frown"
Char_1_Pose_2_Name = "alert"
Char_1_Pose_2_Img = "cmd_alert.png"
Char_1_Pose_2_ImgSize = 250 390
Char_1_Pose_2_ImgPivot = 125 390
Char_2_CharName = Pilot
Char_2_StartInScene = false
Char_2_NumPoses = 0
Num_Images = 1
Img_1_ImgFile = "map.png"
Img_1_ImgSize = 0.5 0.25
Img_1_SizeType = 1
Img_1_StartInScene = yes
Img_1_ImgColour = 0.2 0.4 0.6 0.8
Img_1_ImgOpacity = 0.5
Img_1_BlendType = 1
Img_1_ImgAlign = 5
Img_1_ImgOffset = -4 8
CreditsAfterEnd = true
CutMusic = "story.ogg"
SceneMap = "Town"
BackGroundImg = "sky.png"
BackGroundAlpha = 0.6
CameraType = 1
CamPosition = 10 20 30
CamLookAt = -1 0 2.5
CamFOV = 50
CamMinClip = 0.5
CamMaxClip = 1500
Num_Action = 9
Action_1_Type = 1
Action_1_PhraseName = "Ilsa"
Action_1_PhraseText = "only text"
Action_1_PhraseText_1 = "Hold the line."
Action_1_PhraseText_2 = "Mantened la linea."
Action_1_PhrasePortrait = "cmd_face.png"
Action_1_PhraseSpeed = 1.5
Action_1_PhraseChangeM = true
Action_1_PhraseCharIndx = 1
Action_1_PhraseMoodIndx = 1
Action_1_PhraseExpIndx = 3
Action_1_PhraseType = 1
Action_2_Type = 2
Action_2_ActorIndx = 1
Action_2_HidePastDialog = true
Action_2_ParralelAction = true
Action_2_FadeOut = true
Action_2_FadeTime = 0.5
Action_2_MoveOut = true
Action_2_MoveTime = 2
Action_2_MoveDir = 3 4
Action_2_MoveFunc = 1
Action_3_Type = 3
Action_3_ActorIndx = 1
Action_3_ActorPose = 2
Action_3_ActorExpres = 1
Action_3_HidePastDialog = false
Action_3_ParralelAction = true
Action_3_FadeIn = true
Action_3_FadeTime = 0.25
Action_3_MoveIn = true
Action_3_MoveTime = 1
Action_3_MoveDir = 0 0
Action_3_MoveFunc = 4
Action_3_DestAlign = 3
Action_3_DestOffset = -10 5
Action_4_Type = 4
Action_4_CMcharIndx = 1
Action_4_CMmoodIndx = 1
Action_4_CMexpIndx = 2
Action_5_Type = 7
Action_5_PSsoundName = "alarm.ogg"
Action_6_Type = 5
Action_6_SIimgIndx = 0
Action_6_SIsetVis = true
Action_6_SIimgfade = true
Action_6_SIfadeTime = 0.75
Action_6_SIparalAction = true
Action_7_Type = 6
Action_7_SMmusicName = "tension.ogg"
Action_8_Type = 0
Action_9_Type = 9

[CutScene_2]

[CutScene_3]
CutScene_Type = 4
Num_Images = 2
)";

// An empty game tree with the working directory in Bin/Game, holding `text` as the source of
// sequence `name` when text is not null.
struct SequenceTree {
    explicit SequenceTree(const std::string& name = "", const char* text = nullptr)
    {
        if (text)
            writeSource(name, text);
    }
    void writeSource(const std::string& name, const std::string& text) const
    {
        testsupport::writeTextFile(tree.path("Data/Cutscene/" + name + ".ini"), text);
    }
    std::string cacheFile(const std::string& name) const { return tree.path("Data/System/" + name + ".ZVN"); }

    testsupport::TempGameTree tree{"Bin/Game/plugins.cfg"};
    testsupport::ScopedWorkDir cwd{tree.workDir()};
};

void expectSameScene(const DialogCutSceneParams& a, const DialogCutSceneParams& b);
void expectSameSequence(const CutsceneSequence& a, const CutsceneSequence& b);

}  // namespace cutscenetest
