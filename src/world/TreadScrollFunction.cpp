#include "world/TreadScrollFunction.h"

#include <OgreControllerManager.h>
#include <OgrePredefinedControllers.h>

#include <cmath>

TreadScrollFunction::TreadScrollFunction() : Ogre::ControllerFunction<Ogre::Real>(true) {}

void TreadScrollFunction::setRate(Ogre::Real rate)
{
    if (std::isfinite(rate))
        rate_ = rate;
    ticked_ = true;
}

Ogre::Real TreadScrollFunction::calculate(Ogre::Real frameTime)
{
    // The texture moves only in a frame in which the vehicle ticked: a paused or held play stands still.
    const Ogre::Real step = ticked_ ? frameTime * rate_ : 0.0f;
    ticked_ = false;
    // fmod of a non-finite step would poison the offset for good.
    return getAdjustedInput(std::isfinite(step) ? step : 0.0f);
}

Ogre::Controller<Ogre::Real>* createTreadScroller(Ogre::TextureUnitState* unit,
                                                  std::shared_ptr<TreadScrollFunction>& function)
{
    function.reset();
    if (!unit)
        return nullptr;
    auto& controllers = Ogre::ControllerManager::getSingleton();
    function = std::make_shared<TreadScrollFunction>();
    const Ogre::ControllerValueRealPtr value = Ogre::TexCoordModifierControllerValue::create(unit, false, true);
    return controllers.createController(controllers.getFrameTimeSource(), value, function);
}
