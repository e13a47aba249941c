#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audio {
class Sound;
class SoundManager;
}
class RandomGenerator;

// One file of the global sound table and its gain.
struct GlobalSoundEntry {
    std::string fileName;
    float gain = 0.0f;
};

// The sounds that belong to no scene: four menu clicks, seven event stingers and one music voice,
// all named in "../../Data/System/GSData.Dat". Without that file every call is silent.
class GlobalSounds {
public:
    static constexpr uint32_t kMagic = 4633;
    static constexpr int kEntryCount = 16;
    static constexpr int kStingerCount = 7;
    static constexpr uint32_t kMaxRandomMusic = 1024;
    static const char* const kDataFile;

    // Music ids.
    static constexpr uint32_t kMusicNone = 0;
    static constexpr uint32_t kMusicRandom = 4;
    static constexpr uint32_t kMusicLast = 11;
    static constexpr float kMusicFadeTime = 3.0f;

    explicit GlobalSounds(audio::SoundManager* soundManager);
    virtual ~GlobalSounds();
    GlobalSounds(const GlobalSounds&) = delete;
    GlobalSounds& operator=(const GlobalSounds&) = delete;

    // Stop, then play from the start; nothing for a sound that was not made.
    static void restart(audio::Sound* sound);
    void playAccept();
    void playBack();
    void playMove();
    void playWarning();
    void playColourRed();

    void playMusic1();
    void playMusic2();
    void playMusic3();
    void playMusicLast();
    void playRandomMusic();
    uint32_t pickRandomMusic();
    // The index that a draw r in [0, 1) picks from a list of `count` equally likely entries.
    static uint32_t pickIndexForDraw(double r, uint32_t count);

    void fadeOutMusic();
    void update(float dt);

    // The sounds (null when not made); the play and the rules play the stingers themselves.
    audio::Sound* acceptClick() const { return acceptClick_; }
    audio::Sound* backClick() const { return backClick_; }
    audio::Sound* moveClick() const { return moveClick_; }
    audio::Sound* warningClick() const { return warningClick_; }
    audio::Sound* killStinger() const { return killStinger_; }
    audio::Sound* comboStinger() const { return comboStinger_; }
    audio::Sound* waveStinger() const { return waveStinger_; }
    audio::Sound* pickStinger() const { return pickStinger_; }
    audio::Sound* missionStinger() const { return missionStinger_; }
    audio::Sound* redStinger() const { return redStinger_; }
    audio::Sound* greenStinger() const { return greenStinger_; }
    audio::Sound* musicVoice() const { return musicVoice_; }

    const GlobalSoundEntry& entry(int index) const { return entries_[index]; }
    const std::vector<GlobalSoundEntry>& randomMusic() const { return randomMusic_; }
    uint32_t currentMusicId() const { return musicId_; }
    bool isFadingMusic() const { return fading_; }

private:
    void loadData();
    void switchToTrack(uint32_t id, int entryIndex, bool loop);
    audio::Sound* makeSound(const char* name, const GlobalSoundEntry& entry, bool loop, bool stream);

    audio::SoundManager* soundManager_;
    std::unique_ptr<RandomGenerator> random_;
    audio::Sound* acceptClick_ = nullptr;
    audio::Sound* backClick_ = nullptr;
    audio::Sound* moveClick_ = nullptr;
    audio::Sound* warningClick_ = nullptr;
    audio::Sound* killStinger_ = nullptr;
    audio::Sound* comboStinger_ = nullptr;
    audio::Sound* waveStinger_ = nullptr;
    audio::Sound* pickStinger_ = nullptr;
    audio::Sound* missionStinger_ = nullptr;
    audio::Sound* redStinger_ = nullptr;
    audio::Sound* greenStinger_ = nullptr;
    audio::Sound* musicVoice_ = nullptr;
    GlobalSoundEntry entries_[kEntryCount];
    uint32_t musicId_ = kMusicNone;
    float fadeStartGain_ = 0.0f;
    float fadeDuration_ = 0.0f;
    float fadeElapsed_ = 0.0f;
    bool fading_ = false;
    std::vector<GlobalSoundEntry> randomMusic_;
};
