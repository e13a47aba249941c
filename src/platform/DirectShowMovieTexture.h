#pragma once
// A video file decoded with FFmpeg into one dynamic engine texture.
#include <OgreTexture.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace OgreUtils {

// Every failure of the video texture; the message starts with "[DSHOW]".
class DirectShowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DirectShowData;

// Owns the texture "DirectShowManualTexture" (so at most one exists at a time) and the decoder
// of the loaded movie. The caller drives playback with advance() once per frame.
class DirectShowMovieTexture {
public:
    static constexpr const char* kTextureName = "DirectShowManualTexture";

    // The texture has exactly this size, whatever the movie's own.
    DirectShowMovieTexture(int width, int height);
    virtual ~DirectShowMovieTexture();
    DirectShowMovieTexture(const DirectShowMovieTexture&) = delete;
    DirectShowMovieTexture& operator=(const DirectShowMovieTexture&) = delete;

    // Opens the file and its video decoder (releasing a previous movie first), stopped at the
    // start, and clears the texture. Throws DirectShowError. Only regular files are opened (the
    // movie and anything it names), and opening gives up after half a second.
    void loadMovie(const std::string& path);
    void unloadMovie();
    // Without a loaded movie these do nothing.
    void playMovie();
    void pauseMovie();
    void stopMovie();

    // While playing: moves the playback clock on by dt seconds and shows the latest frame due.
    // Decodes a few frames per call at most; a movie that falls behind its clock drops frames
    // up to its next key frame. True once the clock has passed the end of the stream.
    bool advance(float dt);

    Ogre::TexturePtr getMovieTexture() { return texture; }
    // Opaque black in every texel.
    void clearTexture();

    bool isLoaded() const;
    bool isPlaying() const;
    bool hasEnded() const;
    // Seconds of the movie played so far.
    double getPlaybackTime() const;
    int getVideoWidth() const;
    int getVideoHeight() const;
    // Frames decoded since the movie was loaded, shown or not.
    int64_t getFramesDecoded() const;

private:
    enum class Decoded { Frame, Later, NoMore };
    // Decodes the next frame into the pending slot, reading at most packetBudget packets (the
    // budget is used up as they are read): Later when the budget ran out first, NoMore when the
    // stream has no more frames.
    Decoded decodeNextFrame(int& packetBudget);
    void showFrame();

    Ogre::TexturePtr texture;
    float width = 0.0f;
    float height = 0.0f;
    DirectShowData* dsdata = nullptr;
};

}  // namespace OgreUtils
