// Makes the sounds of the effects and reactors (Data/Effects, Data/Reactor): blasts, impacts,
// whooshes and seamless loops synthesised from filtered noise and tones, written as Ogg Vorbis
// into Data/Sounds. Remade only when the generator's version changes or a file is missing.
#include "BuildStep.h"

#include "audio/OggVorbis.h"
#include "core/BinaryIO.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kSoundDir = "../../Data/Sounds";
const char* const kStampName = "generated_fx.txt";
const char* const kStamp = "vantorel effect sound generator 3";
constexpr long kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

class Wave {
public:
    explicit Wave(double seconds) : s_(static_cast<size_t>(seconds * kRate), 0.0) {}

    size_t size() const { return s_.size(); }

    // Noise through a one-pole low-pass whose brightness glides from b0 to b1, under an envelope
    // that rises over `attack` and then decays exponentially (decay <= 0: held).
    void noise(double start, double length, double amp, double attack, double decay, double b0, double b1)
    {
        double low = 0, lower = 0;
        forSpan(start, length, [&](size_t i, double t) {
            const double b = b0 + (b1 - b0) * t / length;
            low += b * (white() - low);
            lower += b * (low - lower);  // two poles: a darker rumble for small b
            s_[i] += amp * envelope(t, length, attack, decay) * (b < 0.2 ? lower * 2 : low);
        });
    }

    // A sine gliding from f0 to f1, with vibrato (depth in Hz at rate vr) and the same envelope.
    void tone(double start, double length, double f0, double f1, double amp, double attack, double decay,
              double vibratoHz = 0, double vibratoRate = 0, int harmonics = 1)
    {
        double phase = 0;
        forSpan(start, length, [&](size_t i, double t) {
            const double f = f0 + (f1 - f0) * t / length + vibratoHz * std::sin(2 * kPi * vibratoRate * t);
            phase += 2 * kPi * f / kRate;
            double v = 0;
            for (int k = 1; k <= harmonics; ++k)
                v += std::sin(k * phase) / k;
            s_[i] += amp * envelope(t, length, attack, decay) * v;
        });
    }

    // Loops: the last `seconds` are faded into the start, then cut off, so the end meets the start.
    void makeLoop(double seconds)
    {
        const size_t n = static_cast<size_t>(seconds * kRate);
        if (n == 0 || n * 2 >= s_.size())
            return;
        const size_t keep = s_.size() - n;
        for (size_t i = 0; i < n; ++i) {
            const double w = double(i) / n;
            s_[i] = s_[i] * w + s_[keep + i] * (1 - w);
        }
        s_.resize(keep);
    }

    std::vector<int16_t> finish(double peakLevel = 0.85) const
    {
        double peak = 0;
        for (double v : s_)
            peak = std::max(peak, std::fabs(v));
        const double scale = peak > 0 ? peakLevel / peak : 0.0;
        std::vector<int16_t> out(s_.size());
        for (size_t i = 0; i < s_.size(); ++i)
            out[i] = static_cast<int16_t>(std::lround(s_[i] * scale * 32767.0));
        return out;
    }

private:
    template <class Fn>
    void forSpan(double start, double length, Fn&& fn)
    {
        const size_t first = static_cast<size_t>(start * kRate);
        const size_t count = static_cast<size_t>(length * kRate);
        for (size_t i = 0; i < count && first + i < s_.size(); ++i)
            fn(first + i, double(i) / kRate);
    }
    static double envelope(double t, double length, double attack, double decay)
    {
        double e = attack > 0 ? std::min(1.0, t / attack) : 1.0;
        if (decay > 0)
            e *= std::exp(-t / decay);
        const double release = std::min(0.02, length / 4);
        if (t > length - release)
            e *= (length - t) / release;
        return e;
    }
    double white()
    {
        seed_ = seed_ * 1664525u + 1013904223u;
        return (seed_ >> 8) / double(1u << 24) * 2.0 - 1.0;
    }

    std::vector<double> s_;
    uint32_t seed_ = 20261210u;
};

