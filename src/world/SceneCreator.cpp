#include "world/SceneCreator.h"

#include "core/BinaryIO.h"
#include "core/GameCore.h"
#include "core/GamePlayData.h"
#include "core/GameSettings.h"
#include "core/SceneContext.h"
#include "core/Utilities.h"
#include "world/FxPool.h"
#include "world/VirtualReactor.h"

#include <Ogre.h>
#include <OgreShadowCameraSetupLiSPSM.h>

#include <cmath>

namespace {

constexpr uint32_t kMapMagic = 0x644D70;
constexpr uint32_t kMapVersion = 1;
constexpr uint32_t kMapType = 3;
// Caps that no authored map comes near; a map file beyond them is damaged. The totals keep a
// damaged file from building a world too large to load or to tick.
constexpr uint32_t kMaxNodes = 10000;
constexpr uint32_t kMaxPerNode = 1000;
constexpr uint32_t kMaxMeshes = 20000;
constexpr uint32_t kMaxReactors = 1000;
constexpr uint32_t kMaxStatics = 1000;
constexpr uint32_t kMaxInstances = 10000;
// Every real of a map (positions, scales, sizes, colours, distances) lies well within this; NaN,
// an infinity or a larger value would reach the scene graph's bounds as damage.
constexpr float kMaxMapReal = 1.0e7f;
// The engine files static geometry into a grid of this many regions a side, centred on the
// batch's origin; it refuses anything outside.
constexpr double kRegionGridHalf = 512.0;

void log(const std::string& text)
{
    if (auto* lm = Ogre::LogManager::getSingletonPtr())
        lm->logMessage("Scene: " + text);
}

Ogre::AxisAlignedBox worldBox()
{
    return Ogre::AxisAlignedBox(Ogre::Vector3(-1000000, -1000000, -1000000), Ogre::Vector3(1000000, 1000000, 1000000));
}

void setWorldSize(Ogre::SceneManager* sm)
{
    const Ogre::AxisAlignedBox box = worldBox();
    sm->setOption("Size", &box);
}

// Cache value encodings.
void readReal(BinaryReader& in, float& v) { in.readFiniteF32(v, kMaxMapReal); }
std::string readName(BinaryReader& in)
{
    std::string s;
    in.readString(s, BinaryReader::kMaxNameLength);
    return s;
}
void readColour(BinaryReader& in, Ogre::ColourValue& c)
{
    readReal(in, c.r);
    readReal(in, c.g);
    readReal(in, c.b);
    readReal(in, c.a);
}
void readVector(BinaryReader& in, Ogre::Vector3& v)
{
    readReal(in, v.x);
    readReal(in, v.y);
    readReal(in, v.z);
}
void readQuaternion(BinaryReader& in, Ogre::Quaternion& q)
{
    readReal(in, q.w);
    readReal(in, q.x);
    readReal(in, q.y);
    readReal(in, q.z);
}
bool readFlag(BinaryReader& in)
{
    uint8_t b = 0;
    in.readU8(b);
    return b != 0;
}
void writeColour(BinaryWriter& out, const Ogre::ColourValue& c)
{
    out.writeF32(c.r);
    out.writeF32(c.g);
    out.writeF32(c.b);
    out.writeF32(c.a);
}
void writeVector(BinaryWriter& out, const Ogre::Vector3& v)
{
    out.writeF32(v.x);
    out.writeF32(v.y);
    out.writeF32(v.z);
}
void writeQuaternion(BinaryWriter& out, const Ogre::Quaternion& q)
{
    out.writeF32(q.w);
    out.writeF32(q.x);
    out.writeF32(q.y);
    out.writeF32(q.z);
}

bool isRootName(const std::string& name) { return name == "root" || name == "Root" || name == "ROOT"; }

// What makes a map unbuildable, whichever form it was read from ("" when nothing does): values
// that are not finite or beyond any map, orientations that cannot be normalised, names longer than
// a file name, more than the caps allow, static geometry outside its own region grid.
class MapCheck {
public:
    std::string problem;

