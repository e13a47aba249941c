#include "play/PlayCamera.h"

#include "core/Utilities.h"
#include "world/GameObject.h"

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
    style = newStyle;
    update();
}

void PlayCamera::setZoom(float newZoom)
{
    zoom = newZoom == 0.0f ? 1.0f : newZoom;
    if (followArmNode)
        followArmNode->setPosition(2.0f, 150.0f * zoom, 100.0f * zoom);
}

void PlayCamera::update()
{
    if ((style != 1 && style != 2) || !target || !target->getMainNode() || !followBaseNode)
        return;
    // No lag and no turning: the view keeps the arm's direction whatever the vehicle does.
    const Ogre::Vector3& p = target->getMainNode()->getPosition();
    followBaseNode->setPosition(p.x, 0.0f, p.z);
}

void PlayCamera::placeIntroFrame()
{
    Ogre::SceneNode* node = target->getMainNode();
    const float yawDegrees = node->getOrientation().getYaw(true).valueDegrees();
    introBaseNode->setOrientation(Ogre::Quaternion::IDENTITY);
    introBaseNode->yaw(Ogre::Degree(yawDegrees - 180.0f), Ogre::Node::TS_LOCAL);
    introBaseNode->setPosition(node->getPosition());
}

void PlayCamera::lookAtTarget()
{
    introCamNode->lookAt(target->getMainNode()->getPosition(), Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
}

void PlayCamera::updateIntro()
{
    if (!target || !target->getMainNode() || !introCamNode)
        return;
    placeIntroFrame();
    introCamNode->setPosition(10.0f, 1.5f, -3.0f);
    lookAtTarget();
}

void PlayCamera::updateView(float t)
{
    if (followCamNode) {
        const float r = remapClamped(0.2f, 1.0f, t, 0.0f, -10.0f);
        followCamNode->setPosition(0.0f, r, r);
    }
    if (target && target->getMainNode() && introCamNode) {
        placeIntroFrame();
        // A pass along z until t = 2, then a cut to a sideways sweep.
        if (t <= 2.0f)
            introCamNode->setPosition(remapClamped(1.0f, 2.0f, t, 2.0f, -2.0f), 2.5f, 7.0f);
        else
            introCamNode->setPosition(10.0f, 1.5f, remapClamped(2.0f, 3.0f, t, 3.0f, -3.0f));
        lookAtTarget();
    }
    if (t <= 1.0f && viewport && followCam && viewport->getCamera() != followCam)
        viewport->setCamera(followCam);
}
