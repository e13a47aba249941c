// Makes the game's own sounds: clicks, stingers and music synthesised from tones, chords and
// noise, written as Ogg Vorbis into Data/Sounds. The output depends only on this file, so the
// files are remade only when the generator's version changes.
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
const char* const kStamp = "vantorel sound generator 2";
constexpr long kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

enum class Shape { Sine, Square, Saw };

double midiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Soft-edged waveforms: a few harmonics only, so nothing aliases at this rate.
double shapeAt(Shape shape, double phase)
{
    switch (shape) {
    case Shape::Sine:
        return std::sin(phase);
    case Shape::Square:
        return std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5 + std::sin(7 * phase) / 7;
    case Shape::Saw:
        break;
    }
    double v = 0;
    for (int k = 1; k <= 6; ++k)
        v += std::sin(k * phase) / k;
    return v * 0.6;
}

class Track {
public:
    explicit Track(double seconds) : samples_(static_cast<size_t>(seconds * kRate), 0.0f) {}

    // A note sliding from f0 to f1 with a linear attack and an exponential decay (decay <= 0: held),
    // cut with a short release at its end.
    void tone(double start, double length, double f0, double f1, double amp, Shape shape, double attack = 0.005,
              double decay = 0.0)
    {
        double phase = 0;
        const size_t first = static_cast<size_t>(start * kRate);
        const size_t count = static_cast<size_t>(length * kRate);
        const double release = std::min(0.02, length / 4);
        for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
            const double t = double(i) / kRate;
            const double f = f0 + (f1 - f0) * t / length;
            phase += 2 * kPi * f / kRate;
            double env = attack > 0 ? std::min(1.0, t / attack) : 1.0;
            if (decay > 0)
                env *= std::exp(-t / decay);
            if (t > length - release)
                env *= (length - t) / release;
            samples_[first + i] += static_cast<float>(amp * env * shapeAt(shape, phase));
        }
    }

    // Noise through a one-pole low-pass (brightness 0..1), decaying exponentially.
    void noise(double start, double length, double amp, double decay, double brightness)
    {
        const size_t first = static_cast<size_t>(start * kRate);
        const size_t count = static_cast<size_t>(length * kRate);
        double low = 0;
        for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
            seed_ = seed_ * 1664525u + 1013904223u;
            const double white = (seed_ >> 8) / double(1u << 24) * 2.0 - 1.0;
            low += brightness * (white - low);
            const double t = double(i) / kRate;
            samples_[first + i] += static_cast<float>(amp * std::exp(-t / decay) * low);
        }
    }

    void kick(double start, double amp) { tone(start, 0.25, 110, 40, amp, Shape::Sine, 0.002, 0.08); }
    void snare(double start, double amp)
    {
        noise(start, 0.2, amp, 0.06, 0.6);
        tone(start, 0.1, 190, 160, amp * 0.5, Shape::Sine, 0.001, 0.04);
    }
    void hat(double start, double amp) { noise(start, 0.06, amp, 0.015, 1.0); }

    std::vector<int16_t> finish() const
    {
        float peak = 0;
        for (float s : samples_)
            peak = std::max(peak, std::fabs(s));
        const float scale = peak > 0 ? 0.85f / peak : 0.0f;
        std::vector<int16_t> out(samples_.size());
        for (size_t i = 0; i < samples_.size(); ++i)
            out[i] = static_cast<int16_t>(std::lround(samples_[i] * scale * 32767.0f));
        return out;
    }

private:
    std::vector<float> samples_;
    uint32_t seed_ = 12345;
};

// A chord as semitones above the key's root: its root and whether it is minor.
struct Chord {
    int root;
    bool minor;
};

struct Song {
    double bpm;
    int key;  // MIDI note of the key's root in the bass octave
    std::vector<Chord> progression;
    int bars;
    bool drums;
    bool ending;  // closes on a held chord instead of looping
};