    void real(float v, const char* what)
    {
        if (problem.empty() && !(std::isfinite(v) && std::fabs(v) <= kMaxMapReal))
            problem = std::string(what) + " out of range";
    }
    void vector(const Ogre::Vector3& v, const char* what)
    {
        real(v.x, what);
        real(v.y, what);
        real(v.z, what);
    }
    void colour(const Ogre::ColourValue& c, const char* what)
    {
        real(c.r, what);
        real(c.g, what);
        real(c.b, what);
        real(c.a, what);
    }
    // An orientation too short to normalise turns nodes into NaN.
    void quaternion(const Ogre::Quaternion& q, const char* what)
    {
        real(q.w, what);
        real(q.x, what);
        real(q.y, what);
        real(q.z, what);
        if (problem.empty() && !(q.Norm() > 1.0e-3f))
            problem = std::string(what) + " cannot be normalised";
    }
    void name(const std::string& s, const char* what)
    {
        if (problem.empty() && s.size() > BinaryReader::kMaxNameLength)
            problem = std::string(what) + " name too long";
    }
    void count(size_t n, size_t cap, const char* what)
    {
        if (problem.empty() && n > cap)
            problem = "too many " + std::string(what);
    }
    // The region index of each axis the engine would give the point.
    void inGrid(const Ogre::Vector3& point, const MapData::Static& s)
    {
        for (int axis = 0; axis < 3 && problem.empty(); ++axis) {
            const double offset = double(point[axis]) - double(s.origin[axis]);
            const double cell = std::floor(offset / double(s.regionDimensions[axis]));
            if (!(cell >= -kRegionGridHalf && cell < kRegionGridHalf))
                problem = "static geometry '" + s.name + "' reaches outside its regions";
        }
    }
};

std::string checkMap(const MapData& d)
{
    MapCheck c;
    c.colour(d.shadowColour, "shadow colour");
    c.colour(d.ambientLight, "ambient light");
    c.name(d.bgMaterial, "sky material");
    c.colour(d.fogColour, "fog colour");
    c.real(d.fogStart, "fog start");
    c.real(d.fogEnd, "fog end");
    c.vector(d.sunPosition, "sun position");
    c.vector(d.sunDirection, "sun direction");
    c.colour(d.sunDiffuse, "sun colour");
    c.colour(d.sunSpecular, "sun colour");
    c.count(d.nodes.size(), kMaxNodes, "nodes");
    size_t meshes = 0, reactors = 0;
    for (const MapData::Node& n : d.nodes) {
        c.name(n.name, "node");
        c.name(n.parentName, "parent node");
        c.vector(n.position, "node position");
        if (n.useQuaternion)
            c.quaternion(n.orientation, "node orientation");
        c.real(n.yaw, "node angle");
        c.real(n.pitch, "node angle");
        c.real(n.roll, "node angle");
        c.vector(n.scale, "node scale");
        c.count(n.meshes.size(), kMaxPerNode, "meshes on a node");
        c.count(n.reactors.size(), kMaxPerNode, "reactors on a node");
        meshes += n.meshes.size();
        reactors += n.reactors.size();
        for (const MapData::Mesh& m : n.meshes) {
            c.name(m.entityName, "entity");
            c.name(m.meshName, "mesh");
            c.name(m.customMaterial, "material");
            c.name(m.animationName, "animation");
            c.real(m.animationSpeed, "animation speed");
        }
        for (const std::string& r : n.reactors)
            c.name(r, "reactor");
    }
    c.count(meshes, kMaxMeshes, "meshes");
    c.count(reactors, kMaxReactors, "reactors");
    c.count(d.statics.size(), kMaxStatics, "static geometries");
    size_t instances = 0;
    for (const MapData::Static& s : d.statics) {
        c.name(s.name, "static geometry");
        c.name(s.entityName, "entity");
        c.name(s.meshName, "mesh");
        c.vector(s.regionDimensions, "region size");
        c.vector(s.origin, "static origin");
        c.real(s.renderingDistance, "rendering distance");
        if (c.problem.empty() && !(s.regionDimensions.x > 0 && s.regionDimensions.y > 0 && s.regionDimensions.z > 0))
            c.problem = "static geometry '" + s.name + "' has no region size";
        instances += s.instances.size();
        for (const StaticInstance& inst : s.instances) {
            c.vector(inst.position, "instance position");
            c.quaternion(inst.orientation, "instance orientation");
            c.vector(inst.scale, "instance scale");
            c.inGrid(inst.position, s);
        }
    }
    c.count(instances, kMaxInstances, "static instances");
    for (const std::string& m : d.collisionMeshes)
        c.name(m, "collision mesh");
    for (const std::string& r : d.floorReactors)
        c.name(r, "floor reactor");
    return c.problem;
}

}  // namespace

std::string SceneCreator::cachePath(const std::string& mapName) { return "../../Data/System/" + mapName + ".ZVS"; }
std::string SceneCreator::iniPath(const std::string& mapName) { return "../../Data/Scenes/" + mapName + "/map.ini"; }

SceneCreator::SceneCreator(GamePlayData* playData, Ogre::SceneManager* sceneManager, Ogre::RenderWindow* window,
                           Ogre::Viewport* viewport, GameSettings* settings, const std::string& mapName,
                           SceneContext* sceneContext, FxPool* fxPool)
    : mPlayData(playData), mSceneMgr(sceneManager), mWindow(window), mSettings(settings), mFxPool(fxPool),
      mViewport(viewport), mSceneContext(sceneContext)
{
    setWorldSize(mSceneMgr);
    mShadowSetup = Ogre::ShadowCameraSetupPtr(new Ogre::LiSPSMShadowCameraSetup());
    mSceneMgr->setShadowCameraSetup(mShadowSetup);

    readCache(mapName);
    createBorder();
    createSlowTimeBubble();

    mCamera = mSceneMgr->createCamera("BreaCam");
    Ogre::SceneNode* root = mSceneMgr->getRootSceneNode();
    mAnchorNode = root->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mCameraNode = root->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mCameraNode->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    mCameraNode->attachObject(mCamera);
    mCameraNode->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_WORLD);
    mCamera->setNearClipDistance(1.0f);
    if (mViewport) {
        mViewport->setCamera(mCamera);
        mCamera->setAspectRatio(float(mViewport->getActualWidth()) / float(mViewport->getActualHeight()));
    }
    mCameraNode->yaw(Ogre::Degree(-35), Ogre::Node::TS_LOCAL);
    mCameraNode->pitch(Ogre::Degree(15), Ogre::Node::TS_LOCAL);
    mCameraNode->setPosition(-50, 4, 56);
}

SceneCreator::~SceneCreator()
{
    if (mViewport && mSceneMgr->hasCamera("MenuCam"))
        mViewport->setCamera(mSceneMgr->getCamera("MenuCam"));
    mCameraNode->detachAllObjects();
    mSceneMgr->destroyCamera(mCamera);
    mSceneMgr->destroySceneNode(mCameraNode);
    clear();
    destroyNodeContents(mBorderNode, true);
    mSceneMgr->destroySceneNode(mBorderNode);
    if (mSceneContext) {
        mSceneContext->borderNode = nullptr;
        mSceneContext->borderEntity = nullptr;
        mSceneContext->borderCollisionEntity = nullptr;
    }
    if (mBubbleNode) {
        destroyNodeContents(mBubbleNode, true);
        mSceneMgr->destroySceneNode(mBubbleNode);
        if (mPlayData) {
            mPlayData->bubble.node = nullptr;
            mPlayData->bubble.entity = nullptr;
        }
    }
    mAnchorNode->detachAllObjects();
    mSceneMgr->destroySceneNode(mAnchorNode);
}

