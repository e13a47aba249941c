#pragma once
// Helpers shared by the run-time effects and reactors: their particle systems and sound pitches.
#include <OgreVector.h>

#include <string>
#include <vector>

namespace Ogre {
class ParticleSystem;
class SceneManager;
}

namespace fx {

// A system made from a template, or null (with one log line) when the template is unknown or the
// engine refuses it, so a missing script costs the effect its particles, not the play.
Ogre::ParticleSystem* createParticleSystem(Ogre::SceneManager* scene, const std::string& name,
                                           const std::string& templateName);
// Clears the system, detaches it and destroys it; null is ignored.
void destroyParticleSystem(Ogre::SceneManager* scene, Ogre::ParticleSystem* system);

// The longest life a particle can have over every emitter of the systems (nulls skipped); 0 when
// there are none.
float longestParticleLife(const std::vector<Ogre::ParticleSystem*>& systems);

// Emission rate of every emitter of the system, or of its first emitter only; null is ignored.
void setAllEmissionRates(Ogre::ParticleSystem* system, float rate);
void setFirstEmissionRate(Ogre::ParticleSystem* system, float rate);
// The first emitter's rate; 0 without a system or an emitter.
float firstEmissionRate(const Ogre::ParticleSystem* system);
void setSpeedFactor(Ogre::ParticleSystem* system, float factor);
// Every emitter's position, or the x of every emitter's direction (y and z kept); null is ignored.
void setEmitterPositions(Ogre::ParticleSystem* system, const Ogre::Vector3& position);
void setEmitterDirectionsX(Ogre::ParticleSystem* system, float x);

// The lowest pitch a sound is given: a zero or negative pitch is not a sound.
constexpr float kMinPitch = 0.05f;
inline float clampPitch(float pitch) { return pitch > kMinPitch ? pitch : kMinPitch; }

// A one-off pitch around 1 for a spread v below 2 (in [1 - v/2, 1 + v/2)), else in [0, v); r in [0, 1).
float spreadPitch(float v, float r);

}  // namespace fx
