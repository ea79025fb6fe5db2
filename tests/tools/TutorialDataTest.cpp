// The tutorial, battle-help and special-mode layouts of the run folder hold every window and UI
// scene their pop-ups look up, every special mode's tile says what the mode does, and the
// tutorial movies decode at the size of their pictures.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <tinyxml.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "RunFolder.h"

namespace {

using runfolder::Find;

void CollectNames(const TiXmlElement* element, std::set<std::string>& names) {
  for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (const char* name = child->Attribute("name")) names.insert(name);
    CollectNames(child, names);
  }
}

struct LayoutCase {
  const char* file;
  std::vector<std::string> windows;
  std::vector<std::string> scenes;
};

std::vector<std::string> Numbered(const std::string& prefix, int from, int to, const std::string& suffix = "") {
  std::vector<std::string> out;
  for (int i = from; i <= to; ++i) out.push_back(prefix + std::to_string(i) + suffix);
  return out;
}

std::vector<std::string> Join(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

const std::vector<std::string> kPaged = {"Label_tutorial_page", "Anibtn_tutorial_next", "Anibtn_tutorial_close",
                                         "Picture_tutorial_video"};

std::vector<std::string> Special(const std::string& prefix, std::vector<std::string> modes) {
  std::vector<std::string> out{"Anibtn_popup_close"};
  for (const std::string& m : modes)
    for (const std::string& name : {prefix + m, prefix + "lock_" + m, "Pic_" + prefix + "cube_" + m,
                                    "Pic_" + prefix + "cube_" + m + "_gray", "Label_cmt_" + m, "Pic_icon_clear_" + m,
                                    "Pic_icon_allclear_" + m})
      out.push_back(name);
  return out;
}

TEST(TutorialDataTest, LayoutsHoldTheirWindowsAndScenes) {
  const std::vector<LayoutCase> cases = {
      {"quibly.xml", kPaged, Join({Numbered("quibly_", 1, 15), {"quibly_out"}})},
      {"howto_iq.xml", kPaged, Join({Numbered("quibly_", 1, 4), {"quibly_out"}})},
      {"howto_push.xml", kPaged, Join({Numbered("quibly_", 1, 4), {"quibly_out"}})},
      {"video.xml", Join({{"Anibtn_popup_ok", "Picture_popup_video"}, Numbered("Anibtn_popup_videoselect_", 1, 4)}),
       {"video_in", "video_out"}},
      {"tutorial.xml",
       {"Anibtn_popup_close", "popup_tutorial_slide_Normal1", "popup_tutorial_video_Normal1",
        "popup_tutorial_freeplay_Normal1"},
       {"video_in", "video_out"}},
      {"battle_tutorial.xml",
       {"Anibtn_popup_close", "btn_bttutorial_slide", "btn_bttutorial_video", "btn_bttutorial_keyhelp"},
       {"video_in", "video_out"}},
      {"howto_battle.xml",
       Join({{"Anibtn_battlehelp_close", "howto_battle_list_on"}, Numbered("Anibtn_bthelp_categorynum_", 1, 9),
             Numbered("Pic_battlehelp_", 1, 9)}),
       Join({{"help_in", "help_out"}, Numbered("help_", 1, 9)})},
      {"geek_battle.xml", Special("btn_btgeek_", {"clone", "star", "stone", "big", "dash", "hell"}),
       {"video_in", "video_out"}},
      {"geek_push.xml", Special("btn_psgeek_", {"onecolor", "hell"}), {"video_in", "video_out"}}};
  for (const LayoutCase& c : cases) {
    TiXmlDocument layout;
    ASSERT_TRUE(runfolder::LoadXml(layout, Find(c.file))) << c.file;
    std::set<std::string> names;
    CollectNames(layout.RootElement(), names);
    for (const std::string& window : c.windows) EXPECT_TRUE(names.count(window)) << c.file << " lacks " << window;
    const TiXmlElement* property = layout.RootElement()->FirstChildElement("properties")->FirstChildElement("property");
    TiXmlDocument animation;
    ASSERT_TRUE(runfolder::LoadXml(animation, Find(property->Attribute("val")))) << c.file;
    std::set<std::string> scenes;
    for (const TiXmlElement* scene = animation.RootElement()->FirstChildElement("scene"); scene;
         scene = scene->NextSiblingElement("scene"))
      scenes.insert(scene->Attribute("name"));
    for (const std::string& scene : c.scenes) EXPECT_TRUE(scenes.count(scene)) << c.file << " lacks " << scene;
  }
}

// A special mode's tile carries, under its name, a line of white text saying what the mode does,
// in the special battles and the special pushes alike: two runs of rows holding white text,
// with an empty row between them.
TEST(TutorialDataTest, EverySpecialModesTileSaysWhatTheModeDoes) {
  for (const char* mode : {"btgeek_clone", "btgeek_star", "btgeek_stone", "btgeek_big", "btgeek_dash", "btgeek_hell",
                           "psgeek_onecolor", "psgeek_hell"}) {
    const std::filesystem::path file = runfolder::Root() / "data/tutorial" / (std::string("geek_btn_") + mode + "_n.png");
    int w = 0, h = 0, n = 0;
    stbi_uc* pixels = stbi_load(file.string().c_str(), &w, &h, &n, 4);
    ASSERT_NE(pixels, nullptr) << file << ": " << stbi_failure_reason();
    ASSERT_EQ(w, 200);
    ASSERT_EQ(h, 150);
    int lines = 0;
    bool inText = false;
    for (int y = 10; y < 140; ++y) {
      bool white = false;
      for (int x = 10; x < 190 && !white; ++x) {
        const stbi_uc* p = pixels + (y * w + x) * 4;
        white = p[0] > 220 && p[1] > 220 && p[2] > 220;
      }
      lines += (white && !inText) ? 1 : 0;
      inText = white;
    }
    stbi_image_free(pixels);
    EXPECT_EQ(lines, 2) << mode << ": its name and the line under it";
  }
}

TEST(TutorialDataTest, EveryTutorialMovieAndSoundIsThere) {
  std::vector<std::string> names = Join({Numbered("Movie", 1, 15), Numbered("MovieIQ", 0, 3),
                                         Numbered("MoviePushing", 0, 3), Numbered("MovieBattle", 0, 3)});
  for (const std::string& name : names) {
    const std::filesystem::path movie = runfolder::Root() / "data/movie" / (name + ".avi");
    EXPECT_TRUE(std::filesystem::exists(runfolder::Root() / "data/movie" / (name + ".ogg"))) << name;
    AVFormatContext* format = nullptr;
    ASSERT_EQ(avformat_open_input(&format, movie.string().c_str(), nullptr, nullptr), 0) << name;
    ASSERT_GE(avformat_find_stream_info(format, nullptr), 0) << name;
    int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    ASSERT_GE(index, 0) << name;
    // The size of the pictures they are drawn in.
    EXPECT_EQ(format->streams[index]->codecpar->width, 480) << name;
    EXPECT_EQ(format->streams[index]->codecpar->height, 300) << name;
    avformat_close_input(&format);
  }
}

}  // namespace