void SceneCreator::destroyNodeContents(Ogre::SceneNode* node, bool destroyObjects)
{
    while (node->numAttachedObjects() > 0) {
        Ogre::MovableObject* object = node->detachObject(static_cast<unsigned short>(0));
        if (destroyObjects)
            mSceneMgr->destroyMovableObject(object);
    }
}

void SceneCreator::loadScene(const std::string& mapName)
{
    if (!mapName.empty())
        readCache(mapName);
}

bool SceneCreator::beginLoad(const std::string& mapName)
{
    applyTextureFiltering();
    applyShadowSettings();
    if (mapName == mCurrentMap)
        return false;
    if (!mCurrentMap.empty())
        clear();
    mCurrentMap = mapName;
    return true;
}

void SceneCreator::parseMapIni(const std::string& mapName)
{
    if (!beginLoad(mapName))
        return;
    MapData data;
    std::string problem;
    if (!readMapIni(iniPath(mapName), data, &problem)) {
        log("map source of '" + mapName + "' not used: " + problem);
        return;
    }
    build(data, true);
}

void SceneCreator::readCache(const std::string& mapName)
{
    if (!beginLoad(mapName))
        return;
    MapData data;
    std::string problem;
    if (!readMapCache(cachePath(mapName), data, &problem)) {
        // A damaged cache builds nothing rather than half a map.
        log("map cache of '" + mapName + "' not used: " + problem);
        return;
    }
    build(data, false);
}

void SceneCreator::build(const MapData& data, bool fromIni)
{
    setWorldSize(mSceneMgr);
    applyShadowSettings();

    mSceneMgr->setShadowColour(data.shadowColour);
    mSceneMgr->setAmbientLight(data.ambientLight);
    mTypeBG = data.typeBG;
    mBGmaterial = data.bgMaterial;
    try {
        if (mTypeBG == 0 || mTypeBG == 1)
            mSceneMgr->setSkyBox(true, mBGmaterial, 50, true, Ogre::Quaternion::IDENTITY,
                                 Ogre::RGN_DEFAULT);
        else if (mTypeBG == 2)
            mSceneMgr->setSkyDome(true, mBGmaterial, 5, 8, 4000, true, Ogre::Quaternion::IDENTITY, 16, 16, -1,
                                  Ogre::RGN_DEFAULT);
    } catch (const Ogre::Exception& e) {
        log("sky not shown: " + e.getDescription());
    }

    if (data.fog) {
        mSceneMgr->setFog(Ogre::FOG_LINEAR, data.fogColour, 0.002f, data.fogStart, data.fogEnd);
        if (mWindow && mWindow->getNumViewports() > 0)
            mWindow->getViewport(0)->setBackgroundColour(data.fogColour);
    } else {
        mSceneMgr->setFog(Ogre::FOG_NONE, Ogre::ColourValue::White, 0.001f, 0, 1);
    }

    mSunLight = nullptr;
    if (data.sun) {
        mSunLight = mSceneMgr->createLight("SunLight_SC");
        mSunLight->setType(Ogre::Light::LT_DIRECTIONAL);
        mSunLight->setDiffuseColour(data.sunDiffuse);
        mSunLight->setSpecularColour(data.sunSpecular);
        mSunLight->setCastShadows(data.sunCastShadows);
        mSunNode = mSceneMgr->getRootSceneNode()->createChildSceneNode(data.sunPosition);
        mSunNode->setDirection(data.sunDirection, Ogre::Node::TS_WORLD);
        mSunNode->attachObject(mSunLight);
    }

    mNodes.assign(data.nodes.size(), SceneNodeRecord());
    for (const MapData::Node& n : data.nodes) {
        const uint32_t index = createNode(n.name, n.subNode, n.parentName, n.position, false, n.yaw, n.pitch,
                                          n.roll, uint32_t(n.meshes.size()), uint32_t(n.reactors.size()),
                                          n.scale, n.useQuaternion, n.orientation);
        SceneNodeRecord& record = mNodes[index];
        record.advancedCull = n.advancedCull ? 1 : 0;
        for (size_t j = 0; j < n.meshes.size(); ++j) {
            const MapData::Mesh& m = n.meshes[j];
            addMeshToNode(n.name, m.entityName, m.meshName, m.visible, m.castShadows, m.useCustomMaterial,
                          m.customMaterial);
            // The mesh went into this record's first free slot, which is slot j.
            bindAnimation(mNodes[index].meshes[j], m.animationName, m.animationSpeed, fromIni || m.animated);
        }
        for (size_t k = 0; k < n.reactors.size(); ++k) {
            SceneReactorSlot& slot = mNodes[index].reactors[k];
            slot.reactorName = n.reactors[k];
            if (mFxPool) {
                slot.reactor = mFxPool->spawnReactor(mNodes[index].node, slot.reactorName);
                if (slot.reactor)
                    slot.reactor->setState(2);
            }
        }
    }

    mStatics.assign(data.statics.size(), StaticGeometryRecord());
    for (size_t i = 0; i < data.statics.size(); ++i) {
        const MapData::Static& s = data.statics[i];
        StaticGeometryRecord& record = mStatics[i];
        record.geometry = mSceneMgr->createStaticGeometry(s.name);
        record.used = 1;
        record.geometry->setRegionDimensions(s.regionDimensions);
        record.geometry->setOrigin(s.origin);
        record.geometry->setCastShadows(s.castShadows);
        record.geometry->setRenderingDistance(s.renderingDistance);
        record.geometry->setVisible(s.visible);
        record.meshName = s.meshName;
        record.templateEntity = createEntitySafely(s.entityName, s.meshName);
        record.instances = s.instances;
        if (record.templateEntity) {
            try {
                for (const StaticInstance& inst : record.instances)
                    record.geometry->addEntity(record.templateEntity, inst.position, inst.orientation, inst.scale);
                record.geometry->build();
            } catch (const Ogre::Exception& e) {
                // A mesh scaled past the batch's regions: the map goes on without the batch.
                log("static geometry '" + s.name + "' left out: " + e.getDescription());
                record.geometry->reset();
            }
        }
    }

    mCollisionNode = mSceneMgr->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO);
    mCollision.fill(nullptr);
    for (int i = 0; i < 7; ++i) {
        mCollisionMeshes[i] = data.collisionMeshes[i];
        // The authored map builds a blocker only when it names one ("" or a placeholder like "no").
        if (fromIni && i < 2 && mCollisionMeshes[i].size() <= 3)
            continue;
        if (mCollisionMeshes[i].empty())
            continue;
        mCollision[i] = createEntitySafely(kCollisionEntityNames[i], mCollisionMeshes[i]);
        if (mCollision[i]) {
            mCollision[i]->setVisible(false);
            mCollisionNode->attachObject(mCollision[i]);
        }
    }
    mFloorReactors = data.floorReactors;
    if (mSceneContext)
        mSceneContext->setCollisionBodies(mCollision[0], mCollision[1], mCollision[2], mCollision[3], mCollision[4],
                                          mCollision[5], mCollision[6], mFloorReactors[0], mFloorReactors[1],
                                          mFloorReactors[2], mFloorReactors[3]);
}

