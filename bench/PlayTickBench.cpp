// One play tick of a busy arena over Town: the world's share of the tick (AI, objects,
// projectiles, pickups, effects) on a headless engine with effects and silent sound. The player's
// abrams (taking no damage), 50 Ovni on the floor, 10 marauders chasing the player, 10 pickups and
// up to 100 shots in flight (the counts are options); seed 1. After N/10 warm-up ticks, each of N
// ticks of 1/60 s is timed alone; between ticks, untimed, the dead are replaced, taken pickups
// respawn, shots are fired while fewer than the count fly, and the scene graph is brought up to
// date as a rendered frame would. The last line gives the shots' body hits a tick too: in one
// arena, a denser crowd is hit more often, and every hit ends in a blast.
//   play_tick_bench [--ticks N] [--ovni N] [--vehicles N] [--shots N] [--pickups N] [--tree GAME_TREE]
#include "audio/SoundManager.h"
#include "core/GamePlayData.h"
#include "core/GameSettings.h"
#include "core/HeadlessEngine.h"
#include "core/InterpolationAffector.h"
#include "core/RandomGenerator.h"
#include "core/SceneContext.h"
#include "definitions/GameObjectKind.h"
#include "definitions/PickupParamsLibrary.h"
#include "definitions/ProjectileDefRegistry.h"
#include "definitions/WarheadDefRegistry.h"
#include "definitions/projParams.h"
#include "world/AIManager.h"
#include "world/AIbeheiviour.h"
#include "world/AIdata.h"
#include "world/GameObject.h"
#include "world/GameObjectData.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/HeadlessWorld.h"
#include "world/Ovni.h"
#include "world/PickupManager.h"
#include "world/PlayWorld.h"
#include "world/ProjectileManager.h"
#include "world/SceneCreator.h"

#include <Ogre.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include <unistd.h>

using Ogre::Vector3;

namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr uint32_t kEnemyTeam = 2;

// The population the arena is kept at.
struct Counts {
    long ovni = 50;
    long vehicles = 10;
    long shots = 100;
    long pickups = 10;
};

int usage()
{
    std::fprintf(stderr, "usage: play_tick_bench [--ticks N] [--ovni N] [--vehicles N] [--shots N] [--pickups N] "
                         "[--tree GAME_TREE]\n");
    return 2;
}

// The arena's population, kept at its numbers between ticks.
class Arena {
public:
    Arena(PlayWorld& world, SceneContext& context, const Counts& counts)
        : world_(world), context_(context), counts_(counts)
    {
        random_.seed(1);
        bullet_ = world.projectileDefs().getParams("proj_bullet", ProjectileKind_Bullet);
        rocket_ = world.projectileDefs().getParams("proj_rocket", ProjectileKind_Rocket);
        warhead_ = world.warheadDefs().getParams("wh_bullet");
        blast_ = world.warheadDefs().getParams("wh_explosive");
        for (const char* name : {"pick_health", "pick_repair", "pick_turbo", "pick_nodamage", "pick_weap_twin_cannon"})
            pickupKinds_.push_back(world.pickups().getLibrary()->getParams(name, false));
    }

    bool spawnPlayer()
    {
        player_ = world_.objects().spawnPlayer();
        if (!player_)
            return false;
        context_.playerObjectId = player_->getObjectId();
        context_.playerTeam = GameObjectManager::kPlayerTeam;
        context_.playerNode = player_->getMainNode();
        return true;
    }

    // Untimed, before each tick: the numbers made up again and the player kept unhurt.
    void refill()
    {
        player_->getData()->noDamage = true;
        player_->setNoDamageTime(1.0e6f);
        for (long n = world_.objects().countOvnis(); n < counts_.ovni; ++n)
            spawnOvni();
        for (long n = countVehicles(); n < counts_.vehicles; ++n)
            spawnVehicle();
        for (long n = world_.projectiles().liveCount(); n < counts_.shots; ++n)
            fire();
        // Dropped from the height the rules place them at.
        for (long n = world_.pickups().liveCount(); n < counts_.pickups; ++n) {
            PickupParams* kind = pickupKinds_[pickupCount_++ % pickupKinds_.size()];
            world_.pickups().spawn(kind, somewhere() + Vector3(0, 5.2f, 0));
        }
    }

