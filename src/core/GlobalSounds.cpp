#include "core/GlobalSounds.h"

#include "audio/Sound.h"
#include "audio/SoundManager.h"
#include "core/BinaryIO.h"
#include "core/RandomGenerator.h"
#include "core/Utilities.h"
#include "platform/Platform.h"

const char* const GlobalSounds::kDataFile = "../../Data/System/GSData.Dat";

namespace {

// An optional file name counts as absent when it is "" or " ".
bool isAbsent(const std::string& name) { return name.empty() || name == " "; }

// A silent game must not pass unnoticed: the one line says which file is at fault.
void reportUnusable(const std::string& what)
{
    platform::showWarning(std::string("Global sounds ") + what + ": " + GlobalSounds::kDataFile +
                          "; no menu sounds or music");
}

bool readEntry(BinaryReader& in, GlobalSoundEntry& entry)
{
    entry.fileName = readBinString(in);
    return in.readF32(entry.gain);
}

}  // namespace

GlobalSounds::GlobalSounds(audio::SoundManager* soundManager)
    : soundManager_(soundManager), random_(std::make_unique<RandomGenerator>())
{
    random_->seed(makeTimeSeed());
    loadData();
}

GlobalSounds::~GlobalSounds()
{
    if (soundManager_) {
        for (audio::Sound* sound : {acceptClick_, backClick_, moveClick_, warningClick_, killStinger_,
                                    comboStinger_, waveStinger_, pickStinger_, missionStinger_, redStinger_,
                                    greenStinger_, musicVoice_})
            soundManager_->destroySound(sound);
    }
}

void GlobalSounds::loadData()
{
    BinaryReader in;
    if (!in.open(kDataFile)) {
        reportUnusable("missing or unreadable");
        return;
    }
    uint32_t magic = 0;
    if (!in.readU32(magic) || magic != kMagic) {
        reportUnusable("damaged");
        return;
    }

    // Read everything first: a damaged file leaves every sound out rather than half of them.
    GlobalSoundEntry entries[kEntryCount];
    for (GlobalSoundEntry& e : entries) {
        readEntry(in, e);
        if (e.gain == 0.0f)
            e.gain = 1.0f;
    }
    std::string stingers[kStingerCount];
    for (std::string& s : stingers)
        s = readBinString(in);
    uint32_t count = 0;
    in.readCount(count, kMaxRandomMusic);
    std::vector<GlobalSoundEntry> randomMusic(in.ok() ? count : 0);
    for (GlobalSoundEntry& e : randomMusic)
        readEntry(in, e);
    if (!in.ok()) {
        reportUnusable("damaged");
        return;
    }

    for (int i = 0; i < kEntryCount; ++i)
        entries_[i] = entries[i];
    randomMusic_.swap(randomMusic);

    acceptClick_ = makeSound("gs_acptC", entries_[0], false, false);
    moveClick_ = makeSound("gs_moveC", entries_[2], false, false);
    backClick_ = makeSound("gs_backC", entries_[1], false, false);
    warningClick_ = makeSound("gs_warnC", entries_[3], false, false);
    musicVoice_ = makeSound("gs_globalM", entries_[4], true, true);

    // The stingers keep the sound library's default gain.
    const char* const names[kStingerCount] = {"gs_EffKill", "gs_EffCombo", "gs_EffWave", "gs_EffPick",
                                              "gs_EffMission", "gs_EffCRed", "gs_EffCGreen"};
    audio::Sound** handles[kStingerCount] = {&killStinger_, &comboStinger_, &waveStinger_, &pickStinger_,
                                             &missionStinger_, &redStinger_, &greenStinger_};
    for (int i = 0; i < kStingerCount; ++i)
        if (soundManager_ && !isAbsent(stingers[i]))
            *handles[i] = soundManager_->createSound(names[i], stingers[i], false, false);
}

audio::Sound* GlobalSounds::makeSound(const char* name, const GlobalSoundEntry& entry, bool loop, bool stream)
{
    if (!soundManager_ || isAbsent(entry.fileName))
        return nullptr;
    audio::Sound* sound = soundManager_->createSound(name, entry.fileName, loop, stream);
    sound->setGain(entry.gain);
    return sound;
}

void GlobalSounds::restart(audio::Sound* sound)
{
    if (!sound)
        return;
    sound->stop();
    sound->play();
}

void GlobalSounds::playAccept() { restart(acceptClick_); }
void GlobalSounds::playBack() { restart(backClick_); }
void GlobalSounds::playMove() { restart(moveClick_); }
void GlobalSounds::playWarning() { restart(warningClick_); }
void GlobalSounds::playColourRed() { restart(redStinger_); }

void GlobalSounds::playMusic1() { switchToTrack(1, 5, true); }
void GlobalSounds::playMusic2() { switchToTrack(2, 6, true); }
void GlobalSounds::playMusic3() { switchToTrack(3, 7, false); }
void GlobalSounds::playMusicLast() { switchToTrack(kMusicLast, 15, false); }

void GlobalSounds::switchToTrack(uint32_t id, int entryIndex, bool loop)
{
    if (musicId_ == id) {
        if (musicVoice_)
            musicVoice_->play();
        return;
    }
    if (musicVoice_ && soundManager_)
        soundManager_->destroySound(musicVoice_);
    musicVoice_ = nullptr;
    musicId_ = id;
    musicVoice_ = makeSound("gs_globalM", entries_[entryIndex], loop, false);
    if (musicVoice_)
        musicVoice_->play();
}

void GlobalSounds::playRandomMusic()
{
    if (musicVoice_ && soundManager_)
        soundManager_->destroySound(musicVoice_);
    musicVoice_ = nullptr;
    musicId_ = kMusicRandom;
    if (randomMusic_.empty())
        return;
    musicVoice_ = makeSound("gs_globalM", randomMusic_[pickRandomMusic()], true, false);
    if (musicVoice_)
        musicVoice_->play();
}

uint32_t GlobalSounds::pickRandomMusic()
{
    return pickIndexForDraw(random_->nextUnit(), static_cast<uint32_t>(randomMusic_.size()));
}

uint32_t GlobalSounds::pickIndexForDraw(double r, uint32_t count)
{
    if (count == 0)
        return 0;
    const double step = 1.0 / count;
    double sum = 0.0;
    for (uint32_t i = 0; i < count; ++i) {
        sum += step;
        if (r < sum)
            return i;
    }
    return 0;  // the sum can fall just short of 1
}

void GlobalSounds::fadeOutMusic()
{
    fadeElapsed_ = 0.0f;
    if (!musicVoice_) {
        fading_ = false;
        return;
    }
    fading_ = true;
    fadeStartGain_ = musicVoice_->getGain();
    fadeDuration_ = kMusicFadeTime;
}

void GlobalSounds::update(float dt)
{
    if (!fading_)
        return;
    fadeElapsed_ += dt;
    if (!musicVoice_) {
        fading_ = false;
        return;
    }
    if (fadeElapsed_ > fadeDuration_) {
        fading_ = false;  // the voice keeps the last gain the fade gave it
        return;
    }
    musicVoice_->setGain(remapLinear(0.0f, fadeDuration_, fadeElapsed_, fadeStartGain_, 0.0f));
}