Track compose(const Song& song)
{
    const double beat = 60.0 / song.bpm;
    const double bar = 4 * beat;
    const double tail = song.ending ? 2.5 : 0.0;
    Track t(song.bars * bar + tail);
    for (int b = 0; b < song.bars; ++b) {
        const Chord& c = song.progression[static_cast<size_t>(b) % song.progression.size()];
        const double at = b * bar;
        const int root = song.key + c.root;
        const int third = c.minor ? 3 : 4;
        // Pad: the triad two octaves up, slow attack, whole bar.
        for (int n : {root + 24, root + 24 + third, root + 31})
            t.tone(at, bar, midiToHz(n), midiToHz(n), 0.07, Shape::Saw, 0.25);
        // Bass on the first and third beats with an off-beat push.
        t.tone(at, beat * 1.5, midiToHz(root), midiToHz(root), 0.35, Shape::Sine, 0.01, 0.6);
        t.tone(at + 2 * beat, beat * 1.5, midiToHz(root), midiToHz(root), 0.35, Shape::Sine, 0.01, 0.6);
        t.tone(at + 3.5 * beat, beat * 0.5, midiToHz(root + 12), midiToHz(root + 12), 0.2, Shape::Sine, 0.01, 0.2);
        // Arpeggio in eighths.
        const int arp[4] = {root + 36, root + 36 + third, root + 43, root + 48};
        for (int e = 0; e < 8; ++e) {
            const int n = arp[(e + b) % 4];
            t.tone(at + e * beat / 2, beat / 2, midiToHz(n), midiToHz(n), 0.06, Shape::Square, 0.003, 0.12);
        }
        if (song.drums) {
            for (int k = 0; k < 4; ++k) {
                if (k % 2 == 0)
                    t.kick(at + k * beat, 0.5);
                else
                    t.snare(at + k * beat, 0.25);
            }
            for (int e = 0; e < 8; ++e)
                t.hat(at + e * beat / 2, e % 2 ? 0.08 : 0.12);
        }
    }
    if (song.ending) {
        const double at = song.bars * bar;
        const int root = song.key;
        for (int n : {root + 12, root + 24, root + 28, root + 31, root + 36})
            t.tone(at, tail, midiToHz(n), midiToHz(n), 0.12, Shape::Saw, 0.02, 0.9);
        t.kick(at, 0.5);
    }
    return t;
}

struct SoundFile {
    const char* name;
    std::function<Track()> make;
};