    int countVehicles() const
    {
        int n = 0;
        for (const GameObjectManager::Slot& s : world_.objects().slots())
            if (!s.free && s.object != player_ && dynamic_cast<GroundVehicle*>(s.object))
                ++n;
        return n;
    }
    GameObject* player() const { return player_; }

private:
    float uniform(float lo, float hi) { return lo + static_cast<float>(random_.nextUnit()) * (hi - lo); }
    // A point inside the play area, clear of the player's start.
    Vector3 somewhere()
    {
        const Ogre::Vector4 border = context_.getScaledBorder();
        for (;;) {
            const Vector3 p(uniform(border.x, border.z), 0.0f, uniform(border.y, border.w));
            if (p.squaredLength() > 20.0f * 20.0f)
                return p;
        }
    }

    void spawnOvni()
    {
        const char* name = ovniCount_++ % 2 ? "monolith" : "wisp";
        auto* ovni = dynamic_cast<Ovni*>(
            world_.objects().spawnByName(name, somewhere(), kEnemyTeam, GameObjectKind::Ovni));
        if (!ovni)
            return;
        ovni->placeOnFloor();
        world_.objects().attachAI(ovni);
    }

    void spawnVehicle()
    {
        auto* vehicle = dynamic_cast<GroundVehicle*>(world_.objects().spawnByName(
            "marauder", somewhere() + Vector3(0, 2, 0), kEnemyTeam, GameObjectKind::GroundVehicle));
        if (!vehicle)
            return;
        vehicle->updateCachedTransform();
        world_.objects().attachAI(vehicle);
        // Its AI chases the player, so it drives.
        AIManager& ai = world_.ai();
        for (uint32_t i = 0; i < ai.getEntryCount(); ++i) {
            const AIEntry& entry = ai.getEntry(i);
            if (!entry.free && entry.object == vehicle && entry.behaviour) {
                int slot = static_cast<int>(player_->getTargetRegistrySlot());
                entry.behaviour->forceTarget(slot, vehicle, kDt, entry.data.get());
            }
        }
    }

    // Every other shot the player's rocket at a random Ovni, else an Ovni's bullet at the player.
    void fire()
    {
        std::vector<GameObject*> ovnis;
        for (const GameObjectManager::Slot& s : world_.objects().slots())
            if (!s.free && dynamic_cast<Ovni*>(s.object))
                ovnis.push_back(s.object);
        if (ovnis.empty())
            return;
        GameObject* ovni = ovnis[static_cast<size_t>(uniform(0.0f, float(ovnis.size()) - 0.001f))];
        const bool fromPlayer = shots_++ % 2 == 0;
        GameObject* shooter = fromPlayer ? player_ : ovni;
        GameObject* target = fromPlayer ? ovni : player_;
        const Vector3 from = shooter->getWorldPosition() + Vector3(0, 2, 0);
        const Vector3 to = target->getWorldPosition() + Vector3(uniform(-3, 3), 1, uniform(-3, 3));
        const Ogre::Quaternion facing = Vector3::NEGATIVE_UNIT_Z.getRotationTo((to - from).normalisedCopy());
        projParams* shot = fromPlayer ? rocket_ : bullet_;
        world_.projectiles().spawn(static_cast<int32_t>(shooter->getData()->team), shot->ProjectileType, from, facing,
                                   0.0f, 1.0f, shooter->getObjectId(), 10, shot, fromPlayer ? blast_ : warhead_,
                                   nullptr, 0, nullptr);
    }

    PlayWorld& world_;
    SceneContext& context_;
    Counts counts_;
    RandomGenerator random_;
    GameObject* player_ = nullptr;
    projParams* bullet_ = nullptr;
    projParams* rocket_ = nullptr;
    WarHeadParams* warhead_ = nullptr;
    WarHeadParams* blast_ = nullptr;
    std::vector<PickupParams*> pickupKinds_;
    uint32_t ovniCount_ = 0;
    uint32_t pickupCount_ = 0;
    uint32_t shots_ = 0;
};

