#pragma once
#include <OgreParticleAffector.h>
#include <OgreParticleAffectorFactory.h>
#include <OgreStringInterface.h>

#include <vector>

// Shapes a particle over its life by one curve of (life fraction, value): velocity, spin speed
// and size are scaled by the curve's value. Particle scripts use it as affector "Interpolation".
class InterpolationAffector : public Ogre::ParticleAffector {
public:
    struct Point {
        float time;
        float value;
    };

    class CmdRelativeVelocity : public Ogre::ParamCommand {
    public:
        Ogre::String doGet(const void* target) const override;
        void doSet(void* target, const Ogre::String& val) override;
    };
    class CmdSpinVelocity : public Ogre::ParamCommand {
    public:
        Ogre::String doGet(const void* target) const override;
        void doSet(void* target, const Ogre::String& val) override;
    };
    class CmdRelativeSize : public Ogre::ParamCommand {
    public:
        Ogre::String doGet(const void* target) const override;
        void doSet(void* target, const Ogre::String& val) override;
    };
    class CmdInterpValues : public Ogre::ParamCommand {
    public:
        Ogre::String doGet(const void* target) const override;
        void doSet(void* target, const Ogre::String& val) override;
    };

    explicit InterpolationAffector(Ogre::ParticleSystem* system);

    void _initParticle(Ogre::Particle* particle) override;
    void _affectParticles(Ogre::ParticleSystem* system, Ogre::Real timeElapsed) override;

    // The curve's value at x (1 without points; held at the ends).
    float evaluate(float x) const;

    bool getRelativeVelocity() const { return mRelativeVelocity; }
    void setRelativeVelocity(bool on) { mRelativeVelocity = on; }
    bool getSpinVelocity() const { return mSpinVelocity; }
    void setSpinVelocity(bool on) { mSpinVelocity = on; }
    bool getRelativeSize() const { return mRelativeSize; }
    void setRelativeSize(bool on) { mRelativeSize = on; }
    const std::vector<Point>& getPoints() const { return mPoints; }
    void setPoints(const std::vector<Point>& points) { mPoints = points; }

private:
    std::vector<Point> mPoints;
    bool mRelativeVelocity = false;
    bool mSpinVelocity = false;
    bool mRelativeSize = false;

    static CmdRelativeVelocity msRelativeVelocityCmd;
    static CmdSpinVelocity msSpinVelocityCmd;
    static CmdRelativeSize msRelativeSizeCmd;
    static CmdInterpValues msInterpValuesCmd;
};

class InterpolationAffectorFactory : public Ogre::ParticleAffectorFactory {
public:
    Ogre::String getName() const override { return "Interpolation"; }
    Ogre::ParticleAffector* createAffector(Ogre::ParticleSystem* system) override;
};
