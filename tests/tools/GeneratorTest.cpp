#include "Generator.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <filesystem>

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include "support/TempDir.h"

namespace {

// A small recipe list that exercises every kind of output.
const char* kRecipes = R"(
[image data/ui/pic.png 40 30]
fill #102030
block 5 5 20 #E8505B
text 2 2 12 #FFFFFF "Hi"
[digits data/num/d_{d}.tga 10 14]
text 0 0 12 #FFFFFF "{d}"
[imageset data/Small.imageset data/font/Small.tga name=Small size=12 outline=1]
[anim data/anim/A.xml]
scene NORMAL
track pic.png motion=pulse ms=300
digitscenes d_ .tga
[sound data/sound/s.wav 0.2]
note 0 0.1 440 vol=0.5 wave=noise
[sound data/sound/m.ogg 0.5 channels=2]
seq 0 0.1 C5 E5 - G5 wave=triangle
[movie data/movie/m.avi 64 48 fps=10 seconds=0.5]
fill #FFFFFF
)";

std::map<std::string, std::string> Generate(const std::filesystem::path& out) {
  assetgen::Generator gen(out.string(), QUIBLY_RUN_DIR);
  gen.Run(assetgen::ParseRecipes(kRecipes, "test"));
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out))
    if (entry.is_regular_file()) files[std::filesystem::relative(entry.path(), out).string()] = testsupport::ReadFile(entry.path());
  return files;
}

}  // namespace

// Builds must be reproducible: the same recipes give the same bytes, movie and Vorbis included.
TEST(GeneratorTest, SameRecipesWriteTheSameBytes) {
  testsupport::TempDir first, second;
  auto a = Generate(first.Path());
  auto b = Generate(second.Path());
  ASSERT_EQ(a.size(), 1u + 10 + 2 + 1 + 2 + 1);
  for (const auto& [name, bytes] : a) {
    ASSERT_TRUE(b.count(name)) << name;
    EXPECT_TRUE(bytes == b[name]) << name << " differs between two runs";
  }
  int w = 0, h = 0, n = 0;
  stbi_uc* pixels = stbi_load((first.Path() / "data/ui/pic.png").string().c_str(), &w, &h, &n, 4);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 30);
  // The block's face colour sits at its centre.
  const stbi_uc* centre = pixels + (15 * 40 + 15) * 4;
  EXPECT_EQ(centre[0], 0xE8);
  EXPECT_EQ(centre[1], 0x50);
  stbi_image_free(pixels);
}

TEST(GeneratorTest, RefusesRecipesThatCannotBeMade) {
  struct Case {
    const char* recipe;
    const char* expect;
  };
  const Case cases[] = {
      {"[image data/a.png 0 10]\n", "a picture is 1 to 4096 pixels a side"},
      {"[image data/a.png 8 8]\nsmudge 1 2\n", "unknown picture operation 'smudge'"},
      {"[image data/a.jpg 8 8]\n", "pictures are written as .tga, .png or .bmp"},
      {"[anim data/a.xml]\nscene S\ntrack nowhere.png\n", "no recipe makes the picture nowhere.png"},
      {"[anim data/a.xml]\n", "an animation needs at least one scene"},
      {"[image data/x/a.png 8 8]\n[image data/y/A.PNG 8 8]\n", "two pictures are named A.PNG"},
      {"[sound data/a.wav 1]\nseq 0 0.1 H4\n", "'H4' is not a note"},
      {"[movie data/a.avi 63 48]\n", "even in both directions"},
      {"[model data/a.mdl]\n", "unknown recipe kind 'model'"},
      // Texts that would be cut at the picture's edge: too long, centred off the middle, left of 0.
      {"[image data/a.png 60 20]\ntext 30 2 14 #FFFFFF \"A sentence far too long\" align=center\n", "runs past the 60-pixel picture"},
      {"[image data/a.png 60 20]\ntext 58 2 14 #FFFFFF \"Hi\" align=center\n", "runs past"},
      {"[image data/a.png 60 20]\ntext -3 2 14 #FFFFFF \"Hi\"\n", "runs past"},
  };
  for (const Case& c : cases) {
    testsupport::TempDir out;
    assetgen::Generator gen(out.Str(), QUIBLY_RUN_DIR);
    try {
      gen.Run(assetgen::ParseRecipes(c.recipe, "t"));
      ADD_FAILURE() << "accepted: " << c.recipe;
    } catch (const assetgen::RecipeError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expect), std::string::npos) << e.what();
    }
  }
}

// A named track carries the name the game looks it up by; a hidden one is only a place marker.
TEST(GeneratorTest, NamedAndHiddenTracksKeepTheirNameAndStayUndrawn) {
  testsupport::TempDir out;
  assetgen::Generator gen(out.Str(), QUIBLY_RUN_DIR);
  gen.Run(assetgen::ParseRecipes("[image data/p.png 8 8]\nfill #FFFFFF\n[anim data/B.xml]\nscene Default\n"
                                 "track p.png motion=still ms=100\n"
                                 "track p.png x=0.25 motion=still ms=100 name=Pic_num hidden=1\n",
                                 "t"));
  const std::string xml = testsupport::ReadFile(out.Path() / "data/B.xml");
  EXPECT_NE(xml.find("<anim name=\"ani_Pic_num\">"), std::string::npos);
  EXPECT_NE(xml.find("<anim name=\"ani_t0_p\">"), std::string::npos);
  EXPECT_NE(xml.find("<visible val=\"0\""), std::string::npos);
  EXPECT_NE(xml.find("<visible val=\"1\""), std::string::npos);
}

// The mean luma of every picture of a movie, in order.
static std::vector<int> MeanLuma(const std::filesystem::path& path) {
  std::vector<int> means;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.string().c_str(), nullptr, nullptr) != 0) return means;
  avformat_find_stream_info(format, nullptr);
  int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodec* codec = avcodec_find_decoder(format->streams[index]->codecpar->codec_id);
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(ctx, format->streams[index]->codecpar);
  avcodec_open2(ctx, codec, nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto take = [&] {
    while (avcodec_receive_frame(ctx, frame) == 0) {
      long sum = 0;
      for (int y = 0; y < frame->height; ++y)
        for (int x = 0; x < frame->width; ++x) sum += frame->data[0][y * frame->linesize[0] + x];
      means.push_back(static_cast<int>(sum / (frame->width * frame->height)));
    }
  };
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == index && avcodec_send_packet(ctx, packet) == 0) take();
    av_packet_unref(packet);
  }
  avcodec_send_packet(ctx, nullptr);
  take();
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&ctx);
  avformat_close_input(&format);
  return means;
}

// An operation with a span is drawn only in the frames of that span.
TEST(GeneratorTest, MovieOperationsWithASpanShowOnlyInIt) {
  testsupport::TempDir out;
  assetgen::Generator gen(out.Str(), QUIBLY_RUN_DIR);
  gen.Run(assetgen::ParseRecipes("[movie data/s.avi 32 32 fps=10 seconds=0.6 fadein=0 fadeout=0]\n"
                                 "fill #000000\nrect 0 0 32 32 #FFFFFF from=0.2 until=0.4\n",
                                 "t"));
  std::vector<int> means = MeanLuma(out.Path() / "data/s.avi");
  ASSERT_EQ(means.size(), 6u);
  for (size_t i = 0; i < means.size(); ++i) {
    if (i == 2 || i == 3)
      EXPECT_GT(means[i], 200) << "frame " << i;
    else
      EXPECT_LT(means[i], 40) << "frame " << i;
  }
}
