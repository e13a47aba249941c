#pragma once
// Ogg Vorbis decoding (through vorbisfile, from an engine data stream) and encoding (used by the
// data builder to write the game's sounds and by the tests to make their fixtures).
#include <OgreDataStream.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audio {

// Decodes one Ogg Vorbis stream into 16-bit little-endian PCM, in chunks.
class OggDecoder {
public:
    OggDecoder();
    ~OggDecoder();
    OggDecoder(const OggDecoder&) = delete;
    OggDecoder& operator=(const OggDecoder&) = delete;

    // False when the stream is not Ogg Vorbis; the decoder then stays closed.
    bool open(const Ogre::DataStreamPtr& stream);
    bool isOpen() const { return open_; }
    int channels() const { return channels_; }
    long rate() const { return rate_; }

    // Fills up to maxBytes (whole sample frames) and returns the bytes written: 0 at the end of
    // the stream, -1 on a decoding error.
    long read(char* dst, long maxBytes);
    // Back to the first sample; false when the stream cannot seek.
    bool rewind();

private:
    struct State;
    std::unique_ptr<State> state_;
    bool open_ = false;
    int channels_ = 0;
    long rate_ = 0;
};

// Decodes a whole stream. False (outputs untouched) when it is not Ogg Vorbis or fails midway.
bool decodeOggVorbis(const Ogre::DataStreamPtr& stream, std::vector<char>& pcm, int& channels, long& rate);

// Encodes interleaved 16-bit samples (1 or 2 channels) at the given quality (-0.1 .. 1.0) and
// writes the file atomically; false when encoding or writing fails.
bool writeOggVorbis(const std::string& path, const std::vector<int16_t>& samples, int channels, long rate,
                    float quality);

}  // namespace audio
