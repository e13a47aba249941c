#pragma once
// The two cameras of a play and the nodes that carry them: the intro camera that flies past the
// player's vehicle during the countdown, and the follow camera that looks down on the arena.
#include <cstdint>

namespace Ogre {
class Camera;
class RenderWindow;
class SceneManager;
class SceneNode;
class Viewport;
}
class GameObject;
class SceneContext;

class PlayCamera {
public:
    PlayCamera(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, SceneContext* sceneContext,
               Ogre::Viewport* viewport);
    ~PlayCamera();
    PlayCamera(const PlayCamera&) = delete;
    PlayCamera& operator=(const PlayCamera&) = delete;

    // Styles 1 and 2 follow the target (placed at once); others leave the follow camera where it is.
    void setStyle(uint32_t newStyle);
    // Zoom 0 counts as 1; the arm's height and distance scale with it.
    void setZoom(float newZoom);
    // One follow step: the follow point goes under the target on the ground plane.
    void update();
    // The intro camera's first pose, the one the countdown starts from.
    void updateIntro();
    // The intro flight at countdown t (seconds, 3 down to 0) and the hand-over to the follow
    // camera once t reaches 1.
    void updateView(float t);

    Ogre::RenderWindow* window = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    SceneContext* sceneContext = nullptr;
    Ogre::Viewport* viewport = nullptr;
    GameObject* target = nullptr;  // borrowed; set when the player's vehicle is spawned
    Ogre::SceneNode* introBaseNode = nullptr;
    Ogre::SceneNode* introCamNode = nullptr;
    Ogre::Camera* introCam = nullptr;
    Ogre::SceneNode* followBaseNode = nullptr;
    Ogre::SceneNode* followArmNode = nullptr;
    Ogre::SceneNode* followCamNode = nullptr;
    Ogre::Camera* followCam = nullptr;
    uint32_t style = 0;
    float zoom = 1.0f;

private:
    void placeIntroFrame();
    void lookAtTarget();
    void destroyNode(Ogre::SceneNode*& node);
};
