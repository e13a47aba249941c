#include "cutscenes/DialogActions.h"

#include "audio/SoundManager.h"
#include "cutscenes/CutsceneCacheIO.h"
#include "definitions/DefinitionCache.h"

using cutscene_io::get;
using cutscene_io::put;

std::string cutsceneSection(uint32_t c) { return "CutScene_" + std::to_string(uint64_t(c) + 1); }

std::string actionKey(uint32_t a, const std::string& suffix)
{
    return "Action_" + std::to_string(uint64_t(a) + 1) + suffix;
}

namespace {

// The keys of one action: "Action_<a+1>" + suffix in section "CutScene_<c+1>".
struct ActionKeys {
    const IniSource& ini;
    std::string section;
    uint32_t a;

    std::string text(const char* suffix) const { return ini.text(section, actionKey(a, suffix)); }
    uint32_t uint(const char* suffix) const { return ini.uint(section, actionKey(a, suffix)); }
    float real(const char* suffix) const { return ini.real(section, actionKey(a, suffix)); }
    bool flag(const char* suffix) const { return ini.flag(section, actionKey(a, suffix)); }
    Ogre::Vector2 vec2(const char* suffix) const { return ini.vec2(section, actionKey(a, suffix)); }
};

// A zero vector stays zero.
Ogre::Vector2 direction(Ogre::Vector2 v)
{
    v.normalise();
    return v;
}

}  // namespace

// ---- BasicActionParams ----

void BasicActionParams::load(const IniSource&, uint32_t, uint32_t) {}

bool BasicActionParams::readCache(BinaryReader& in, uint32_t, uint32_t) { return in.ok(); }

void BasicActionParams::writeCache(BinaryWriter&, uint32_t, uint32_t) const {}

// ---- phrase ----

DialogAction_PhraseParam::DialogAction_PhraseParam(uint32_t languageCount_)
    : texts(languageCount_ > 0 ? languageCount_ : 1), languageCount(languageCount_)
{
    type = DialogActionType::Phrase;
}

void DialogAction_PhraseParam::load(const IniSource& ini, uint32_t a, uint32_t c)
{
    const ActionKeys k{ini, cutsceneSection(c), a};
    PhraseName = k.text("_PhraseName");
    texts.assign(languageCount > 0 ? languageCount : 1, std::string());
    if (languageCount == 0) {
        texts[0] = k.text("_PhraseText");
    } else {
        for (uint32_t l = 0; l < languageCount; ++l)
            texts[l] = ini.text(k.section, actionKey(a, "_PhraseText_" + std::to_string(uint64_t(l) + 1)));
    }
    PhrasePortrait = k.text("_PhrasePortrait");
    PhraseSpeed = k.real("_PhraseSpeed");
    PhraseChangeM = k.flag("_PhraseChangeM");
    PhraseCharIndx = k.uint("_PhraseCharIndx");
    PhraseMoodIndx = k.uint("_PhraseMoodIndx");
    PhraseExpIndx = k.uint("_PhraseExpIndx");
    PhraseType = k.uint("_PhraseType");
}

bool DialogAction_PhraseParam::readCache(BinaryReader& in, uint32_t, uint32_t)
{
    PhraseName = readBinString(in);
    texts.assign(languageCount > 0 ? languageCount : 1, std::string());
    for (std::string& t : texts)
        t = readBinString(in);
    PhrasePortrait = readBinString(in);
    in.readF32(PhraseSpeed);
    in.readBool(PhraseChangeM);
    in.readU32(PhraseCharIndx);
    in.readU32(PhraseMoodIndx);
    in.readU32(PhraseExpIndx);
    in.readU32(PhraseType);
    return in.ok();
}

void DialogAction_PhraseParam::writeCache(BinaryWriter& out, uint32_t, uint32_t) const
{
    writeBinString(out, PhraseName);
    for (const std::string& t : texts)
        writeBinString(out, t);
    writeBinString(out, PhrasePortrait);
    out.writeF32(PhraseSpeed);
    out.writeBool(PhraseChangeM);
    out.writeU32(PhraseCharIndx);
    out.writeU32(PhraseMoodIndx);
    out.writeU32(PhraseExpIndx);
    out.writeU32(PhraseType);
}

// ---- actor leaves ----

DialogAction_LeaveAParam::DialogAction_LeaveAParam() { type = DialogActionType::LeaveActor; }