// A blast: a thump, a crack of bright noise and a rumbling tail; bigger blasts are longer and darker.
Wave blast(double seconds, double thumpHz, double brightness)
{
    Wave w(seconds);
    w.tone(0.0, std::min(0.5, seconds), thumpHz, thumpHz * 0.35, 0.9, 0.002, 0.12);
    w.noise(0.0, 0.12, 0.7, 0.001, 0.04, brightness, brightness * 0.5);
    w.noise(0.0, seconds, 0.8, 0.005, seconds * 0.3, brightness * 0.5, 0.05);
    return w;
}

struct SoundFile {
    const char* name;
    std::function<std::vector<int16_t>()> make;
};

std::vector<SoundFile> soundFiles()
{
    return {
        {"exp_small.ogg", [] { return blast(0.7, 140, 0.7).finish(); }},
        {"exp_medium.ogg", [] { return blast(1.1, 110, 0.6).finish(); }},
        {"exp_large.ogg", [] { return blast(1.8, 80, 0.5).finish(); }},
        {"exp_vehicle.ogg",
         [] {
             Wave w = blast(2.0, 90, 0.55);
             w.noise(0.25, 0.6, 0.3, 0.01, 0.15, 0.9, 0.6);  // a second pop: the ammunition
             w.tone(0.3, 0.5, 900, 300, 0.08, 0.005, 0.1, 0, 0, 3);
             return w.finish();
         }},
        {"exp_air.ogg",
         [] {
             Wave w = blast(1.6, 120, 0.65);
             w.noise(0.1, 1.4, 0.25, 0.2, 0.5, 0.3, 0.05);  // wreckage whistling down
             return w.finish();
         }},
        {"exp_ovni_small.ogg",
         [] {
             Wave w(0.7);
             w.tone(0.0, 0.6, 1400, 200, 0.5, 0.002, 0.15, 40, 25, 2);
             w.noise(0.0, 0.3, 0.4, 0.001, 0.06, 0.8, 0.4);
             return w.finish();
         }},
        {"exp_ovni_large.ogg",
         [] {
             Wave w(1.6);
             w.tone(0.0, 1.5, 900, 60, 0.6, 0.003, 0.4, 60, 18, 3);
             w.tone(0.0, 0.8, 2200, 400, 0.2, 0.002, 0.2, 80, 31);
             w.noise(0.0, 1.2, 0.5, 0.002, 0.3, 0.6, 0.05);
             return w.finish();
         }},
        {"impact_metal.ogg",
         [] {
             Wave w(0.35);
             w.noise(0.0, 0.05, 0.6, 0.0005, 0.01, 0.95, 0.9);
             for (double f : {1870.0, 2730.0, 4110.0})
                 w.tone(0.0, 0.35, f, f * 0.98, 0.2, 0.0005, 0.07);
             return w.finish();
         }},
        {"ricochet.ogg",
         [] {
             Wave w(0.5);
             w.noise(0.0, 0.04, 0.5, 0.0005, 0.01, 0.95, 0.9);
             w.tone(0.01, 0.45, 3200, 1400, 0.4, 0.002, 0.15, 30, 40);
             return w.finish();
         }},
        {"napalm.ogg",
         [] {
             Wave w(1.5);
             w.noise(0.0, 1.5, 0.8, 0.05, 0.6, 0.35, 0.15);
             w.tone(0.0, 0.6, 70, 45, 0.5, 0.01, 0.25);
             return w.finish();
         }},
        {"pickup.ogg",
         [] {
             Wave w(0.45);
             w.tone(0.0, 0.2, 660, 990, 0.4, 0.003, 0.1, 0, 0, 2);
             w.tone(0.1, 0.3, 990, 1320, 0.35, 0.003, 0.12, 0, 0, 2);
             return w.finish();
         }},
        {"dash.ogg",
         [] {
             Wave w(0.6);
             w.noise(0.0, 0.6, 0.8, 0.03, 0.25, 0.25, 0.7);
             w.tone(0.0, 0.5, 160, 320, 0.3, 0.02, 0.2, 0, 0, 3);
             return w.finish();
         }},
        {"thruster.ogg",
         [] {
             Wave w(0.5);
             w.noise(0.0, 0.5, 0.8, 0.02, 0.0, 0.4, 0.3);
             w.tone(0.0, 0.5, 110, 140, 0.3, 0.02, 0.0, 0, 0, 4);
             return w.finish();
         }},
        {"warp_in.ogg",
         [] {
             Wave w(0.9);
             w.tone(0.0, 0.8, 200, 1600, 0.5, 0.05, 0.0, 20, 12, 2);
             w.noise(0.5, 0.4, 0.3, 0.002, 0.1, 0.9, 0.5);
             return w.finish();
         }},
        {"warp_out.ogg",
         [] {
             Wave w(0.7);
             w.tone(0.0, 0.7, 1600, 150, 0.5, 0.005, 0.3, 20, 12, 2);
             return w.finish();
         }},
        // Shots: firing, launching and the warheads' impacts.
        {"shot_cannon.ogg",
         [] {
             Wave w(0.45);
             w.noise(0.0, 0.06, 0.9, 0.0005, 0.02, 0.95, 0.7);
             w.tone(0.0, 0.3, 180, 70, 0.6, 0.001, 0.07);
             w.noise(0.02, 0.4, 0.35, 0.003, 0.1, 0.4, 0.1);
             return w.finish();
         }},
        {"shot_autocannon.ogg",
         [] {
             Wave w(0.2);
             w.noise(0.0, 0.04, 0.8, 0.0005, 0.015, 0.9, 0.7);
             w.tone(0.0, 0.12, 260, 120, 0.4, 0.001, 0.04);
             return w.finish();
         }},
        {"shot_twin.ogg",
         [] {
             Wave w(0.35);
             w.noise(0.0, 0.05, 0.8, 0.0005, 0.02, 0.9, 0.6);
             w.tone(0.0, 0.2, 210, 90, 0.5, 0.001, 0.06);
             return w.finish();
         }},
        {"shot_plasma.ogg",
         [] {
             Wave w(0.9);
             w.tone(0.0, 0.8, 900, 140, 0.6, 0.002, 0.3, 30, 8, 2);
             w.noise(0.0, 0.3, 0.4, 0.001, 0.08, 0.7, 0.4);
             return w.finish();
         }},
        {"shot_mortar.ogg",
         [] {
             Wave w(0.8);
             w.tone(0.0, 0.5, 95, 40, 0.9, 0.002, 0.15);
             w.noise(0.0, 0.7, 0.5, 0.004, 0.2, 0.35, 0.05);
             return w.finish();
         }},
        {"shell_whistle.ogg",
         [] {
             Wave w(3.0);
             w.tone(0.0, 3.0, 1900, 1750, 0.5, 0.0, 0.0, 25, 5);
             w.noise(0.0, 3.0, 0.1, 0.0, 0.0, 0.6, 0.6);
             w.makeLoop(0.4);
             return w.finish(0.5);
         }},
        {"launch_rocket.ogg",
         [] {
             Wave w(0.9);
             w.noise(0.0, 0.9, 0.9, 0.01, 0.35, 0.8, 0.3);
             w.tone(0.0, 0.6, 120, 260, 0.3, 0.01, 0.2, 0, 0, 3);
             return w.finish();
         }},
        {"launch_missile.ogg",
         [] {
             Wave w(1.1);
             w.noise(0.0, 0.15, 0.6, 0.001, 0.05, 0.9, 0.6);
             w.noise(0.05, 1.0, 0.8, 0.05, 0.45, 0.6, 0.3);
             w.tone(0.05, 0.9, 300, 700, 0.2, 0.05, 0.3, 0, 0, 2);
             return w.finish();
         }},
        {"missile_seek.ogg",
         [] {
             Wave w(1.2);
             for (int k = 0; k < 6; ++k)  // the seeker's beeps over the motor's hiss
                 w.tone(0.2 * k, 0.08, 1760, 1760, 0.35, 0.003, 0.0);
             w.noise(0.0, 1.2, 0.3, 0.0, 0.0, 0.5, 0.5);
             w.makeLoop(0.05);
             return w.finish(0.5);
         }},
        {"launch_canister.ogg",
         [] {
             Wave w(0.6);
             w.tone(0.0, 0.3, 220, 90, 0.7, 0.001, 0.08, 0, 0, 2);
             w.noise(0.0, 0.5, 0.6, 0.002, 0.12, 0.6, 0.2);
             return w.finish();
         }},
        {"impact_explosive.ogg", [] { return blast(1.2, 100, 0.65).finish(); }},
        {"canister_open.ogg",
         [] {
             Wave w(0.9);
             w.noise(0.0, 0.05, 0.7, 0.0005, 0.015, 0.95, 0.9);
             for (int k = 0; k < 5; ++k)  // the bomblets spilling out
                 w.noise(0.08 + 0.11 * k, 0.05, 0.4, 0.001, 0.02, 0.8, 0.6);
             w.tone(0.0, 0.4, 600, 250, 0.3, 0.002, 0.1);
             return w.finish();
         }},
        // Loops: steady sounds, their ends crossfaded into their starts.
        {"wind_loop.ogg",
         [] {
             Wave w(4.5);
             w.noise(0.0, 4.5, 0.5, 0.0, 0.0, 0.03, 0.08);
             w.noise(0.0, 4.5, 0.3, 0.0, 0.0, 0.12, 0.04);
             w.makeLoop(0.5);
             return w.finish(0.6);
         }},
        {"arc_loop.ogg",
         [] {
             Wave w(2.0);
             w.tone(0.0, 2.0, 120, 120, 0.4, 0.0, 0.0, 0, 0, 3);
             w.noise(0.0, 2.0, 0.35, 0.0, 0.0, 0.7, 0.5);
             w.makeLoop(0.3);
             return w.finish(0.5);
         }},
        {"arc_crackle.ogg",
         [] {
             Wave w(2.5);
             for (int k = 0; k < 12; ++k)  // snaps of the sparks over a faint buzz
                 w.noise(0.2 * k, 0.03, 0.5, 0.0005, 0.01, 0.95, 0.8);
             w.tone(0.0, 2.5, 240, 240, 0.1, 0.0, 0.0);
             w.makeLoop(0.3);
             return w.finish(0.5);
         }},
        {"fire_loop.ogg",
         [] {
             Wave w(3.5);
             w.noise(0.0, 3.5, 0.6, 0.0, 0.0, 0.08, 0.08);
             for (int k = 0; k < 24; ++k)  // crackles
                 w.noise(0.1 + 0.13 * k + 0.05 * std::sin(k * 7.0), 0.03, 0.5, 0.0005, 0.008, 0.9, 0.9);
             w.makeLoop(0.3);
             return w.finish(0.7);
         }},
        {"engine_loop.ogg",
         [] {
             Wave w(2.5);
             w.tone(0.0, 2.5, 55, 55, 0.6, 0.0, 0.0, 1.5, 6, 6);
             w.tone(0.0, 2.5, 110, 110, 0.2, 0.0, 0.0, 2, 6, 3);
             w.noise(0.0, 2.5, 0.15, 0.0, 0.0, 0.1, 0.1);
             w.makeLoop(0.3);
             return w.finish(0.7);
         }},
        {"rocket_motor.ogg",
         [] {
             Wave w(2.5);
             w.noise(0.0, 2.5, 0.7, 0.0, 0.0, 0.5, 0.5);
             w.noise(0.0, 2.5, 0.4, 0.0, 0.0, 0.1, 0.1);
             w.makeLoop(0.3);
             return w.finish(0.7);
         }},
        {"ovni_drone.ogg",
         [] {
             Wave w(3.0);
             w.tone(0.0, 3.0, 48, 48, 0.6, 0.0, 0.0, 0.8, 0.7, 5);
             w.tone(0.0, 3.0, 72.5, 72.5, 0.3, 0.0, 0.0, 0.6, 0.9, 3);
             w.makeLoop(0.5);
             return w.finish(0.7);
         }},
        {"ovni_hum.ogg",
         [] {
             Wave w(2.0);
             w.tone(0.0, 2.0, 220, 220, 0.4, 0.0, 0.0, 3, 2.5, 2);
             w.tone(0.0, 2.0, 330, 330, 0.2, 0.0, 0.0, 2, 3.5);
             w.makeLoop(0.4);
             return w.finish(0.6);
         }},
    };
}

