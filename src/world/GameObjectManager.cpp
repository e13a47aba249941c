#include "world/GameObjectManager.h"

#include "core/GamePlayData.h"
#include "core/SceneContext.h"
#include "definitions/AirObjParams.h"
#include "definitions/GOParamsLibrary.h"
#include "definitions/GroundObjParams.h"
#include "definitions/GroundVehiParams.h"
#include "definitions/OvniParams.h"
#include "world/AIManager.h"
#include "world/AirObject.h"
#include "world/DamageRegistry.h"
#include "world/GO_subObj.h"
#include "world/GameObjectData.h"
#include "world/GroundObject.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"
#include "world/SceneItems.h"
#include "world/SlowTime.h"

#include <OgreLogManager.h>
#include <OgreSceneNode.h>

namespace {

// Teams and categories are compared on their low 16 bits.
uint16_t low16(uint32_t word) { return static_cast<uint16_t>(word & 0xFFFFu); }

constexpr uint32_t kAirCategory = 3;
constexpr uint32_t kAirBehaviour = 5;
constexpr uint32_t kBulletHit = 1;

// The kind-1 object's fixed looks and hit points.
constexpr const char* kPlainMesh = "razor.mesh";
constexpr const char* kPlainName = "TEST";
constexpr uint32_t kPlainHitPoints = 1000;

}  // namespace

GameObjectManager::GameObjectManager(GamePlayData* playData, Ogre::SceneManager* scene, audio::SoundManager* sounds,
                                     RandomGenerator* random, DamageRegistry* damage, ProjectileManager* projectiles,
                                     FxPool* fx, TargetRegistry* targets, ShotStatistics* statistics,
                                     GOParamsLibrary* library, WeaponContext* weaponContext, AIManager* ai,
                                     DificultyData* difficulty, SceneContext* sceneContext)
    : playData_(playData),
      statistics_(statistics),
      library_(library),
      weaponContext_(weaponContext),
      fx_(fx),
      ai_(ai),
      sceneContext_(sceneContext),
      difficulty_(difficulty),
      random_(random),
      slots_(kInitialSlots),
      scene_(scene),
      damage_(damage),
      sounds_(sounds),
      projectiles_(projectiles),
      targets_(targets)
{
    handles_.playData = playData_;
    handles_.random = random_;
    handles_.damage = damage_;
    handles_.targets = targets_;
    handles_.sounds = sounds_;
    handles_.projectiles = projectiles_;
    handles_.fx = fx_;
    handles_.weaponContext = weaponContext_;
    handles_.difficulty = difficulty_;
    handles_.sceneContext = sceneContext_;
    handles_.scene = scene_;
}

GameObjectManager::~GameObjectManager() { destroyAll(); }

uint32_t GameObjectManager::findFreeSlot()
{
    for (uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].free)
            return i;
    const uint32_t n = static_cast<uint32_t>(slots_.size());
    slots_.resize(n + n / 2 + 1);
    return n;
}

GameObject* GameObjectManager::getObject(uint32_t slot) const
{
    return slot < slots_.size() && !slots_[slot].free ? slots_[slot].object : nullptr;
}

uint32_t GameObjectManager::liveCount() const
{
    uint32_t n = 0;
    for (const Slot& s : slots_)
        n += s.free ? 0 : 1;
    return n;
}

GameObject* GameObjectManager::make(goParams* definition, GameObjectKind kind, uint32_t slot, uint32_t team)
{
    // An object is its body and its collision body: without either mesh there is nothing to
    // spawn. Other parts (turrets, treads, sub-objects) go missing on their own.
    if (kind != GameObjectKind::Plain && definition) {
        for (const std::string* mesh : {&definition->meshName, &definition->collisionMeshName}) {
            if (!meshAvailable(*mesh)) {
                if (auto* log = Ogre::LogManager::getSingletonPtr())
                    log->logMessage("Game object '" + definition->getName() + "' not spawned: no mesh '" + *mesh +
                                    "'");
                return nullptr;
            }
        }
    }
    // A definition of another class than the kind asks for makes nothing.
    switch (kind) {
    case GameObjectKind::Plain:
        return new GameObject(handles_, kPlainMesh, kPlainName, slot, team, "", "", kPlainHitPoints);
    case GameObjectKind::GroundObject:
        if (auto* d = dynamic_cast<GroundObjParams*>(definition))
            return new GroundObject(handles_, d, slot, team);
        return nullptr;
    case GameObjectKind::GroundVehicle:
        if (auto* d = dynamic_cast<GroundVehiParams*>(definition))
            return new GroundVehicle(handles_, d, slot, team);
        return nullptr;
    case GameObjectKind::AirObject:
        if (auto* d = dynamic_cast<AirObjParams*>(definition))
            return new AirObject(handles_, d, slot, team);
        return nullptr;
    case GameObjectKind::Ovni:
        if (auto* d = dynamic_cast<OvniParams*>(definition))
            return new Ovni(handles_, d, slot, team);
        return nullptr;
    }
    return nullptr;
}

