// The cutscene state: its start-up frames, entry after entry, and how it leaves (run under Xvfb).
#include "DialogTestRig.h"
#include "cutscenes/GS_Cutscene.h"

#include <gtest/gtest.h>

#include <memory>

using dialogtest::DialogRig;

namespace {

// A dialog scene of one empty phrase, then an entry of an unknown type (the basic player).
const char* const kTwoEntries = "[Sequence]\nnum_Cutscenes = 2\n"
                                "[CutScene_1]\nCutScene_Type = 3\nNum_Action = 1\n"
                                "Action_1_Type = 1\nAction_1_PhraseText = \"\"\n"
                                "[CutScene_2]\nCutScene_Type = 9\n";

std::unique_ptr<GS_Cutscene> makeState(DialogRig& rig, const std::string& sequence)
{
    rig.session.setCutsceneRequest(true, sequence, "");
    auto state = std::make_unique<GS_Cutscene>(rig.engine.window(), rig.scene(), &rig.sounds, rig.engine.gui(),
                                               &rig.fader, "", &rig.session, rig.viewport(), nullptr,
                                               &rig.globalSounds);
    // As the game core does right after building it.
    rig.session.setCutsceneRequest(false, "", "");
    return state;
}

bool update(DialogRig& rig, GS_Cutscene& state)
{
    rig.engine.capture();
    const bool stay = state.update(1.0f / 60.0f, &rig.engine.keyboard, &rig.engine.joystick, &rig.engine.mouse);
    rig.engine.render();
    return stay;
}

}  // namespace

TEST(CutsceneState, StartsBehindBlackThenPlaysEntryAfterEntryAndLeaves)
{
    DialogRig rig;
    rig.writeSequenceCache("TwoEntries", kTwoEntries);
    rig.session.setNextCutsceneName("");

    // Frame 0: constructed behind a black screen.
    std::unique_ptr<GS_Cutscene> state = makeState(rig, "TwoEntries");
    EXPECT_EQ(state->name, "TwoEntries");
    EXPECT_EQ(state->stateId, 15u);
    EXPECT_EQ(state->getEntryCount(), 2u);
    EXPECT_DOUBLE_EQ(rig.fader.getAlpha(), 1.0);
    EXPECT_EQ(state->getPlayer(), nullptr);
    state->nextStateId = 2;

    // Frame 1: a step behind the black screen.
    EXPECT_TRUE(update(rig, *state));
    EXPECT_EQ(state->getPlayer(), nullptr);
    // Frame 2: the first player is made and started.
    EXPECT_TRUE(update(rig, *state));
    auto* dialog = dynamic_cast<DialogCutScene*>(state->getPlayer());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->state, CUTSCENE_PLAYING);
    EXPECT_TRUE(dialog->firstFrame);
    EXPECT_EQ(rig.fader.getMode(), FadeOverlay::Idle);
    // Frame 3: the fade in starts; the player still waits.
    EXPECT_TRUE(update(rig, *state));
    EXPECT_EQ(rig.fader.getMode(), FadeOverlay::FadingIn);
    EXPECT_DOUBLE_EQ(rig.fader.getDuration(), 0.5);
    EXPECT_TRUE(dialog->firstFrame);
    // Frame 4: its first update.
    EXPECT_TRUE(update(rig, *state));
    EXPECT_FALSE(dialog->firstFrame);

    // Skipping the scene moves on to the next entry within the same frame.
    rig.engine.keyboard.press(OIS::KC_ESCAPE);
    EXPECT_TRUE(update(rig, *state));
    rig.engine.keyboard.release(OIS::KC_ESCAPE);
    EXPECT_EQ(state->getCurrentEntry(), 1u);
    ASSERT_NE(state->getPlayer(), nullptr);
    EXPECT_EQ(dynamic_cast<DialogCutScene*>(state->getPlayer()), nullptr);
    EXPECT_EQ(state->getPlayer()->getSequenceName(), "TwoEntries");

    // The basic player finishes on its first update, and with it the sequence.
    rig.fader.setAlpha(0.0f);
    EXPECT_FALSE(update(rig, *state));
    EXPECT_TRUE(state->done);
    EXPECT_DOUBLE_EQ(rig.fader.getAlpha(), 1.0);
    EXPECT_EQ(rig.session.cutsceneRequested, 0);
    EXPECT_EQ(rig.session.getCutsceneName(), "");
    EXPECT_EQ(state->nextStateId, 2u);
}

TEST(CutsceneState, AQueuedFollowUpBecomesTheNextRequest)
{
    DialogRig rig;
    rig.writeSequenceCache("One", "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 0\n");
    std::unique_ptr<GS_Cutscene> state = makeState(rig, "One");
    state->nextStateId = 2;
    rig.session.setNextCutsceneName("FollowUp");
    int frames = 0;
    while (update(rig, *state) && frames < 20)
        ++frames;
    // Start-up (three frames), then the basic player's single frame.
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(rig.session.cutsceneRequested, 1);
    EXPECT_EQ(rig.session.getCutsceneName(), "FollowUp");
    EXPECT_EQ(rig.session.getNextCutsceneName(), "");
    EXPECT_EQ(state->nextStateId, 2u);
}

TEST(CutsceneState, ASequenceWithoutEntriesLeavesOnItsFirstUpdate)
{
    DialogRig rig;
    // No cache, a damaged one, and one that holds no entries.
    testsupport::writeTextFile(rig.engine.workDir() + "/../../Data/System/Damaged.ZVN", "not a cache");
    rig.writeSequenceCache("Empty", "[Sequence]\nnum_Cutscenes = 0\n");
    for (const char* name : {"Missing", "Damaged", "Empty"}) {
        SCOPED_TRACE(name);
        rig.session.setNextCutsceneName("");
        std::unique_ptr<GS_Cutscene> state = makeState(rig, name);
        EXPECT_EQ(state->getEntryCount(), 0u);
        rig.fader.setAlpha(0.0f);
        EXPECT_FALSE(update(rig, *state));
        EXPECT_EQ(state->getPlayer(), nullptr);
        EXPECT_DOUBLE_EQ(rig.fader.getAlpha(), 1.0);
        EXPECT_EQ(rig.session.cutsceneRequested, 0);
        // Asked for by id 6: back to the title menu.
        EXPECT_EQ(state->nextStateId, 0u);
    }
}

TEST(CutsceneState, AnEntryAfterASceneThatFadedToBlackFadesInAgain)
{
    DialogRig rig;
    const std::string scene = "CutScene_Type = 3\nNum_Action = 1\nAction_1_Type = 1\nAction_1_PhraseText = \"\"\n";
    rig.writeSequenceCache("TwoScenes", "[Sequence]\nnum_Cutscenes = 2\n[CutScene_1]\n" + scene + "[CutScene_2]\n" + scene);
    std::unique_ptr<GS_Cutscene> state = makeState(rig, "TwoScenes");
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(update(rig, *state));
    // Return passes the only phrase: the scene fades to black and ends half a second later.
    rig.engine.keyboard.press(OIS::KC_RETURN);
    ASSERT_TRUE(update(rig, *state));
    rig.engine.keyboard.release(OIS::KC_RETURN);
    ASSERT_EQ(rig.fader.getMode(), FadeOverlay::FadingOut);
    for (int i = 0; i < 60 && state->getCurrentEntry() == 0; ++i)
        ASSERT_TRUE(update(rig, *state));
    ASSERT_EQ(state->getCurrentEntry(), 1u);
    EXPECT_EQ(rig.fader.getMode(), FadeOverlay::FadingIn);
    EXPECT_DOUBLE_EQ(rig.fader.getDuration(), 0.5);
}