// The ground vehicles' own sounds: engines (loops), crashes into walls and the jump-dash.
std::vector<SoundFile> vehicleSoundFiles()
{
    return {
        {"abrams_engine.ogg",
         [] {
             Wave w(3.0);
             w.tone(0.0, 3.0, 42, 42, 0.6, 0.0, 0.0, 1.2, 7, 7);  // the diesel's beat
             w.tone(0.0, 3.0, 84, 84, 0.25, 0.0, 0.0, 2, 7, 3);
             w.tone(0.0, 3.0, 760, 760, 0.04, 0.0, 0.0, 6, 0.5);  // the turbine's whine
             w.noise(0.0, 3.0, 0.2, 0.0, 0.0, 0.08, 0.08);
             w.makeLoop(0.4);
             return w.finish(0.7);
         }},
        {"marauder_engine.ogg",
         [] {
             Wave w(2.5);
             w.tone(0.0, 2.5, 68, 68, 0.55, 0.0, 0.0, 2.5, 11, 5);
             w.tone(0.0, 2.5, 136, 136, 0.2, 0.0, 0.0, 3, 11, 2);
             w.noise(0.0, 2.5, 0.25, 0.0, 0.0, 0.15, 0.15);
             w.makeLoop(0.3);
             return w.finish(0.7);
         }},
        {"abrams_crash.ogg",
         [] {
             Wave w = blast(1.0, 85, 0.45);
             for (double f : {310.0, 587.0, 1130.0})  // the hull ringing
                 w.tone(0.0, 0.9, f, f * 0.97, 0.18, 0.001, 0.25);
             w.noise(0.05, 0.4, 0.3, 0.002, 0.1, 0.7, 0.3);  // scraping
             return w.finish();
         }},
        {"marauder_crash.ogg",
         [] {
             Wave w = blast(0.7, 120, 0.55);
             for (double f : {480.0, 905.0, 1610.0})
                 w.tone(0.0, 0.6, f, f * 0.96, 0.16, 0.001, 0.15);
             return w.finish();
         }},
        {"abrams_dash.ogg",
         [] {
             Wave w(0.9);
             w.noise(0.0, 0.9, 0.9, 0.02, 0.35, 0.2, 0.8);  // the thrusters' blast opening up
             w.tone(0.0, 0.7, 90, 260, 0.35, 0.01, 0.3, 0, 0, 4);
             w.tone(0.05, 0.5, 1200, 600, 0.08, 0.01, 0.2);
             return w.finish();
         }},
    };
}

bool generateFxSounds(BuildContext& ctx)
{
    const fs::path dir = kSoundDir;
    const fs::path stampFile = dir / kStampName;
    auto files = soundFiles();
    for (SoundFile& f : vehicleSoundFiles())
        files.push_back(std::move(f));
    std::error_code ec;
    fs::create_directories(dir, ec);

    std::ifstream stampIn(stampFile);
    std::string stamp;
    std::getline(stampIn, stamp);
    bool complete = stamp == kStamp;
    for (const SoundFile& f : files)
        complete = complete && fs::exists(dir / f.name);
    if (complete)
        return true;

    for (const SoundFile& f : files) {
        if (!audio::writeOggVorbis((dir / f.name).string(), f.make(), 1, kRate, 0.3f)) {
            ctx.log << "effect sounds: cannot write " << (dir / f.name).string() << "\n";
            return false;
        }
    }
    return writeFileAtomically(stampFile.string(), std::string(kStamp) + "\n");
}

}  // namespace

DATABUILDER_STEP("effect sounds", 41, generateFxSounds);
