// Writes tiny AVI movies for the movie texture's tests: every frame one flat colour, encoded with
// the codec and picture format asked for, single-threaded and bit-exact.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <string>
#include <vector>

namespace moviefixture {

struct Rgb {
    uint8_t r, g, b;
};

struct MovieFormat {
    int width = 32;
    int height = 32;
    AVRational frameRate{25, 1};
    AVCodecID codec = AV_CODEC_ID_MPEG4;
    AVPixelFormat format = AV_PIX_FMT_YUV420P;
    // B-frames make the decoder hold a picture back, as real movies do.
    int bFrames = 0;
    std::vector<Rgb> frames;
};

// Writes the movie; false when any FFmpeg step fails.
inline bool WriteMovie(const std::string& path, const MovieFormat& clip)
{
    AVFormatContext* out = nullptr;
    if (avformat_alloc_output_context2(&out, nullptr, "avi", path.c_str()) < 0)
        return false;
    out->flags |= AVFMT_FLAG_BITEXACT;
    const AVCodec* codec = avcodec_find_encoder(clip.codec);
    AVStream* stream = avformat_new_stream(out, nullptr);
    AVCodecContext* ctx = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    SwsContext* sws = sws_getContext(clip.width, clip.height, AV_PIX_FMT_RGB24, clip.width, clip.height, clip.format,
                                     SWS_POINT | SWS_BITEXACT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    bool ok = stream && ctx && frame && packet && sws;
    if (ok) {
        ctx->width = clip.width;
        ctx->height = clip.height;
        ctx->time_base = AVRational{clip.frameRate.den, clip.frameRate.num};
        ctx->framerate = clip.frameRate;
        ctx->pix_fmt = clip.format;
        ctx->gop_size = 12;
        ctx->max_b_frames = clip.bFrames;
        ctx->thread_count = 1;
        ctx->flags |= AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_BITEXACT;
        ctx->global_quality = FF_QP2LAMBDA * 2;
        ok = avcodec_open2(ctx, codec, nullptr) >= 0 && avcodec_parameters_from_context(stream->codecpar, ctx) >= 0;
    }
    if (ok) {
        stream->time_base = ctx->time_base;
        stream->avg_frame_rate = clip.frameRate;
        stream->r_frame_rate = clip.frameRate;
        ok = avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(out, nullptr) >= 0;
    }
    if (ok) {
        frame->format = clip.format;
        frame->width = clip.width;
        frame->height = clip.height;
        ok = av_frame_get_buffer(frame, 0) >= 0;
    }
    auto drain = [&](AVFrame* input) {
        if (avcodec_send_frame(ctx, input) < 0)
            return false;
        while (avcodec_receive_packet(ctx, packet) == 0) {
            av_packet_rescale_ts(packet, ctx->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(out, packet) < 0)
                return false;
        }
        return true;
    };
    std::vector<uint8_t> rgb(static_cast<size_t>(clip.width) * clip.height * 3);
    for (size_t i = 0; ok && i < clip.frames.size(); ++i) {
        for (size_t p = 0; p < rgb.size(); p += 3) {
            rgb[p] = clip.frames[i].r;
            rgb[p + 1] = clip.frames[i].g;
            rgb[p + 2] = clip.frames[i].b;
        }
        const uint8_t* src[1] = {rgb.data()};
        const int stride[1] = {clip.width * 3};
        ok = av_frame_make_writable(frame) >= 0 &&
             sws_scale(sws, src, stride, 0, clip.height, frame->data, frame->linesize) > 0;
        frame->pts = static_cast<int64_t>(i);
        ok = ok && drain(frame);
    }
    ok = ok && drain(nullptr) && av_write_trailer(out) >= 0;
    sws_freeContext(sws);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&ctx);
    if (out->pb)
        avio_closep(&out->pb);
    avformat_free_context(out);
    return ok;
}

// Frames of distinct greys, darkest first, so a read-back tells which frame is shown.
inline std::vector<Rgb> GreyRamp(int count)
{
    std::vector<Rgb> frames;
    for (int i = 0; i < count; ++i) {
        auto level = static_cast<uint8_t>(30 + i * 20);
        frames.push_back({level, level, level});
    }
    return frames;
}

} // namespace moviefixture
