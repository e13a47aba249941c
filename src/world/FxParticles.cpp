#include "world/FxParticles.h"

#include <OgreLogManager.h>
#include <OgreParticleEmitter.h>
#include <OgreParticleSystem.h>
#include <OgreParticleSystemManager.h>
#include <OgreSceneManager.h>

#include <algorithm>

namespace fx {

Ogre::ParticleSystem* createParticleSystem(Ogre::SceneManager* scene, const std::string& name,
                                           const std::string& templateName)
{
    if (!Ogre::ParticleSystemManager::getSingleton().getTemplate(templateName)) {
        Ogre::LogManager::getSingleton().logMessage("Particle system " + name + ": no template '" + templateName +
                                                    "'; the effect goes on without it");
        return nullptr;
    }
    try {
        return scene->createParticleSystem(name, templateName);
    } catch (const Ogre::Exception& e) {
        Ogre::LogManager::getSingleton().logMessage("Particle system " + name + " not made: " +
                                                    e.getDescription());
        return nullptr;
    }
}

void destroyParticleSystem(Ogre::SceneManager* scene, Ogre::ParticleSystem* system)
{
    if (!system)
        return;
    system->clear();
    scene->destroyParticleSystem(system);
}

float longestParticleLife(const std::vector<Ogre::ParticleSystem*>& systems)
{
    float longest = 0.0f;
    for (const Ogre::ParticleSystem* system : systems) {
        if (!system)
            continue;
        for (unsigned short i = 0; i < system->getNumEmitters(); ++i)
            longest = std::max(longest, system->getEmitter(i)->getMaxTimeToLive());
    }
    return longest;
}

void setAllEmissionRates(Ogre::ParticleSystem* system, float rate)
{
    if (!system)
        return;
    for (unsigned short i = 0; i < system->getNumEmitters(); ++i)
        system->getEmitter(i)->setEmissionRate(rate);
}

void setFirstEmissionRate(Ogre::ParticleSystem* system, float rate)
{
    if (system && system->getNumEmitters() > 0)
        system->getEmitter(0)->setEmissionRate(rate);
}

float firstEmissionRate(const Ogre::ParticleSystem* system)
{
    if (!system || system->getNumEmitters() == 0)
        return 0.0f;
    return system->getEmitter(0)->getEmissionRate();
}

void setSpeedFactor(Ogre::ParticleSystem* system, float factor)
{
    if (system)
        system->setSpeedFactor(factor);
}

void setEmitterPositions(Ogre::ParticleSystem* system, const Ogre::Vector3& position)
{
    if (!system)
        return;
    for (unsigned short i = 0; i < system->getNumEmitters(); ++i)
        system->getEmitter(i)->setPosition(position);
}

void setEmitterDirectionsX(Ogre::ParticleSystem* system, float x)
{
    if (!system)
        return;
    for (unsigned short i = 0; i < system->getNumEmitters(); ++i) {
        Ogre::ParticleEmitter* emitter = system->getEmitter(i);
        const Ogre::Vector3 d = emitter->getDirection();
        emitter->setDirection(Ogre::Vector3(x, d.y, d.z));
    }
}

float spreadPitch(float v, float r)
{
    if (v < 2.0f)
        return r * v + (1.0f - v * 0.5f);
    return v * r;
}

}  // namespace fx
