#include "core/ExampleApplication.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

ExampleApplication::ExampleApplication() = default;

ExampleApplication::~ExampleApplication()
{
    // The listener owns the game; it goes before the engine it uses.
    delete mFrameListener;
    mFrameListener = nullptr;
    destroyEngine();
}

void ExampleApplication::destroyEngine()
{
    delete mOverlaySystem;
    mOverlaySystem = nullptr;
    delete mRoot;
    mRoot = nullptr;
}

void ExampleApplication::go()
{
    if (!setup())
        return;
    mRoot->startRendering();
    destroyScene();
}

bool ExampleApplication::setup()
{
    mRoot = new Ogre::Root(mResourcePath + "plugins.cfg", mResourcePath + "ogre.cfg",
                           mResourcePath + "Ogre.log");
    mOverlaySystem = new Ogre::OverlaySystem();
    setupResources();
    if (!configure())
        return false;
    chooseSceneManager();
    createCamera();
    createViewports();
    Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(5);
    createResourceListener();
    loadResources();
    createScene();
    createFrameListener();
    return true;
}

bool ExampleApplication::configure()
{
    if (!mRoot->showConfigDialog(nullptr))
        return false;
    mWindow = mRoot->initialise(true, "OGRE Render Window");
    return true;
}

void ExampleApplication::chooseSceneManager()
{
    mSceneMgr = mRoot->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME,
                                          "ExampleSMInstance");
    mSceneMgr->addRenderQueueListener(mOverlaySystem);
}

void ExampleApplication::createCamera()
{
    mCamera = mSceneMgr->createCamera("MenuCam");
    // The camera hangs on a node of the root, so later code can move it like any object.
    Ogre::SceneNode* node = mSceneMgr->getRootSceneNode()->createChildSceneNode("MenuCamNode");
    node->attachObject(mCamera);
    node->setPosition(0, 0, 500);
    node->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_WORLD);
    mCamera->setNearClipDistance(5);
}

void ExampleApplication::createFrameListener() {}

void ExampleApplication::createViewports()
{
    Ogre::Viewport* vp = mWindow->addViewport(mCamera, 0, 0, 0, 1, 1);
    vp->setBackgroundColour(Ogre::ColourValue(0, 0, 0, 1));
    mCamera->setAspectRatio(Ogre::Real(vp->getActualWidth()) / Ogre::Real(vp->getActualHeight()));
}

void ExampleApplication::setupResources()
{
    Ogre::ConfigFile cf;
    cf.load(mResourcePath + "resources.cfg", "\t:=", true);
    auto& rgm = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& section : cf.getSettingsBySection())
        for (const auto& setting : section.second)
            rgm.addResourceLocation(setting.second, setting.first, section.first);
}

void ExampleApplication::loadResources()
{
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
}