// The value below which the fraction q of the sorted samples lie.
double quantile(std::vector<double> samples, double q)
{
    std::sort(samples.begin(), samples.end());
    const size_t i = std::min(samples.size() - 1, static_cast<size_t>(q * static_cast<double>(samples.size())));
    return samples[i];
}

}  // namespace

int main(int argc, char** argv)
{
    long ticks = 3000;
    Counts counts;
    std::string tree = GAME_TREE_DIR;
    // A whole number from min to max, or nothing.
    const auto number = [](const char* text, long min, long max, long& out) {
        char* end = nullptr;
        errno = 0;
        const long n = std::strtol(text, &end, 10);
        if (errno || end == text || *end || n < min || n > max)
            return false;
        out = n;
        return true;
    };
    const struct {
        const char* option;
        long* value;
        long min;
    } options[] = {{"--ticks", &ticks, 1},        {"--ovni", &counts.ovni, 0}, {"--vehicles", &counts.vehicles, 0},
                   {"--shots", &counts.shots, 0}, {"--pickups", &counts.pickups, 0}};
    for (int i = 1; i < argc; ++i) {
        const auto* o = std::find_if(std::begin(options), std::end(options),
                                     [&](const auto& known) { return !std::strcmp(argv[i], known.option); });
        if (o != std::end(options)) {
            if (i + 1 >= argc || !number(argv[++i], o->min, 100000, *o->value))
                return usage();
        } else if (!std::strcmp(argv[i], "--tree") && i + 1 < argc) {
            tree = argv[++i];
        } else {
            return usage();
        }
    }
    if (!std::filesystem::exists(tree + "/Data/Scenes/Town")) {
        std::fprintf(stderr, "play_tick_bench: no game tree with Town at %s\n", tree.c_str());
        return 2;
    }
    tree = std::filesystem::absolute(tree).string();
    std::filesystem::current_path(tree + "/Bin/Game");
    // Silent: the null output when there is a sound device at all.
    ::setenv("ALSOFT_DRIVERS", "null", 0);

    const std::string media =
        (std::filesystem::temp_directory_path() / ("play_tick_bench_" + std::to_string(::getpid()))).string();
    int status = 0;
    {
        HeadlessWorld::Options options;
        options.gameTree = tree;
        options.mediaDir = media;
        options.logName = "play_tick_bench.log";
        options.beforeMap = [](HeadlessWorld& w) { w.playData.playPhase = 1; };
        HeadlessWorld headless(options);
        {
            PlayWorld& world = *headless.world;
            Arena arena(world, headless.context, counts);
            if (!arena.spawnPlayer()) {
                std::fprintf(stderr, "play_tick_bench: the player's abrams cannot be made\n");
                status = 2;
            } else {
                const long warmUp = ticks / 10;
                std::vector<double> times;
                double ovni = 0, vehicles = 0, projectiles = 0, pickups = 0, hits = 0;
                for (long t = 0; t < warmUp + ticks; ++t) {
                    arena.refill();
                    headless.settle();
                    const uint32_t hitsBefore = world.projectiles().getHits();
                    const auto start = std::chrono::steady_clock::now();
                    world.tick(kDt, true);
                    const auto end = std::chrono::steady_clock::now();
                    if (t < warmUp)
                        continue;
                    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
                    ovni += world.objects().countOvnis();
                    vehicles += arena.countVehicles();
                    projectiles += world.projectiles().liveCount();
                    pickups += world.pickups().liveCount();
                    hits += world.projectiles().getHits() - hitsBefore;
                }
                const double n = static_cast<double>(ticks);
                std::printf("play tick: median %.3f ms, p99 %.3f ms over %ld ticks (%ld Ovni, %ld vehicles, "
                            "%ld projectiles, %ld pickups, %.1f body hits a tick)\n",
                            quantile(times, 0.5), quantile(times, 0.99), ticks, std::lround(ovni / n),
                            std::lround(vehicles / n), std::lround(projectiles / n), std::lround(pickups / n), hits / n);
            }
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(media, ec);
    return status;
}
