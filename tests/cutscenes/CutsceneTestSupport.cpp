#include "CutsceneTestSupport.h"

namespace cutscenetest {

namespace {

void expectSameAction(const BasicActionParams& a, const BasicActionParams& b)
{
    ASSERT_EQ(a.type, b.type);
    if (auto* x = dynamic_cast<const DialogAction_PhraseParam*>(&a)) {
        auto* y = dynamic_cast<const DialogAction_PhraseParam*>(&b);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->PhraseName, y->PhraseName);
        EXPECT_EQ(x->texts, y->texts);
        EXPECT_EQ(x->PhrasePortrait, y->PhrasePortrait);
        EXPECT_EQ(x->PhraseSpeed, y->PhraseSpeed);
        EXPECT_EQ(x->PhraseChangeM, y->PhraseChangeM);
        EXPECT_EQ(x->PhraseCharIndx, y->PhraseCharIndx);
        EXPECT_EQ(x->PhraseMoodIndx, y->PhraseMoodIndx);
        EXPECT_EQ(x->PhraseExpIndx, y->PhraseExpIndx);
        EXPECT_EQ(x->PhraseType, y->PhraseType);
    } else if (auto* x = dynamic_cast<const DialogAction_LeaveAParam*>(&a)) {
        auto* y = dynamic_cast<const DialogAction_LeaveAParam*>(&b);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->ActorIndx, y->ActorIndx);
        EXPECT_EQ(x->HidePastDialog, y->HidePastDialog);
        EXPECT_EQ(x->ParralelAction, y->ParralelAction);
        EXPECT_EQ(x->FadeOut, y->FadeOut);
        EXPECT_EQ(x->FadeTime, y->FadeTime);
        EXPECT_EQ(x->MoveOut, y->MoveOut);
        EXPECT_EQ(x->MoveTime, y->MoveTime);
        EXPECT_EQ(x->MoveDir, y->MoveDir);
        EXPECT_EQ(x->MoveFunc, y->MoveFunc);
        EXPECT_EQ(x->fadeRemaining, y->fadeRemaining);
        EXPECT_EQ(x->moveRemaining, y->moveRemaining);
    } else if (auto* x = dynamic_cast<const DialogAction_EnterAParam*>(&a)) {
        auto* y = dynamic_cast<const DialogAction_EnterAParam*>(&b);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->ActorIndx, y->ActorIndx);
        EXPECT_EQ(x->ActorPose, y->ActorPose);
        EXPECT_EQ(x->ActorExpres, y->ActorExpres);
        EXPECT_EQ(x->HidePastDialog, y->HidePastDialog);
        EXPECT_EQ(x->ParralelAction, y->ParralelAction);
        EXPECT_EQ(x->FadeIn, y->FadeIn);
        EXPECT_EQ(x->FadeTime, y->FadeTime);
        EXPECT_EQ(x->MoveIn, y->MoveIn);
        EXPECT_EQ(x->MoveTime, y->MoveTime);
        EXPECT_EQ(x->MoveDir, y->MoveDir);
        EXPECT_EQ(x->MoveFunc, y->MoveFunc);
        EXPECT_EQ(x->DestAlign, y->DestAlign);
        EXPECT_EQ(x->DestOffset, y->DestOffset);
        EXPECT_EQ(x->fadeRemaining, y->fadeRemaining);
        EXPECT_EQ(x->moveRemaining, y->moveRemaining);
    } else if (auto* x = dynamic_cast<const DialogAction_ChangMParam*>(&a)) {
        auto* y = dynamic_cast<const DialogAction_ChangMParam*>(&b);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->CMcharIndx, y->CMcharIndx);
        EXPECT_EQ(x->CMmoodIndx, y->CMmoodIndx);
        EXPECT_EQ(x->CMexpIndx, y->CMexpIndx);
    } else if (auto* x = dynamic_cast<const DialogAction_ImageStateParam*>(&a)) {
        auto* y = dynamic_cast<const DialogAction_ImageStateParam*>(&b);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->SIimgIndx, y->SIimgIndx);
        EXPECT_EQ(x->SIsetVis, y->SIsetVis);
        EXPECT_EQ(x->SIimgfade, y->SIimgfade);
        EXPECT_EQ(x->SIfadeTime, y->SIfadeTime);
        EXPECT_EQ(x->SIparalAction, y->SIparalAction);
    } else if (auto* x = dynamic_cast<const DialogAction_SwapMusicParam*>(&a)) {
        auto* y = dynamic_cast<const DialogAction_SwapMusicParam*>(&b);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->SMmusicName, y->SMmusicName);
    } else if (auto* x = dynamic_cast<const DialogAction_PlaySoundParam*>(&a)) {
        auto* y = dynamic_cast<const DialogAction_PlaySoundParam*>(&b);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->PSsoundName, y->PSsoundName);
    } else {
        EXPECT_EQ(typeid(a), typeid(BasicActionParams));
        EXPECT_EQ(typeid(b), typeid(BasicActionParams));
    }
}

}  // namespace

