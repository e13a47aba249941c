#pragma once
#include <string>

struct ALCdevice_struct;
struct ALCcontext_struct;

namespace audio {

// The one OpenAL device and context. Without a device the game runs silent: every call returns.
class SoundManager {
public:
    SoundManager(const std::string& deviceName, int maxSources);
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    bool hasDevice() const { return context_ != nullptr; }
    int maxSources() const { return maxSources_; }

    void setDopplerFactor(float factor);
    void pauseAllSounds();
    void resumeAllSounds();
    void destroyAllSounds();

private:
    ALCdevice_struct* device_ = nullptr;
    ALCcontext_struct* context_ = nullptr;
    int maxSources_ = 0;
};

}  // namespace audio
