#pragma once
// Sound tests run OpenAL-soft with its wave writer: everything mixed goes into a WAV file that
// the tests read back once the sound manager (and so the device) is gone.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace audio {
class SoundManager;
}

namespace audiotest {

// Lets the sounds play for that long in real time, updating the manager every 10 ms.
void runSounds(audio::SoundManager& sounds, double seconds);

// The WAV file of this test process.
std::string waveFile();
// Folder for the test's generated .ogg files (added to the engine's resource groups by the tests).
std::string mediaDir();

struct Wave {
    int channels = 0;
    int rate = 0;
    std::vector<std::vector<float>> samples;  // per channel, -1..1
    size_t frames() const { return samples.empty() ? 0 : samples[0].size(); }
    // Root mean square of one channel (or all, channel -1) between two times in seconds.
    float rms(double from, double to, int channel = -1) const;
    double seconds() const { return rate ? double(frames()) / rate : 0.0; }
    // Sign changes per second of channel 0 between two times, halved: a tone's frequency.
    double frequencyBetween(double from, double to) const;
    // The start of the first 10 ms window at or after `from` that is louder (or, for the second,
    // quieter) than the threshold; -1 when there is none. The writer's clock can lag the test's
    // under load, so the tests measure from what the file holds.
    double firstLouder(double from, float threshold) const;
    double firstQuieter(double from, float threshold) const;
};
// False when the file is missing or not a PCM/float WAV.
bool readWave(const std::string& path, Wave& wave);

// A sine tone (mono or stereo) of the given length written as Ogg Vorbis into mediaDir().
std::string makeTone(const std::string& fileName, float frequency, float seconds, int channels = 1,
                     float amplitude = 0.5f);

// The game's sound table (Data/System/GSData.Dat) naming only the given click entries and
// stingers, by index; every other name is empty and every gain 1.
void writeSoundTable(const std::string& path, const std::map<int, std::string>& entries,
                     const std::map<int, std::string>& stingers);

// makeTone's folder as an initialised resource group of that name, so sounds find their files.
void addMediaGroup(const std::string& group);

}  // namespace audiotest
