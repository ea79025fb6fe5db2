// Movie texture over FFmpeg's demuxer and decoders.
#include "engine/MovieTexture.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <helvane/Log.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/stat.h>

namespace {

// FFmpeg's own messages go into the game's log instead of straight onto the console. The format
// description printed when a movie opens arrives as many lines; they are gathered and logged as
// one entry. Warnings and errors are logged as they come; chatter below that is dropped.
thread_local std::string* t_pDescription = nullptr;

void ForwardFfmpegLog(void* context, int level, const char* format, va_list args)
{
    if (level > AV_LOG_INFO)
        return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(context, level, format, args, line, sizeof line, &prefix);
    if (t_pDescription && level == AV_LOG_INFO) {
        *t_pDescription += line; // pieces of lines; joined when the description is complete
        return;
    }
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    if (level <= AV_LOG_WARNING && !text.empty())
        DFLog(LOG_WARN, L"ffmpeg: %s", platform::Widen(text).c_str());
}

void RouteFfmpegLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(ForwardFfmpegLog); });
}

// Conversion tables from video-range YUV to RGB, truncated toward zero.
struct YuvTables {
    std::array<int, 256> yt, rv, gv, gu, bu;
};

constexpr YuvTables MakeYuvTables()
{
    YuvTables t{};
    for (int x = 0; x < 256; ++x) {
        t.yt[x] = static_cast<int>(1.164 * (x - 16));
        t.rv[x] = static_cast<int>(1.596 * (x - 128));
        t.gv[x] = static_cast<int>(0.813 * (x - 128));
        t.gu[x] = static_cast<int>(0.391 * (x - 128));
        t.bu[x] = static_cast<int>(2.018 * (x - 128));
    }
    return t;
}

constexpr YuvTables kTables = MakeYuvTables();

constexpr int Clamp255(int v)
{
    return v <= 0 ? 0 : (v >= 255 ? 255 : v);
}

// The largest picture the texture takes (the game's largest picture is the 1024 x 768 screen);
// larger streams are refused from their header rather than allocated.
constexpr int kMaxSide = 2048;
// The period used when the stream states no usable frame rate.
constexpr int kFallbackPeriodMs = 40;

// The demuxer's reads and seeks on the file the guarded open gave.
int ReadMovieFile(void* opaque, uint8_t* buffer, int size)
{
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(std::max(size, 0)), static_cast<FILE*>(opaque));
    return got > 0 ? static_cast<int>(got) : AVERROR_EOF;
}

int64_t SeekMovieFile(void* opaque, int64_t offset, int whence)
{
    FILE* file = static_cast<FILE*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat info {};
        return ::fstat(::fileno(file), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
    }
    if (fseeko(file, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE) != 0)
        return -1;
    return ftello(file);
}

constexpr int kInputBufferBytes = 64 * 1024;

bool IsYuv420(int format)
{
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

} // namespace

MovieTexture::MovieTexture()
{
    Reset();
}

MovieTexture::~MovieTexture()
{
    Close();
}

void MovieTexture::Reset()
{
    m_pFormat = nullptr;
    m_nVideoStream = 0;
    m_pCodecContext = nullptr;
    m_pCodec = nullptr;
    m_pFrame = nullptr;
    m_pFrameRGB = nullptr;
    m_nGotPicture = 0;
    m_nRGBBufferSize = 0;
    m_pRGBBuffer = nullptr;
    m_pTexture = nullptr;
    m_nCountdownMs = 0;
    m_nCountdownUs = 0;
    m_nPeriodMs = 0;
    m_bPlaying = 0;
    m_pPacket = nullptr;
    m_pFrameYuv = nullptr;
    m_pScaler = nullptr;
    m_bDraining = false;
    m_pFile = nullptr;
    m_pInput = nullptr;
}

void MovieTexture::Release()
{
    Close();
}

int MovieTexture::FramePeriod(int numerator, int denominator)
{
    if (numerator <= 0 || denominator <= 0)
        return kFallbackPeriodMs;
    int rate = numerator / denominator;
    if (rate == 0) {
        // Below one frame a second: the period is the whole fraction, kept within an int of
        // microseconds.
        int64_t period = 1000LL * denominator / numerator;
        return static_cast<int>(std::clamp<int64_t>(period, 1, INT_MAX / 1000));
    }
    // Above 1000 frames a second the integer period would be 0 and never catch up.
    return std::max(1, 1000 / rate);
}

int MovieTexture::Open(IDirect3DDevice9* device, const char* path)
{
    Close();
    if (!device || !path)
        return -1;
    if (OpenStreams(device, path))
        return 1;
    DFLog(LOG_WARN, L"movie %s cannot be played", platform::Widen(path).c_str());
    return -1;
}

