#include "audio/SoundManager.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <OgreLogManager.h>

namespace audio {

SoundManager::SoundManager(const std::string& deviceName, int maxSources) : maxSources_(maxSources)
{
    device_ = alcOpenDevice(deviceName.empty() ? nullptr : deviceName.c_str());
    if (device_) {
        context_ = alcCreateContext(device_, nullptr);
        if (context_ && alcMakeContextCurrent(context_) == ALC_FALSE) {
            alcDestroyContext(context_);
            context_ = nullptr;
        }
    }
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(context_ ? "Sound: OpenAL device opened" : "Sound: no audio device, running silent");
}

SoundManager::~SoundManager()
{
    destroyAllSounds();
    if (context_) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
    }
    if (device_)
        alcCloseDevice(device_);
}

void SoundManager::setDopplerFactor(float factor)
{
    if (context_)
        alDopplerFactor(factor);
}

void SoundManager::pauseAllSounds() {}
void SoundManager::resumeAllSounds() {}
void SoundManager::destroyAllSounds() {}

}  // namespace audio
