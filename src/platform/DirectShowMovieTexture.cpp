#include "platform/DirectShowMovieTexture.h"

#include "platform/Platform.h"

#include <OgreHardwarePixelBuffer.h>
#include <OgreLogManager.h>
#include <OgreStringConverter.h>
#include <OgreTextureManager.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cstring>
#include <vector>

namespace OgreUtils {

struct DirectShowData {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    SwsContext* scaler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* pending = nullptr;  // decoded, not yet due
    AVFrame* latest = nullptr;   // the last frame due, to be shown
    int streamIndex = -1;
    int videoWidth = 0;
    int videoHeight = 0;
    double timeBase = 0.0;
    double frameDuration = 0.04;
    int64_t firstTimestamp = AV_NOPTS_VALUE;
    double pendingTime = 0.0;
    bool havePending = false;
    bool inputDone = false;   // the demuxer has no more packets; the decoder is being drained
    bool drained = false;     // no frame will come any more
    double endTime = 0.0;     // where the last decoded frame ends
    bool playing = false;
    bool ended = false;
    double clock = 0.0;
    std::vector<uint8_t> bgra;
};

namespace {
// Larger sizes come only from broken configurations.
constexpr int kMaxTextureSize = 8192;

void logNormal(const std::string& text)
{
    if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
        logs->logMessage(text, Ogre::LML_NORMAL);
}

[[noreturn]] void raise(const std::string& text)
{
    throw DirectShowError(text);
}
}  // namespace

DirectShowMovieTexture::DirectShowMovieTexture(int width_, int height_)
    : width(static_cast<float>(width_)), height(static_cast<float>(height_))
{
    logNormal("[DSHOW] Creating texture with dimensions " + Ogre::StringConverter::toString(width) + "x" +
              Ogre::StringConverter::toString(height) + ".");
    if (width_ < 1 || height_ < 1 || width_ > kMaxTextureSize || height_ > kMaxTextureSize)
        raise("[DSHOW] Error in creating texture: size out of range");
    texture = Ogre::TextureManager::getSingleton().createManual(
        kTextureName, Ogre::RGN_DEFAULT, Ogre::TEX_TYPE_2D, static_cast<Ogre::uint>(width_),
        static_cast<Ogre::uint>(height_), 0, Ogre::PF_A8R8G8B8, Ogre::TU_DYNAMIC_WRITE_ONLY_DISCARDABLE);
    dsdata = new DirectShowData();
}

DirectShowMovieTexture::~DirectShowMovieTexture()
{
    unloadMovie();
    Ogre::TextureManager* textures = Ogre::TextureManager::getSingletonPtr();
    if (textures && texture && textures->resourceExists(kTextureName, Ogre::RGN_DEFAULT))
        textures->remove(kTextureName, Ogre::RGN_DEFAULT);
    delete dsdata;
    texture.reset();
}

void DirectShowMovieTexture::loadMovie(const std::string& path)
{
    logNormal("[DSHOW] Loading movie named '" + path + "'.");
    unloadMovie();
    // Our failures go to the engine's log; keep the library's warnings off the console.
    av_log_set_level(AV_LOG_ERROR);
    DirectShowData& d = *dsdata;

    const std::string utf8 = platform::cp1252ToUtf8(path);
    if (avformat_open_input(&d.format, utf8.c_str(), nullptr, nullptr) < 0)
        raise("[DSHOW] Error opening video file!");
    if (avformat_find_stream_info(d.format, nullptr) < 0)
        raise("[DSHOW] Error reading the stream information of the video file");
    d.streamIndex = av_find_best_stream(d.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (d.streamIndex < 0)
        raise("[DSHOW] Error: the file holds no video stream");
    AVStream* stream = d.format->streams[d.streamIndex];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        raise("[DSHOW] Error: no decoder for the video stream");
    d.decoder = avcodec_alloc_context3(codec);
    if (!d.decoder || avcodec_parameters_to_context(d.decoder, stream->codecpar) < 0 ||
        avcodec_open2(d.decoder, codec, nullptr) < 0)
        raise("[DSHOW] Error opening the video decoder");
    d.videoWidth = d.decoder->width;
    d.videoHeight = d.decoder->height;
    if (d.videoWidth <= 0 || d.videoHeight <= 0)
        raise("[DSHOW] Error getting connected media type info");
    d.packet = av_packet_alloc();
    d.pending = av_frame_alloc();
    d.latest = av_frame_alloc();
    if (!d.packet || !d.pending || !d.latest)
        raise("[DSHOW] Error allocating the decoder's buffers");
    d.timeBase = av_q2d(stream->time_base);
    AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0)
        d.frameDuration = 1.0 / av_q2d(rate);

    logNormal("[DSHOW] -> This movie has dimensions: " + Ogre::StringConverter::toString(d.videoWidth) + "x" +
              Ogre::StringConverter::toString(d.videoHeight) + ".");
    clearTexture();
}

void DirectShowMovieTexture::unloadMovie()
{
    if (!dsdata || !dsdata->format)
        return;
    DirectShowData& d = *dsdata;
    sws_freeContext(d.scaler);
    av_frame_free(&d.latest);
    av_frame_free(&d.pending);
    av_packet_free(&d.packet);
    avcodec_free_context(&d.decoder);
    avformat_close_input(&d.format);
    d = DirectShowData();
}

bool DirectShowMovieTexture::isLoaded() const
{
    return dsdata && dsdata->decoder && dsdata->latest;
}

void DirectShowMovieTexture::playMovie()
{
    if (isLoaded() && !dsdata->ended)
        dsdata->playing = true;
}

void DirectShowMovieTexture::pauseMovie()
{
    if (isLoaded())
        dsdata->playing = false;
}

void DirectShowMovieTexture::stopMovie()
{
    if (isLoaded())
        dsdata->playing = false;
}

bool DirectShowMovieTexture::isPlaying() const { return dsdata && dsdata->playing; }
bool DirectShowMovieTexture::hasEnded() const { return dsdata && dsdata->ended; }
double DirectShowMovieTexture::getPlaybackTime() const { return dsdata ? dsdata->clock : 0.0; }
int DirectShowMovieTexture::getVideoWidth() const { return dsdata ? dsdata->videoWidth : 0; }
int DirectShowMovieTexture::getVideoHeight() const { return dsdata ? dsdata->videoHeight : 0; }

bool DirectShowMovieTexture::decodeNextFrame()
{
    DirectShowData& d = *dsdata;
    while (!d.drained) {
        const int got = avcodec_receive_frame(d.decoder, d.pending);
        if (got == 0) {
            int64_t stamp = d.pending->best_effort_timestamp;
            if (stamp == AV_NOPTS_VALUE)
                stamp = d.pending->pts;
            double time = d.endTime;  // no time stamp: right after the previous frame
            if (stamp != AV_NOPTS_VALUE) {
                if (d.firstTimestamp == AV_NOPTS_VALUE)
                    d.firstTimestamp = stamp;
                time = static_cast<double>(stamp - d.firstTimestamp) * d.timeBase;
            }
            d.pendingTime = time;
            d.havePending = true;
            if (time + d.frameDuration > d.endTime)
                d.endTime = time + d.frameDuration;
            return true;
        }
        if (got == AVERROR_EOF) {
            d.drained = true;
            break;
        }
        if (got != AVERROR(EAGAIN)) {
            // A broken decoder state: treat the stream as over rather than spin.
            d.drained = true;
            break;
        }
        if (d.inputDone) {
            d.drained = true;
            break;
        }
        // The decoder wants input.
        for (;;) {
            const int read = av_read_frame(d.format, d.packet);
            if (read < 0) {
                d.inputDone = true;
                avcodec_send_packet(d.decoder, nullptr);
                break;
            }
            if (d.packet->stream_index != d.streamIndex) {
                av_packet_unref(d.packet);
                continue;
            }
            const int sent = avcodec_send_packet(d.decoder, d.packet);
            av_packet_unref(d.packet);
            if (sent == 0 || sent == AVERROR(EAGAIN))
                break;
            // A damaged packet: skip it.
        }
    }
    return false;
}

bool DirectShowMovieTexture::advance(float dt)
{
    if (!isLoaded())
        return false;
    DirectShowData& d = *dsdata;
    if (d.ended)
        return true;
    if (!d.playing)
        return false;
    if (dt > 0.0f)
        d.clock += dt;

    bool newFrame = false;
    for (;;) {
        if (!d.havePending && !decodeNextFrame())
            break;
        if (d.pendingTime > d.clock)
            break;
        av_frame_unref(d.latest);
        av_frame_move_ref(d.latest, d.pending);
        d.havePending = false;
        newFrame = true;
    }
    if (newFrame)
        showFrame();
    if (d.drained && !d.havePending && d.clock >= d.endTime) {
        d.ended = true;
        d.playing = false;
    }
    return d.ended;
}

void DirectShowMovieTexture::showFrame()
{
    DirectShowData& d = *dsdata;
    const int w = static_cast<int>(texture->getWidth());
    const int h = static_cast<int>(texture->getHeight());
    const AVFrame* f = d.latest;
    if (w < 1 || h < 1 || f->width < 1 || f->height < 1)
        return;
    d.scaler = sws_getCachedContext(d.scaler, f->width, f->height, static_cast<AVPixelFormat>(f->format), w, h,
                                    AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!d.scaler)
        return;
    d.bgra.resize(static_cast<size_t>(w) * h * 4);
    uint8_t* dst[4] = {d.bgra.data(), nullptr, nullptr, nullptr};
    int dstStride[4] = {w * 4, 0, 0, 0};
    sws_scale(d.scaler, f->data, f->linesize, 0, f->height, dst, dstStride);

    // The buffer's own format and row pitch may differ from the scaled picture's.
    const Ogre::HardwarePixelBufferSharedPtr& buffer = texture->getBuffer(0, 0);
    buffer->lock(Ogre::HardwareBuffer::HBL_DISCARD);
    const Ogre::PixelBox& locked = buffer->getCurrentLock();
    Ogre::PixelBox source(static_cast<Ogre::uint32>(w), static_cast<Ogre::uint32>(h), 1, Ogre::PF_BYTE_BGRA,
                          d.bgra.data());
    if (locked.getWidth() == source.getWidth() && locked.getHeight() == source.getHeight())
        Ogre::PixelUtil::bulkPixelConversion(source, locked);
    buffer->unlock();
}

void DirectShowMovieTexture::clearTexture()
{
    if (!texture)
        return;
    const Ogre::HardwarePixelBufferSharedPtr& buffer = texture->getBuffer(0, 0);
    buffer->lock(Ogre::HardwareBuffer::HBL_DISCARD);
    const Ogre::PixelBox& locked = buffer->getCurrentLock();
    const size_t texelSize = Ogre::PixelUtil::getNumElemBytes(locked.format);
    uint8_t* rows = locked.data;
    if (locked.format == Ogre::PF_A8R8G8B8) {
        for (size_t y = 0; y < locked.getHeight(); ++y) {
            uint8_t* texel = rows + y * locked.rowPitch * texelSize;
            for (size_t x = 0; x < locked.getWidth(); ++x, texel += 4) {
                texel[0] = 0;
                texel[1] = 0;
                texel[2] = 0;
                texel[3] = 255;
            }
        }
    } else {
        Ogre::PixelBox target = locked;
        const Ogre::ColourValue black(0, 0, 0, 1);
        for (size_t y = 0; y < target.getHeight(); ++y)
            for (size_t x = 0; x < target.getWidth(); ++x)
                target.setColourAt(black, x, y, 0);
    }
    buffer->unlock();
}

}  // namespace OgreUtils