GameObject* GameObjectManager::spawn(goParams* definition, GameObjectKind kind, const Ogre::Vector3& position,
                                     uint32_t team)
{
    if (!definition)
        return nullptr;
    const uint32_t slot = findFreeSlot();
    GameObject* object = make(definition, kind, slot, team);
    ++spawnCount_;
    if (!object)
        return nullptr;
    slots_[slot].object = object;
    object->setPosition(position);
    slots_[slot].free = 0;
    if (definition->mechanicsRow > 0 && playData_)
        playData_->onOvniSpawn(definition->mechanicsRow - 1);
    return object;
}

GameObject* GameObjectManager::spawnByName(const std::string& name, const Ogre::Vector3& position, uint32_t team,
                                           GameObjectKind kind)
{
    if (name.empty() || name == " " || !library_)
        return nullptr;
    return spawn(library_->getParams(name, kind), kind, position, team);
}

GameObject* GameObjectManager::spawnPlayer()
{
    // spawn takes the first free slot, the one the player gets.
    GameObject* player = spawnByName(kPlayerVehicle, Ogre::Vector3(0.0f, 2.0f, 0.0f), kPlayerTeam,
                                     GameObjectKind::GroundVehicle);
    if (!player)
        return nullptr;
    playerSlot_ = player->getObjectId();
    playerSpawned_ = true;
    return player;
}

uint32_t GameObjectManager::mechanicsRowOf(const GameObject& object)
{
    return object.getParams() ? object.getParams()->mechanicsRow : 0;
}

void GameObjectManager::updateAll(float dt)
{
    // Index loop: removal frees slots as it goes, and nothing here adds any.
    for (uint32_t slot = 0; slot < slots_.size(); ++slot) {
        if (slots_[slot].free)
            continue;
        GameObject* object = slots_[slot].object;
        timeFactor_ = slowTimeFactor(playData_, static_cast<int32_t>(slot), object->getWorldPosition());
        const float scaled = dt * timeFactor_;
        const uint32_t row = mechanicsRowOf(*object);
        if (row > 0 && playData_)
            playData_->onOvniLive(row - 1, scaled);
        const bool alive = object->update(scaled);
        timeFactor_ = 1.0f;
        if (alive) {
            for (uint32_t i = 0; i < object->getSubObjectCount(); ++i) {
                GO_subObj* part = object->getSubObject(i);
                if (!part || part->update(dt) || isPlayerSlot(slot))
                    continue;
                onSubObjectDestroyed(slot, i);
                object->destroySubObject(i);
            }
        } else if (isPlayerSlot(slot)) {
            object->onDestroyed();
        } else {
            onObjectDestroyed(slot);
            remove(slot);
        }
    }
}

void GameObjectManager::countKill(uint32_t hitType, uint32_t victimCategory)
{
    if (!statistics_)
        return;
    if (hitType == kBulletHit)
        ++statistics_->bulletKills;
    else
        ++statistics_->missileKills;
    if (low16(victimCategory) == kAirCategory)
        ++statistics_->airKills;
    else
        ++statistics_->groundKills;
}

