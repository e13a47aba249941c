#pragma once
#include <OgreFrameListener.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct ALCdevice_struct;
struct ALCcontext_struct;

namespace audio {

class Sound;
class Listener;
struct SoundBuffer;

// The one OpenAL device and context, the sounds by name, a shared pool of sources and the listener.
// Without a device the game runs silent: every call returns and no sound plays. It advances itself
// every frame as a frame listener of the engine (fades, streaming, positions, finished sounds).
class SoundManager : public Ogre::FrameListener {
public:
    SoundManager(const std::string& deviceName = "", int maxSources = 100);
    ~SoundManager() override;
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    bool hasDevice() const { return context_ != nullptr; }
    int maxSources() const { return maxSources_; }

    // Ogg Vorbis file found through the engine's resource groups. Never null: a file that cannot
    // be read gives a sound that plays nothing (one line in the log). A name already in use gets
    // a numbered variant, so two owners never share one sound.
    Sound* createSound(const std::string& name, const std::string& fileName, bool loop = false,
                       bool stream = false);
    // Null when there is no sound of that name.
    Sound* getSound(const std::string& name) const;
    bool hasSound(const std::string& name) const { return getSound(name) != nullptr; }
    // Null and unknown sounds are ignored.
    void destroySound(Sound* sound);
    void destroySound(const std::string& name);
    void destroyAllSounds();
    // Pauses every playing sound; resumeAllSounds plays again exactly those.
    void pauseAllSounds();
    void resumeAllSounds();

    void setDopplerFactor(float factor);
    float getDopplerFactor() const { return dopplerFactor_; }
    Listener* getListener() const { return listener_.get(); }

    void update(float dt);
    bool frameStarted(const Ogre::FrameEvent& evt) override;

    // Sources held by sounds right now.
    int sourcesInUse() const { return static_cast<int>(allSources_.size() - freeSources_.size()); }

private:
    friend class Sound;
    bool acquireSource(Sound* requester, unsigned& source);
    void releaseSource(unsigned source);
    // The sounds that hold a source, kept by age and by loudness so that the one to take over is
    // found without visiting every sound.
    void sourceHeld(Sound* sound);
    void sourceDropped(Sound* sound);
    void heldGainChanged(Sound* sound);
    // Its end can no longer be foretold (a new pitch, the loop switched): it may end any time.
    void heldEndUnknown(Sound* sound);
    Sound* takeoverVictim(const Sound* requester);
    std::shared_ptr<SoundBuffer> loadBuffer(const std::string& fileName);
    unsigned long nextPlayOrder() { return ++playCounter_; }
    void updateListener();

    ALCdevice_struct* device_ = nullptr;
    ALCcontext_struct* context_ = nullptr;
    int maxSources_ = 0;
    float dopplerFactor_ = 1.0f;
    // Hashed: a crowded play holds thousands of sounds whose names share long beginnings.
    std::unordered_map<std::string, std::unique_ptr<Sound>> sounds_;
    // Decoded once and kept while the manager lives: the game's sounds are few and short, and a
    // sound whose last copy had gone was decoded anew at its next play, a hitch each time.
    std::map<std::string, std::shared_ptr<SoundBuffer>> buffers_;
    std::vector<unsigned> allSources_;
    std::vector<unsigned> freeSources_;
    bool sourceLimitReached_ = false;
    std::set<std::pair<std::pair<float, unsigned long>, Sound*>> heldByGain_;  // (effective gain, play order)
    // Asking the device whether a sound has ended costs a lock, so only the held sounds that may
    // have ended are asked: those that are certain to play on until a known time wait, by that
    // time, and move to the others (by play order) once it has passed.
    std::set<std::pair<double, unsigned long>> heldSurelyPlaying_;  // (time it may end from, play order)
    std::map<unsigned long, Sound*> heldMayHaveEnded_;              // by play order
    std::map<unsigned long, Sound*> heldByOrder_;                   // every held sound
    double mixAhead_ = 0.1;  // seconds the device may have mixed ahead of the clock, at least
    unsigned long playCounter_ = 0;
    std::unique_ptr<Listener> listener_;
    bool registeredWithRoot_ = false;
};

}  // namespace audio