std::vector<SoundFile> soundFiles()
{
    return {
        {"vt_click_accept.ogg",
         [] {
             Track t(0.14);
             t.tone(0.0, 0.05, 880, 880, 0.5, Shape::Square, 0.002, 0.03);
             t.tone(0.05, 0.08, 1320, 1320, 0.5, Shape::Square, 0.002, 0.04);
             return t;
         }},
        {"vt_click_back.ogg",
         [] {
             Track t(0.14);
             t.tone(0.0, 0.05, 660, 660, 0.5, Shape::Square, 0.002, 0.03);
             t.tone(0.05, 0.08, 440, 440, 0.5, Shape::Square, 0.002, 0.04);
             return t;
         }},
        {"vt_click_move.ogg",
         [] {
             Track t(0.05);
             t.tone(0.0, 0.04, 1000, 900, 0.5, Shape::Sine, 0.001, 0.01);
             return t;
         }},
        {"vt_click_warning.ogg",
         [] {
             Track t(0.3);
             t.tone(0.0, 0.11, 180, 170, 0.5, Shape::Square, 0.003);
             t.tone(0.15, 0.11, 180, 170, 0.5, Shape::Square, 0.003);
             return t;
         }},
        {"vt_sting_kill.ogg",
         [] {
             Track t(0.45);
             t.kick(0.0, 0.8);
             t.noise(0.0, 0.45, 0.6, 0.12, 0.35);
             return t;
         }},
        {"vt_sting_combo.ogg",
         [] {
             Track t(0.45);
             const int notes[4] = {72, 76, 79, 84};
             for (int i = 0; i < 4; ++i)
                 t.tone(i * 0.07, 0.16, midiToHz(notes[i]), midiToHz(notes[i]), 0.4, Shape::Square, 0.002, 0.08);
             return t;
         }},
        {"vt_sting_wave.ogg",
         [] {
             Track t(1.1);
             for (int n : {57, 64, 69, 73})
                 t.tone(0.0, 1.1, midiToHz(n), midiToHz(n + 2), 0.2, Shape::Saw, 0.6);
             t.noise(0.4, 0.7, 0.25, 0.3, 0.9);
             return t;
         }},
        {"vt_sting_pickup.ogg",
         [] {
             Track t(0.3);
             t.tone(0.0, 0.18, 600, 1800, 0.4, Shape::Sine, 0.003);
             t.tone(0.09, 0.2, 1200, 2400, 0.25, Shape::Sine, 0.003, 0.08);
             return t;
         }},
        {"vt_sting_mission.ogg",
         [] {
             Track t(1.4);
             const int chords[3][3] = {{60, 64, 67}, {65, 69, 72}, {67, 72, 76}};
             for (int c = 0; c < 3; ++c)
                 for (int n : chords[c])
                     t.tone(c * 0.22, c == 2 ? 1.1 : 0.2, midiToHz(n), midiToHz(n), 0.18, Shape::Saw, 0.01,
                            c == 2 ? 0.6 : 0.0);
             t.kick(0.44, 0.5);
             return t;
         }},
        {"vt_sting_red.ogg",
         [] {
             Track t(0.45);
             for (int n : {57, 60, 64})
                 t.tone(0.0, 0.45, midiToHz(n), midiToHz(n - 1), 0.25, Shape::Saw, 0.005, 0.2);
             return t;
         }},
        {"vt_sting_green.ogg",
         [] {
             Track t(0.45);
             for (int n : {72, 76, 79})
                 t.tone(0.0, 0.45, midiToHz(n - 1), midiToHz(n), 0.25, Shape::Saw, 0.005, 0.2);
             return t;
         }},
        {"vt_music_title.ogg",
         [] { return compose({96, 45, {{0, true}, {8, false}, {3, false}, {10, false}}, 8, false, false}); }},
        {"vt_music_garage.ogg",
         [] { return compose({104, 43, {{0, false}, {5, false}, {9, true}, {7, false}}, 8, true, false}); }},
        {"vt_music_result.ogg",
         [] { return compose({90, 48, {{0, false}, {5, false}, {7, false}, {0, false}}, 4, false, true}); }},
        {"vt_music_closing.ogg",
         [] { return compose({72, 41, {{0, false}, {9, true}, {5, false}, {7, false}}, 4, false, true}); }},
        {"vt_music_battle1.ogg",
         [] { return compose({128, 40, {{0, true}, {0, true}, {8, false}, {10, false}}, 8, true, false}); }},
        {"vt_music_battle2.ogg",
         [] { return compose({136, 38, {{0, true}, {5, true}, {3, false}, {10, false}}, 8, true, false}); }},
        // The story: a slow theme under the cutscenes, an alarm and a radio call.
        {"vt_story_theme.ogg",
         [] { return compose({80, 45, {{0, true}, {8, false}, {5, true}, {7, false}}, 8, false, false}); }},
        {"vt_story_alarm.ogg",
         [] {
             Track t(1.6);
             for (int i = 0; i < 4; ++i) {
                 t.tone(i * 0.4, 0.2, 740, 760, 0.4, Shape::Square, 0.005);
                 t.tone(i * 0.4 + 0.2, 0.2, 560, 540, 0.4, Shape::Square, 0.005);
             }
             return t;
         }},
        {"vt_story_radio.ogg",
         [] {
             Track t(0.9);
             t.noise(0.0, 0.9, 0.35, 0.5, 0.9);
             t.tone(0.1, 0.12, 1200, 1200, 0.3, Shape::Sine, 0.003);
             t.tone(0.3, 0.12, 1500, 1500, 0.3, Shape::Sine, 0.003);
             return t;
         }},
    };
}

bool generateSounds(BuildContext& ctx)
{
    const fs::path dir = kSoundDir;
    const fs::path stampFile = dir / "generated.txt";
    const auto files = soundFiles();
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
        if (!audio::writeOggVorbis((dir / f.name).string(), f.make().finish(), 1, kRate, 0.3f)) {
            ctx.log << "sounds: cannot write " << (dir / f.name).string() << "\n";
            return false;
        }
    }
    return writeFileAtomically(stampFile.string(), std::string(kStamp) + "\n");
}

}  // namespace

DATABUILDER_STEP("game sounds", 40, generateSounds);