void expectSameScene(const DialogCutSceneParams& a, const DialogCutSceneParams& b)
{
    EXPECT_EQ(a.sequenceName, b.sequenceName);
    EXPECT_EQ(a.index, b.index);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.languageCount, b.languageCount);
    ASSERT_EQ(a.characterCount, b.characterCount);
    ASSERT_EQ(a.characters.size(), b.characters.size());
    for (size_t c = 0; c < a.characters.size(); ++c) {
        SCOPED_TRACE("character " + std::to_string(c));
        const DialogCharacter& x = a.characters[c];
        const DialogCharacter& y = b.characters[c];
        EXPECT_EQ(x.CharName, y.CharName);
        EXPECT_EQ(x.TextColour, y.TextColour);
        EXPECT_EQ(x.StartInScene, y.StartInScene);
        EXPECT_EQ(x.ImgColour, y.ImgColour);
        EXPECT_EQ(x.ImgOpacity, y.ImgOpacity);
        EXPECT_EQ(x.BlendType, y.BlendType);
        EXPECT_EQ(x.CharAlign, y.CharAlign);
        EXPECT_EQ(x.CharOffset, y.CharOffset);
        EXPECT_EQ(x.DefPose, y.DefPose);
        ASSERT_EQ(x.NumPoses, y.NumPoses);
        ASSERT_EQ(x.poses.size(), y.poses.size());
        for (size_t p = 0; p < x.poses.size(); ++p) {
            const CharacterPose& xp = x.poses[p];
            const CharacterPose& yp = y.poses[p];
            EXPECT_EQ(xp.Name, yp.Name);
            EXPECT_EQ(xp.Img, yp.Img);
            EXPECT_EQ(xp.ImgSize, yp.ImgSize);
            EXPECT_EQ(xp.ImgPivot, yp.ImgPivot);
            EXPECT_EQ(xp.DefExp, yp.DefExp);
            ASSERT_EQ(xp.NumExps, yp.NumExps);
            ASSERT_EQ(xp.expressions.size(), yp.expressions.size());
            for (size_t e = 0; e < xp.expressions.size(); ++e) {
                EXPECT_EQ(xp.expressions[e].Name, yp.expressions[e].Name);
                EXPECT_EQ(xp.expressions[e].Img, yp.expressions[e].Img);
                EXPECT_EQ(xp.expressions[e].ImgSize, yp.expressions[e].ImgSize);
                EXPECT_EQ(xp.expressions[e].ImgPivot, yp.expressions[e].ImgPivot);
                EXPECT_EQ(xp.expressions[e].PosOffset, yp.expressions[e].PosOffset);
            }
        }
    }
    ASSERT_EQ(a.imageCount, b.imageCount);
    ASSERT_EQ(a.images.size(), b.images.size());
    for (size_t i = 0; i < a.images.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const DialogImage& x = a.images[i];
        const DialogImage& y = b.images[i];
        EXPECT_EQ(x.ImgFile, y.ImgFile);
        EXPECT_EQ(x.ImgSize, y.ImgSize);
        EXPECT_EQ(x.SizeType, y.SizeType);
        EXPECT_EQ(x.StartInScene, y.StartInScene);
        EXPECT_EQ(x.ImgColour, y.ImgColour);
        EXPECT_EQ(x.ImgOpacity, y.ImgOpacity);
        EXPECT_EQ(x.BlendType, y.BlendType);
        EXPECT_EQ(x.ImgAlign, y.ImgAlign);
        EXPECT_EQ(x.ImgOffset, y.ImgOffset);
    }
    EXPECT_EQ(a.BackGroundImg, b.BackGroundImg);
    EXPECT_EQ(a.BackGroundAlpha, b.BackGroundAlpha);
    EXPECT_EQ(a.CutMusic, b.CutMusic);
    EXPECT_EQ(a.SceneMap, b.SceneMap);
    EXPECT_EQ(a.CameraType, b.CameraType);
    EXPECT_EQ(a.CamPosition, b.CamPosition);
    EXPECT_EQ(a.CamLookAt, b.CamLookAt);
    EXPECT_EQ(a.CamFOV, b.CamFOV);
    EXPECT_EQ(a.CamMinClip, b.CamMinClip);
    EXPECT_EQ(a.CamMaxClip, b.CamMaxClip);
    EXPECT_EQ(a.CreditsAfterEnd, b.CreditsAfterEnd);
    ASSERT_EQ(a.actionCount, b.actionCount);
    ASSERT_EQ(a.actions.size(), b.actions.size());
    for (size_t i = 0; i < a.actions.size(); ++i) {
        SCOPED_TRACE("action " + std::to_string(i));
        expectSameAction(*a.actions[i], *b.actions[i]);
    }
}

void expectSameSequence(const CutsceneSequence& a, const CutsceneSequence& b)
{
    ASSERT_EQ(a.entryCount, b.entryCount);
    ASSERT_EQ(a.entries.size(), b.entries.size());
    for (size_t i = 0; i < a.entries.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(a.entries[i].type, b.entries[i].type);
        ASSERT_NE(a.entries[i].dialog(), nullptr);
        ASSERT_NE(b.entries[i].dialog(), nullptr);
        expectSameScene(*a.entries[i].dialog(), *b.entries[i].dialog());
    }
}

}  // namespace cutscenetest
