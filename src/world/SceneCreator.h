#pragma once
#include <OgreColourValue.h>
#include <OgreQuaternion.h>
#include <OgrePrerequisites.h>
#include <OgreSharedPtr.h>
#include <OgreShadowCameraSetup.h>
#include <OgreVector.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Ogre {
class AnimationState;
class Camera;
class Entity;
class Light;
class RenderWindow;
class SceneManager;
class SceneNode;
class StaticGeometry;
class Viewport;
}
class BinaryReader;
class BinaryWriter;
class FxPool;
class GamePlayData;
class SceneContext;
class VirtualReactor;
struct GameSettings;

// One mesh of a map node.
struct SceneMeshSlot {
    uint8_t used = 0;
    Ogre::Entity* entity = nullptr;
    uint8_t visible = 0;
    Ogre::AnimationState* animation = nullptr;  // null when the mesh is not animated
    float animationSpeed = 0.0f;                 // multiplies the frame time
    std::string entityName;
    std::string meshName;
    uint8_t useCustomMaterial = 0;
    std::string customMaterial;
};

// One reactor a map node carries; the reactor belongs to the effect pool.
struct SceneReactorSlot {
    std::string reactorName;
    VirtualReactor* reactor = nullptr;
};

struct SceneNodeRecord {
    uint8_t used = 0;
    uint8_t advancedCull = 0;      // kept and saved only
    uint8_t attachedToParent = 0;  // hangs under another record's node
    Ogre::SceneNode* node = nullptr;
    std::string name;
    std::vector<SceneMeshSlot> meshes;
    std::vector<SceneReactorSlot> reactors;
};

struct StaticInstance {
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
};

struct StaticGeometryRecord {
    uint8_t used = 0;
    std::string meshName;
    Ogre::StaticGeometry* geometry = nullptr;
    Ogre::Entity* templateEntity = nullptr;
    std::vector<StaticInstance> instances;
};

// Everything a map file says, from either of its two forms (the authored map.ini or the cache).
struct MapData {
    struct Mesh {
        bool visible = false;
        bool castShadows = true;
        std::string entityName, meshName;
        bool useCustomMaterial = false;
        std::string customMaterial;
        bool animated = false;  // an animation name and speed are given
        std::string animationName;
        float animationSpeed = 0.0f;
    };
    struct Node {
        std::string name;
        bool subNode = false;
        std::string parentName;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;  // in the engine's axes
        bool useQuaternion = false;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        float yaw = 0, pitch = 0, roll = 0;  // degrees, when no quaternion
        Ogre::Vector3 scale = Ogre::Vector3::ZERO;
        bool advancedCull = false;
        std::vector<Mesh> meshes;
        std::vector<std::string> reactors;
    };
    struct Static {
        std::string name;
        Ogre::Vector3 regionDimensions = Ogre::Vector3::ZERO;
        Ogre::Vector3 origin = Ogre::Vector3::ZERO;
        bool castShadows = false;
        float renderingDistance = 0.0f;
        bool visible = true;
        std::string entityName, meshName;
        std::vector<StaticInstance> instances;
    };

    Ogre::ColourValue shadowColour = Ogre::ColourValue::Black;
    Ogre::ColourValue ambientLight = Ogre::ColourValue::Black;
    uint32_t typeBG = 0;
    std::string bgMaterial;
    bool fog = false;
    Ogre::ColourValue fogColour = Ogre::ColourValue::White;
    float fogStart = 0, fogEnd = 0;
    bool sun = false;
    Ogre::Vector3 sunPosition = Ogre::Vector3::ZERO, sunDirection = Ogre::Vector3::NEGATIVE_UNIT_Y;
    Ogre::ColourValue sunDiffuse = Ogre::ColourValue::White, sunSpecular = Ogre::ColourValue::Black;
    bool sunCastShadows = false;
    std::vector<Node> nodes;
    std::vector<Static> statics;
    std::array<std::string, 7> collisionMeshes;  // move blocker, projectile blocker, floors 1-4, projectile floor
    std::array<std::string, 4> floorReactors;
};

// Builds and clears the rendered world of one map, from the map's cache (or, when caches are
// rebuilt, from its map.ini), and owns the camera "BreaCam" that shows the map behind the menus.
class SceneCreator {
public:
    SceneCreator(GamePlayData* playData, Ogre::SceneManager* sceneManager, Ogre::RenderWindow* window,
                 Ogre::Viewport* viewport, GameSettings* settings, const std::string& mapName,
                 SceneContext* sceneContext, FxPool* fxPool);
    virtual ~SceneCreator();
    SceneCreator(const SceneCreator&) = delete;
    SceneCreator& operator=(const SceneCreator&) = delete;

