// Writes the challenge list's backdrop picture, Data/GUI/OCP_IntroBrie.jpg (1500 x 900): a dusk
// sky over a plain with a ridge line, a faint ground grid and a ringed moon, encoded as a
// baseline JPEG with the MJPEG encoder.
#include "BuildStep.h"

#include "core/BinaryIO.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

namespace {

constexpr int kWidth = 1500;
constexpr int kHeight = 900;

struct Rgb {
    double r, g, b;
};

Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb backdropPixel(int x, int y)
{
    const double u = x / double(kWidth), v = y / double(kHeight);
    const double horizon = 0.62 + 0.05 * std::sin(u * 9.0) + 0.025 * std::sin(u * 23.0 + 1.3);
    if (v < horizon) {
        Rgb sky = mix(Rgb{18, 20, 48}, Rgb{160, 80, 40}, std::pow(v / horizon, 2.2));
        const double dx = x - 1010.0, dy = y - 330.0, d = std::sqrt(dx * dx + dy * dy);
        // A faint moon: the garage's small print lies over it.
        if (d < 45)
            sky = mix(sky, Rgb{150, 130, 120}, 0.35);
        else if (std::fabs(d - 70) < 3)
            sky = mix(sky, Rgb{150, 130, 120}, 0.2);
        return sky;
    }
    const double depth = (v - horizon) / (1.0 - horizon);
    Rgb ground = mix(Rgb{50, 34, 30}, Rgb{24, 20, 22}, depth);
    // Grid lines that close in toward the horizon.
    const double gx = (u - 0.5) / std::max(depth, 0.02);
    const bool line = std::fabs(gx * 6.0 - std::round(gx * 6.0)) < 0.04 ||
                      std::fabs(std::sqrt(depth) * 12.0 - std::round(std::sqrt(depth) * 12.0)) < 0.05;
    return line ? mix(ground, Rgb{200, 110, 40}, 0.35) : ground;
}

struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

uint8_t toByte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

bool buildChallengeBackdrop(BuildContext& ctx)
{
    const char* const path = "../../Data/GUI/OCP_IntroBrie.jpg";
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec) {
        ctx.log << "challenge backdrop: no MJPEG encoder\n";
        return false;
    }
    std::unique_ptr<AVCodecContext, CodecDeleter> enc(avcodec_alloc_context3(codec));
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    if (!enc || !frame || !packet)
        return false;
    enc->width = kWidth;
    enc->height = kHeight;
    enc->pix_fmt = AV_PIX_FMT_YUVJ420P;
    enc->time_base = AVRational{1, 25};
    enc->flags |= AV_CODEC_FLAG_QSCALE;
    enc->global_quality = FF_QP2LAMBDA * 3;
    if (avcodec_open2(enc.get(), codec, nullptr) < 0) {
        ctx.log << "challenge backdrop: cannot open the MJPEG encoder\n";
        return false;
    }
    frame->format = enc->pix_fmt;
    frame->width = kWidth;
    frame->height = kHeight;
    frame->quality = enc->global_quality;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return false;

    // Full-range BT.601, as JPEG expects.
    std::vector<Rgb> rgb(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = backdropPixel(x, y);
            rgb[static_cast<size_t>(y) * kWidth + x] = c;
            frame->data[0][y * frame->linesize[0] + x] = toByte(0.299 * c.r + 0.587 * c.g + 0.114 * c.b);
        }
    for (int y = 0; y < kHeight / 2; ++y)
        for (int x = 0; x < kWidth / 2; ++x) {
            Rgb c{0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const Rgb& p = rgb[static_cast<size_t>(2 * y + k / 2) * kWidth + 2 * x + k % 2];
                c.r += p.r / 4;
                c.g += p.g / 4;
                c.b += p.b / 4;
            }
            frame->data[1][y * frame->linesize[1] + x] = toByte(128 - 0.168736 * c.r - 0.331264 * c.g + 0.5 * c.b);
            frame->data[2][y * frame->linesize[2] + x] = toByte(128 + 0.5 * c.r - 0.418688 * c.g - 0.081312 * c.b);
        }

    std::vector<uint8_t> jpeg;
    if (avcodec_send_frame(enc.get(), frame.get()) < 0 || avcodec_send_frame(enc.get(), nullptr) < 0)
        return false;
    while (avcodec_receive_packet(enc.get(), packet.get()) == 0) {
        jpeg.insert(jpeg.end(), packet->data, packet->data + packet->size);
        av_packet_unref(packet.get());
    }
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) {
        ctx.log << "challenge backdrop: the encoder gave no picture\n";
        return false;
    }
    if (!writeFileAtomically(path, jpeg.data(), jpeg.size())) {
        ctx.log << "challenge backdrop: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

DATABUILDER_STEP("challenge backdrop", 60, buildChallengeBackdrop);