Ogre::Entity* SceneCreator::createEntitySafely(const std::string& entityName, const std::string& meshName)
{
    try {
        return mSceneMgr->createEntity(entityName, meshName);
    } catch (const Ogre::Exception& e) {
        log("cannot create '" + entityName + "' from '" + meshName + "': " + e.getDescription());
        return nullptr;
    }
}

void SceneCreator::bindAnimation(SceneMeshSlot& slot, const std::string& name, float speed, bool allowed)
{
    slot.animation = nullptr;
    slot.animationSpeed = 0.0f;
    Ogre::Entity* e = slot.entity;
    if (!allowed || !e || !(e->hasSkeleton() || e->hasVertexAnimation()) || !e->getAllAnimationStates() ||
        !e->getAllAnimationStates()->hasAnimationState(name))
        return;
    slot.animation = e->getAnimationState(name);
    slot.animationSpeed = speed;
    slot.animation->setEnabled(true);
    slot.animation->setLoop(true);
}

uint32_t SceneCreator::createNode(const std::string& name, bool subNode, const std::string& parentName,
                                  const Ogre::Vector3& position, bool zUpAxes, float yaw, float pitch, float roll,
                                  uint32_t meshCount, uint32_t reactorCount, const Ogre::Vector3& scale,
                                  bool useQuaternion, const Ogre::Quaternion& orientation)
{
    size_t index = 0;
    while (index < mNodes.size() && mNodes[index].used)
        ++index;
    if (index == mNodes.size())
        mNodes.resize(mNodes.size() + mNodes.size() / 2 + 1);

    // Sub-nodes hang under their parent record's node when it exists.
    Ogre::SceneNode* parent = mSceneMgr->getRootSceneNode();
    bool attached = false;
    if (subNode && !isRootName(parentName)) {
        if (Ogre::SceneNode* p = findNode(parentName)) {
            parent = p;
            attached = true;
        }
    }
    SceneNodeRecord& r = mNodes[index];
    r.node = parent->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    r.attachedToParent = attached ? 1 : 0;
    r.name = name;
    r.used = 1;
    r.meshes.assign(meshCount, SceneMeshSlot());
    r.reactors.assign(reactorCount, SceneReactorSlot());

    r.node->setPosition(zUpAxes ? Ogre::Vector3(position.x, position.z, -position.y) : position);
    if (useQuaternion) {
        r.node->setOrientation(orientation);
    } else {
        r.node->yaw(Ogre::Degree(yaw), Ogre::Node::TS_LOCAL);
        r.node->pitch(Ogre::Degree(pitch), Ogre::Node::TS_LOCAL);
        r.node->roll(Ogre::Degree(roll), Ogre::Node::TS_LOCAL);
    }
    if (scale.x != 0 || scale.y != 0 || scale.z != 0)
        r.node->scale(scale);
    return static_cast<uint32_t>(index);
}

Ogre::Entity* SceneCreator::addMeshToNode(const std::string& nodeName, const std::string& entityName,
                                          const std::string& meshName, bool visible, bool castShadows,
                                          bool useCustomMaterial, const std::string& customMaterial)
{
    for (SceneNodeRecord& r : mNodes) {
        if (!r.used || r.name != nodeName)
            continue;
        for (SceneMeshSlot& slot : r.meshes) {
            if (slot.used)
                continue;
            slot.entityName = entityName;
            slot.meshName = meshName;
            slot.useCustomMaterial = useCustomMaterial ? 1 : 0;
            slot.customMaterial = customMaterial;
            slot.visible = visible ? 1 : 0;
            slot.used = 1;
            // A missing mesh leaves the slot without an entity; the map goes on loading.
            slot.entity = createEntitySafely(entityName, meshName);
            if (!slot.entity)
                return nullptr;
            slot.entity->setVisible(visible);
            slot.entity->setCastShadows(castShadows);
            if (useCustomMaterial && customMaterial != "None" && !customMaterial.empty())
                slot.entity->setMaterialName(customMaterial);
            r.node->attachObject(slot.entity);
            return slot.entity;
        }
    }
    const uint32_t index = createNode(nodeName, false, "root", Ogre::Vector3::ZERO, false, 0, 0, 0, 1, 0,
                                      Ogre::Vector3::ZERO, false, Ogre::Quaternion::IDENTITY);
    Ogre::Entity* entity = createEntitySafely(entityName, meshName);
    if (entity)
        mNodes[index].node->attachObject(entity);
    return entity;
}

