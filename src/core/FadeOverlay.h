#pragma once

namespace Ogre {
class TextureUnitState;
class Overlay;
}

// Fades the whole screen to and from black with a full-screen overlay whose alpha is set on the
// material's texture unit. Starts black. Without its material or overlay it does nothing.
// States that start a fade by hand use these calls: "alpha 1, elapsed = duration = d, mode 1,
// overlay shown" is startFadeIn(d); "alpha 1 applied, overlay shown" is setAlpha(1).
class FadeOverlay {
public:
    static constexpr const char* kMaterialName = "Materials/OverlayMaterial";
    static constexpr const char* kOverlayName = "Overlays/FadeInOut";

    enum Mode { Idle = 0, FadingIn = 1, FadingOut = 2 };

    FadeOverlay();

    // The picture comes in: alpha falls from 1 to 0.
    void startFadeIn(double duration);
    // The picture goes black: alpha rises from 0 to 1. A duration below 1e-6 fades over 1 s.
    void startFadeOut(double duration);
    void setAlpha(float alpha);
    void update(double dt);

    double getAlpha() const { return alpha_; }
    int getMode() const { return mode_; }
    double getDuration() const { return duration_; }
    // False when the material or the overlay could not be set up: the game runs without fades.
    bool isWorking() const { return textureUnit_ != nullptr; }
    bool isOverlayVisible() const;

private:
    void applyAlpha();

    double alpha_ = 1.0;
    double elapsed_ = 0.0;
    double duration_ = 0.0;
    Ogre::TextureUnitState* textureUnit_ = nullptr;
    Ogre::Overlay* overlay_ = nullptr;
    int mode_ = Idle;
};