bool MovieTexture::OpenStreams(IDirect3DDevice9* device, const char* path)
{
    // The file comes through the guarded open and FFmpeg reads it through our own reader; the
    // demuxer may open no other file or protocol by name (a playlist naming a FIFO, say).
    m_pFile = platform::OpenFile(path, "rb", platform::kMaxStreamedFileBytes);
    if (!m_pFile)
        return false;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kInputBufferBytes));
    if (!buffer)
        return false;
    m_pInput = avio_alloc_context(buffer, kInputBufferBytes, 0, m_pFile, &ReadMovieFile, nullptr, &SeekMovieFile);
    if (!m_pInput) {
        av_free(buffer);
        return false;
    }
    m_pFormat = avformat_alloc_context();
    if (!m_pFormat)
        return false;
    m_pFormat->pb = m_pInput;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    const int opened = avformat_open_input(&m_pFormat, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (opened != 0)
        return false;  // the format context is freed by the failed open
    if (avformat_find_stream_info(m_pFormat, nullptr) < 0)
        return false;
    {
        RouteFfmpegLog();
        std::string description;
        t_pDescription = &description;
        av_dump_format(m_pFormat, 0, path, 0);
        t_pDescription = nullptr;
        // One line: the description's lines joined, their indentation dropped.
        std::string joined;
        for (size_t at = 0; at < description.size();) {
            size_t end = description.find('\n', at);
            std::string piece = description.substr(at, end == std::string::npos ? std::string::npos : end - at);
            const size_t start = piece.find_first_not_of(" \r");
            if (start != std::string::npos)
                joined += (joined.empty() ? "" : " | ") + piece.substr(start);
            at = end == std::string::npos ? description.size() : end + 1;
        }
        if (!joined.empty())
            DFLog(L"movie %s", platform::Widen(joined).c_str());
    }

    m_nVideoStream = -1;
    for (unsigned i = 0; i < m_pFormat->nb_streams; ++i) {
        if (m_pFormat->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            m_nVideoStream = static_cast<int>(i);
            break;
        }
    }
    if (m_nVideoStream < 0)
        return false;
    AVStream* stream = m_pFormat->streams[m_nVideoStream];

    m_pCodec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!m_pCodec)
        return false;
    m_pCodecContext = avcodec_alloc_context3(m_pCodec);
    if (!m_pCodecContext || avcodec_parameters_to_context(m_pCodecContext, stream->codecpar) < 0)
        return false;
    if (avcodec_open2(m_pCodecContext, m_pCodec, nullptr) < 0)
        return false;
    const int width = m_pCodecContext->width, height = m_pCodecContext->height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        DFLog(LOG_WARN, L"movie %s: pictures of %dx%d are larger than %dx%d", platform::Widen(path).c_str(), width,
              height, kMaxSide, kMaxSide);
        return false;
    }

    m_pFrame = av_frame_alloc();
    m_pFrameRGB = av_frame_alloc();
    m_pPacket = av_packet_alloc();
    if (!m_pFrame || !m_pFrameRGB || !m_pPacket)
        return false;

    m_nRGBBufferSize = av_image_get_buffer_size(AV_PIX_FMT_RGB565LE, width, height, 1);
    // Black until the first picture is decoded.
    m_pRGBBuffer = static_cast<uint8_t*>(av_mallocz(m_nRGBBufferSize));
    if (!m_pRGBBuffer)
        return false;
    av_image_fill_arrays(m_pFrameRGB->data, m_pFrameRGB->linesize, m_pRGBBuffer, AV_PIX_FMT_RGB565LE, width,
                         height, 1);

    if (FAILED(device->CreateTexture(width, height, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &m_pTexture, nullptr)))
        return false;
    CopyToTexture();

    AVRational rate = stream->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = stream->avg_frame_rate;
    m_nPeriodMs = FramePeriod(rate.num, rate.den);
    m_nCountdownMs = m_nPeriodMs;
    m_nCountdownUs = m_nPeriodMs * 1000;

    m_bPlaying = 1;
    return true;
}

void MovieTexture::Close()
{
    sws_freeContext(m_pScaler);
    av_frame_free(&m_pFrameYuv);
    av_packet_free(&m_pPacket);
    av_freep(&m_pRGBBuffer);
    av_frame_free(&m_pFrameRGB);
    av_frame_free(&m_pFrame);
    avcodec_free_context(&m_pCodecContext);
    avformat_close_input(&m_pFormat);
    if (m_pInput) {
        av_freep(&m_pInput->buffer);
        avio_context_free(&m_pInput);
    }
    if (m_pFile)
        std::fclose(m_pFile);
    if (m_pTexture)
        m_pTexture->Release();
    Reset();
}

