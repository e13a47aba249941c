// Cutscene files that are not what they claim (pipes, folders, playlists naming a pipe, a video
// whose rate is absurd) played through the cutscene state and the video texture, with every
// frame timed and a watchdog for a frame that never returns (run under Xvfb).
#include "DialogTestRig.h"
#include "cutscenes/GS_Cutscene.h"
#include "definitions/DefinitionCache.h"
#include "platform/DirectShowMovieTexture.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
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

// Our briefing video `copies` times over, its rate field `factor` times what it is: every frame is
// stamped as if the movie ran that much faster.
void writeFastVideo(const std::string& target, int copies, int factor)
{
    AVFormatContext* in = nullptr;
    ASSERT_GE(avformat_open_input(&in, "../../Video/Briefing.avi", nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(in, nullptr), 0);
    std::vector<AVPacket*> packets;
    AVPacket* p = av_packet_alloc();
    while (av_read_frame(in, p) >= 0) {
        packets.push_back(p);
        p = av_packet_alloc();
    }
    av_packet_free(&p);
    const AVStream* source = in->streams[0];
    const AVRational fast{source->time_base.num, source->time_base.den * factor};

    AVFormatContext* out = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&out, nullptr, "avi", target.c_str()), 0);
    AVStream* stream = avformat_new_stream(out, nullptr);
    ASSERT_GE(avcodec_parameters_copy(stream->codecpar, source->codecpar), 0);
    stream->time_base = fast;
    ASSERT_GE(avio_open(&out->pb, target.c_str(), AVIO_FLAG_WRITE), 0);
    ASSERT_GE(avformat_write_header(out, nullptr), 0);
    int64_t n = 0;
    for (int copy = 0; copy < copies; ++copy)
        for (const AVPacket* p : packets) {
            AVPacket* q = av_packet_clone(p);
            q->stream_index = 0;
            q->pts = q->dts = n++;  // one tick of the fast rate per frame
            q->duration = 1;
            av_packet_rescale_ts(q, fast, stream->time_base);
            ASSERT_GE(av_interleaved_write_frame(out, q), 0);
            av_packet_free(&q);
        }
    ASSERT_GE(av_write_trailer(out), 0);
    avio_closep(&out->pb);
    avformat_free_context(out);
    for (AVPacket* p : packets)
        av_packet_free(&p);
    avformat_close_input(&in);
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
    testsupport::writeTextFile("../../Video/List.ffconcat", "ffconcat version 1.0\nfile Pipe.avi\n");

    struct Case {
        const char* what;
        std::string sequence;  // what the sequence file holds
        std::function<void(const std::string& iniPath)> plant;
    };
    const auto asPipe = [](const std::string& p) {
        fs::remove(p);
        ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
    };
    const auto asFolder = [](const std::string& p) {
        fs::remove(p);
        fs::create_directory(p);
    };
    const auto keep = [](const std::string&) {};
    const Case cases[] = {
        // First, one that only warms the engine up (its first frames load what every cutscene uses).
        {"warm-up: a missing video", videoSequence("Missing.avi"), keep},
        {"the sequence file a pipe", videoSequence("Briefing.avi"), asPipe},
        {"the sequence file a folder", videoSequence("Briefing.avi"), asFolder},
        {"the video a pipe", videoSequence("Pipe.avi"), keep},
        {"the video a folder", videoSequence("Folder.avi"), keep},
        {"a playlist naming a pipe", videoSequence("List.m3u8"), keep},
        {"a concat list naming a pipe", videoSequence("List.ffconcat"), keep},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "Odd" + std::to_string(n++);
        rig.writeSequenceCache(name, c.sequence);
        c.plant("../../Data/Cutscene/" + name + ".ini");

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
    // 1500 frames, all of them due within the first millisecond.
    writeFastVideo("../../Video/Fast.avi", 20, 100000);
    OgreUtils::DirectShowMovieTexture movie(320, 180);
    movie.loadMovie("../../Video/Fast.avi");
    movie.playMovie();

    Watchdog watchdog("the fast video", std::chrono::seconds(60));
    double slowest = 0;
    int frames = 0;
    for (bool ended = false; !ended && frames < 2000; ++frames) {
        const Clock::time_point start = Clock::now();
        ended = movie.advance(1.0f / 60.0f);
        slowest = std::max(slowest, secondsSince(start));
    }
    EXPECT_TRUE(movie.hasEnded());
    EXPECT_LT(slowest, 0.1);
    // Frames beyond what a few per game frame can show are dropped: it ends long before 1500 / 3.
    EXPECT_LT(frames, 200);
}
