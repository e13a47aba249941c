#include "core/InterpolationAffector.h"

#include "support/TestSupport.h"

#include <Ogre.h>
#include <gtest/gtest.h>

namespace {

class Affector : public ::testing::Test {
protected:
    void SetUp() override
    {
        scene = engine.root()->createSceneManager();
        system = scene->createParticleSystem("ps", 10);
        system->setDefaultDimensions(4.0f, 2.0f);
        affector = static_cast<InterpolationAffector*>(system->addAffector("Interpolation"));
        // The particle pool is filled on the first update.
        scene->getRootSceneNode()->attachObject(system);
        system->_update(0.0f);
    }

    Ogre::Particle* particleAt(float ageFraction, float life = 2.0f)
    {
        Ogre::Particle* p = system->createParticle();
        EXPECT_NE(p, nullptr);
        if (!p)
            throw std::runtime_error("no particle");
        p->mTotalTimeToLive = life;
        p->mTimeToLive = life * (1.0f - ageFraction);
        p->mDirection = Ogre::Vector3(10, 0, 0);
        return p;
    }

    // The factory outlives the engine: particle systems hand their affectors back to it.
    InterpolationAffectorFactory factory;
    testsupport::HeadlessOgre engine;
    Ogre::SceneManager* scene = nullptr;
    Ogre::ParticleSystem* system = nullptr;
    InterpolationAffector* affector = nullptr;

    struct Registration {
        explicit Registration(InterpolationAffectorFactory* f)
        {
            Ogre::ParticleSystemManager::getSingleton().addAffectorFactory(f);
        }
    } registration{&factory};
};

}  // namespace

TEST_F(Affector, CurveLookup)
{
    affector->setParameter("values", "0 1 1 0");
    EXPECT_FLOAT_EQ(affector->evaluate(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(affector->evaluate(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(affector->evaluate(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(affector->evaluate(-3.0f), 1.0f);
    EXPECT_FLOAT_EQ(affector->evaluate(7.0f), 0.0f);

    affector->setParameter("values", "0.5 3");
    EXPECT_FLOAT_EQ(affector->evaluate(0.0f), 3.0f);
    EXPECT_FLOAT_EQ(affector->evaluate(0.9f), 3.0f);

    affector->setParameter("values", "");
    EXPECT_FLOAT_EQ(affector->evaluate(0.3f), 1.0f);
}

TEST_F(Affector, ParametersFromTextAndBack)
{
    affector->setParameter("values", "0 1 0.5");  // the trailing single token is dropped
    ASSERT_EQ(affector->getPoints().size(), 1u);
    EXPECT_EQ(affector->getParameter("values"), "0 1 ");

    affector->setParameter("values", "0\t1  1 0");
    EXPECT_EQ(affector->getParameter("values"), "0 1 1 0 ");

    affector->setParameter("relative_size", "true");
    affector->setParameter("spin_velocity", "yes");
    EXPECT_TRUE(affector->getRelativeSize());
    EXPECT_TRUE(affector->getSpinVelocity());
    EXPECT_FALSE(affector->getRelativeVelocity());
    EXPECT_EQ(affector->getParameter("relative_size"), "true");
    EXPECT_EQ(affector->getType(), "Interpolation");
}

TEST_F(Affector, SizeAndSpinFollowTheCurveOverLife)
{
    affector->setParameter("values", "0 1 1 0");
    affector->setRelativeSize(true);
    affector->setSpinVelocity(true);
    Ogre::Particle* half = particleAt(0.5f);
    Ogre::Particle* fresh = particleAt(0.0f);
    affector->_affectParticles(system, 0.1f);

    EXPECT_FLOAT_EQ(half->getOwnWidth(), 2.0f);
    EXPECT_FLOAT_EQ(half->getOwnHeight(), 1.0f);
    EXPECT_FLOAT_EQ(fresh->getOwnWidth(), 4.0f);
    // Spin: the curve gives degrees per second.
    EXPECT_NEAR(half->mRotationSpeed.valueRadians(), 0.5f * Ogre::Math::fDeg2Rad, 1e-6f);
    EXPECT_NEAR(half->mRotation.valueRadians(), 0.5f * Ogre::Math::fDeg2Rad * 0.1f, 1e-6f);
}

TEST_F(Affector, VelocityFollowsTheCurveAndStopsAtZero)
{
    affector->setParameter("values", "0 1 0.5 0 1 0");
    affector->setRelativeVelocity(true);
    Ogre::Particle* p = particleAt(0.0f, 1.0f);
    affector->_initParticle(p);
    EXPECT_FLOAT_EQ(p->mDirection.x, 10.0f);

    // Step through life: speed = emitted speed x curve value at the age.
    const float dt = 0.1f;
    for (int i = 1; i <= 4; ++i) {
        p->mTimeToLive -= dt;
        affector->_affectParticles(system, dt);
        EXPECT_NEAR(p->mDirection.x, 10.0f * (1.0f - 0.2f * i), 1e-3f) << "step " << i;
    }
    // Reaching 0 stops it, and it stays stopped.
    for (int i = 0; i < 3; ++i) {
        p->mTimeToLive -= dt;
        affector->_affectParticles(system, dt);
    }
    EXPECT_NEAR(p->mDirection.x, 0.0f, 1e-4f);
}

TEST_F(Affector, EmptyCurveLeavesParticlesAlone)
{
    affector->setRelativeSize(true);
    affector->setRelativeVelocity(true);
    affector->setSpinVelocity(true);
    Ogre::Particle* p = particleAt(0.3f);
    affector->_initParticle(p);
    affector->_affectParticles(system, 0.5f);
    EXPECT_FLOAT_EQ(p->getOwnWidth(), 4.0f);
    EXPECT_FLOAT_EQ(p->mDirection.x, 10.0f);
    EXPECT_NEAR(p->mRotationSpeed.valueRadians(), Ogre::Math::fDeg2Rad, 1e-6f);
}

TEST_F(Affector, ParticleWithoutLifeSpanIsTreatedAsAtItsEnd)
{
    affector->setParameter("values", "0 1 1 0.25");
    affector->setRelativeSize(true);
    affector->setRelativeVelocity(true);
    Ogre::Particle* p = particleAt(0.0f);
    p->mTotalTimeToLive = 0.0f;
    p->mTimeToLive = 0.0f;
    affector->_affectParticles(system, 0.1f);
    EXPECT_FLOAT_EQ(p->getOwnWidth(), 1.0f);
    EXPECT_FLOAT_EQ(p->mDirection.x, 10.0f);
}