void SceneCreator::updateAnimations(float dt)
{
    for (SceneNodeRecord& r : mNodes)
        for (SceneMeshSlot& slot : r.meshes)
            if (slot.animation)
                slot.animation->addTime(slot.animationSpeed * dt);
}

Ogre::SceneNode* SceneCreator::findNode(const std::string& name) const
{
    for (const SceneNodeRecord& r : mNodes)
        if (r.used && r.name == name)
            return r.node;
    return nullptr;
}

void SceneCreator::clear()
{
    mSceneMgr->setShadowTechnique(Ogre::SHADOWTYPE_NONE);
    mSceneMgr->setFog(Ogre::FOG_NONE, Ogre::ColourValue::White, 0.001f, 0, 1);
    if (mSceneMgr->isSkyDomeEnabled())
        mSceneMgr->setSkyDomeEnabled(false);
    if (mSceneMgr->isSkyBoxEnabled())
        mSceneMgr->setSkyBoxEnabled(false);
    if (mSunLight) {
        mSunNode->detachAllObjects();
        mSceneMgr->destroyLight(mSunLight);
        mSceneMgr->destroySceneNode(mSunNode);
        mSunLight = nullptr;
        mSunNode = nullptr;
    }
    for (SceneNodeRecord& r : mNodes) {
        if (!r.node)
            continue;
        for (SceneMeshSlot& slot : r.meshes) {
            if (slot.entity) {
                r.node->detachObject(slot.entity);
                mSceneMgr->destroyEntity(slot.entity);
            }
        }
        for (SceneReactorSlot& slot : r.reactors)
            if (slot.reactor)
                slot.reactor->detachToWorld();
        destroyNodeContents(r.node, true);
        // Sub-nodes go with their records; only this node itself is destroyed here.
        while (r.node->numChildren() > 0)
            r.node->removeChild(static_cast<unsigned short>(0));
        mSceneMgr->destroySceneNode(r.node);
    }
    mNodes.clear();
    for (StaticGeometryRecord& s : mStatics) {
        if (s.geometry) {
            s.geometry->reset();
            mSceneMgr->destroyStaticGeometry(s.geometry);
        }
        if (s.templateEntity)
            mSceneMgr->destroyEntity(s.templateEntity);
    }
    mStatics.clear();
    if (mCollisionNode) {
        destroyNodeContents(mCollisionNode, true);
        mSceneMgr->destroySceneNode(mCollisionNode);
        mCollisionNode = nullptr;
    }
    mCollision.fill(nullptr);
    for (std::string& s : mFloorReactors)
        s.clear();
    if (mSceneContext)
        mSceneContext->setCollisionBodies(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "", "", "",
                                          "");
}

void SceneCreator::createBorder()
{
    mBorderNode = mSceneMgr->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO);
    mBorderEntity = createEntitySafely("entBorder", "ZV_BattleBorder.mesh");
    if (mBorderEntity) {
        mBorderNode->attachObject(mBorderEntity);
        mBorderEntity->setVisible(false);
    }
    mBorderCollision = createEntitySafely("entColBorder", "ZV_WideBorderColl.mesh");
    if (mBorderCollision) {
        mBorderCollision->setVisible(false);
        mBorderNode->attachObject(mBorderCollision);
    }
    if (mSceneContext) {
        mSceneContext->borderNode = mBorderNode;
        mSceneContext->borderCollisionEntity = mBorderCollision;
        mSceneContext->borderEntity = mBorderEntity;
    }
}

void SceneCreator::createSlowTimeBubble()
{
    if (mBubbleNode || !mPlayData || mPlayData->getBubbleMeshName().empty())
        return;
    mBubbleNode = mSceneMgr->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO);
    Ogre::Entity* entity = createEntitySafely("OrvelSmes", mPlayData->getBubbleMeshName());
    if (entity)
        mBubbleNode->attachObject(entity);
    mPlayData->bubble.node = mBubbleNode;
    mPlayData->bubble.entity = entity;
    mBubbleNode->setVisible(false, true);
}

void SceneCreator::applyTextureFiltering()
{
    // Without a render system (the data builder) there are no textures to filter.
    if (!Ogre::TextureManager::getSingletonPtr())
        return;
    applyTextureFilteringFor(mSettings ? mSettings->TextureQuality : 0);
}

void SceneCreator::applyShadowSettings()
{
    float farDistance = 300;
    Ogre::ShadowTechnique technique = Ogre::SHADOWTYPE_TEXTURE_MODULATIVE;
    unsigned short size = 2048;
    switch (mSettings ? mSettings->WorldQuality : 0) {
    case 1: size = 1024; break;
    case 2: size = 512; break;
    case 3:
    case 4: farDistance = 50; technique = Ogre::SHADOWTYPE_NONE; size = 256; break;
    default: break;
    }
    mSceneMgr->setShadowFarDistance(farDistance);
    // Without a render system (the data builder) there is nothing to cast shadows with.
    if (Ogre::Root::getSingleton().getRenderSystem())
        mSceneMgr->setShadowTechnique(technique);
    mSceneMgr->setShadowTextureSize(size);
    mSceneMgr->setShadowTextureFadeEnd(0.98f);
    mSceneMgr->setShadowTextureFadeStart(0.8f);
}