void DialogAction_LeaveAParam::load(const IniSource& ini, uint32_t a, uint32_t c)
{
    const ActionKeys k{ini, cutsceneSection(c), a};
    ActorIndx = k.uint("_ActorIndx");
    HidePastDialog = k.flag("_HidePastDialog");
    ParralelAction = k.flag("_ParralelAction");
    FadeOut = k.flag("_FadeOut");
    FadeTime = k.real("_FadeTime");
    MoveOut = k.flag("_MoveOut");
    MoveTime = k.real("_MoveTime");
    MoveDir = direction(k.vec2("_MoveDir"));
    MoveFunc = k.uint("_MoveFunc");
    fadeRemaining = FadeTime;
    moveRemaining = MoveTime;
}

bool DialogAction_LeaveAParam::readCache(BinaryReader& in, uint32_t, uint32_t)
{
    in.readU32(ActorIndx);
    in.readBool(HidePastDialog);
    in.readBool(ParralelAction);
    in.readBool(FadeOut);
    in.readF32(FadeTime);
    in.readBool(MoveOut);
    in.readF32(MoveTime);
    get(in, MoveDir);
    in.readU32(MoveFunc);
    MoveDir = direction(MoveDir);
    fadeRemaining = FadeTime;
    moveRemaining = MoveTime;
    return in.ok();
}

void DialogAction_LeaveAParam::writeCache(BinaryWriter& out, uint32_t, uint32_t) const
{
    out.writeU32(ActorIndx);
    out.writeBool(HidePastDialog);
    out.writeBool(ParralelAction);
    out.writeBool(FadeOut);
    out.writeF32(FadeTime);
    out.writeBool(MoveOut);
    out.writeF32(MoveTime);
    put(out, MoveDir);
    out.writeU32(MoveFunc);
}

// ---- actor enters ----

DialogAction_EnterAParam::DialogAction_EnterAParam() { type = DialogActionType::EnterActor; }

void DialogAction_EnterAParam::load(const IniSource& ini, uint32_t a, uint32_t c)
{
    const ActionKeys k{ini, cutsceneSection(c), a};
    ActorIndx = k.uint("_ActorIndx");
    ActorPose = k.uint("_ActorPose");
    ActorExpres = k.uint("_ActorExpres");
    HidePastDialog = k.flag("_HidePastDialog");
    ParralelAction = k.flag("_ParralelAction");
    FadeIn = k.flag("_FadeIn");
    FadeTime = k.real("_FadeTime");
    MoveIn = k.flag("_MoveIn");
    MoveTime = k.real("_MoveTime");
    MoveDir = direction(k.vec2("_MoveDir"));
    MoveFunc = k.uint("_MoveFunc");
    DestAlign = k.uint("_DestAlign");
    DestOffset = k.vec2("_DestOffset");
    fadeRemaining = FadeTime;
    moveRemaining = MoveTime;
}

bool DialogAction_EnterAParam::readCache(BinaryReader& in, uint32_t, uint32_t)
{
    in.readU32(ActorIndx);
    in.readU32(ActorPose);
    in.readU32(ActorExpres);
    in.readBool(HidePastDialog);
    in.readBool(ParralelAction);
    in.readBool(FadeIn);
    in.readF32(FadeTime);
    in.readBool(MoveIn);
    in.readF32(MoveTime);
    get(in, MoveDir);
    in.readU32(MoveFunc);
    in.readU32(DestAlign);
    get(in, DestOffset);
    MoveDir = direction(MoveDir);
    fadeRemaining = FadeTime;
    moveRemaining = MoveTime;
    return in.ok();
}

void DialogAction_EnterAParam::writeCache(BinaryWriter& out, uint32_t, uint32_t) const
{
    out.writeU32(ActorIndx);
    out.writeU32(ActorPose);
    out.writeU32(ActorExpres);
    out.writeBool(HidePastDialog);
    out.writeBool(ParralelAction);
    out.writeBool(FadeIn);
    out.writeF32(FadeTime);
    out.writeBool(MoveIn);
    out.writeF32(MoveTime);
    put(out, MoveDir);
    out.writeU32(MoveFunc);
    out.writeU32(DestAlign);
    put(out, DestOffset);
}

// ---- change of pose ----

DialogAction_ChangMParam::DialogAction_ChangMParam() { type = DialogActionType::ChangePose; }

void DialogAction_ChangMParam::load(const IniSource& ini, uint32_t a, uint32_t c)
{
    const ActionKeys k{ini, cutsceneSection(c), a};
    CMcharIndx = k.uint("_CMcharIndx");
    CMmoodIndx = k.uint("_CMmoodIndx");
    CMexpIndx = k.uint("_CMexpIndx");
}

bool DialogAction_ChangMParam::readCache(BinaryReader& in, uint32_t, uint32_t)
{
    in.readU32(CMcharIndx);
    in.readU32(CMmoodIndx);
    in.readU32(CMexpIndx);
    return in.ok();
}