    virtual void parseMapIni(const std::string& mapName);
    virtual void readCache(const std::string& mapName);
    // Writes the loaded scene under the name; false when the file cannot be written.
    virtual bool writeCache(const std::string& mapName);

    // Builds another map; an empty name does nothing, the loaded map's name only reapplies the
    // texture filtering and shadow settings.
    void loadScene(const std::string& mapName);
    void updateAnimations(float dt);
    void clear();
    Ogre::SceneNode* findNode(const std::string& name) const;

    uint32_t createNode(const std::string& name, bool subNode, const std::string& parentName,
                        const Ogre::Vector3& position, bool zUpAxes, float yaw, float pitch, float roll,
                        uint32_t meshCount, uint32_t reactorCount, const Ogre::Vector3& scale,
                        bool useQuaternion, const Ogre::Quaternion& orientation);
    Ogre::Entity* addMeshToNode(const std::string& nodeName, const std::string& entityName,
                                const std::string& meshName, bool visible, bool castShadows,
                                bool useCustomMaterial, const std::string& customMaterial);

    void createBorder();
    void createSlowTimeBubble();
    void applyTextureFiltering();
    void applyShadowSettings();

    static std::string cachePath(const std::string& mapName);
    static std::string iniPath(const std::string& mapName);
    // The two forms of a map file, without building anything; false (and why, when asked) when
    // the file is missing, unreadable or damaged: a map that cannot be built whole is refused.
    static bool readMapIni(const std::string& path, MapData& out, std::string* problem = nullptr);
    static bool readMapCache(const std::string& path, MapData& out, std::string* problem = nullptr);
    static void writeMapData(BinaryWriter& out, const std::string& mapName, const MapData& data);

    const std::string& currentMap() const { return mCurrentMap; }
    const std::vector<SceneNodeRecord>& nodeRecords() const { return mNodes; }
    const std::vector<StaticGeometryRecord>& staticRecords() const { return mStatics; }
    Ogre::Light* sunLight() const { return mSunLight; }
    Ogre::Camera* camera() const { return mCamera; }
    Ogre::Viewport* viewport() const { return mViewport; }
    Ogre::SceneNode* anchorNode() const { return mAnchorNode; }
    Ogre::SceneNode* borderNode() const { return mBorderNode; }
    Ogre::Entity* collisionEntity(int index) const { return mCollision[index]; }
    Ogre::Entity* moveFloor(int index) const { return mCollision[2 + index]; }
    uint32_t typeBG() const { return mTypeBG; }
    const std::string& bgMaterial() const { return mBGmaterial; }

    static constexpr const char* kCollisionEntityNames[7] = {
        "cMovBlockMesh", "cProjBlockMesh", "cMovFloor1Mesh", "cMovFloor2Mesh",
        "cMovFloor3Mesh", "cMovFloor4Mesh", "cProjFloorMesh"};

private:
    // Steps 1 to 3 of every load; false when nothing more is to be built.
    bool beginLoad(const std::string& mapName);
    void build(const MapData& data, bool fromIni);
    void bindAnimation(SceneMeshSlot& slot, const std::string& name, float speed, bool allowed);
    Ogre::Entity* createEntitySafely(const std::string& entityName, const std::string& meshName);
    MapData captureScene() const;
    void destroyNodeContents(Ogre::SceneNode* node, bool destroyObjects);

    GamePlayData* mPlayData = nullptr;
    Ogre::SceneManager* mSceneMgr = nullptr;
    Ogre::RenderWindow* mWindow = nullptr;
    GameSettings* mSettings = nullptr;
    FxPool* mFxPool = nullptr;
    std::string mCurrentMap;
    Ogre::Light* mSunLight = nullptr;
    Ogre::SceneNode* mSunNode = nullptr;
    Ogre::ShadowCameraSetupPtr mShadowSetup;
    Ogre::Viewport* mViewport = nullptr;
    SceneContext* mSceneContext = nullptr;
    Ogre::SceneNode* mAnchorNode = nullptr;
    uint32_t mTypeBG = 0;
    std::string mBGmaterial;
    Ogre::SceneNode* mCollisionNode = nullptr;
    std::array<Ogre::Entity*, 7> mCollision{};
    std::array<std::string, 7> mCollisionMeshes;
    std::array<std::string, 4> mFloorReactors;
    Ogre::SceneNode* mBorderNode = nullptr;
    Ogre::Entity* mBorderEntity = nullptr;
    Ogre::Entity* mBorderCollision = nullptr;
    Ogre::SceneNode* mBubbleNode = nullptr;
    std::vector<SceneNodeRecord> mNodes;
    std::vector<StaticGeometryRecord> mStatics;
    Ogre::SceneNode* mCameraNode = nullptr;
    Ogre::Camera* mCamera = nullptr;
};