bool SceneCreator::readMapIni(const std::string& path, MapData& out, std::string* problem)
{
    std::string unused;
    std::string& why = problem ? *problem : unused;
    why.clear();
    Ogre::ConfigFile cfg;
    try {
        cfg.loadDirect(path, "\t:=", true);
    } catch (const Ogre::Exception&) {
        why = "cannot be read";
        return false;
    }
    using SC = Ogre::StringConverter;
    auto get = [&](const std::string& section, const std::string& key) {
        return stripQuotes(cfg.getSetting(key, section, ""));
    };
    auto real = [&](const std::string& s, const std::string& k) { return SC::parseReal(get(s, k)); };
    auto flag = [&](const std::string& s, const std::string& k) { return SC::parseBool(get(s, k)); };
    auto vec = [&](const std::string& s, const std::string& k) { return SC::parseVector3(get(s, k)); };
    auto colour = [&](const std::string& s, const std::string& k) { return SC::parseColourValue(get(s, k)); };

    // A count is read before what it counts: one past its cap refuses the map before anything
    // is read for it. Counts written as reals are truncated, as the engine's reader does.
    auto countOf = [&](const std::string& s, const std::string& k, uint32_t cap, uint32_t& n) {
        const double v = std::trunc(double(real(s, k)));
        if (!(v >= 0 && v <= cap)) {
            why = k + " in [" + s + "] out of range";
            return false;
        }
        n = static_cast<uint32_t>(v);
        return true;
    };

    MapData d;
    uint32_t totalMeshes = 0, totalReactors = 0, totalInstances = 0;
    uint32_t nodeCount = 0;
    if (!countOf("scene", "nSNodes", kMaxNodes, nodeCount))
        return false;
    d.shadowColour = colour("scene", "ShadowColour");
    d.ambientLight = colour("scene", "AmbientLight");
    d.typeBG = SC::parseUnsignedInt(get("scene", "TypeBG"));
    if (d.typeBG <= 2)
        d.bgMaterial = get("scene", "BGmaterial");
    d.fog = !flag("scene", "NoFog");
    if (d.fog) {
        d.fogColour = colour("scene", "FogFadeColour");
        d.fogStart = real("scene", "FogStart");
        d.fogEnd = real("scene", "FogEnd");
        if (d.fogEnd == 0)
            d.fogEnd = 30000;
    }
    d.sun = flag("scene", "hasSun");
    if (d.sun) {
        d.sunPosition = vec("scene", "Sun_position");
        d.sunDirection = (-d.sunPosition).normalisedCopy();
        d.sunDiffuse = colour("scene", "Sun_DiffuseColour");
        d.sunSpecular = colour("scene", "Sun_SpecularColour");
        d.sunCastShadows = flag("scene", "Sun_CastShadows");
    }

    for (uint32_t i = 1; i <= nodeCount; ++i) {
        const std::string sn = "sn_" + std::to_string(i);
        MapData::Node n;
        n.name = get(sn, "sn_name");
        n.scale = vec(sn, "sn_Scale");
        uint32_t reactors = 0, meshes = 0;
        if (!countOf(sn, "sn_nReacts", kMaxPerNode, reactors) || !countOf(sn, "sn_nMeshes", kMaxPerNode, meshes))
            return false;
        totalMeshes += meshes;
        totalReactors += reactors;
        if (totalMeshes > kMaxMeshes || totalReactors > kMaxReactors) {
            why = "too many meshes or reactors";
            return false;
        }
        n.roll = real(sn, "sn_Roll");
        n.pitch = real(sn, "sn_Pitch");
        n.yaw = real(sn, "sn_Yaw");
        const bool zUp = flag(sn, "usa_eixos_3dMax");
        n.position = vec(sn, "sn_Pos");
        if (zUp)
            n.position = Ogre::Vector3(n.position.x, n.position.z, -n.position.y);
        n.parentName = get(sn, "sn_ParentSn_name");
        n.subNode = flag(sn, "sn_IsSubNode");
        n.advancedCull = flag(sn, "sn_AdvancedCull");
        for (uint32_t j = 1; j <= meshes; ++j) {
            const std::string k = std::to_string(j);
            MapData::Mesh m;
            m.visible = flag(sn, "snMesh_Vis_" + k);
            m.castShadows = !flag(sn, "snMesh_dntShadow_" + k);
            m.customMaterial = get(sn, "snMesh_CustomMatName_" + k);
            m.useCustomMaterial = flag(sn, "snMesh_UseCustomMat_" + k);
            m.meshName = get(sn, "snMesh_Me_" + k);
            m.entityName = get(sn, "snMesh_Na_" + k);
            m.animationName = get(sn, "snMesh_AnimNa_" + k);
            m.animationSpeed = real(sn, "snMesh_AnimSpd_" + k);
            m.animated = !m.animationName.empty();
            n.meshes.push_back(m);
        }
        for (uint32_t k = 1; k <= reactors; ++k)
            n.reactors.push_back(get(sn, "snReact_Name_" + std::to_string(k)));
        d.nodes.push_back(std::move(n));
    }

    uint32_t staticCount = 0;
    if (!countOf("scene", "StaticGeom", kMaxStatics, staticCount))
        return false;
    for (uint32_t i = 0; i < staticCount; ++i) {
        const std::string st = "static_" + std::to_string(i);
        MapData::Static s;
        s.name = get(st, "Static_name");
        const bool zUp = flag(st, "usa_eixos_3dMax");
        s.regionDimensions = vec(st, "Static_RegionDimensions");
        s.origin = vec(st, "Static_Origin");
        s.castShadows = flag(st, "Static_CastShadows");
        s.renderingDistance = real(st, "Static_setRenderingDistance");
        s.visible = flag(st, "Static_Visible");
        s.meshName = get(st, "Static_Mesh");
        s.entityName = get(st, "Static_Mesh_Name");
        uint32_t count = 0;
        if (!countOf(st, "Static_nMeshes", kMaxInstances, count))
            return false;
        totalInstances += count;
        if (totalInstances > kMaxInstances) {
            why = "too many static instances";
            return false;
        }
        for (uint32_t k = 1; k <= count; ++k) {
            const std::string kk = std::to_string(k);
            StaticInstance inst;
            inst.position = vec(st, "stMesh_pos_" + kk);
            if (zUp)
                inst.position = Ogre::Vector3(inst.position.x, inst.position.z, -inst.position.y);
            inst.orientation = Ogre::Quaternion(Ogre::Degree(real(st, "stMesh_yaw_" + kk)), Ogre::Vector3::UNIT_Y);
            inst.scale = vec(st, "stMesh_scale_" + kk);
            s.instances.push_back(inst);
        }
        d.statics.push_back(std::move(s));
    }

    const char* collisionKeys[7] = {"MovBlockMesh",  "ProjBlockMesh", "MovFloor1Mesh", "MovFloor2Mesh",
                                    "MovFloor3Mesh", "MovFloor4Mesh", "ProjFloorMesh"};
    for (int i = 0; i < 7; ++i)
        d.collisionMeshes[i] = get("Colisions", collisionKeys[i]);
    for (int i = 0; i < 4; ++i)
        d.floorReactors[i] = get("Colisions", "FloorReac" + std::to_string(i + 1));
    why = checkMap(d);
    if (!why.empty())
        return false;
    out = std::move(d);
    return true;
}

