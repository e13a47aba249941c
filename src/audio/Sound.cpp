#include "audio/Sound.h"

#include "audio/OggVorbis.h"
#include "audio/SoundInternal.h"
#include "audio/SoundManager.h"

#include <AL/al.h>
#include <OgreNode.h>

#include <cmath>

namespace audio {

namespace {
const Ogre::String kSoundType = "Sound";
const Ogre::String kListenerType = "SoundListener";
const unsigned kStreamBufferCount = 4;
// Distances in world units: full gain up to the reference distance, then the inverse law.
const float kReferenceDistance = 10.0f;
const float kMaxDistance = 1000.0f;
const float kMinPitch = 0.01f;
}  // namespace

Sound::Sound(SoundManager* manager, const std::string& name, const std::string& fileName, bool loop, bool stream)
    : Ogre::MovableObject(name), manager_(manager), fileName_(fileName), loop_(loop), stream_(stream)
{
    // Never picked by scene queries or shadows.
    setQueryFlags(0);
    setCastShadows(false);
}

Sound::~Sound()
{
    releaseSource();
    if (streamBuffersMade_)
        alDeleteBuffers(kStreamBufferCount, streamBuffers_);
}

bool Sound::hasData() const
{
    return stream_ ? decoder_ != nullptr : buffer_ != nullptr;
}

int Sound::sourceState() const
{
    if (!hasSource_)
        return AL_STOPPED;
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state;
}

bool Sound::isPlaying() const
{
    if (state_ != State::Playing || !hasSource_)
        return false;
    const int state = sourceState();
    // A stream that ran dry before its end is refilled and restarted by the next update.
    return state == AL_PLAYING || (stream_ && !streamEnded_);
}

bool Sound::isPaused() const { return state_ == State::Paused; }

bool Sound::isStopped() const { return !isPlaying() && !isPaused(); }

void Sound::play()
{
    pausedByManager_ = false;
    if (!hasData())
        return;
    if (state_ == State::Paused && hasSource_) {
        alSourcePlay(source_);
        state_ = State::Playing;
        return;
    }
    if (isPlaying())
        return;
    releaseSource();
    if (startSource()) {
        state_ = State::Playing;
        playOrder_ = manager_->nextPlayOrder();
        manager_->sourceHeld(this);
    } else {
        state_ = State::Stopped;
    }
}

void Sound::pause()
{
    if (isPlaying()) {
        alSourcePause(source_);
        state_ = State::Paused;
    } else if (state_ == State::Playing) {
        stop();  // it had already finished
    }
}

void Sound::stop()
{
    releaseSource();
    state_ = State::Stopped;
    fadeMode_ = Fade::None;
    fade_ = 1.0f;
    pausedByManager_ = false;
}

void Sound::setGain(float gain)
{
    gain_ = (gain > 0.0f && std::isfinite(gain)) ? gain : 0.0f;
    applyGain();
}

void Sound::setPitch(float pitch)
{
    if (!std::isfinite(pitch))
        return;
    pitch_ = pitch;
    if (hasSource_) {
        alSourcef(source_, AL_PITCH, pitch_ > kMinPitch ? pitch_ : kMinPitch);
        manager_->heldEndUnknown(this);
    }
}

void Sound::setLoop(bool loop)
{
    loop_ = loop;
    // Streams loop by rewinding their decoder.
    if (hasSource_ && !stream_) {
        alSourcei(source_, AL_LOOPING, loop_ ? AL_TRUE : AL_FALSE);
        manager_->heldEndUnknown(this);
    }
}

void Sound::fadeIn(float seconds)
{
    if (!(seconds > 0.0f) || !std::isfinite(seconds)) {
        fadeMode_ = Fade::None;
        fade_ = 1.0f;
        applyGain();
        play();
        return;
    }
    if (!isPlaying())
        fade_ = 0.0f;
    fadeMode_ = Fade::In;
    fadeTime_ = seconds;
    applyGain();
    play();
    if (!isPlaying()) {
        fadeMode_ = Fade::None;
        fade_ = 1.0f;
        manager_->heldGainChanged(this);
    }
}

void Sound::fadeOut(float seconds)
{
    if (!isPlaying() || !(seconds > 0.0f) || !std::isfinite(seconds)) {
        stop();
        return;
    }
    fadeMode_ = Fade::Out;
    fadeTime_ = seconds;
}

void Sound::update(float dt)
{
    if (state_ == State::Playing && fadeMode_ != Fade::None) {
        const float step = dt / fadeTime_;
        if (fadeMode_ == Fade::In) {
            fade_ += step;
            if (fade_ >= 1.0f) {
                fade_ = 1.0f;
                fadeMode_ = Fade::None;
            }
        } else {
            fade_ -= step;
            if (fade_ <= 0.0f) {
                stop();
                return;
            }
        }
        applyGain();
    }
    if (!hasSource_)
        return;
    if (stream_)
        refillStream();
    if (state_ == State::Playing && !isPlaying()) {
        // Finished: the source goes back to the pool.
        releaseSource();
        state_ = State::Stopped;
        fadeMode_ = Fade::None;
        fade_ = 1.0f;
        return;
    }
    applyPosition();
}

void Sound::applyGain()
{
    if (!hasSource_)
        return;
    alSourcef(source_, AL_GAIN, gain_ * fade_);
    manager_->heldGainChanged(this);
}

void Sound::applyPosition()
{
    if (!hasSource_)
        return;
    if (isAttached()) {
        const Ogre::Vector3 p = _getParentNodeFullTransform().getTrans();
        alSourcei(source_, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(source_, AL_POSITION, p.x, p.y, p.z);
    } else {
        alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source_, AL_POSITION, 0, 0, 0);
    }
}

bool Sound::startSource()
{
    unsigned source = 0;
    if (!manager_->acquireSource(this, source))
        return false;
    source_ = source;
    hasSource_ = true;
    alSourcef(source_, AL_REFERENCE_DISTANCE, kReferenceDistance);
    alSourcef(source_, AL_MAX_DISTANCE, kMaxDistance);
    alSourcef(source_, AL_ROLLOFF_FACTOR, 1.0f);
    alSourcef(source_, AL_PITCH, pitch_ > kMinPitch ? pitch_ : kMinPitch);
    applyGain();
    applyPosition();
    if (stream_) {
        alSourcei(source_, AL_LOOPING, AL_FALSE);
        if (!streamBuffersMade_) {
            alGetError();
            alGenBuffers(kStreamBufferCount, streamBuffers_);
            if (alGetError() != AL_NO_ERROR) {
                releaseSource();
                return false;
            }
            streamBuffersMade_ = true;
            streamRate_ = decoder_->rate();
            streamFormat_ = decoder_->channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
            // Half a second per buffer keeps two seconds queued ahead.
            streamChunkBytes_ = decoder_->rate() * decoder_->channels() * 2 / 2;
        }
        decoder_->rewind();
        streamEnded_ = false;
        unsigned queued = 0;
        for (unsigned i = 0; i < kStreamBufferCount && fillStreamBuffer(streamBuffers_[i]); ++i) {
            alSourceQueueBuffers(source_, 1, &streamBuffers_[i]);
            ++queued;
        }
        if (queued == 0) {
            releaseSource();
            return false;
        }
    } else {
        alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer_->id));
        alSourcei(source_, AL_LOOPING, loop_ ? AL_TRUE : AL_FALSE);
    }
    alSourcePlay(source_);
    return true;
}

