#pragma once
// The actions of a dialog scene: what the dialog player runs one after another. Each fills
// itself from its scene's section of the sequence .ini (keys "Action_<a+1>_...") or from its
// record in the sequence cache, and writes that record. Indices a (action) and c (cutscene)
// are 0-based.
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BinaryReader;
class BinaryWriter;
class IniSource;
namespace audio {
class Sound;
class SoundManager;
}

// The value of "Action_<a>_Type" and of the type word before each action record.
namespace DialogActionType {
constexpr uint32_t Base = 0;  // any value outside 1..7: an action with no data
constexpr uint32_t Phrase = 1;
constexpr uint32_t LeaveActor = 2;
constexpr uint32_t EnterActor = 3;
constexpr uint32_t ChangePose = 4;
constexpr uint32_t ImageState = 5;
constexpr uint32_t SwapMusic = 6;
constexpr uint32_t PlaySound = 7;
}  // namespace DialogActionType

// Motion curve of an actor or image move; any other value is linear.
namespace MoveFunc {
constexpr uint32_t Linear = 0;
constexpr uint32_t Inertial = 1;
constexpr uint32_t Accelerated = 2;
constexpr uint32_t Accelerated2 = 3;
constexpr uint32_t Jump = 4;
constexpr uint32_t Jump2 = 5;
}  // namespace MoveFunc

// "CutScene_<c+1>", the .ini section of cutscene c.
std::string cutsceneSection(uint32_t c);
// "Action_<a+1>" + suffix.
std::string actionKey(uint32_t a, const std::string& suffix);

class BasicActionParams {
public:
    BasicActionParams() = default;
    BasicActionParams(const BasicActionParams&) = delete;
    BasicActionParams& operator=(const BasicActionParams&) = delete;
    virtual ~BasicActionParams() = default;

    // Reads the action's keys from its scene's section.
    virtual void load(const IniSource& ini, uint32_t a, uint32_t c);
    // Reads exactly the action's record; false (the reader failed) on a short or damaged record.
    virtual bool readCache(BinaryReader& in, uint32_t a, uint32_t c);
    virtual void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const;

    uint32_t type = DialogActionType::Base;
    bool started = false;  // set by the player while it runs the action
};

class DialogAction_PhraseParam : public BasicActionParams {
public:
    // L texts when L is above 0, else one.
    explicit DialogAction_PhraseParam(uint32_t languageCount);

    void load(const IniSource& ini, uint32_t a, uint32_t c) override;
    bool readCache(BinaryReader& in, uint32_t a, uint32_t c) override;
    void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const override;

    std::string getName() const { return PhraseName; }
    // "" for a language the phrase does not have.
    std::string getText(uint32_t k) const { return k < texts.size() ? texts[k] : std::string(); }

    std::string PhraseName;
    std::vector<std::string> texts;
    std::string PhrasePortrait;  // kept, not shown
    float PhraseSpeed = 0.0f;
    bool PhraseChangeM = false;  // the phrase also changes the speaker's pose
    uint32_t PhraseCharIndx = 0;
    uint32_t PhraseMoodIndx = 0;
    uint32_t PhraseExpIndx = 0;
    uint32_t languageCount = 0;
    uint32_t PhraseType = 0;  // 1 plain box, else framed
};

class DialogAction_LeaveAParam : public BasicActionParams {
public:
    DialogAction_LeaveAParam();

    void load(const IniSource& ini, uint32_t a, uint32_t c) override;
    bool readCache(BinaryReader& in, uint32_t a, uint32_t c) override;
    void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const override;

    uint32_t ActorIndx = 0;
    bool HidePastDialog = false;
    bool ParralelAction = false;
    bool FadeOut = false;
    float FadeTime = 0.0f;
    bool MoveOut = false;
    float MoveTime = 0.0f;
    Ogre::Vector2 MoveDir = Ogre::Vector2::ZERO;  // normalised
    uint32_t MoveFunc = 0;
    float fadeRemaining = 0.0f;
    float moveRemaining = 0.0f;
};

class DialogAction_EnterAParam : public BasicActionParams {
public:
    DialogAction_EnterAParam();

    void load(const IniSource& ini, uint32_t a, uint32_t c) override;
    bool readCache(BinaryReader& in, uint32_t a, uint32_t c) override;
    void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const override;

    uint32_t ActorIndx = 0;
    uint32_t ActorPose = 0;
    uint32_t ActorExpres = 0;
    bool HidePastDialog = false;
    bool ParralelAction = false;
    bool FadeIn = false;
    float FadeTime = 0.0f;
    bool MoveIn = false;
    float MoveTime = 0.0f;
    Ogre::Vector2 MoveDir = Ogre::Vector2::ZERO;  // normalised
    uint32_t MoveFunc = 0;
    uint32_t DestAlign = 0;
    Ogre::Vector2 DestOffset = Ogre::Vector2::ZERO;
    float fadeRemaining = 0.0f;
    float moveRemaining = 0.0f;
};

class DialogAction_ChangMParam : public BasicActionParams {
public:
    DialogAction_ChangMParam();

    void load(const IniSource& ini, uint32_t a, uint32_t c) override;
    bool readCache(BinaryReader& in, uint32_t a, uint32_t c) override;
    void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const override;

    uint32_t CMcharIndx = 0;
    uint32_t CMmoodIndx = 0;
    uint32_t CMexpIndx = 0;
};

class DialogAction_ImageStateParam : public BasicActionParams {
public:
    DialogAction_ImageStateParam();

    void load(const IniSource& ini, uint32_t a, uint32_t c) override;
    bool readCache(BinaryReader& in, uint32_t a, uint32_t c) override;
    void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const override;

    uint32_t SIimgIndx = 0;
    bool SIsetVis = false;
    bool SIimgfade = false;
    float SIfadeTime = 0.0f;
    bool SIparalAction = false;
    float fadeElapsed = 0.0f;
};

class DialogAction_SwapMusicParam : public BasicActionParams {
public:
    DialogAction_SwapMusicParam();

    void load(const IniSource& ini, uint32_t a, uint32_t c) override;
    bool readCache(BinaryReader& in, uint32_t a, uint32_t c) override;
    void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const override;

    std::string SMmusicName;
};

class DialogAction_PlaySoundParam : public BasicActionParams {
public:
    // Without a sound manager (the data builder) the action keeps no sound.
    explicit DialogAction_PlaySoundParam(audio::SoundManager* soundManager);
    ~DialogAction_PlaySoundParam() override;

    void load(const IniSource& ini, uint32_t a, uint32_t c) override;
    bool readCache(BinaryReader& in, uint32_t a, uint32_t c) override;
    void writeCache(BinaryWriter& out, uint32_t a, uint32_t c) const override;

    // "DA_PS_<a>_<c>".
    static std::string soundName(uint32_t a, uint32_t c);

    audio::SoundManager* soundManager = nullptr;
    audio::Sound* sound = nullptr;  // owned through the sound manager
    std::string PSsoundName;

private:
    void createSound(uint32_t a, uint32_t c);
};

// The action object for a type word (a base action for any value outside 1..7).
std::unique_ptr<BasicActionParams> createDialogAction(uint32_t type, uint32_t languageCount,
                                                      audio::SoundManager* soundManager);
