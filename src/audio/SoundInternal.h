#pragma once
// Shared between the sound manager and its sounds only.
#include <OgreDataStream.h>

#include <string>

namespace audio {

// Decoded data of one file, shared by every loaded (not streamed) sound of that file.
struct SoundBuffer {
    unsigned id = 0;
    double seconds = 0.0;  // played at pitch 1
    SoundBuffer() = default;
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;
    ~SoundBuffer();
};

// The file through the engine's resource groups; null when it is not found.
Ogre::DataStreamPtr openSoundFile(const std::string& fileName);
void logSoundProblem(const std::string& text);

}  // namespace audio
