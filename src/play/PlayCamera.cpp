#include "play/PlayCamera.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

namespace {
Ogre::SceneNode* makeChild(Ogre::SceneNode* parent)
{
    Ogre::SceneNode* node = parent->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    node->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    return node;
}

Ogre::Camera* makeCamera(Ogre::SceneManager* scene, const char* name, float nearClip, Ogre::Viewport* viewport)
{
    // A new camera already faces -Z: it looks at (0, 0, -300) from its node.
    Ogre::Camera* cam = scene->createCamera(name);
    cam->setNearClipDistance(nearClip);
    if (viewport && viewport->getActualHeight() > 0)
        cam->setAspectRatio(static_cast<float>(viewport->getActualWidth()) /
                            static_cast<float>(viewport->getActualHeight()));
    return cam;
}
}  // namespace

PlayCamera::PlayCamera(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_, SceneContext* sceneContext_,
                       Ogre::Viewport* viewport_)
    : window(window_), sceneManager(sceneManager_), sceneContext(sceneContext_), viewport(viewport_)
{
    if (!sceneManager)
        return;
    Ogre::SceneNode* root = sceneManager->getRootSceneNode();
    introCam = makeCamera(sceneManager, "ZV_cIntroCam", 1.0f, viewport);
    introBaseNode = makeChild(root);
    introCamNode = makeChild(introBaseNode);
    introCamNode->attachObject(introCam);

    followCam = makeCamera(sceneManager, "ZV_cPCMCam", 5.0f, viewport);
    followBaseNode = makeChild(root);
    followArmNode = makeChild(followBaseNode);
    followArmNode->setPosition(2.0f, 150.0f, 100.0f);
    followArmNode->setDirection(Ogre::Vector3(0, -50, -30), Ogre::Node::TS_LOCAL, Ogre::Vector3::NEGATIVE_UNIT_Z);
    followCamNode = makeChild(followArmNode);
    followCamNode->attachObject(followCam);

    if (viewport)
        viewport->setCamera(introCam);
}

PlayCamera::~PlayCamera()
{
    if (!sceneManager)
        return;
    if (introCam) {
        sceneManager->destroyCamera(introCam);
        introCam = nullptr;
    }
    destroyNode(introCamNode);
    destroyNode(introBaseNode);
    if (followCam) {
        sceneManager->destroyCamera(followCam);
        followCam = nullptr;
    }
    destroyNode(followCamNode);
    destroyNode(followArmNode);
    destroyNode(followBaseNode);
}

void PlayCamera::destroyNode(Ogre::SceneNode*& node)
{
    if (!node)
        return;
    node->removeAndDestroyAllChildren();
    sceneManager->destroySceneNode(node);
    node = nullptr;
}

void PlayCamera::setStyle(uint32_t newStyle)
{
    // Following the target comes with the camera's per-frame step.
    style = newStyle;
}

void PlayCamera::setZoom(float newZoom)
{
    zoom = newZoom == 0.0f ? 1.0f : newZoom;
    if (followArmNode)
        followArmNode->setPosition(2.0f, 150.0f * zoom, 100.0f * zoom);
}