bool SceneCreator::readMapCache(const std::string& path, MapData& out, std::string* problem)
{
    std::string unused;
    std::string& why = problem ? *problem : unused;
    why = "cannot be read";
    BinaryReader in;
    if (!in.open(path))
        return false;
    why = "damaged";
    uint32_t magic = 0, version = 0, type = 0;
    in.readU32(magic);
    in.readU32(version);
    in.readU32(type);
    // A foreign or damaged file is not read as a map.
    if (!in.ok() || magic != kMapMagic || version != kMapVersion || type != kMapType)
        return false;
    MapData d;
    readName(in);  // the name it was written under
    readColour(in, d.shadowColour);
    readColour(in, d.ambientLight);
    in.readU32(d.typeBG);
    d.bgMaterial = readName(in);
    d.fog = readFlag(in);
    if (d.fog) {
        readColour(in, d.fogColour);
        readReal(in, d.fogStart);
        readReal(in, d.fogEnd);
    }
    d.sun = readFlag(in);
    if (d.sun) {
        readVector(in, d.sunPosition);
        readVector(in, d.sunDirection);
        readColour(in, d.sunDiffuse);
        readColour(in, d.sunSpecular);
        d.sunCastShadows = readFlag(in);
    }
    uint32_t nodeCount = 0;
    in.readCount(nodeCount, kMaxNodes);
    for (uint32_t i = 0; i < nodeCount && in.ok(); ++i) {
        MapData::Node n;
        n.name = readName(in);
        n.subNode = readFlag(in);
        n.parentName = readName(in);
        readVector(in, n.position);
        readQuaternion(in, n.orientation);
        n.useQuaternion = true;
        uint32_t meshes = 0, reactors = 0;
        in.readCount(meshes, kMaxPerNode);
        in.readCount(reactors, kMaxPerNode);
        readVector(in, n.scale);
        n.advancedCull = readFlag(in);
        for (uint32_t j = 0; j < meshes && in.ok(); ++j) {
            MapData::Mesh m;
            m.visible = readFlag(in);
            m.castShadows = readFlag(in);
            m.entityName = readName(in);
            m.meshName = readName(in);
            m.useCustomMaterial = readFlag(in);
            m.customMaterial = readName(in);
            m.animated = readFlag(in);
            if (m.animated) {
                m.animationName = readName(in);
                readReal(in, m.animationSpeed);
            }
            n.meshes.push_back(std::move(m));
        }
        for (uint32_t k = 0; k < reactors && in.ok(); ++k)
            n.reactors.push_back(readName(in));
        d.nodes.push_back(std::move(n));
    }
    uint32_t staticCount = 0;
    in.readCount(staticCount, kMaxStatics);
    for (uint32_t i = 0; i < staticCount && in.ok(); ++i) {
        MapData::Static s;
        s.name = readName(in);
        readVector(in, s.regionDimensions);
        readVector(in, s.origin);
        s.castShadows = readFlag(in);
        readReal(in, s.renderingDistance);
        s.visible = readFlag(in);
        s.entityName = readName(in);
        s.meshName = readName(in);
        uint32_t count = 0;
        // Each instance takes 40 bytes: a count beyond the file cannot be real.
        in.readCount(count, std::min<uint32_t>(kMaxInstances, uint32_t((in.size() - in.position()) / 40)));
        for (uint32_t k = 0; k < count && in.ok(); ++k) {
            StaticInstance inst;
            readVector(in, inst.position);
            readQuaternion(in, inst.orientation);
            readVector(in, inst.scale);
            s.instances.push_back(inst);
        }
        d.statics.push_back(std::move(s));
    }
    for (std::string& name : d.collisionMeshes)
        name = readName(in);
    for (std::string& name : d.floorReactors)
        name = readName(in);
    if (!in.ok())
        return false;
    why = checkMap(d);
    if (!why.empty())
        return false;
    out = std::move(d);
    return true;
}

