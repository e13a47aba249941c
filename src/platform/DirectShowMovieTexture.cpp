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

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace OgreUtils {

struct DirectShowData {
    AVIOContext* input = nullptr;  // the file, opened by us as a regular file
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
    int64_t framesDecoded = 0;
    bool inputDone = false;   // the demuxer has no more packets; the decoder is being drained
    bool drained = false;     // no frame will come any more
    double endTime = 0.0;     // where the last decoded frame ends
    bool playing = false;
    bool ended = false;
    double clock = 0.0;
    bool catchingUp = false;  // behind the clock: frames up to the next key frame are dropped
    std::vector<uint8_t> bgra;
    // While the movie is being opened: the time by which opening has to be over.
    bool opening = false;
    std::chrono::steady_clock::time_point openDeadline;
};

namespace {
// Larger sizes come only from broken configurations.
constexpr int kMaxTextureSize = 8192;
// Opening runs inside one game frame: a file that takes longer to open is given up.
constexpr std::chrono::milliseconds kOpenTimeLimit{500};
// The most work one game frame does for the movie; frames due beyond it are dropped.
constexpr int kMaxFramesPerAdvance = 3;
constexpr int kMaxPacketsPerAdvance = 48;
// Further behind than this (in seconds, or in frames of the movie), it drops frames up to its
// next key frame to catch up.
constexpr double kCatchUpLag = 0.2;
constexpr double kCatchUpFrames = 4 * kMaxFramesPerAdvance;
constexpr int kInputBufferBytes = 64 * 1024;

bool pastOpenDeadline(const DirectShowData* d)
{
    return d && d->opening && std::chrono::steady_clock::now() > d->openDeadline;
}

// Every file the demuxer reads (the movie, and any file a playlist names) comes through here:
// opened by us as a regular file, so that a pipe, a device or a folder is never waited on.
struct VideoInput {
    int fd = -1;
    DirectShowData* owner = nullptr;
};

int readInput(void* opaque, uint8_t* buffer, int size)
{
    auto* in = static_cast<VideoInput*>(opaque);
    if (pastOpenDeadline(in->owner))
        return AVERROR_EXIT;
    for (;;) {
        const ssize_t n = ::read(in->fd, buffer, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return AVERROR(errno);
        return n == 0 ? AVERROR_EOF : static_cast<int>(n);
    }
}

int64_t seekInput(void* opaque, int64_t offset, int whence)
{
    auto* in = static_cast<VideoInput*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(in->fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(in->fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : static_cast<int64_t>(at);
}

AVIOContext* openInput(const std::string& path, DirectShowData* owner)
{
    const int fd = platform::openRegularFile(path);
    if (fd < 0)
        return nullptr;
    auto* in = new VideoInput{fd, owner};
    auto* buffer = static_cast<uint8_t*>(av_malloc(kInputBufferBytes));
    AVIOContext* io =
        buffer ? avio_alloc_context(buffer, kInputBufferBytes, 0, in, readInput, nullptr, seekInput) : nullptr;
    if (!io) {
        av_free(buffer);
        ::close(fd);
        delete in;
    }
    return io;
}

void closeInput(AVIOContext*& io)
{
    if (!io)
        return;
    auto* in = static_cast<VideoInput*>(io->opaque);
    av_freep(&io->buffer);
    avio_context_free(&io);
    ::close(in->fd);
    delete in;
}

// Files a playlist or a demuxer opens besides the movie: local regular files only.
int openNestedInput(AVFormatContext* s, AVIOContext** pb, const char* url, int flags, AVDictionary**)
{
    if (flags & AVIO_FLAG_WRITE)
        return AVERROR(EPERM);
    std::string path = url ? url : "";
    if (path.rfind("file:", 0) == 0)
        path.erase(0, 5);
    else if (path.find("://") != std::string::npos)
        return AVERROR(EPERM);
    *pb = openInput(path, static_cast<DirectShowData*>(s->opaque));
    return *pb ? 0 : AVERROR(EPERM);
}

int closeNestedInput(AVFormatContext*, AVIOContext* pb)
{
    closeInput(pb);
    return 0;
}

int openInterrupted(void* opaque) { return pastOpenDeadline(static_cast<DirectShowData*>(opaque)) ? 1 : 0; }

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
    d.input = openInput(utf8, &d);
    d.format = d.input ? avformat_alloc_context() : nullptr;
    if (!d.format)
        raise("[DSHOW] Error opening video file!");
    d.format->pb = d.input;
    d.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    d.format->opaque = &d;
    d.format->io_open = openNestedInput;
    d.format->io_close2 = closeNestedInput;
    d.format->interrupt_callback = AVIOInterruptCB{openInterrupted, &d};
    // Whatever a nested demuxer would open by itself, past io_open, is refused: no protocol at all.
    d.format->protocol_whitelist = av_strdup("none");
    d.opening = true;
    d.openDeadline = std::chrono::steady_clock::now() + kOpenTimeLimit;
    if (avformat_open_input(&d.format, utf8.c_str(), nullptr, nullptr) < 0) {
        d.opening = false;
        raise("[DSHOW] Error opening video file!");
    }
    const int info = avformat_find_stream_info(d.format, nullptr);
    d.opening = false;
    if (info < 0)
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
    if (!dsdata || (!dsdata->format && !dsdata->input))
        return;
    DirectShowData& d = *dsdata;
    sws_freeContext(d.scaler);
    av_frame_free(&d.latest);
    av_frame_free(&d.pending);
    av_packet_free(&d.packet);
    avcodec_free_context(&d.decoder);
    // The demuxer closes what it opened through io_open; our own input is ours to close.
    avformat_close_input(&d.format);
    closeInput(d.input);
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
int64_t DirectShowMovieTexture::getFramesDecoded() const { return dsdata ? dsdata->framesDecoded : 0; }

DirectShowMovieTexture::Decoded DirectShowMovieTexture::decodeNextFrame(int& packetBudget)
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
            ++d.framesDecoded;
            if (time + d.frameDuration > d.endTime)
                d.endTime = time + d.frameDuration;
            return Decoded::Frame;
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
            if (packetBudget <= 0)
                return Decoded::Later;
            --packetBudget;
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
            if (d.catchingUp) {
                // Dropped undecoded up to a key frame, where decoding starts afresh.
                if (!(d.packet->flags & AV_PKT_FLAG_KEY)) {
                    av_packet_unref(d.packet);
                    continue;
                }
                avcodec_flush_buffers(d.decoder);
                d.catchingUp = false;
            }
            const int sent = avcodec_send_packet(d.decoder, d.packet);
            av_packet_unref(d.packet);
            if (sent == 0 || sent == AVERROR(EAGAIN))
                break;
            // A damaged packet: skip it.
        }
    }
    return Decoded::NoMore;
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

    // A few frames per call at most, whatever the movie's rate says: the rest are dropped.
    int frames = 0;
    int packets = kMaxPacketsPerAdvance;
    bool newFrame = false;
    for (;;) {
        if (!d.havePending) {
            if (frames >= kMaxFramesPerAdvance || decodeNextFrame(packets) != Decoded::Frame)
                break;
            ++frames;
        }
        if (d.pendingTime > d.clock)
            break;
        av_frame_unref(d.latest);
        av_frame_move_ref(d.latest, d.pending);
        d.havePending = false;
        newFrame = true;
    }
    if (newFrame)
        showFrame();
    const double lag = d.clock - (d.havePending ? d.pendingTime : d.endTime);
    if (!d.drained && lag > std::min(kCatchUpLag, kCatchUpFrames * d.frameDuration))
        d.catchingUp = true;
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
