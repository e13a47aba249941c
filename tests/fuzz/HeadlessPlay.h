#pragma once
// One play of the game on a headless engine, set up the way the game core and the play state set
// one up, over whatever files the working directory's game tree holds: settings and key bindings,
// the profile, the campaign and its progress, the record table, the global sounds, the play
// settings, the map, the mode's rules with their player and Ovni, every object, pickup, effect and
// reactor of the game spawned about the player, a few seconds of ticks with the player driving
// and firing, and every cutscene sequence loaded.
#include "core/InterpolationAffector.h"
#include "support/TestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace audio {
class SoundManager;
}

namespace fuzz {

// What the cases share: the engine with the game's meshes, particle scripts and sounds. Made once,
// before the cases fork.
class PlayEngine {
public:
    // treeRoot: the game tree whose Bin/Game is the working directory; mediaDir: a scratch folder.
    PlayEngine(const std::string& treeRoot, const std::string& mediaDir);
    ~PlayEngine();
    PlayEngine(const PlayEngine&) = delete;
    PlayEngine& operator=(const PlayEngine&) = delete;
    Ogre::Root* root() const { return engine_.root(); }

private:
    InterpolationAffectorFactory factory_;
    testsupport::HeadlessOgre engine_;
};

struct PlayOptions {
    std::string mode = "ArcadeMode";
    float seconds = 3.0f;
    float dt = 1.0f / 30.0f;
    // The game's definitions by name, to spawn beside the mode's own (object names with their kind).
    std::vector<std::pair<std::string, int>> objects;
    std::vector<std::string> pickups, effects, reactors, cutscenes;
};

// The names the shipped tree holds, found from its caches.
PlayOptions shippedContent(const std::string& treeRoot);
// The kind an object definition of the tree is spawned as (0 for none).
int objectKindOf(const std::string& name);

// Runs the play; "" when it went through, otherwise what went wrong that the sanitizers and the
// process cannot tell on their own (a tick over a second of processor time).
std::string runPlay(PlayEngine& engine, audio::SoundManager& sounds, const PlayOptions& options);

}  // namespace fuzz
