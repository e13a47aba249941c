// Mutation runs over every file kind the game reads: each case damages one shipped (or, for the
// player's files, freshly saved) file of a private game tree, runs what reads it (the data
// builder's own steps for the sources it builds from) and then a headless play over the tree. A
// case is a finding when the process dies of a signal (abort, assertion, uncaught exception,
// crash), a sanitizer reports, a tick takes over a second of processor time, or the case does not
// end in time. The cases of a kind run one after another in a child process, which the parent
// replaces after a case that ended it. The test command runs a small fixed budget, scripts/fuzz
// a large one:
//   VANTOREL_FUZZ_CASES  cases per kind (default 8)
//   VANTOREL_FUZZ_SEED   base seed (default 48)
//   VANTOREL_FUZZ_FIRST  first case number (default 0), to replay one case
//   VANTOREL_FUZZ_OUT    folder for the damaged files and logs of findings (default fuzz-findings)
//   VANTOREL_FUZZ_PLAY_MS  play time of each case (default 3000)
#include "fuzz/HeadlessPlay.h"
#include "fuzz/Mutator.h"

#include "BuildStep.h"

#include "audio/SoundManager.h"
#include "core/CampaignData.h"
#include "core/PlayerProfile.h"
#include "core/RandomGenerator.h"
#include "play/RecordTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sanitizer/common_interface_defs.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kSanitizerExit = 86;
constexpr int kExceptionExit = 88;
// A case that has not ended by then hangs (a play is a few seconds, even under the sanitizers).
constexpr double kCaseTimeout = 60.0;

