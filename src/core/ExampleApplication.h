#pragma once
#include <string>

namespace Ogre {
class Root;
class Camera;
class SceneManager;
class FrameListener;
class RenderWindow;
class OverlaySystem;
}

// The application base: engine set-up in a fixed order, then the engine's own loop.
class ExampleApplication {
public:
    ExampleApplication();
    virtual ~ExampleApplication();

    // setup, the loop, destroyScene.
    virtual void go();
    // False only when configure refuses.
    virtual bool setup();

    virtual void destroyScene() {}

    Ogre::Root* root() const { return mRoot; }
    Ogre::RenderWindow* window() const { return mWindow; }

protected:
    virtual bool configure();
    virtual void chooseSceneManager();
    virtual void createCamera();
    virtual void createFrameListener();
    virtual void createScene() = 0;
    virtual void createViewports();
    virtual void setupResources();
    virtual void createResourceListener() {}
    virtual void loadResources();
    // Deletes the overlay system and the engine (idempotent); the destructor calls it too.
    void destroyEngine();

    Ogre::Root* mRoot = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::SceneManager* mSceneMgr = nullptr;
    Ogre::FrameListener* mFrameListener = nullptr;
    Ogre::RenderWindow* mWindow = nullptr;
    std::string mResourcePath;
    // Overlays on this engine need their own system, made after the root and deleted before it.
    Ogre::OverlaySystem* mOverlaySystem = nullptr;
};