void DialogAction_ChangMParam::writeCache(BinaryWriter& out, uint32_t, uint32_t) const
{
    out.writeU32(CMcharIndx);
    out.writeU32(CMmoodIndx);
    out.writeU32(CMexpIndx);
}

// ---- image shown or hidden ----

DialogAction_ImageStateParam::DialogAction_ImageStateParam() { type = DialogActionType::ImageState; }

void DialogAction_ImageStateParam::load(const IniSource& ini, uint32_t a, uint32_t c)
{
    const ActionKeys k{ini, cutsceneSection(c), a};
    SIimgIndx = k.uint("_SIimgIndx");
    SIsetVis = k.flag("_SIsetVis");
    SIimgfade = k.flag("_SIimgfade");
    SIfadeTime = k.real("_SIfadeTime");
    SIparalAction = k.flag("_SIparalAction");
}

bool DialogAction_ImageStateParam::readCache(BinaryReader& in, uint32_t, uint32_t)
{
    in.readU32(SIimgIndx);
    in.readBool(SIsetVis);
    in.readBool(SIimgfade);
    in.readF32(SIfadeTime);
    in.readBool(SIparalAction);
    return in.ok();
}

void DialogAction_ImageStateParam::writeCache(BinaryWriter& out, uint32_t, uint32_t) const
{
    out.writeU32(SIimgIndx);
    out.writeBool(SIsetVis);
    out.writeBool(SIimgfade);
    out.writeF32(SIfadeTime);
    out.writeBool(SIparalAction);
}

// ---- music swap ----

DialogAction_SwapMusicParam::DialogAction_SwapMusicParam() { type = DialogActionType::SwapMusic; }

void DialogAction_SwapMusicParam::load(const IniSource& ini, uint32_t a, uint32_t c)
{
    SMmusicName = ini.text(cutsceneSection(c), actionKey(a, "_SMmusicName"));
}

bool DialogAction_SwapMusicParam::readCache(BinaryReader& in, uint32_t, uint32_t)
{
    SMmusicName = readBinString(in);
    return in.ok();
}

void DialogAction_SwapMusicParam::writeCache(BinaryWriter& out, uint32_t, uint32_t) const
{
    writeBinString(out, SMmusicName);
}

// ---- sound ----

DialogAction_PlaySoundParam::DialogAction_PlaySoundParam(audio::SoundManager* soundManager_)
    : soundManager(soundManager_)
{
    type = DialogActionType::PlaySound;
}

DialogAction_PlaySoundParam::~DialogAction_PlaySoundParam()
{
    if (sound && soundManager)
        soundManager->destroySound(sound);
    sound = nullptr;
}

std::string DialogAction_PlaySoundParam::soundName(uint32_t a, uint32_t c)
{
    return "DA_PS_" + std::to_string(a) + "_" + std::to_string(c);
}

void DialogAction_PlaySoundParam::createSound(uint32_t a, uint32_t c)
{
    if (!soundManager)
        return;
    // Loading again (a second read of the same object) must not leave the first sound behind.
    if (sound)
        soundManager->destroySound(sound);
    sound = soundManager->createSound(soundName(a, c), PSsoundName, false, false);
}

void DialogAction_PlaySoundParam::load(const IniSource& ini, uint32_t a, uint32_t c)
{
    PSsoundName = ini.text(cutsceneSection(c), actionKey(a, "_PSsoundName"));
    createSound(a, c);
}

bool DialogAction_PlaySoundParam::readCache(BinaryReader& in, uint32_t a, uint32_t c)
{
    PSsoundName = readBinString(in);
    if (!in.ok())
        return false;
    createSound(a, c);
    return true;
}

void DialogAction_PlaySoundParam::writeCache(BinaryWriter& out, uint32_t, uint32_t) const
{
    writeBinString(out, PSsoundName);
}

// ---- factory ----

std::unique_ptr<BasicActionParams> createDialogAction(uint32_t type, uint32_t languageCount,
                                                      audio::SoundManager* soundManager)
{
    switch (type) {
    case DialogActionType::Phrase: return std::make_unique<DialogAction_PhraseParam>(languageCount);
    case DialogActionType::LeaveActor: return std::make_unique<DialogAction_LeaveAParam>();
    case DialogActionType::EnterActor: return std::make_unique<DialogAction_EnterAParam>();
    case DialogActionType::ChangePose: return std::make_unique<DialogAction_ChangMParam>();
    case DialogActionType::ImageState: return std::make_unique<DialogAction_ImageStateParam>();
    case DialogActionType::SwapMusic: return std::make_unique<DialogAction_SwapMusicParam>();
    case DialogActionType::PlaySound: return std::make_unique<DialogAction_PlaySoundParam>(soundManager);
    default: return std::make_unique<BasicActionParams>();
    }
}
