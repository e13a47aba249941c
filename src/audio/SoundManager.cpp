#include "audio/SoundManager.h"

#include "audio/OggVorbis.h"
#include "audio/Sound.h"
#include "audio/SoundInternal.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <Ogre.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace audio {

namespace {

constexpr float kMinPitch = 0.01f;

double clockSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void logLine(const std::string& text)
{
    if (auto* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text);
}

}  // namespace

SoundBuffer::~SoundBuffer()
{
    if (id)
        alDeleteBuffers(1, &id);
}

Ogre::DataStreamPtr openSoundFile(const std::string& fileName)
{
    auto* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!groups || fileName.empty())
        return Ogre::DataStreamPtr();
    try {
        return groups->openResource(fileName, Ogre::RGN_AUTODETECT, nullptr, false);
    } catch (const Ogre::Exception&) {
        return Ogre::DataStreamPtr();
    }
}

void logSoundProblem(const std::string& text) { logLine("Sound: " + text); }

SoundManager::SoundManager(const std::string& deviceName, int maxSources) : maxSources_(maxSources)
{
    device_ = alcOpenDevice(deviceName.empty() ? nullptr : deviceName.c_str());
    if (device_) {
        context_ = alcCreateContext(device_, nullptr);
        if (context_ && alcMakeContextCurrent(context_) == ALC_FALSE) {
            alcDestroyContext(context_);
            context_ = nullptr;
        }
        if (!context_) {
            alcCloseDevice(device_);
            device_ = nullptr;
        }
    }
    if (context_) {
        // A sound is only taken to be certain to still play until its length has run, less how
        // far ahead of the clock the device may have mixed it: four of its mixing periods.
        ALCint refresh = 0;
        alcGetIntegerv(device_, ALC_REFRESH, 1, &refresh);
        if (refresh > 0)
            mixAhead_ = std::max(mixAhead_, 4.0 / refresh);
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
        alDopplerFactor(dopplerFactor_);
    }
    listener_.reset(new Listener());
    if (auto* root = Ogre::Root::getSingletonPtr()) {
        root->addFrameListener(this);
        registeredWithRoot_ = true;
    }
    logLine(context_ ? "Sound: OpenAL device opened" : "Sound: no audio device, running silent");
}

