#include "core/FadeOverlay.h"

#include "platform/Platform.h"

#include <Ogre.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

namespace {

void logFaderProblem(const std::string& text)
{
    platform::showWarning("Fader Exception: " + text);
}

}  // namespace

FadeOverlay::FadeOverlay()
{
    alpha_ = 1.0;
    mode_ = Idle;
    try {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(kMaterialName);
        if (!material || material->getNumTechniques() == 0 || material->getTechnique(0)->getNumPasses() == 0 ||
            material->getTechnique(0)->getPass(0)->getNumTextureUnitStates() == 0) {
            logFaderProblem(std::string("material '") + kMaterialName + "' with a texture unit not found. Scene fading will not be supported.");
            return;
        }
        auto* overlays = Ogre::OverlayManager::getSingletonPtr();
        Ogre::Overlay* overlay = overlays ? overlays->getByName(kOverlayName) : nullptr;
        if (!overlay) {
            logFaderProblem(std::string("overlay '") + kOverlayName + "' not found. Scene fading will not be supported.");
            return;
        }
        // Keep both or neither, so every later call can rely on them.
        textureUnit_ = material->getTechnique(0)->getPass(0)->getTextureUnitState(0);
        overlay_ = overlay;
        overlay_->show();
        applyAlpha();
    } catch (const Ogre::Exception& e) {
        textureUnit_ = nullptr;
        overlay_ = nullptr;
        logFaderProblem(e.getFullDescription());
    } catch (...) {
        textureUnit_ = nullptr;
        overlay_ = nullptr;
        logFaderProblem("An unknown exception has occured while setting up the fader.  Scene fading will not be supported.");
    }
}

void FadeOverlay::startFadeIn(double duration)
{
    alpha_ = 1.0;
    elapsed_ = duration;
    duration_ = duration;
    mode_ = FadingIn;
    if (overlay_)
        overlay_->show();
}

void FadeOverlay::startFadeOut(double duration)
{
    if (duration < 1e-6)
        duration = 1.0;
    mode_ = FadingOut;
    alpha_ = 0.0;
    elapsed_ = 0.0;
    duration_ = duration;
    if (overlay_)
        overlay_->show();
}

void FadeOverlay::setAlpha(float alpha)
{
    alpha_ = alpha;
    if (overlay_) {
        if (alpha_ > 0.0)
            overlay_->show();
        else
            overlay_->hide();
    }
    applyAlpha();
}

void FadeOverlay::update(double dt)
{
    if (mode_ == Idle || !textureUnit_)
        return;
    // This frame draws the value of the previous step.
    applyAlpha();
    if (mode_ == FadingIn) {
        elapsed_ -= dt;
        alpha_ = elapsed_ / duration_;
        if (alpha_ < 0.0) {
            overlay_->hide();
            mode_ = Idle;
        }
    } else if (mode_ == FadingOut) {
        elapsed_ += dt;
        alpha_ = elapsed_ / duration_;
        if (alpha_ > 1.0)
            mode_ = Idle;  // stays shown, black
    }
}

bool FadeOverlay::isOverlayVisible() const
{
    return overlay_ && overlay_->isVisible();
}

void FadeOverlay::applyAlpha()
{
    if (textureUnit_)
        textureUnit_->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_MANUAL, Ogre::LBS_TEXTURE,
                                        static_cast<Ogre::Real>(alpha_), 1.0, 0.0);
}
