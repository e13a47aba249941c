#include "CutsceneTestSupport.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/BinaryIO.h"
#include "definitions/DefinitionCache.h"

#include <functional>

using namespace cutscenetest;

namespace {

std::unique_ptr<BasicActionParams> readBack(const BasicActionParams& written, uint32_t languageCount,
                                            const std::vector<uint8_t>& bytes, bool& wholeRecord)
{
    BinaryReader in(bytes);
    auto action = createDialogAction(written.type, languageCount, nullptr);
    wholeRecord = action->readCache(in, 0, 0) && in.atEnd();
    return action;
}

}  // namespace

TEST(DialogActions, RecordsHaveTheirSizeAndReadBackWhole)
{
    struct Case {
        const char* what;
        std::function<std::unique_ptr<BasicActionParams>()> make;
        uint32_t languages;
        size_t size;
    };
    const Case cases[] = {
        {"phrase, one language",
         [] {
             auto p = std::make_unique<DialogAction_PhraseParam>(1);
             p->PhraseName = "abc";
             p->texts[0] = "xy";
             return p;
         },
         1, 53},
        {"phrase, no language count",
         [] { return std::make_unique<DialogAction_PhraseParam>(0); }, 0, 4 + 4 + 4 + 21},
        {"phrase, three languages",
         [] { return std::make_unique<DialogAction_PhraseParam>(3); }, 3, 4 * 5 + 21},
        {"leave", [] { return std::make_unique<DialogAction_LeaveAParam>(); }, 0, 28},
        {"enter", [] { return std::make_unique<DialogAction_EnterAParam>(); }, 0, 48},
        {"change pose", [] { return std::make_unique<DialogAction_ChangMParam>(); }, 0, 12},
        {"image state", [] { return std::make_unique<DialogAction_ImageStateParam>(); }, 0, 11},
        {"swap music",
         [] {
             auto m = std::make_unique<DialogAction_SwapMusicParam>();
             m->SMmusicName = "ab";
             return m;
         },
         0, 12},
        {"sound", [] { return std::make_unique<DialogAction_PlaySoundParam>(nullptr); }, 0, 4},
        {"base", [] { return std::make_unique<BasicActionParams>(); }, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto action = c.make();
        BinaryWriter out;
        action->writeCache(out, 0, 0);
        EXPECT_EQ(out.bytes().size(), c.size);
        bool whole = false;
        const auto back = readBack(*action, c.languages, out.bytes(), whole);
        EXPECT_TRUE(whole);
        EXPECT_EQ(back->type, action->type);
        // One byte short is a damaged record (except for the empty base record).
        if (c.size > 0) {
            std::vector<uint8_t> cut(out.bytes().begin(), out.bytes().end() - 1);
            readBack(*action, c.languages, cut, whole);
            EXPECT_FALSE(whole);
        }
    }
}

TEST(DialogActions, PhraseTextsFollowTheLanguageCount)
{
    SequenceTree tree("Fixture", kFixtureIni);
    IniSource ini;
    ini.loadOrThrow(CutsceneSequence::iniPath("Fixture"));
    const struct {
        uint32_t languages;
        std::vector<std::string> texts;
    } cases[] = {
        {0, {"only text"}},
        {2, {"Hold the line.", "Mantened la linea."}},
        {3, {"Hold the line.", "Mantened la linea.", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.languages);
        DialogAction_PhraseParam phrase(c.languages);
        phrase.load(ini, 0, 0);
        EXPECT_EQ(phrase.texts, c.texts);
        EXPECT_EQ(phrase.getName(), "Ilsa");
        EXPECT_EQ(phrase.getText(0), c.texts[0]);
        EXPECT_EQ(phrase.getText(static_cast<uint32_t>(c.texts.size())), "");

        BinaryWriter out;
        phrase.writeCache(out, 0, 0);
        bool whole = false;
        const auto back = readBack(phrase, c.languages, out.bytes(), whole);
        EXPECT_TRUE(whole);
        EXPECT_EQ(static_cast<DialogAction_PhraseParam&>(*back).texts, c.texts);
    }
}

TEST(DialogActions, MovesAreNormalisedAndTimersStartFull)
{
    SequenceTree tree("Fixture", kFixtureIni);
    IniSource ini;
    ini.loadOrThrow(CutsceneSequence::iniPath("Fixture"));

    DialogAction_LeaveAParam leave;
    leave.load(ini, 1, 0);
    DialogAction_EnterAParam enter;
    enter.load(ini, 2, 0);
    BinaryWriter leaveOut, enterOut;
    leave.writeCache(leaveOut, 1, 0);
    enter.writeCache(enterOut, 2, 0);
    bool whole = false;
    const auto leaveBack = readBack(leave, 0, leaveOut.bytes(), whole);
    const auto enterBack = readBack(enter, 0, enterOut.bytes(), whole);

    const DialogAction_LeaveAParam* leaves[] = {&leave, static_cast<const DialogAction_LeaveAParam*>(leaveBack.get())};
    for (const auto* l : leaves) {
        EXPECT_FLOAT_EQ(l->MoveDir.x, 0.6f);
        EXPECT_FLOAT_EQ(l->MoveDir.y, 0.8f);
        EXPECT_EQ(l->fadeRemaining, 0.5f);
        EXPECT_EQ(l->moveRemaining, 2.0f);
    }
    const DialogAction_EnterAParam* enters[] = {&enter, static_cast<const DialogAction_EnterAParam*>(enterBack.get())};
    for (const auto* e : enters) {
        EXPECT_EQ(e->MoveDir, Ogre::Vector2::ZERO);
        EXPECT_EQ(e->fadeRemaining, 0.25f);
        EXPECT_EQ(e->moveRemaining, 1.0f);
        EXPECT_EQ(e->DestOffset, Ogre::Vector2(-10, 5));
    }

    // A direction stored unnormalised is normalised on reading.
    DialogAction_LeaveAParam raw;
    raw.MoveDir = Ogre::Vector2(0, -5);
    BinaryWriter rawOut;
    raw.writeCache(rawOut, 0, 0);
    const auto rawBack = readBack(raw, 0, rawOut.bytes(), whole);
    EXPECT_EQ(static_cast<DialogAction_LeaveAParam&>(*rawBack).MoveDir, Ogre::Vector2(0, -1));
}

TEST(DialogActions, SoundActionOwnsItsSoundThroughTheSoundManager)
{
    SequenceTree tree("Fixture", kFixtureIni);
    testsupport::HeadlessOgre ogre;
    audio::SoundManager sounds("");
    const std::string name = DialogAction_PlaySoundParam::soundName(4, 0);
    EXPECT_EQ(name, "DA_PS_4_0");

    CutsceneSequence seq;
    ASSERT_TRUE(seq.loadSequenceIni("Fixture", 2, &sounds));
    auto* action = dynamic_cast<DialogAction_PlaySoundParam*>(seq.entries[0].dialog()->actions[4].get());
    ASSERT_NE(action, nullptr);
    ASSERT_NE(action->sound, nullptr);
    EXPECT_EQ(action->sound->getName(), name);
    EXPECT_EQ(action->sound->getFileName(), "alarm.ogg");
    EXPECT_EQ(sounds.getSound(name), action->sound);

    // The cache reader makes it the same way; the sequence's end takes it away.
    ASSERT_TRUE(seq.writeSequenceCache("Fixture"));
    seq.clear();
    EXPECT_FALSE(sounds.hasSound(name));
    ASSERT_TRUE(seq.readSequenceCache("Fixture", 2, &sounds));
    action = dynamic_cast<DialogAction_PlaySoundParam*>(seq.entries[0].dialog()->actions[4].get());
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(sounds.getSound(name), action->sound);
    seq.clear();
    EXPECT_FALSE(sounds.hasSound(name));

    // Without a sound manager (the data builder) no sound is kept.
    ASSERT_TRUE(seq.loadSequenceIni("Fixture", 2, nullptr));
    action = dynamic_cast<DialogAction_PlaySoundParam*>(seq.entries[0].dialog()->actions[4].get());
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->sound, nullptr);
    EXPECT_EQ(action->PSsoundName, "alarm.ogg");
}