void GameObjectManager::onObjectDestroyed(uint32_t slot)
{
    GameObject* object = getObject(slot);
    if (!object || !playData_)
        return;
    const uint32_t row = mechanicsRowOf(*object);
    // Rows are 1-based; one past the mode's table books nothing of its own.
    OvniSpawnType* type = row > 0 && row - 1 < playData_->ovniTypes.size() ? &playData_->ovniTypes[row - 1] : nullptr;
    if (object->isRetreating()) {
        if (type)
            ++type->leaves;
        if (row > 0)
            playData_->onOvniLeave(row - 1);
        return;
    }
    playData_->killReported = 1;
    const DamageEntry* entry = damage_ ? damage_->getEntry(object->getDamageSlot()) : nullptr;
    if (!entry)
        return;
    const int32_t attacker = entry->lastAttackerId;
    const GameObjectData* victim = object->getData();
    if (attacker < 0)
        return;
    if (isPlayerSlot(static_cast<uint32_t>(attacker))) {
        if (type) {
            playData_->killColour = type->colourIndex;
            ++type->playerKills;
        }
        if (row > 0)
            playData_->onOvniPlayerKill(row - 1);
        countKill(entry->lastHitType, victim->category);
        return;
    }
    const GameObject* killer = getObject(static_cast<uint32_t>(attacker));
    if (!killer || row == 0 || low16(killer->getData()->team) != low16(victim->team))
        return;
    if (sceneContext_ && victim->team == sceneContext_->playerTeam)
        return;
    if (type)
        ++type->otherKills;
    playData_->onOvniEnemyKill(row - 1);
}

void GameObjectManager::onSubObjectDestroyed(uint32_t slot, uint32_t partIndex)
{
    GameObject* object = getObject(slot);
    const GO_subObj* part = object ? object->getSubObject(partIndex) : nullptr;
    // The part keeps its own damage slot; the data's per-part records are not filled.
    const DamageEntry* entry = part && damage_ ? damage_->getEntry(part->getDamageSlot()) : nullptr;
    if (!entry || entry->lastAttackerId < 0 || !isPlayerSlot(static_cast<uint32_t>(entry->lastAttackerId)))
        return;
    countKill(entry->lastHitType, object->getData()->category);
}

void GameObjectManager::remove(uint32_t slot)
{
    if (slot >= slots_.size() || slots_[slot].free)
        return;
    if (slots_[slot].hasAI && ai_)
        ai_->removeObject(static_cast<int>(slot));
    delete slots_[slot].object;
    slots_[slot].object = nullptr;
    slots_[slot].free = 1;
}

void GameObjectManager::attachAI(GameObject* object)
{
    if (!object || !ai_)
        return;
    for (uint32_t slot = 0; slot < slots_.size(); ++slot) {
        Slot& s = slots_[slot];
        if (s.free || s.object != object)
            continue;
        if (s.hasAI)
            ai_->removeObject(static_cast<int>(slot));
        // An object whose AI kind has no behaviour is refused and keeps no entry.
        s.hasAI = ai_->addObject(object) ? 1 : 0;
        return;
    }
}

int GameObjectManager::countOvnis() const
{
    int n = 0;
    for (const Slot& s : slots_)
        if (!s.free && low16(s.object->getData()->behaviourKind) == kAirBehaviour)
            ++n;
    return n;
}

int GameObjectManager::countInSpawnGroup(uint32_t row) const
{
    int n = 0;
    for (const Slot& s : slots_)
        if (!s.free && s.object->getParams() && s.object->getParams()->mechanicsRow == row)
            ++n;
    return n;
}

void GameObjectManager::pauseAllSounds()
{
    for (const Slot& s : slots_)
        if (!s.free)
            s.object->pauseSounds();
}

void GameObjectManager::resumeAllSounds()
{
    for (const Slot& s : slots_)
        if (!s.free)
            s.object->resumeSounds();
}

void GameObjectManager::callAllSlot32()
{
    for (const Slot& s : slots_)
        if (!s.free)
            s.object->hook32();
}

void GameObjectManager::destroyAll()
{
    for (uint32_t slot = 0; slot < slots_.size(); ++slot) {
        Slot& s = slots_[slot];
        if (s.free)
            continue;
        // No AI entry may outlive its object.
        if (s.hasAI && ai_)
            ai_->removeObject(static_cast<int>(slot));
        delete s.object;
        s.object = nullptr;
    }
    slots_.clear();
    slots_.shrink_to_fit();
}
