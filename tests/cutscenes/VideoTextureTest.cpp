// The video texture on our briefing video (needs an X display: run under Xvfb).
#include "CutsceneTestEngine.h"

#include "platform/DirectShowMovieTexture.h"

#include <Ogre.h>
#include <gtest/gtest.h>

using playertest::CutsceneEngine;
using playertest::kBriefingColours;
using OgreUtils::DirectShowMovieTexture;
using testsupport::Rgb;

namespace {
const char* const kBriefing = "../../Video/Briefing.avi";

// What the texture holds, read back from the graphics driver.
struct TextureContents {
    explicit TextureContents(DirectShowMovieTexture& movie)
    {
        Ogre::TexturePtr texture = movie.getMovieTexture();
        width = static_cast<int>(texture->getWidth());
        height = static_cast<int>(texture->getHeight());
        bgra.resize(static_cast<size_t>(width) * height * 4);
        texture->getBuffer()->blitToMemory(
            Ogre::PixelBox(width, height, 1, Ogre::PF_BYTE_BGRA, bgra.data()));
    }
    Rgb at(int x, int y) const
    {
        const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
        return Rgb{p[2], p[1], p[0]};
    }
    int alpha(int x, int y) const { return bgra[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;
};

constexpr int kCodecTolerance = 14;

// Advances in frame-sized steps up to `seconds` of playback.
void playTo(DirectShowMovieTexture& movie, double seconds)
{
    while (movie.getPlaybackTime() + 1e-6 < seconds && !movie.hasEnded())
        movie.advance(static_cast<float>(std::min(0.02, seconds - movie.getPlaybackTime())));
}
}  // namespace

TEST(VideoTexture, KeepsItsSizeAndStartsBlack)
{
    CutsceneEngine engine;
    DirectShowMovieTexture movie(64, 48);
    Ogre::TexturePtr texture = movie.getMovieTexture();
    EXPECT_EQ(texture->getName(), "DirectShowManualTexture");
    EXPECT_EQ(texture->getNumMipmaps(), 0u);
    EXPECT_EQ(texture->getUsage() & Ogre::TU_DYNAMIC_WRITE_ONLY_DISCARDABLE, Ogre::TU_DYNAMIC_WRITE_ONLY_DISCARDABLE);
    movie.loadMovie(kBriefing);
    EXPECT_EQ(texture->getWidth(), 64u);
    EXPECT_EQ(texture->getHeight(), 48u);
    EXPECT_EQ(movie.getVideoWidth(), 320);
    EXPECT_EQ(movie.getVideoHeight(), 180);
    EXPECT_TRUE(engine.logged("[DSHOW] Creating texture with dimensions 64x48."));
    EXPECT_TRUE(engine.logged("[DSHOW] Loading movie named '../../Video/Briefing.avi'."));
    EXPECT_TRUE(engine.logged("[DSHOW] -> This movie has dimensions: 320x180."));

    const TextureContents black(movie);
    for (int y = 0; y < black.height; ++y)
        for (int x = 0; x < black.width; ++x) {
            ASSERT_EQ(black.at(x, y), (Rgb{0, 0, 0})) << x << "," << y;
            ASSERT_EQ(black.alpha(x, y), 255) << x << "," << y;
        }
}

TEST(VideoTexture, ShowsTheFramesDueAtThePlaybackClockAndReportsTheEnd)
{
    CutsceneEngine engine;
    // An odd size: the picture is scaled and the rows have their own pitch.
    DirectShowMovieTexture movie(161, 91);
    movie.loadMovie(kBriefing);
    movie.playMovie();
    EXPECT_FALSE(movie.advance(0.01f));
    const TextureContents first(movie);
    EXPECT_TRUE(first.at(80, 45).near(kBriefingColours[0].centre, kCodecTolerance)) << first.at(80, 45);
    EXPECT_TRUE(first.at(5, 5).near(kBriefingColours[0].surround, kCodecTolerance)) << first.at(5, 5);

    playTo(movie, 1.2);
    const TextureContents second(movie);
    EXPECT_TRUE(second.at(80, 45).near(kBriefingColours[1].centre, kCodecTolerance)) << second.at(80, 45);
    EXPECT_TRUE(second.at(150, 85).near(kBriefingColours[1].surround, kCodecTolerance)) << second.at(150, 85);

    playTo(movie, 2.95);
    EXPECT_FALSE(movie.hasEnded());
    const TextureContents third(movie);
    EXPECT_TRUE(third.at(80, 45).near(kBriefingColours[2].centre, kCodecTolerance)) << third.at(80, 45);
    EXPECT_TRUE(movie.advance(0.1f));
    EXPECT_TRUE(movie.hasEnded());
    EXPECT_FALSE(movie.isPlaying());
}

TEST(VideoTexture, PauseAndStopHoldTheClock)
{
    CutsceneEngine engine;
    DirectShowMovieTexture movie(32, 32);
    // Without a movie the controls do nothing.
    movie.playMovie();
    EXPECT_FALSE(movie.advance(1.0f));
    EXPECT_EQ(movie.getPlaybackTime(), 0.0);

    movie.loadMovie(kBriefing);
    movie.playMovie();
    playTo(movie, 0.5);
    movie.pauseMovie();
    movie.advance(1.0f);
    EXPECT_NEAR(movie.getPlaybackTime(), 0.5, 1e-6);
    EXPECT_TRUE(TextureContents(movie).at(16, 16).near(kBriefingColours[0].centre, kCodecTolerance));
    movie.stopMovie();
    movie.advance(1.0f);
    EXPECT_NEAR(movie.getPlaybackTime(), 0.5, 1e-6);
    movie.playMovie();
    playTo(movie, 1.3);
    EXPECT_TRUE(TextureContents(movie).at(16, 16).near(kBriefingColours[1].centre, kCodecTolerance));
}

TEST(VideoTexture, UnloadingTwiceAndReloadingAreHarmless)
{
    CutsceneEngine engine;
    DirectShowMovieTexture movie(32, 32);
    movie.unloadMovie();
    movie.loadMovie(kBriefing);
    movie.playMovie();
    playTo(movie, 1.5);
    movie.unloadMovie();
    movie.unloadMovie();
    EXPECT_FALSE(movie.isLoaded());
    EXPECT_FALSE(movie.advance(0.1f));
    // A second load starts again from the beginning, black.
    movie.loadMovie(kBriefing);
    movie.loadMovie(kBriefing);
    EXPECT_EQ(movie.getPlaybackTime(), 0.0);
    EXPECT_EQ(TextureContents(movie).at(16, 16), (Rgb{0, 0, 0}));
    movie.playMovie();
    movie.advance(0.01f);
    EXPECT_TRUE(TextureContents(movie).at(16, 16).near(kBriefingColours[0].centre, kCodecTolerance));
}

TEST(VideoTexture, FilesThatAreNoVideoRaiseDshowErrors)
{
    CutsceneEngine engine;
    testsupport::writeTextFile("../../Video/notes.avi", "not a video at all\n");
    const std::string longName = "../../Video/" + std::string(600, 'x') + ".avi";
    for (const std::string& path : {std::string("../../Video/missing.avi"), std::string("../../Video/notes.avi"),
                                    std::string("../../Video/"), longName}) {
        DirectShowMovieTexture movie(16, 16);
        try {
            movie.loadMovie(path);
            ADD_FAILURE() << path << " loaded";
        } catch (const OgreUtils::DirectShowError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("[DSHOW]", 0), 0u) << e.what();
        }
        // What was built is released: the texture name is free for the next one.
        movie.unloadMovie();
        movie.playMovie();
        EXPECT_FALSE(movie.advance(0.1f));
    }
    EXPECT_FALSE(Ogre::TextureManager::getSingleton().resourceExists("DirectShowManualTexture", Ogre::RGN_DEFAULT));

    for (auto [w, h] : {std::pair<int, int>{0, 10}, {10, -1}, {100000, 10}}) {
        try {
            DirectShowMovieTexture movie(w, h);
            ADD_FAILURE() << w << "x" << h << " made";
        } catch (const OgreUtils::DirectShowError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("[DSHOW]", 0), 0u) << e.what();
        }
    }
}