uint64_t envNumber(const char* name, uint64_t fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

std::vector<uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct FileKind {
    const char* name;
    bool text;
    // The files of the kind, relative to the tree's root; mode: the mode to play when one of them
    // is damaged ("" for the default).
    std::vector<std::string> (*files)();
    // The data builder's steps that read the kind (text sources only).
    std::vector<std::string> builderSteps;
};

std::vector<std::string> inFolder(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> out;
    const fs::path root = fs::current_path() / "../..";
    for (const auto& e : fs::directory_iterator(root / folder))
        if (e.path().extension() == extension)
            out.push_back(folder + "/" + e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

template <const char* Ext>
std::vector<std::string> caches()
{
    return inFolder("Data/System", Ext);
}

constexpr char kZVO[] = ".ZVO", kZVW[] = ".ZVW", kZVJ[] = ".ZVJ", kZVH[] = ".ZVH", kZVE[] = ".ZVE",
               kZVR[] = ".ZVR", kZVP[] = ".ZVP", kZVG[] = ".ZVG", kZVD[] = ".ZVD", kZVN[] = ".ZVN",
               kZVS[] = ".ZVS";

std::vector<std::string> definitionSources()
{
    std::vector<std::string> out;
    for (const char* folder : {"Data/GamePlay", "Data/Effects", "Data/Reactor", "Objects/Warheads"})
        for (const std::string& f : inFolder(folder, ".ini"))
            if (testsupport::readTextFile("../../" + f).find("[Build]") != std::string::npos)
                out.push_back(f);
    return out;
}

std::vector<std::string> modeSources()
{
    std::vector<std::string> out;
    for (const std::string& f : inFolder("Data/GamePlay", ".ini"))
        if (testsupport::readTextFile("../../" + f).find("[Build]") == std::string::npos)
            out.push_back(f);
    return out;
}

const std::vector<FileKind>& kinds()
{
    static const std::vector<FileKind> all = {
        {"ObjectCache", false, caches<kZVO>, {}},
        {"WeaponCache", false, caches<kZVW>, {}},
        {"ProjectileCache", false, caches<kZVJ>, {}},
        {"WarheadCache", false, caches<kZVH>, {}},
        {"EffectCache", false, caches<kZVE>, {}},
        {"ReactorCache", false, caches<kZVR>, {}},
        {"PickupCache", false, caches<kZVP>, {}},
        {"ModeCache", false, caches<kZVG>, {}},
        {"DifficultyCache", false, caches<kZVD>, {}},
        {"SequenceCache", false, caches<kZVN>, {}},
        {"MapCache", false, caches<kZVS>, {}},
        {"PlaySettingsTable", false, [] { return std::vector<std::string>{"Data/System/GPset.Dat"}; }, {}},
        {"SoundTable", false, [] { return std::vector<std::string>{"Data/System/GSData.Dat"}; }, {}},
        {"ModeTable", false, [] { return std::vector<std::string>{"Data/System/GMode.Dat"}; }, {}},
        {"CampaignTable", false, [] { return std::vector<std::string>{"Data/System/GCampA.TCD"}; }, {}},
        {"Profile", false, [] { return std::vector<std::string>{"Saves/Pilot_Game.ZVP"}; }, {}},
        {"Progress", false, [] { return std::vector<std::string>{"Saves/Pilot_Chall.DAT"}; }, {}},
        {"RecordTable", false, [] { return std::vector<std::string>{"Bin/Game/Data1.dat"}; }, {}},
        {"DefinitionSource", true, definitionSources, {"definitions"}},
        {"ModeSource", true, modeSources, {"mode rules"}},
        {"MapSource", true, [] { return inFolder("Data/Scenes/Town", ".ini"); }, {"scene caches"}},
        {"SequenceSource", true, [] { return inFolder("Data/Cutscene", ".ini"); }, {"cutscene sequences"}},
        {"TableSource", true,
         [] {
             return std::vector<std::string>{"SourceData/tables/GPset.ini", "SourceData/tables/GMode.ini",
                                             "SourceData/tables/GCampA.ini", "SourceData/tables/GSData.txt"};
         },
         {"GPset.Dat", "game-mode table", "campaign catalogue", "global sounds table", "mode rules"}},
        {"Settings", true,
         [] { return std::vector<std::string>{"Bin/Game/config.ini", "Bin/Game/ctrlConfig.ini"}; }, {}},
    };
    return all;
}

// Every file a case may change, so each case starts from the same tree.
class TreeSnapshot {
public:
    explicit TreeSnapshot(const fs::path& root) : root_(root)
    {
        for (const char* dir : {"Data/System", "Saves", "Bin/Game", "Data/GamePlay", "Data/Effects", "Data/Reactor",
                                "Data/Scenes/Town", "Data/Cutscene", "Objects/Warheads", "SourceData/tables",
                                "Resultados"})
            for (const auto& e : fs::directory_iterator(root / dir))
                if (e.is_regular_file() && e.file_size() < 4 * 1024 * 1024)
                    files_[e.path()] = {readBytes(e.path()), fs::last_write_time(e.path())};
    }
    void restore()
    {
        for (auto& [path, saved] : files_) {
            std::error_code ec;
            const auto stamp = fs::last_write_time(path, ec);
            if (!ec && stamp == saved.stamp && fs::file_size(path, ec) == saved.bytes.size())
                continue;
            fs::remove(path, ec);
            writeBytes(path, saved.bytes);
            saved.stamp = fs::last_write_time(path, ec);
        }
    }
    const std::vector<uint8_t>& original(const std::string& relative) const
    {
        return files_.at(root_ / relative).bytes;
    }

private:
    struct Saved {
        std::vector<uint8_t> bytes;
        fs::file_time_type stamp;
    };
    fs::path root_;
    std::map<fs::path, Saved> files_;
};

std::string describeStatus(int status)
{
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
    if (WIFEXITED(status)) {
        switch (WEXITSTATUS(status)) {
        case 0: return "";
        case kSanitizerExit: return "sanitizer report";
        case kExceptionExit: return "uncaught exception";
        default: return "exit code " + std::to_string(WEXITSTATUS(status));
        }
    }
    return "unknown status";
}

// Runs the data builder's steps that read the kind over the tree, as the builder does; a step
// that refuses a damaged source is no finding.
void runBuilder(const FileKind& kind, const std::string& dataDir, const std::string& file)
{
    BuildContext ctx{dataDir, std::cout};
    // A definition or mode source rebuilds only its own cache, as a whole run would.
    if (kind.builderSteps == std::vector<std::string>{"definitions"} ||
        kind.builderSteps == std::vector<std::string>{"mode rules"})
        ctx.onlyName = fs::path(file).stem().string();
    runBuildSteps(ctx, kind.builderSteps, std::cout);
}

void PrintTo(const FileKind& kind, std::ostream* out) { *out << kind.name; }

// One damaged file: which, its bytes and what was done to it.
struct Case {
    std::string file;
    std::vector<uint8_t> bytes;
    std::string what;
};

// What a case's play spawns beside the mode's own: the damaged definition itself, or for the
// families that others use (weapons, shots, warheads, the difficulty) every object and pickup.
fuzz::PlayOptions optionsFor(const FileKind& kind, const fuzz::PlayOptions& shipped, const std::string& file)
{
    fuzz::PlayOptions options;
    const fs::path path(file);
    const std::string stem = path.stem().string();
    const std::string ext = path.extension().string();
    const std::string folder = path.parent_path().filename().string();
    if (ext == ".ZVG" || kind.builderSteps == std::vector<std::string>{"mode rules"})
        options.mode = stem;
    const bool definitionSource = kind.builderSteps == std::vector<std::string>{"definitions"};
    if (ext == ".ZVO" || (definitionSource && fuzz::objectKindOf(stem))) {
        if (const int k = fuzz::objectKindOf(stem))
            options.objects.emplace_back(stem, k);
    } else if (ext == ".ZVE" || (definitionSource && folder == "Effects")) {
        options.effects.push_back(stem);
    } else if (ext == ".ZVR" || (definitionSource && folder == "Reactor")) {
        options.reactors.push_back(stem);
    } else if (ext == ".ZVP" || (definitionSource && stem.rfind("pick_", 0) == 0)) {
        options.pickups.push_back(stem);
    } else if (ext == ".ZVW" || ext == ".ZVJ" || ext == ".ZVH" || ext == ".ZVD" || definitionSource) {
        options.objects = shipped.objects;
        options.pickups = shipped.pickups;
    }
    if (ext == ".ZVN" || kind.builderSteps == std::vector<std::string>{"cutscene sequences"} ||
        kind.name == std::string("ModeTable") || kind.name == std::string("Profile"))
        options.cutscenes = ext == ".ZVN" || ext == ".ini" ? std::vector<std::string>{stem} : shipped.cutscenes;
    return options;
}

class FileFuzz : public ::testing::TestWithParam<FileKind> {};

TEST_P(FileFuzz, NoDamagedFileStopsAPlay)
{
    const FileKind& kind = GetParam();
    const uint64_t cases = envNumber("VANTOREL_FUZZ_CASES", 8);
    const uint64_t first = envNumber("VANTOREL_FUZZ_FIRST", 0);
    const uint64_t seed = envNumber("VANTOREL_FUZZ_SEED", 48);
    const float playSeconds = static_cast<float>(envNumber("VANTOREL_FUZZ_PLAY_MS", 3000)) / 1000.0f;
    const char* outEnv = std::getenv("VANTOREL_FUZZ_OUT");
    const fs::path out = fs::absolute(outEnv && *outEnv ? outEnv : "fuzz-findings") / kind.name;
    fs::create_directories(out);

    testsupport::TempGameTree tree{"Data", "Objects", "Bin/Game/plugins.cfg", "Bin/Game/config.ini",
                                   "Bin/Game/ctrlConfig.ini"};
    // The builder's readable table sources, in a data folder of the tree's own.
    fs::create_directories(tree.path("SourceData"));
    fs::copy(testsupport::repoDataDir() + "/tables", tree.path("SourceData/tables"), fs::copy_options::recursive);
    fs::create_directory_symlink(testsupport::repoDataDir() + "/paks", tree.path("SourceData/paks"));
    testsupport::ScopedWorkDir cwd{tree.workDir()};

    fuzz::PlayEngine engine(tree.root(), tree.path("FuzzMedia"));
    const fuzz::PlayOptions shipped = fuzz::shippedContent(tree.root());
    // The player's files as the game saves them.
    {
        RandomGenerator random;
        PlayerProfile profile("Pilot", &random);
        ASSERT_TRUE(profile.save());
        CampaignData campaign("TcData", "Pilot", profile.getLanguageCount());
        ASSERT_TRUE(campaign.saveProgress());
        RecordTable records(nullptr, "Data1.dat");
        ASSERT_TRUE(records.save());
    }
    TreeSnapshot snapshot(tree.root());
    const std::vector<std::string> files = kind.files();
    ASSERT_FALSE(files.empty());

    uint64_t kindHash = 1469598103934665603ull;
    for (const char* c = kind.name; *c; ++c)
        kindHash = (kindHash ^ static_cast<uint8_t>(*c)) * 1099511628211ull;
    auto makeCase = [&](uint64_t i) {
        Case c;
        c.file = files[i % files.size()];
        fuzz::CaseRandom random(fuzz::mixSeed(seed ^ kindHash ^ fuzz::mixSeed(i)));
        c.bytes = kind.text ? fuzz::mutateText(snapshot.original(c.file), random, c.what)
                            : fuzz::mutateBinary(snapshot.original(c.file), random, c.what);
        return c;
    };

    // The cases run in a child process, one after another, until one of them ends it; the parent
    // books that case and starts a new child from the next one. The child reports each case's
    // start and end (and any slow tick) through a pipe.
    std::vector<std::string> findings;
    auto book = [&](uint64_t i, const std::string& finding, const std::string& logPath) {
        const Case c = makeCase(i);
        const std::string caseName = "case" + std::to_string(i) + "_" + fs::path(c.file).filename().string();
        writeBytes(out / (caseName + ".damaged"), c.bytes);
        std::ofstream log(out / (caseName + ".log"));
        log << testsupport::readTextFile(logPath) << "\ncase " << i << " of " << kind.name << " (seed " << seed
            << "): " << c.file << ": " << c.what << "\n" << finding << "\n";
        findings.push_back(caseName + ": " + c.file + ": " + c.what + " -> " + finding);
    };
    const std::string logPath = tree.path("case.log");
    const auto started = std::chrono::steady_clock::now();
    uint64_t next = first;
    while (next < first + cases) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        std::cout.flush();
        std::cerr.flush();
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(pipeFds[0]);
            FILE* report = ::fdopen(pipeFds[1], "w");
            __sanitizer_set_death_callback([] { ::_exit(kSanitizerExit); });
            audio::SoundManager sounds;
            // Every sound once, held for the child's life: the manager keeps a decoded buffer
            // while a sound uses it, so the plays do not decode them again.
            for (const auto& e : fs::directory_iterator(tree.path("Data/Sounds")))
                if (e.path().extension() == ".ogg")
                    sounds.createSound("warm_" + e.path().stem().string(), e.path().filename().string(), false, false);
            // A fresh child now and then, so nothing of earlier plays builds up.
            for (uint64_t i = next; i < first + cases && i < next + 40; ++i) {
                const int fd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                ::dup2(fd, 1);
                ::dup2(fd, 2);
                ::close(fd);
                std::fprintf(report, "S %llu\n", static_cast<unsigned long long>(i));
                std::fflush(report);
                const Case c = makeCase(i);
                writeBytes(tree.path(c.file), c.bytes);
                std::string finding;
                try {
                    if (!kind.builderSteps.empty())
                        runBuilder(kind, tree.path("SourceData"), c.file);
                    fuzz::PlayOptions options = optionsFor(kind, shipped, c.file);
                    options.seconds = playSeconds;
                    finding = fuzz::runPlay(engine, sounds, options);
                } catch (const std::exception& e) {
                    std::cerr << "uncaught exception: " << e.what() << std::endl;
                    ::_exit(kExceptionExit);
                } catch (...) {
                    std::cerr << "uncaught exception" << std::endl;
                    ::_exit(kExceptionExit);
                }
                snapshot.restore();
                if (!finding.empty())
                    std::fprintf(report, "F %llu %s\n", static_cast<unsigned long long>(i), finding.c_str());
                std::fprintf(report, "E %llu\n", static_cast<unsigned long long>(i));
                std::fflush(report);
            }
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        FILE* reports = ::fdopen(pipeFds[0], "r");
        uint64_t running = next;
        bool inCase = false;
        std::string reason;
        char line[4096];
        for (;;) {
            pollfd p{pipeFds[0], POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(kCaseTimeout * 1000)) == 0) {
                ::kill(pid, SIGKILL);
                reason = "no end within " + std::to_string(static_cast<int>(kCaseTimeout)) + " s";
                break;
            }
            if (!std::fgets(line, sizeof line, reports))
                break;  // the child ended
            unsigned long long i = 0;
            char tag = 0;
            int used = 0;
            if (std::sscanf(line, "%c %llu %n", &tag, &i, &used) < 2)
                continue;
            running = i;
            if (tag == 'S') {
                inCase = true;
            } else if (tag == 'E') {
                inCase = false;
                next = i + 1;
            } else if (tag == 'F') {
                std::string text = line + used;
                if (!text.empty() && text.back() == '\n')
                    text.pop_back();
                book(i, text, logPath);
            }
        }
        std::fclose(reports);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (inCase) {
            book(running, reason.empty() ? describeStatus(status) : reason, logPath);
            next = running + 1;
            snapshot.restore();
        } else if (!reason.empty() || describeStatus(status) != "") {
            ADD_FAILURE() << "the case runner ended between cases: " << describeStatus(status) << reason;
            break;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "fuzz " << kind.name << ": " << cases << " cases over " << files.size() << " files, "
              << findings.size() << " findings, " << seconds << " s (seed " << seed << ", first case " << first
              << ")" << std::endl;
    for (const std::string& f : findings)
        ADD_FAILURE() << f << "\n  (damaged file and log in " << out.string() << ")";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, FileFuzz, ::testing::ValuesIn(kinds()),
                         [](const ::testing::TestParamInfo<FileKind>& info) { return std::string(info.param.name); });

}  // namespace