void Sound::releaseSource()
{
    if (!hasSource_)
        return;
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    hasSource_ = false;
    manager_->sourceDropped(this);
    manager_->releaseSource(source_);
}

bool Sound::fillStreamBuffer(unsigned buffer)
{
    if (streamEnded_)
        return false;
    std::vector<char> pcm(static_cast<size_t>(streamChunkBytes_));
    long got = decoder_->read(pcm.data(), streamChunkBytes_);
    if (got == 0 && loop_ && decoder_->rewind())
        got = decoder_->read(pcm.data(), streamChunkBytes_);
    if (got <= 0) {
        streamEnded_ = true;
        return false;
    }
    alBufferData(buffer, static_cast<ALenum>(streamFormat_), pcm.data(), static_cast<ALsizei>(got),
                 static_cast<ALsizei>(streamRate_));
    return true;
}

void Sound::refillStream()
{
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source_, 1, &buffer);
        if (fillStreamBuffer(buffer))
            alSourceQueueBuffers(source_, 1, &buffer);
    }
    if (state_ != State::Playing || streamEnded_)
        return;
    ALint queued = 0;
    alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
    if (queued > 0 && sourceState() != AL_PLAYING)
        alSourcePlay(source_);  // it ran dry between two updates
}

const Ogre::String& Sound::getMovableType() const { return kSoundType; }

const Ogre::AxisAlignedBox& Sound::getBoundingBox() const { return Ogre::AxisAlignedBox::BOX_NULL; }

Listener::Listener() : Ogre::MovableObject("SoundListener")
{
    setQueryFlags(0);
    setCastShadows(false);
}

const Ogre::String& Listener::getMovableType() const { return kListenerType; }

const Ogre::AxisAlignedBox& Listener::getBoundingBox() const { return Ogre::AxisAlignedBox::BOX_NULL; }

}  // namespace audio