SoundManager::~SoundManager()
{
    if (registeredWithRoot_) {
        if (auto* root = Ogre::Root::getSingletonPtr())
            root->removeFrameListener(this);
    }
    destroyAllSounds();
    // Buffers are deleted through the context, so before it goes.
    buffers_.clear();
    listener_.reset();
    if (context_) {
        if (!allSources_.empty())
            alDeleteSources(static_cast<ALsizei>(allSources_.size()), allSources_.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
    }
    if (device_)
        alcCloseDevice(device_);
}

Sound* SoundManager::createSound(const std::string& name, const std::string& fileName, bool loop, bool stream)
{
    std::string unique = name;
    for (int n = 2; sounds_.count(unique); ++n)
        unique = name + "#" + std::to_string(n);
    if (unique != name)
        logSoundProblem("a sound named '" + name + "' already exists; the new one is '" + unique + "'");

    std::unique_ptr<Sound> sound(new Sound(this, unique, fileName, loop, stream));
    if (context_) {
        if (stream) {
            auto decoder = std::make_unique<OggDecoder>();
            if (decoder->open(openSoundFile(fileName)))
                sound->decoder_ = std::move(decoder);
        } else {
            sound->buffer_ = loadBuffer(fileName);
        }
        if (!sound->hasData())
            logSoundProblem("cannot load '" + fileName + "' for '" + unique + "'; it will be silent");
    }
    Sound* result = sound.get();
    sounds_.emplace(unique, std::move(sound));
    return result;
}

Sound* SoundManager::getSound(const std::string& name) const
{
    auto it = sounds_.find(name);
    return it == sounds_.end() ? nullptr : it->second.get();
}

void SoundManager::destroySound(Sound* sound)
{
    if (!sound)
        return;
    auto it = sounds_.find(sound->getName());
    if (it != sounds_.end() && it->second.get() == sound)
        sounds_.erase(it);
}

void SoundManager::destroySound(const std::string& name)
{
    sounds_.erase(name);
}

void SoundManager::destroyAllSounds()
{
    sounds_.clear();
}

void SoundManager::pauseAllSounds()
{
    for (auto& entry : sounds_) {
        Sound& sound = *entry.second;
        if (sound.isPlaying()) {
            sound.pause();
            sound.pausedByManager_ = true;
        }
    }
}

void SoundManager::resumeAllSounds()
{
    for (auto& entry : sounds_) {
        Sound& sound = *entry.second;
        if (sound.pausedByManager_ && sound.isPaused())
            sound.play();
        sound.pausedByManager_ = false;
    }
}

void SoundManager::setDopplerFactor(float factor)
{
    if (!(factor >= 0.0f) || std::isinf(factor))
        return;
    dopplerFactor_ = factor;
    if (context_)
        alDopplerFactor(factor);
}

void SoundManager::update(float dt)
{
    if (!context_)
        return;
    if (!(dt >= 0.0f) || std::isinf(dt))
        dt = 0.0f;
    updateListener();
    for (auto& entry : sounds_)
        entry.second->update(dt);
}

bool SoundManager::frameStarted(const Ogre::FrameEvent& evt)
{
    update(evt.timeSinceLastFrame);
    return true;
}

void SoundManager::updateListener()
{
    if (!listener_->isAttached()) {
        const ALfloat orientation[6] = {0, 0, -1, 0, 1, 0};
        alListener3f(AL_POSITION, 0, 0, 0);
        alListenerfv(AL_ORIENTATION, orientation);
        return;
    }
    const Ogre::Affine3& transform = listener_->_getParentNodeFullTransform();
    const Ogre::Vector3 position = transform.getTrans();
    const Ogre::Matrix3 axes = transform.linear();
    Ogre::Vector3 at = -axes.GetColumn(2);
    Ogre::Vector3 up = axes.GetColumn(1);
    at.normalise();
    up.normalise();
    const ALfloat orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

bool SoundManager::acquireSource(Sound* requester, unsigned& source)
{
    if (!context_)
        return false;
    if (freeSources_.empty() && !sourceLimitReached_ && static_cast<int>(allSources_.size()) < maxSources_) {
        alGetError();
        ALuint made = 0;
        alGenSources(1, &made);
        if (alGetError() == AL_NO_ERROR) {
            allSources_.push_back(made);
            freeSources_.push_back(made);
        } else {
            sourceLimitReached_ = true;  // the device has fewer sources than asked for
        }
    }
    if (freeSources_.empty()) {
        // All taken: a finished sound gives its source up first (the oldest), else the quietest.
        Sound* victim = takeoverVictim(requester);
        if (!victim)
            return false;
        victim->stop();
    }
    if (freeSources_.empty())
        return false;
    source = freeSources_.back();
    freeSources_.pop_back();
    return true;
}

void SoundManager::releaseSource(unsigned source)
{
    freeSources_.push_back(source);
}

void SoundManager::sourceHeld(Sound* sound)
{
    if (sound->held_)
        sourceDropped(sound);
    sound->held_ = true;
    sound->heldGain_ = sound->getEffectiveGain();
    sound->heldOrder_ = sound->playOrder_;
    heldByOrder_.emplace(sound->heldOrder_, sound);
    heldByGain_.insert({{sound->heldGain_, sound->heldOrder_}, sound});
    // A loaded sound just started from its beginning plays at least its length at its pitch; a
    // looping one never ends by itself. A stream's end depends on its decoding.
    sound->heldSurely_ = !sound->stream_ && sound->buffer_ != nullptr;
    if (sound->heldSurely_) {
        sound->heldUntil_ = sound->loop_ ? std::numeric_limits<double>::infinity()
                                         : clockSeconds() - mixAhead_ +
                                               sound->buffer_->seconds / std::max(sound->pitch_, kMinPitch);
        heldSurelyPlaying_.insert({sound->heldUntil_, sound->heldOrder_});
    } else {
        heldMayHaveEnded_.emplace(sound->heldOrder_, sound);
    }
}

void SoundManager::sourceDropped(Sound* sound)
{
    if (!sound->held_)
        return;
    heldByOrder_.erase(sound->heldOrder_);
    heldByGain_.erase({{sound->heldGain_, sound->heldOrder_}, sound});
    if (sound->heldSurely_)
        heldSurelyPlaying_.erase({sound->heldUntil_, sound->heldOrder_});
    else
        heldMayHaveEnded_.erase(sound->heldOrder_);
    sound->held_ = false;
    sound->heldSurely_ = false;
}

void SoundManager::heldGainChanged(Sound* sound)
{
    if (!sound->held_ || sound->getEffectiveGain() == sound->heldGain_)
        return;
    heldByGain_.erase({{sound->heldGain_, sound->heldOrder_}, sound});
    sound->heldGain_ = sound->getEffectiveGain();
    heldByGain_.insert({{sound->heldGain_, sound->heldOrder_}, sound});
}

void SoundManager::heldEndUnknown(Sound* sound)
{
    if (!sound->held_ || !sound->heldSurely_)
        return;
    heldSurelyPlaying_.erase({sound->heldUntil_, sound->heldOrder_});
    sound->heldSurely_ = false;
    heldMayHaveEnded_.emplace(sound->heldOrder_, sound);
}

Sound* SoundManager::takeoverVictim(const Sound* requester)
{
    // Those whose time has come may have ended now.
    const double now = clockSeconds();
    while (!heldSurelyPlaying_.empty() && heldSurelyPlaying_.begin()->first <= now) {
        Sound* s = heldByOrder_.at(heldSurelyPlaying_.begin()->second);
        heldSurelyPlaying_.erase(heldSurelyPlaying_.begin());
        s->heldSurely_ = false;
        heldMayHaveEnded_.emplace(s->heldOrder_, s);
    }
    // The oldest finished sound. Only a playing sound that is not a looping loaded one can have
    // ended on its own, and each of those that may have, older than the first ended one, costs
    // one query.
    for (const auto& held : heldMayHaveEnded_) {
        Sound* s = held.second;
        if (s == requester || s->isPaused() ||
            (s->state_ == Sound::State::Playing && s->loop_ && !s->stream_))
            continue;
        if (!s->isPlaying())
            return s;
    }
    // None: the quietest, the oldest among equals.
    for (const auto& held : heldByGain_)
        if (held.second != requester)
            return held.second;
    return nullptr;
}

std::shared_ptr<SoundBuffer> SoundManager::loadBuffer(const std::string& fileName)
{
    auto cached = buffers_.find(fileName);
    if (cached != buffers_.end())
        return cached->second;
    std::vector<char> pcm;
    int channels = 0;
    long rate = 0;
    if (!decodeOggVorbis(openSoundFile(fileName), pcm, channels, rate) || pcm.empty())
        return nullptr;
    alGetError();
    auto buffer = std::make_shared<SoundBuffer>();
    alGenBuffers(1, &buffer->id);
    if (alGetError() != AL_NO_ERROR) {
        buffer->id = 0;
        return nullptr;
    }
    alBufferData(buffer->id, channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm.data(),
                 static_cast<ALsizei>(pcm.size()), static_cast<ALsizei>(rate));
    if (alGetError() != AL_NO_ERROR)
        return nullptr;
    buffer->seconds = static_cast<double>(pcm.size()) / (2.0 * channels) / static_cast<double>(rate);
    buffers_[fileName] = buffer;
    return buffer;
}

}  // namespace audio
