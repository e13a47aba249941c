#pragma once
#include <OgreMovableObject.h>

#include <memory>
#include <string>

namespace audio {

class SoundManager;
class OggDecoder;
struct SoundBuffer;

// One named sound made by the SoundManager. It can be attached to a scene node, whose position it
// then follows; a detached sound plays at the listener. It holds an OpenAL source only while it
// plays or is paused. A sound without data (no device, a missing or bad file) accepts every call
// and plays nothing.
class Sound : public Ogre::MovableObject {
public:
    ~Sound() override;

    void play();
    void pause();
    void stop();
    bool isPlaying() const;
    bool isPaused() const;
    bool isStopped() const;
    // Holds one of the manager's sources: playing, paused, or ended since the last update.
    bool holdsSource() const { return hasSource_; }

    void setGain(float gain);
    float getGain() const { return gain_; }
    void setPitch(float pitch);
    float getPitch() const { return pitch_; }
    void setLoop(bool loop);
    bool isLooping() const { return loop_; }

    // Starts the sound (when not already playing) and raises it from silence to its gain.
    void fadeIn(float seconds);
    // Lowers it to silence, then stops it; its gain is kept for the next play.
    void fadeOut(float seconds);
    // The gain actually applied now: the gain times the fade.
    float getEffectiveGain() const { return gain_ * fade_; }

    const std::string& getFileName() const { return fileName_; }
    bool isStreamed() const { return stream_; }
    // False when there is nothing to play (no device, or the file could not be read).
    bool hasData() const;

    // Ogre::MovableObject: a sound has nothing to draw and no extent.
    const Ogre::String& getMovableType() const override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override { return 0; }
    void _updateRenderQueue(Ogre::RenderQueue*) override {}
    void visitRenderables(Ogre::Renderable::Visitor*, bool) override {}

private:
    friend class SoundManager;
    enum class State { Stopped, Playing, Paused };
    enum class Fade { None, In, Out };

    Sound(SoundManager* manager, const std::string& name, const std::string& fileName, bool loop, bool stream);

    void update(float dt);
    void applyGain();
    void applyPosition();
    bool startSource();
    void releaseSource();
    bool fillStreamBuffer(unsigned buffer);
    void refillStream();
    int sourceState() const;

    SoundManager* manager_;
    std::string fileName_;
    bool loop_;
    bool stream_;
    float gain_ = 1.0f;
    float pitch_ = 1.0f;
    State state_ = State::Stopped;
    Fade fadeMode_ = Fade::None;
    float fade_ = 1.0f;
    float fadeTime_ = 0.0f;
    bool pausedByManager_ = false;
    unsigned long playOrder_ = 0;
    // Where the manager keeps it among the sounds that hold a source.
    bool held_ = false;
    float heldGain_ = 0.0f;
    unsigned long heldOrder_ = 0;
    bool heldSurely_ = false;   // among the sounds certain to play until heldUntil_
    double heldUntil_ = 0.0;

    bool hasSource_ = false;
    unsigned source_ = 0;
    std::shared_ptr<SoundBuffer> buffer_;  // loaded sounds share their decoded data
    std::unique_ptr<OggDecoder> decoder_;  // streamed sounds decode in chunks
    unsigned streamBuffers_[4] = {0, 0, 0, 0};
    bool streamBuffersMade_ = false;
    bool streamEnded_ = false;
    long streamFormat_ = 0;
    long streamRate_ = 0;
    long streamChunkBytes_ = 0;
};

// Where the sounds are heard: follows the scene node it is attached to (position and facing).
class Listener : public Ogre::MovableObject {
public:
    const Ogre::String& getMovableType() const override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override { return 0; }
    void _updateRenderQueue(Ogre::RenderQueue*) override {}
    void visitRenderables(Ogre::Renderable::Visitor*, bool) override {}

private:
    friend class SoundManager;
    Listener();
};

}  // namespace audio
