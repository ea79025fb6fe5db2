// Movie recipes: "[movie out.avi w h fps= seconds= fadein= fadeout=]" followed by picture
// operations. An operation with "from=" and/or "until=" (seconds) is drawn only in the frames
// of that span, so a movie can show steps: a cursor that appears, blocks that go. The picture
// fades in from black and out again; the frames are encoded as MPEG-4 part 2 in YUV 4:2:0
// inside AVI, single-threaded and bit-exact so every build writes the same bytes. The movie's
// sound track is a separate ".ogg" sound recipe.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

#include "Generator.h"

namespace assetgen {
namespace {

// Owns the FFmpeg objects of one encoding run and frees them whatever happens.
class MovieEncoder {
 public:
  MovieEncoder(const std::string& path, int width, int height, int fps) : path_(path) {
    if (avformat_alloc_output_context2(&format_, nullptr, "avi", path.c_str()) < 0) Fail("no AVI muxer");
    format_->flags |= AVFMT_FLAG_BITEXACT;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (codec == nullptr) Fail("no MPEG-4 encoder");
    stream_ = avformat_new_stream(format_, nullptr);
    codec_ = avcodec_alloc_context3(codec);
    if (stream_ == nullptr || codec_ == nullptr) Fail("out of memory");
    codec_->width = width;
    codec_->height = height;
    codec_->time_base = AVRational{1, fps};
    codec_->framerate = AVRational{fps, 1};
    codec_->pix_fmt = AV_PIX_FMT_YUV420P;
    codec_->gop_size = fps;
    codec_->thread_count = 1;
    codec_->flags |= AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_BITEXACT;
    codec_->global_quality = FF_QP2LAMBDA * 3;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(codec_, codec, nullptr) < 0) Fail("the encoder does not open");
    if (avcodec_parameters_from_context(stream_->codecpar, codec_) < 0) Fail("bad codec parameters");
    stream_->time_base = codec_->time_base;
    if (avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) Fail("cannot open the file");
    if (avformat_write_header(format_, nullptr) < 0) Fail("cannot write the header");
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (frame_ == nullptr || packet_ == nullptr) Fail("out of memory");
    frame_->format = AV_PIX_FMT_YUV420P;
    frame_->width = width;
    frame_->height = height;
    if (av_frame_get_buffer(frame_, 0) < 0) Fail("out of memory");
    scaler_ = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, AV_PIX_FMT_YUV420P,
                             SWS_BICUBIC | SWS_BITEXACT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (scaler_ == nullptr) Fail("no colour converter");
  }

  ~MovieEncoder() {
    sws_freeContext(scaler_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&codec_);
    if (format_ != nullptr && format_->pb != nullptr) avio_closep(&format_->pb);
    avformat_free_context(format_);
  }

  void Add(const Canvas& picture, int64_t index) {
    if (av_frame_make_writable(frame_) < 0) Fail("frame not writable");
    const uint8_t* src[1] = {picture.Pixels().data()};
    const int stride[1] = {picture.Width() * 4};
    sws_scale(scaler_, src, stride, 0, picture.Height(), frame_->data, frame_->linesize);
    frame_->pts = index;
    Send(frame_);
  }

  void Finish() {
    Send(nullptr);
    if (av_write_trailer(format_) < 0) Fail("cannot finish the file");
  }

 private:
  [[noreturn]] void Fail(const std::string& why) { throw RecipeError(path_ + ": " + why); }

  void Send(AVFrame* frame) {
    if (avcodec_send_frame(codec_, frame) < 0) Fail("the encoder refused a frame");
    while (avcodec_receive_packet(codec_, packet_) == 0) {
      av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
      packet_->stream_index = stream_->index;
      if (av_interleaved_write_frame(format_, packet_) < 0) Fail("cannot write a frame");
    }
  }

  std::string path_;
  AVFormatContext* format_ = nullptr;
  AVStream* stream_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
};

Canvas Faded(const Canvas& picture, double level) {
  Canvas out = picture;
  for (size_t i = 0; i < out.Pixels().size(); i += 4)
    for (size_t c = 0; c < 3; ++c)
      out.Pixels()[i + c] = static_cast<uint8_t>(out.Pixels()[i + c] * level + 0.5);
  return out;
}

// The operations drawn at time t: those without a span, and those whose span holds t.
std::vector<RecipeLine> LinesAt(const std::vector<RecipeLine>& lines, double t) {
  std::vector<RecipeLine> shown;
  for (const RecipeLine& line : lines)
    if (t >= line.Option("from", -1.0) && t < line.Option("until", 1e9)) shown.push_back(line);
  return shown;
}

bool HasSpans(const std::vector<RecipeLine>& lines) {
  for (const RecipeLine& line : lines)
    if (line.Has("from") || line.Has("until")) return true;
  return false;
}

}  // namespace

void MakeMovie(Generator& gen, const Recipe& recipe) {
  const RecipeLine& h = recipe.header;
  const int width = h.Integer(2), height = h.Integer(3);
  const int fps = static_cast<int>(h.Option("fps", 15.0));
  const double seconds = h.Option("seconds", 3.0);
  const double fadeIn = h.Option("fadein", 0.5), fadeOut = h.Option("fadeout", 0.5);
  if (width < 16 || height < 16 || width % 2 || height % 2 || width > 1920 || height > 1080)
    h.Fail("a movie is 16 to 1920 x 1080 pixels, even in both directions");
  if (fps < 1 || fps > 60 || seconds <= 0 || seconds > 30) h.Fail("a movie runs at 1 to 60 fps for up to 30 seconds");

  auto draw = [&](double t) {
    Canvas picture(width, height);
    picture.Fill(Colour{0, 0, 0, 255});
    DrawOperations(gen, picture, LinesAt(recipe.lines, t));
    return picture;
  };
  const bool steps = HasSpans(recipe.lines);
  Canvas still = draw(0.0);

  MovieEncoder encoder(gen.OutputPath(recipe.Output()), width, height, fps);
  const int frames = static_cast<int>(seconds * fps);
  for (int i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / fps;
    double level = std::min({1.0, fadeIn > 0 ? t / fadeIn : 1.0, fadeOut > 0 ? (seconds - t) / fadeOut : 1.0});
    encoder.Add(Faded(steps ? draw(t) : still, std::max(0.0, level)), i);
  }
  encoder.Finish();
  gen.AddImage(recipe.Output(), std::move(still));
}

}  // namespace assetgen
