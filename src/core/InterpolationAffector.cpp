#include "core/InterpolationAffector.h"

#include <OgreColourValue.h>
#include <OgreMath.h>
#include <OgreParticle.h>
#include <OgreParticleSystem.h>
#include <OgreStringConverter.h>

InterpolationAffector::CmdRelativeVelocity InterpolationAffector::msRelativeVelocityCmd;
InterpolationAffector::CmdSpinVelocity InterpolationAffector::msSpinVelocityCmd;
InterpolationAffector::CmdRelativeSize InterpolationAffector::msRelativeSizeCmd;
InterpolationAffector::CmdInterpValues InterpolationAffector::msInterpValuesCmd;

InterpolationAffector::InterpolationAffector(Ogre::ParticleSystem* system) : Ogre::ParticleAffector(system)
{
    mType = "Interpolation";
    if (createParamDictionary("Interpolation")) {
        Ogre::ParamDictionary* dict = getParamDictionary();
        dict->addParameter(Ogre::ParameterDef("relative_velocity",
                                              "Detemines whether the velocity of the particles is scaled.",
                                              Ogre::PT_BOOL),
                           &msRelativeVelocityCmd);
        dict->addParameter(Ogre::ParameterDef("spin_velocity",
                                              "Detemines whether the spin velocity of the particles is scaled.",
                                              Ogre::PT_BOOL),
                           &msSpinVelocityCmd);
        dict->addParameter(Ogre::ParameterDef("relative_size",
                                              "Detemines whether the size of the particles is scaled.",
                                              Ogre::PT_BOOL),
                           &msRelativeSizeCmd);
        dict->addParameter(Ogre::ParameterDef("values", "Values to interpolate between.", Ogre::PT_REAL),
                           &msInterpValuesCmd);
    }
}

float InterpolationAffector::evaluate(float x) const
{
    if (mPoints.empty())
        return 1.0f;
    if (x <= mPoints.front().time)
        return mPoints.front().value;
    if (x >= mPoints.back().time)
        return mPoints.back().value;
    for (size_t i = 1; i < mPoints.size(); ++i) {
        const Point& p = mPoints[i];
        if (p.time >= x) {
            const Point& q = mPoints[i - 1];
            return q.value + (p.value - q.value) * (x - q.time) / (p.time - q.time);
        }
    }
    return mPoints.back().value;
}

void InterpolationAffector::_initParticle(Ogre::Particle* particle)
{
    const float start = evaluate(0.0f);
    if (mSpinVelocity)
        particle->mRotationSpeed = Ogre::Radian(start);
    if (mRelativeVelocity)
        particle->mDirection *= start;
}

void InterpolationAffector::_affectParticles(Ogre::ParticleSystem* system, Ogre::Real timeElapsed)
{
    const float w = system->getDefaultWidth();
    const float h = system->getDefaultHeight();
    for (Ogre::Particle* p : system->_getActiveParticles()) {
        // A particle without a life span counts as at its end rather than dividing by zero.
        const float total = p->mTotalTimeToLive;
        const float age = total > 0.0f ? 1.0f - p->mTimeToLive / total : 1.0f;
        const float s = evaluate(age);
        if (mSpinVelocity) {
            p->mRotationSpeed = Ogre::Radian(s * Ogre::Math::fDeg2Rad);
            p->setRotation(p->mRotation + p->mRotationSpeed * timeElapsed);
        }
        if (mRelativeSize)
            p->setDimensions(w * s, h * s);
        if (mRelativeVelocity) {
            const float before = total > 0.0f ? evaluate(1.0f - (p->mTimeToLive + timeElapsed) / total) : s;
            if (before != 0.0f)
                p->mDirection *= s / before;
        }
    }
}

Ogre::String InterpolationAffector::CmdRelativeVelocity::doGet(const void* target) const
{
    return Ogre::StringConverter::toString(static_cast<const InterpolationAffector*>(target)->getRelativeVelocity());
}
void InterpolationAffector::CmdRelativeVelocity::doSet(void* target, const Ogre::String& val)
{
    static_cast<InterpolationAffector*>(target)->setRelativeVelocity(Ogre::StringConverter::parseBool(val));
}

Ogre::String InterpolationAffector::CmdSpinVelocity::doGet(const void* target) const
{
    return Ogre::StringConverter::toString(static_cast<const InterpolationAffector*>(target)->getSpinVelocity());
}
void InterpolationAffector::CmdSpinVelocity::doSet(void* target, const Ogre::String& val)
{
    static_cast<InterpolationAffector*>(target)->setSpinVelocity(Ogre::StringConverter::parseBool(val));
}

Ogre::String InterpolationAffector::CmdRelativeSize::doGet(const void* target) const
{
    return Ogre::StringConverter::toString(static_cast<const InterpolationAffector*>(target)->getRelativeSize());
}
void InterpolationAffector::CmdRelativeSize::doSet(void* target, const Ogre::String& val)
{
    static_cast<InterpolationAffector*>(target)->setRelativeSize(Ogre::StringConverter::parseBool(val));
}

Ogre::String InterpolationAffector::CmdInterpValues::doGet(const void* target) const
{
    Ogre::String text;
    for (const Point& p : static_cast<const InterpolationAffector*>(target)->getPoints()) {
        text += Ogre::StringConverter::toString(p.time, 6) + " ";
        text += Ogre::StringConverter::toString(p.value, 6) + " ";
    }
    return text;
}
void InterpolationAffector::CmdInterpValues::doSet(void* target, const Ogre::String& val)
{
    const Ogre::StringVector tokens = Ogre::StringUtil::split(val, " \t");
    std::vector<Point> points;
    for (size_t i = 0; i + 1 < tokens.size(); i += 2)
        points.push_back({Ogre::StringConverter::parseReal(tokens[i]), Ogre::StringConverter::parseReal(tokens[i + 1])});
    static_cast<InterpolationAffector*>(target)->setPoints(points);
}

Ogre::ParticleAffector* InterpolationAffectorFactory::createAffector(Ogre::ParticleSystem* system)
{
    auto* affector = new InterpolationAffector(system);
    mAffectors.push_back(affector);
    return affector;
}
