#pragma once
// The function of a tread's texture scroll controller: each frame in which the vehicle ticked it adds
// frame time x rate to the V offset, wrapped to [0, 1). The vehicle sets the rate every tick from its
// speed and turning; a frame without a tick (paused, held) leaves the offset as it is.
#include <OgreController.h>
#include <OgrePrerequisites.h>

#include <memory>

class TreadScrollFunction : public Ogre::ControllerFunction<Ogre::Real> {
public:
    TreadScrollFunction();

    // Texture lengths per second, for the coming frame; a non-finite rate is ignored (the last rate
    // stays).
    void setRate(Ogre::Real rate);
    Ogre::Real getRate() const { return rate_; }

    Ogre::Real calculate(Ogre::Real frameTime) override;

private:
    Ogre::Real rate_ = 0.0f;
    bool ticked_ = false;
};

// A V scroller on the texture unit driven by the frame time through a new TreadScrollFunction
// (returned in `function`); null when the unit is null. Destroy it with
// ControllerManager::destroyController.
Ogre::Controller<Ogre::Real>* createTreadScroller(Ogre::TextureUnitState* unit,
                                                  std::shared_ptr<TreadScrollFunction>& function);
