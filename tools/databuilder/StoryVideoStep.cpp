// Encodes the game's short briefing video into Video/: 3 s at 25 frames/s, 320 x 180, MPEG-4 in
// AVI, a centre block and its surround in flat colours that change every second.
#include "BuildStep.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;
constexpr int kRate = 25;
constexpr int kSeconds = 3;
// The centre block, on the codec's 16-pixel grid.
constexpr int kBlockLeft = 80, kBlockRight = 240, kBlockTop = 48, kBlockBottom = 128;

struct Rgb8 {
    uint8_t r, g, b;
};
// Per second: the centre block's colour, then the surround's.
const Rgb8 kColours[kSeconds][2] = {
    {{200, 40, 40}, {230, 200, 60}},
    {{40, 170, 60}, {60, 60, 160}},
    {{50, 80, 210}, {220, 120, 40}},
};

struct Encoder {
    AVFormatContext* out = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* toYuv = nullptr;
    AVStream* stream = nullptr;

    ~Encoder()
    {
        sws_freeContext(toYuv);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (out) {
            if (out->pb)
                avio_closep(&out->pb);
            avformat_free_context(out);
        }
    }

    // Sends one frame (null: flush) and writes every packet that comes out.
    bool encode(AVFrame* input)
    {
        if (avcodec_send_frame(codec, input) < 0)
            return false;
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
                return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int written = av_interleaved_write_frame(out, packet);
            av_packet_unref(packet);
            if (written < 0)
                return false;
        }
    }
};

bool writeVideo(const std::string& path, std::ostream& log)
{
    Encoder e;
    if (avformat_alloc_output_context2(&e.out, nullptr, "avi", path.c_str()) < 0 || !e.out) {
        log << "video: no AVI writer\n";
        return false;
    }
    const AVCodec* mpeg4 = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!mpeg4) {
        log << "video: no MPEG-4 encoder\n";
        return false;
    }
    e.stream = avformat_new_stream(e.out, nullptr);
    e.codec = avcodec_alloc_context3(mpeg4);
    e.frame = av_frame_alloc();
    e.packet = av_packet_alloc();
    if (!e.stream || !e.codec || !e.frame || !e.packet)
        return false;
    e.codec->width = kWidth;
    e.codec->height = kHeight;
    e.codec->time_base = AVRational{1, kRate};
    e.codec->framerate = AVRational{kRate, 1};
    e.codec->pix_fmt = AV_PIX_FMT_YUV420P;
    e.codec->gop_size = kRate;
    e.codec->max_b_frames = 0;
    // Fixed fine quantiser: flat colours stay flat.
    e.codec->flags |= AV_CODEC_FLAG_QSCALE;
    e.codec->global_quality = FF_QP2LAMBDA * 2;
    if (e.out->oformat->flags & AVFMT_GLOBALHEADER)
        e.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(e.codec, mpeg4, nullptr) < 0 || avcodec_parameters_from_context(e.stream->codecpar, e.codec) < 0) {
        log << "video: cannot open the encoder\n";
        return false;
    }
    e.stream->time_base = e.codec->time_base;
    e.stream->avg_frame_rate = e.codec->framerate;
    if (avio_open(&e.out->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(e.out, nullptr) < 0) {
        log << "video: cannot write " << path << "\n";
        return false;
    }

    e.frame->format = AV_PIX_FMT_YUV420P;
    e.frame->width = kWidth;
    e.frame->height = kHeight;
    if (av_frame_get_buffer(e.frame, 0) < 0)
        return false;
    e.toYuv = sws_getContext(kWidth, kHeight, AV_PIX_FMT_RGB24, kWidth, kHeight, AV_PIX_FMT_YUV420P, SWS_POINT,
                             nullptr, nullptr, nullptr);
    if (!e.toYuv)
        return false;

    std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int n = 0; n < kRate * kSeconds; ++n) {
        const Rgb8* colours = kColours[n / kRate];
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool centre = x >= kBlockLeft && x < kBlockRight && y >= kBlockTop && y < kBlockBottom;
                const Rgb8& c = colours[centre ? 0 : 1];
                uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            }
        }
        if (av_frame_make_writable(e.frame) < 0)
            return false;
        const uint8_t* src[1] = {rgb.data()};
        const int srcStride[1] = {kWidth * 3};
        sws_scale(e.toYuv, src, srcStride, 0, kHeight, e.frame->data, e.frame->linesize);
        e.frame->pts = n;
        e.frame->quality = e.codec->global_quality;
        if (!e.encode(e.frame)) {
            log << "video: encoding failed at frame " << n << "\n";
            return false;
        }
    }
    if (!e.encode(nullptr) || av_write_trailer(e.out) < 0) {
        log << "video: cannot finish " << path << "\n";
        return false;
    }
    return true;
}

bool buildStoryVideo(BuildContext& ctx)
{
    av_log_set_level(AV_LOG_ERROR);
    const std::string path = "../../Video/Briefing.avi";
    // The muxer picks its format from the name, so the temporary keeps the extension.
    const std::string temporary = "../../Video/Briefing.tmp.avi";
    if (!writeVideo(temporary, ctx.log)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        ctx.log << "video: cannot replace " << path << "\n";
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

DATABUILDER_STEP("briefing video", 60, buildStoryVideo);
