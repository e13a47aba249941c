#include "AudioTestSupport.h"

#include "audio/OggVorbis.h"
#include "audio/SoundManager.h"
#include "core/BinaryIO.h"
#include "core/GlobalSounds.h"

#include <OgreResourceGroupManager.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace audiotest {

namespace {

const fs::path& baseDir()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("vantorel_audio_" + std::to_string(::getpid()));
        fs::create_directories(d / "media");
        return d;
    }();
    return dir;
}

// Runs before main: OpenAL reads its configuration once, at its first use in the process.
struct WaveWriterSetup {
    WaveWriterSetup()
    {
        const fs::path conf = baseDir() / "alsoft.conf";
        std::ofstream out(conf);
        out << "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\nhrtf = false\n"
            << "[wave]\nfile = " << (baseDir() / "out.wav").string() << "\n";
        out.close();
        ::setenv("ALSOFT_CONF", conf.string().c_str(), 1);
        ::unsetenv("ALSOFT_DRIVERS");
    }
    ~WaveWriterSetup()
    {
        std::error_code ec;
        fs::remove_all(baseDir(), ec);
    }
} waveWriterSetup;

}  // namespace

void runSounds(audio::SoundManager& sounds, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sounds.update(0.01f);
    }
}

std::string waveFile() { return (baseDir() / "out.wav").string(); }
std::string mediaDir() { return (baseDir() / "media").string(); }

float Wave::rms(double from, double to, int channel) const
{
    const size_t a = static_cast<size_t>(std::max(0.0, from) * rate);
    const size_t b = std::min(frames(), static_cast<size_t>(std::max(0.0, to) * rate));
    double sum = 0;
    size_t n = 0;
    for (int c = 0; c < channels; ++c) {
        if (channel >= 0 && c != channel)
            continue;
        for (size_t i = a; i < b; ++i, ++n)
            sum += double(samples[c][i]) * samples[c][i];
    }
    return n ? static_cast<float>(std::sqrt(sum / n)) : 0.0f;
}

double Wave::firstLouder(double from, float threshold) const
{
    for (double t = std::max(0.0, from); t + 0.01 <= seconds(); t += 0.01)
        if (rms(t, t + 0.01) > threshold)
            return t;
    return -1.0;
}

double Wave::firstQuieter(double from, float threshold) const
{
    for (double t = std::max(0.0, from); t + 0.01 <= seconds(); t += 0.01)
        if (rms(t, t + 0.01) < threshold)
            return t;
    return -1.0;
}

double Wave::frequencyBetween(double from, double to) const
{
    const auto& s = samples[0];
    const size_t a = static_cast<size_t>(from * rate), b = std::min(s.size(), size_t(to * rate));
    int crossings = 0;
    for (size_t i = a + 1; i < b; ++i)
        if ((s[i - 1] < 0.0f) != (s[i] < 0.0f))
            ++crossings;
    return crossings / 2.0 / (to - from);
}

bool readWave(const std::string& path, Wave& wave)
{
    BinaryReader in;
    if (!in.open(path))
        return false;
    char riff[4], wavId[4];
    uint32_t size = 0;
    if (!in.readBytes(riff, 4) || !in.readU32(size) || !in.readBytes(wavId, 4) ||
        std::string(riff, 4) != "RIFF" || std::string(wavId, 4) != "WAVE")
        return false;
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    while (in.ok() && !in.atEnd()) {
        char id[4];
        uint32_t chunk = 0;
        if (!in.readBytes(id, 4) || !in.readU32(chunk))
            return false;
        const std::string name(id, 4);
        if (name == "fmt ") {
            std::vector<uint8_t> fmt(chunk);
            if (!in.readBytes(fmt.data(), chunk) || chunk < 16)
                return false;
            format = uint16_t(fmt[0] | fmt[1] << 8);
            channels = uint16_t(fmt[2] | fmt[3] << 8);
            rate = uint32_t(fmt[4] | fmt[5] << 8 | fmt[6] << 16 | uint32_t(fmt[7]) << 24);
            bits = uint16_t(fmt[14] | fmt[15] << 8);
            if (format == 0xFFFE && chunk >= 26)
                format = uint16_t(fmt[24] | fmt[25] << 8);  // the sub-format of an extensible header
        } else if (name == "data") {
            if (channels == 0 || (bits != 16 && bits != 32))
                return false;
            // The writer may leave the size open while it runs: take what is there.
            const size_t available = in.size() - in.position();
            const size_t bytes = std::min<size_t>(chunk, available);
            std::vector<uint8_t> data(bytes);
            if (!in.readBytes(data.data(), bytes))
                return false;
            const size_t sampleBytes = bits / 8;
            const size_t frames = bytes / (sampleBytes * channels);
            wave.channels = channels;
            wave.rate = static_cast<int>(rate);
            wave.samples.assign(channels, std::vector<float>(frames));
            for (size_t f = 0; f < frames; ++f)
                for (size_t c = 0; c < channels; ++c) {
                    const uint8_t* p = &data[(f * channels + c) * sampleBytes];
                    float v = 0;
                    if (bits == 16) {
                        v = int16_t(p[0] | p[1] << 8) / 32768.0f;
                    } else if (format == 3) {
                        uint32_t u = uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24);
                        std::memcpy(&v, &u, 4);
                    } else {
                        v = int32_t(uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24)) / 2147483648.0f;
                    }
                    wave.samples[c][f] = v;
                }
            return true;
        } else {
            std::vector<uint8_t> skip(chunk);
            if (!in.readBytes(skip.data(), chunk))
                return false;
        }
    }
    return false;
}

std::string makeTone(const std::string& fileName, float frequency, float seconds, int channels, float amplitude)
{
    const long rate = 44100;
    const size_t frames = static_cast<size_t>(seconds * rate);
    std::vector<int16_t> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const float v = amplitude * std::sin(2.0f * float(M_PI) * frequency * float(i) / float(rate));
        for (int c = 0; c < channels; ++c)
            samples[i * channels + c] = static_cast<int16_t>(v * 32767.0f);
    }
    const std::string path = mediaDir() + "/" + fileName;
    if (!audio::writeOggVorbis(path, samples, channels, rate, 0.4f))
        return "";
    return path;
}

void writeSoundTable(const std::string& path, const std::map<int, std::string>& entries,
                     const std::map<int, std::string>& stingers)
{
    const auto nameAt = [](const std::map<int, std::string>& names, int i) {
        const auto found = names.find(i);
        return found == names.end() ? std::string() : found->second;
    };
    BinaryWriter out;
    out.writeU32(GlobalSounds::kMagic);
    for (int i = 0; i < GlobalSounds::kEntryCount; ++i) {
        writeBinString(out, nameAt(entries, i));
        out.writeF32(1.0f);
    }
    for (int i = 0; i < GlobalSounds::kStingerCount; ++i)
        writeBinString(out, nameAt(stingers, i));
    out.writeU32(0);
    if (!writeFileAtomically(path, out.bytes().data(), out.bytes().size()))
        throw std::runtime_error("cannot write " + path);
}

void addMediaGroup(const std::string& group)
{
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(mediaDir(), "FileSystem", group);
    groups.initialiseResourceGroup(group);
}

}  // namespace audiotest
