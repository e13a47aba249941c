// Cutscene files that are not what they claim (pipes, folders, playlists naming a pipe, a folder,
// the network or too much to read, a video whose rate is absurd) played through the cutscene
// state and the video texture, with a watchdog for a frame that never returns (run under Xvfb).
#include "DialogTestRig.h"
#include "cutscenes/GS_Cutscene.h"
#include "definitions/DefinitionCache.h"
#include "platform/DirectShowMovieTexture.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using dialogtest::DialogRig;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Ends the test program when a step does not return in time: a frame blocked on a pipe would
// otherwise hold the whole run.
class Watchdog {
public:
    Watchdog(std::string what, std::chrono::seconds limit)
        : thread_([this, what = std::move(what), limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
                  std::fprintf(stderr, "watchdog: %s did not return within %lld s\n", what.c_str(),
                               static_cast<long long>(limit.count()));
                  std::_Exit(3);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string videoSequence(const std::string& file)
{
    return "[Sequence]\nnum_Cutscenes = 1\n[CutScene_1]\nCutScene_Type = 1\nVideoFileSize = \"320 180\"\n"
           "Video_File = \"" +
           file + "\"\n";
}

// Our briefing video with the rate field of its video stream header `factor` times what it is:
// every frame is stamped as if the movie ran that much faster.
void writeFastVideo(const std::string& target, uint32_t factor)
{
    std::ifstream in("../../Video/Briefing.avi", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The video stream's header chunk: "strh", its size, then type "vids", handler, flags,
    // priority, language, initial frames, scale and rate.
    size_t header = bytes.find("strh");
    while (header != std::string::npos && (header + 12 > bytes.size() || bytes.compare(header + 8, 4, "vids") != 0))
        header = bytes.find("strh", header + 4);
    ASSERT_NE(header, std::string::npos);
    const size_t rateAt = header + 8 + 24;
    ASSERT_LE(rateAt + 4, bytes.size());
    uint32_t rate = 0;
    std::memcpy(&rate, &bytes[rateAt], 4);
    ASSERT_GT(rate, 0u);
    rate *= factor;
    std::memcpy(&bytes[rateAt], &rate, 4);
    std::ofstream(target, std::ios::binary) << bytes;
}

}  // namespace

TEST(CutsceneFiles, PipesFoldersAndPlaylistsEndTheirEntryWithoutAFrameOverASecond)
{
    DialogRig rig;
    const std::string pipe = "../../Video/Pipe.avi";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory("../../Video/Folder.avi");
    testsupport::writeTextFile("../../Video/List.m3u8",
                               "#EXTM3U\n#EXT-X-TARGETDURATION:3\n#EXTINF:3.0,\nPipe.avi\n#EXT-X-ENDLIST\n");
    testsupport::writeTextFile("../../Video/Folders.m3u8",
                               "#EXTM3U\n#EXT-X-TARGETDURATION:3\n#EXTINF:3.0,\nFolder.avi\n#EXT-X-ENDLIST\n");
    {
        // Far more than can be read in the time opening is given (a second or more here, were
        // there no limit): opening gives up, and the cutscene is skipped.
        std::string longList = "#EXTM3U\n#EXT-X-TARGETDURATION:3\n";
        for (int i = 0; i < 1000000; ++i)
            longList += "#EXTINF:3.0,\nBriefing.avi\n";
        testsupport::writeTextFile("../../Video/Long.m3u8", longList + "#EXT-X-ENDLIST\n");
    }
    testsupport::writeTextFile("../../Video/List.ffconcat", "ffconcat version 1.0\nfile Pipe.avi\n");
    // A playlist naming a file on the network: nothing is ever fetched.
    testsupport::LocalHttpServer server;
    ASSERT_TRUE(server.ok());
    const std::string remote = "http://" + server.address() + "/Briefing.avi";
    testsupport::writeTextFile("../../Video/Remote.m3u8",
                               "#EXTM3U\n#EXT-X-TARGETDURATION:3\n#EXTINF:3.0,\n" + remote + "\n#EXT-X-ENDLIST\n");

    struct Case {
        const char* what;
        std::string sequence;  // what the sequence file holds
        std::function<void(const std::string& sequenceName)> plant;
    };
    const auto asPipe = [](const std::string& p) {
        fs::remove(p);
        ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
    };
    const auto asFolder = [](const std::string& p) {
        fs::remove(p);
        fs::create_directory(p);
    };
    const auto iniOf = [](const std::string& name) { return "../../Data/Cutscene/" + name + ".ini"; };
    const auto cacheOf = [](const std::string& name) { return "../../Data/System/" + name + ".ZVN"; };
    const auto pipeIni = [&](const std::string& name) { asPipe(iniOf(name)); };
    const auto folderIni = [&](const std::string& name) { asFolder(iniOf(name)); };
    const auto pipeCache = [&](const std::string& name) { asPipe(cacheOf(name)); };
    const auto folderCache = [&](const std::string& name) { asFolder(cacheOf(name)); };
    const auto keep = [](const std::string&) {};
    const Case cases[] = {
        // First, one that only warms the engine up (its first frames load what every cutscene uses).
        {"warm-up: a missing video", videoSequence("Missing.avi"), keep},
        {"a playlist naming a file on the network", videoSequence("Remote.m3u8"), keep},
        {"the sequence file a pipe", videoSequence("Briefing.avi"), pipeIni},
        {"the sequence file a folder", videoSequence("Briefing.avi"), folderIni},
        {"the sequence cache a pipe", videoSequence("Briefing.avi"), pipeCache},
        {"the sequence cache a folder", videoSequence("Briefing.avi"), folderCache},
        {"the video a pipe", videoSequence("Pipe.avi"), keep},
        {"the video a folder", videoSequence("Folder.avi"), keep},
        {"a playlist naming a pipe", videoSequence("List.m3u8"), keep},
        {"a playlist naming a folder", videoSequence("Folders.m3u8"), keep},
        {"a playlist too long to read in time", videoSequence("Long.m3u8"), keep},
        {"a concat list naming a pipe", videoSequence("List.ffconcat"), keep},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "Odd" + std::to_string(n++);
        rig.writeSequenceCache(name, c.sequence);
        c.plant(name);

        rig.session.setCutsceneRequest(true, name, "");
        double slowest = 0;
        bool left = false;
        {
            Watchdog watchdog(c.what, std::chrono::seconds(20));
            Clock::time_point start = Clock::now();
            GS_Cutscene state(rig.engine.window(), rig.scene(), &rig.sounds, rig.engine.gui(), &rig.fader, "",
                              &rig.session, rig.viewport(), nullptr, &rig.globalSounds);
            slowest = secondsSince(start);
            for (int frame = 0; frame < 20 && !left; ++frame) {
                start = Clock::now();
                rig.engine.capture();
                left = !state.update(1.0f / 60.0f, &rig.engine.keyboard, &rig.engine.joystick, &rig.engine.mouse);
                rig.engine.render();
                slowest = std::max(slowest, secondsSince(start));
            }
        }
        EXPECT_TRUE(left);
        EXPECT_EQ(server.connections(), 0);
        if (n > 1) {
            EXPECT_LT(slowest, 1.0);
        }
        rig.session.setCutsceneRequest(false, "", "");
    }
    EXPECT_TRUE(rig.engine.logged("not a regular file"));
    EXPECT_TRUE(rig.engine.logged("[DSHOW] Error opening video file!"));
    EXPECT_FALSE(rig.engine.logged("[DSHOW] -> This movie has dimensions"));

    // The sources the data builder reads are refused the same way.
    IniSource ini;
    for (const char* path : {"../../Video/Pipe.avi", "../../Video/Folder.avi"}) {
        Watchdog watchdog(path, std::chrono::seconds(20));
        EXPECT_FALSE(ini.load(path)) << path;
    }
}

TEST(CutsceneFiles, AVideoWithAnAbsurdRateDecodesAFewFramesPerGameFrame)
{
    playertest::CutsceneEngine engine;
    // The briefing video played at its own rate, one frame per game frame: all of its frames.
    int64_t total = 0;
    {
        OgreUtils::DirectShowMovieTexture normal(320, 180);
        normal.loadMovie("../../Video/Briefing.avi");
        normal.playMovie();
        for (int i = 0; i < 1000 && !normal.advance(0.04f); ++i) {
        }
        ASSERT_TRUE(normal.hasEnded());
        total = normal.getFramesDecoded();
        ASSERT_GT(total, 30);
    }
    // All of its frames are due within the first millisecond.
    writeFastVideo("../../Video/Fast.avi", 100000);
    OgreUtils::DirectShowMovieTexture movie(320, 180);
    movie.loadMovie("../../Video/Fast.avi");
    movie.playMovie();

    Watchdog watchdog("the fast video", std::chrono::seconds(60));
    double slowest = 0;
    int64_t mostPerFrame = 0;
    int frames = 0;
    for (bool ended = false; !ended && frames < 200; ++frames) {
        const int64_t before = movie.getFramesDecoded();
        const Clock::time_point start = Clock::now();
        ended = movie.advance(1.0f / 60.0f);
        slowest = std::max(slowest, secondsSince(start));
        mostPerFrame = std::max(mostPerFrame, movie.getFramesDecoded() - before);
    }
    EXPECT_TRUE(movie.hasEnded());
    // The work of one game frame is a few frames of the movie, never the whole movie.
    EXPECT_GT(mostPerFrame, 0);
    EXPECT_LE(mostPerFrame, 3);
    EXPECT_LT(slowest, 1.0);
    // The rest are dropped: it ends having decoded part of its frames only, before the game
    // frames that three frames a game frame would need.
    EXPECT_LT(movie.getFramesDecoded(), total);
    EXPECT_LT(frames, total / 3);
}