void MovieTexture::Update(float seconds)
{
    if (!m_pFormat || !m_pTexture)
        return;
    m_nCountdownUs += static_cast<int>(seconds * -1000.0f * 1000.0f);
    int ms = m_nCountdownUs / 1000;
    if (ms >= 0)
        return;
    do {
        if (m_bPlaying && !DecodeOnePicture())
            m_bPlaying = 0;
        ms += m_nPeriodMs;
    } while (ms < 0);
    m_nCountdownMs = ms;
    m_nCountdownUs = ms * 1000;
    CopyToTexture();
}

bool MovieTexture::ReceivePicture()
{
    if (avcodec_receive_frame(m_pCodecContext, m_pFrame) != 0)
        return false;
    m_nGotPicture = 1;
    ConvertFrame();
    return true;
}

bool MovieTexture::DecodeOnePicture()
{
    m_nGotPicture = 0;
    for (;;) {
        if (ReceivePicture())
            return true;
        if (av_read_frame(m_pFormat, m_pPacket) < 0) {
            // End of the file: the decoder gives up the pictures it still holds back.
            if (m_bDraining)
                return false;
            m_bDraining = true;
            avcodec_send_packet(m_pCodecContext, nullptr);
            return ReceivePicture();
        }
        if (m_pPacket->stream_index == m_nVideoStream) {
            if (m_bDraining) {
                // The owner rewound the file after its end: start decoding afresh.
                avcodec_flush_buffers(m_pCodecContext);
                m_bDraining = false;
            }
            // A packet the decoder refuses is skipped like one that yields no picture.
            avcodec_send_packet(m_pCodecContext, m_pPacket);
        }
        av_packet_unref(m_pPacket);
    }
}

const AVFrame* MovieTexture::AsYuv420(const AVFrame* frame)
{
    const int width = m_pCodecContext->width, height = m_pCodecContext->height;
    if (IsYuv420(frame->format) && frame->width == width && frame->height == height)
        return frame;
    if (!m_pFrameYuv) {
        m_pFrameYuv = av_frame_alloc();
        if (!m_pFrameYuv)
            return nullptr;
        m_pFrameYuv->format = AV_PIX_FMT_YUV420P;
        m_pFrameYuv->width = width;
        m_pFrameYuv->height = height;
        if (av_frame_get_buffer(m_pFrameYuv, 0) < 0) {
            av_frame_free(&m_pFrameYuv);
            return nullptr;
        }
    }
    m_pScaler = sws_getCachedContext(m_pScaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                     width, height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_pScaler)
        return nullptr;
    if (sws_scale(m_pScaler, frame->data, frame->linesize, 0, frame->height, m_pFrameYuv->data,
                  m_pFrameYuv->linesize) <= 0)
        return nullptr;
    return m_pFrameYuv;
}

void MovieTexture::ConvertFrame()
{
    // A picture that cannot be brought to the texture's layout leaves the last one shown.
    const AVFrame* yuv = AsYuv420(m_pFrame);
    if (!yuv)
        return;
    ConvertYuv420(yuv->data[0], yuv->linesize[0], yuv->data[1], yuv->data[2], yuv->linesize[1],
                  m_pCodecContext->width, m_pCodecContext->height, reinterpret_cast<uint16_t*>(m_pRGBBuffer));
}

void MovieTexture::ConvertYuv420(const uint8_t* yPlane, int yPitch, const uint8_t* uPlane, const uint8_t* vPlane,
                                 int uvPitch, int width, int height, uint16_t* out)
{
    for (int i = 0; i < height; ++i) {
        const uint8_t* yRow = yPlane + static_cast<ptrdiff_t>(i) * yPitch;
        const uint8_t* uRow = uPlane + static_cast<ptrdiff_t>(i / 2) * uvPitch;
        const uint8_t* vRow = vPlane + static_cast<ptrdiff_t>(i / 2) * uvPitch;
        for (int j = 0; j < width; ++j) {
            int y = kTables.yt[yRow[j]];
            int u = uRow[j / 2], v = vRow[j / 2];
            int r = Clamp255(y + kTables.rv[v]);
            int g = Clamp255(y - kTables.gu[u] - kTables.gv[v]);
            int b = Clamp255(y + kTables.bu[u]);
            *out++ = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
        }
    }
}

void MovieTexture::CopyToTexture()
{
    D3DLOCKED_RECT locked;
    if (FAILED(m_pTexture->LockRect(0, &locked, nullptr, 0)))
        return;
    const int rowBytes = m_pCodecContext->width * 2;
    for (int row = 0; row < m_pCodecContext->height; ++row)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(row) * locked.Pitch,
                    m_pRGBBuffer + static_cast<ptrdiff_t>(row) * m_pFrameRGB->linesize[0], rowBytes);
    m_pTexture->UnlockRect(0);
}