void SceneCreator::writeMapData(BinaryWriter& out, const std::string& mapName, const MapData& d)
{
    out.writeU32(kMapMagic);
    out.writeU32(kMapVersion);
    out.writeU32(kMapType);
    writeBinString(out, mapName);
    writeColour(out, d.shadowColour);
    writeColour(out, d.ambientLight);
    out.writeU32(d.typeBG);
    writeBinString(out, d.bgMaterial);
    out.writeBool(d.fog);
    if (d.fog) {
        writeColour(out, d.fogColour);
        out.writeF32(d.fogStart);
        out.writeF32(d.fogEnd);
    }
    out.writeBool(d.sun);
    if (d.sun) {
        writeVector(out, d.sunPosition);
        writeVector(out, d.sunDirection);
        writeColour(out, d.sunDiffuse);
        writeColour(out, d.sunSpecular);
        out.writeBool(d.sunCastShadows);
    }
    out.writeU32(uint32_t(d.nodes.size()));
    for (const MapData::Node& n : d.nodes) {
        writeBinString(out, n.name);
        out.writeBool(n.subNode);
        writeBinString(out, n.subNode ? n.parentName : std::string());
        writeVector(out, n.position);
        writeQuaternion(out, n.orientation);
        out.writeU32(uint32_t(n.meshes.size()));
        out.writeU32(uint32_t(n.reactors.size()));
        writeVector(out, n.scale);
        out.writeBool(n.advancedCull);
        for (const MapData::Mesh& m : n.meshes) {
            out.writeBool(m.visible);
            out.writeBool(m.castShadows);
            writeBinString(out, m.entityName);
            writeBinString(out, m.meshName);
            out.writeBool(m.useCustomMaterial);
            writeBinString(out, m.customMaterial);
            out.writeBool(m.animated);
            if (m.animated) {
                writeBinString(out, m.animationName);
                out.writeF32(m.animationSpeed);
            }
        }
        for (const std::string& r : n.reactors)
            writeBinString(out, r);
    }
    out.writeU32(uint32_t(d.statics.size()));
    for (const MapData::Static& s : d.statics) {
        writeBinString(out, s.name);
        writeVector(out, s.regionDimensions);
        writeVector(out, s.origin);
        out.writeBool(s.castShadows);
        out.writeF32(s.renderingDistance);
        out.writeBool(s.visible);
        writeBinString(out, s.entityName);
        writeBinString(out, s.meshName);
        out.writeU32(uint32_t(s.instances.size()));
        for (const StaticInstance& inst : s.instances) {
            writeVector(out, inst.position);
            writeQuaternion(out, inst.orientation);
            writeVector(out, inst.scale);
        }
    }
    for (const std::string& name : d.collisionMeshes)
        writeBinString(out, name);
    for (const std::string& name : d.floorReactors)
        writeBinString(out, name);
}

MapData SceneCreator::captureScene() const
{
    MapData d;
    d.shadowColour = mSceneMgr->getShadowColour();
    d.ambientLight = mSceneMgr->getAmbientLight();
    d.typeBG = mTypeBG;
    d.bgMaterial = mBGmaterial;
    d.fog = mSceneMgr->getFogMode() != Ogre::FOG_NONE;
    if (d.fog) {
        d.fogColour = mSceneMgr->getFogColour();
        d.fogStart = mSceneMgr->getFogStart();
        d.fogEnd = mSceneMgr->getFogEnd();
    }
    d.sun = mSunLight != nullptr;
    if (d.sun) {
        d.sunPosition = mSunNode->getPosition();
        d.sunDirection = mSunNode->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
        d.sunDiffuse = mSunLight->getDiffuseColour();
        d.sunSpecular = mSunLight->getSpecularColour();
        d.sunCastShadows = mSunLight->getCastShadows();
    }
    for (const SceneNodeRecord& r : mNodes) {
        if (!r.used)
            continue;
        MapData::Node n;
        n.name = r.name;
        n.subNode = r.attachedToParent != 0;
        if (n.subNode)
            for (const SceneNodeRecord& p : mNodes)
                if (p.used && p.node == r.node->getParentSceneNode())
                    n.parentName = p.name;
        n.position = r.node->getPosition();
        n.orientation = r.node->getOrientation();
        n.useQuaternion = true;
        n.scale = r.node->getScale();
        n.advancedCull = r.advancedCull != 0;
        for (const SceneMeshSlot& slot : r.meshes) {
            MapData::Mesh m;
            m.visible = slot.visible != 0;
            m.castShadows = slot.entity ? slot.entity->getCastShadows() : true;
            m.entityName = slot.entityName;
            m.meshName = slot.meshName;
            m.useCustomMaterial = slot.useCustomMaterial != 0;
            m.customMaterial = slot.customMaterial;
            m.animated = slot.animation != nullptr;
            if (m.animated) {
                m.animationName = slot.animation->getAnimationName();
                m.animationSpeed = slot.animationSpeed;
            }
            n.meshes.push_back(std::move(m));
        }
        for (const SceneReactorSlot& slot : r.reactors)
            n.reactors.push_back(slot.reactorName);
        d.nodes.push_back(std::move(n));
    }
    for (const StaticGeometryRecord& s : mStatics) {
        if (!s.used)
            continue;
        MapData::Static st;
        st.name = s.geometry->getName();
        st.regionDimensions = s.geometry->getRegionDimensions();
        st.origin = s.geometry->getOrigin();
        st.castShadows = s.geometry->getCastShadows();
        st.renderingDistance = s.geometry->getRenderingDistance();
        st.visible = s.geometry->isVisible();
        st.entityName = s.templateEntity ? s.templateEntity->getName() : std::string();
        st.meshName = s.meshName;
        st.instances = s.instances;
        d.statics.push_back(std::move(st));
    }
    d.collisionMeshes = mCollisionMeshes;
    d.floorReactors = mFloorReactors;
    return d;
}

bool SceneCreator::writeCache(const std::string& mapName)
{
    BinaryWriter out;
    writeMapData(out, mapName, captureScene());
    return out.commit(cachePath(mapName));
}
