// Rules steps that wait for the world's object and pickup managers, so that the rules engine
// links and runs without them: no player vehicle, no Ovni and no pickups. Each entry leaves this
// file when the managers are there; the file then goes.
#include "play/GameRulesManager.h"

uint32_t GameRulesManager::liveOvniCount() const { return 0; }
uint32_t GameRulesManager::liveOvniCountOfType(uint32_t) const { return 0; }
bool GameRulesManager::spawnOvni(OvniParams*) { return false; }
bool GameRulesManager::placePickup(PickupParams*) { return false; }
