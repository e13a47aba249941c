#include "audio/OggVorbis.h"

#include "core/BinaryIO.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <algorithm>

namespace audio {

namespace {

size_t streamRead(void* dst, size_t size, size_t count, void* source)
{
    auto* stream = static_cast<Ogre::DataStream*>(source);
    if (size == 0 || count == 0)
        return 0;
    return stream->read(dst, size * count) / size;
}

int streamSeek(void* source, ogg_int64_t offset, int whence)
{
    auto* stream = static_cast<Ogre::DataStream*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<ogg_int64_t>(stream->tell());
    else if (whence == SEEK_END)
        base = static_cast<ogg_int64_t>(stream->size());
    const ogg_int64_t target = base + offset;
    if (target < 0)
        return -1;
    stream->seek(static_cast<size_t>(target));
    return 0;
}

long streamTell(void* source)
{
    return static_cast<long>(static_cast<Ogre::DataStream*>(source)->tell());
}

}  // namespace

struct OggDecoder::State {
    Ogre::DataStreamPtr stream;
    OggVorbis_File file{};
};

OggDecoder::OggDecoder() : state_(std::make_unique<State>()) {}

OggDecoder::~OggDecoder()
{
    if (open_)
        ov_clear(&state_->file);
}

bool OggDecoder::open(const Ogre::DataStreamPtr& stream)
{
    if (open_ || !stream)
        return false;
    state_->stream = stream;
    ov_callbacks callbacks{streamRead, streamSeek, nullptr, streamTell};
    if (ov_open_callbacks(stream.get(), &state_->file, nullptr, 0, callbacks) != 0) {
        state_->stream.reset();
        return false;
    }
    const vorbis_info* info = ov_info(&state_->file, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
        ov_clear(&state_->file);
        state_->stream.reset();
        return false;
    }
    channels_ = info->channels;
    rate_ = info->rate;
    open_ = true;
    return true;
}

long OggDecoder::read(char* dst, long maxBytes)
{
    if (!open_)
        return -1;
    const long frameBytes = 2L * channels_;
    maxBytes -= maxBytes % frameBytes;
    long done = 0;
    while (done < maxBytes) {
        int section = 0;
        const long got = ov_read(&state_->file, dst + done, static_cast<int>(maxBytes - done), 0, 2, 1, &section);
        if (got == OV_HOLE)
            continue;  // a gap in the data: skip it and go on
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool OggDecoder::rewind()
{
    return open_ && ov_pcm_seek(&state_->file, 0) == 0;
}

bool decodeOggVorbis(const Ogre::DataStreamPtr& stream, std::vector<char>& pcm, int& channels, long& rate)
{
    OggDecoder decoder;
    if (!decoder.open(stream))
        return false;
    std::vector<char> data;
    std::vector<char> chunk(64 * 1024);
    for (;;) {
        const long got = decoder.read(chunk.data(), static_cast<long>(chunk.size()));
        if (got < 0)
            return false;
        if (got == 0)
            break;
        data.insert(data.end(), chunk.begin(), chunk.begin() + got);
    }
    pcm.swap(data);
    channels = decoder.channels();
    rate = decoder.rate();
    return true;
}

bool writeOggVorbis(const std::string& path, const std::vector<int16_t>& samples, int channels, long rate,
                    float quality)
{
    if (channels < 1 || channels > 2 || rate <= 0 || samples.size() % static_cast<size_t>(channels) != 0)
        return false;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "vantorel");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state os;
    // A fixed serial keeps the generated files identical from build to build.
    ogg_stream_init(&os, 0x56544c31);

    std::vector<uint8_t> out;
    auto appendPage = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &headerComment);
    ogg_stream_packetin(&os, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0)
        appendPage(page);

    auto drain = [&]() {
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0)
                    appendPage(page);
            }
        }
    };
    const size_t frames = samples.size() / static_cast<size_t>(channels);
    const size_t blockFrames = 4096;
    for (size_t start = 0; start < frames;) {
        const size_t n = std::min(blockFrames, frames - start);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = samples[(start + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)] / 32768.0f;
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        start += n;
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&os, &page) != 0)
        appendPage(page);

    ogg_stream_clear(&os);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return writeFileAtomically(path, out.data(), out.size());
}

}  // namespace audio
