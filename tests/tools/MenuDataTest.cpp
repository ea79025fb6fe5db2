// Menu layouts of the run folder: the arrows that slide between sub-menus are not covered by a
// window laid over them, so a click on an arrow reaches it; an inner panel slid in over a sub-menu
// and the notices of the main menu leave every other button in view; the pop-ups' buttons load every state
// of their animation, so a disabled button looks disabled; the logic-puzzle chooser's previews
// lie inside the frames drawn for them.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <tinyxml.h>

#include "RunFolder.h"

namespace {

struct Placed {
  std::string name;
  int left, top, right, bottom;
  std::string type;
};

// Every window of the layout with its rectangle on the screen, in the order the window system
// draws them (a later window lies over an earlier one and is hit first).
void Collect(const TiXmlElement* element, int x, int y, std::vector<Placed>& out) {
  for (const TiXmlElement* child = element->FirstChildElement("child"); child;
       child = child->NextSiblingElement("child")) {
    int px = 0, py = 0, w = 0, h = 0;
    if (const TiXmlElement* pos = child->FirstChildElement("pos")) {
      pos->QueryIntAttribute("x", &px);
      pos->QueryIntAttribute("y", &py);
    }
    if (const TiXmlElement* rect = child->FirstChildElement("rect")) {
      rect->QueryIntAttribute("r", &w);
      rect->QueryIntAttribute("b", &h);
    }
    const char* name = child->Attribute("name");
    const char* type = child->Attribute("type");
    out.push_back({name ? name : "", x + px, y + py, x + px + w, y + py + h, type ? type : ""});
    Collect(child, x + px, y + py, out);
  }
}

TEST(MenuDataTest, SubMenuArrowsLieOverEveryOtherWindow) {
  for (const char* file : {"SUB_puzzle.xml", "SUB_battle.xml", "SUB_pushing.xml", "SUB_iq.xml", "SUB_multi.xml"}) {
    TiXmlDocument layout;
    ASSERT_TRUE(runfolder::LoadXml(layout, runfolder::Find(file))) << file;
    const TiXmlElement* base = layout.RootElement()->FirstChildElement("base");
    ASSERT_NE(base, nullptr) << file;
    std::vector<Placed> windows;
    Collect(base, 0, 0, windows);
    for (const char* arrow : {"Anibtn_arrowL", "Anibtn_arrow_R"}) {
      size_t at = 0;
      while (at < windows.size() && windows[at].name != arrow) ++at;
      ASSERT_LT(at, windows.size()) << file << " lacks " << arrow;
      const int cx = (windows[at].left + windows[at].right) / 2, cy = (windows[at].top + windows[at].bottom) / 2;
      for (size_t later = at + 1; later < windows.size(); ++later) {
        const Placed& w = windows[later];
        EXPECT_FALSE(cx >= w.left && cx < w.right && cy >= w.top && cy < w.bottom)
            << file << ": " << w.name << " covers " << arrow;
      }
    }
  }
}

std::vector<Placed> LayoutWindows(const char* file) {
  TiXmlDocument layout;
  std::vector<Placed> windows;
  if (!runfolder::LoadXml(layout, runfolder::Find(file))) {
    ADD_FAILURE() << file;
    return windows;
  }
  if (const TiXmlElement* base = layout.RootElement()->FirstChildElement("base")) Collect(base, 0, 0, windows);
  return windows;
}

bool Overlaps(const Placed& a, const Placed& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

struct Key {
  double x, y, alpha;
};

// The key frames of a window in a scene of a UI animation file; empty when the scene does not
// animate it.
std::vector<Key> KeyFrames(const char* uiFile, const std::string& scene, const std::string& window) {
  TiXmlDocument ui;
  std::vector<Key> keys;
  if (!runfolder::LoadXml(ui, runfolder::Find(uiFile))) return keys;
  auto named = [](const TiXmlElement* e, const std::string& name) {
    return name == (e->Attribute("name") ? e->Attribute("name") : "");
  };
  for (const TiXmlElement* s = ui.RootElement()->FirstChildElement("scene"); s; s = s->NextSiblingElement("scene")) {
    if (!named(s, scene)) continue;
    std::string anim;
    for (const TiXmlElement* o = s->FirstChildElement("object"); o; o = o->NextSiblingElement("object"))
      if (named(o, window)) anim = o->Attribute("ani") ? o->Attribute("ani") : "";
    for (const TiXmlElement* a = s->FirstChildElement("anim"); a; a = a->NextSiblingElement("anim")) {
      if (anim.empty() || !named(a, anim)) continue;
      for (const TiXmlElement* f = a->FirstChildElement("frame"); f; f = f->NextSiblingElement("frame")) {
        Key key{0, 0, 0};
        if (const TiXmlElement* v = f->FirstChildElement("posx")) v->QueryDoubleAttribute("val", &key.x);
        if (const TiXmlElement* v = f->FirstChildElement("posy")) v->QueryDoubleAttribute("val", &key.y);
        if (const TiXmlElement* v = f->FirstChildElement("alpha")) v->QueryDoubleAttribute("val", &key.alpha);
        keys.push_back(key);
      }
    }
  }
  return keys;
}

// An inner panel of a sub-menu slides in over the cards that open it; every other button of the
// sub-menu (its ranking, the tutorial, "How to play", the header's buttons and the arrows) stays
// in view beside the panel and takes its clicks.
TEST(MenuDataTest, AnInnerPanelLeavesTheSubMenusOtherButtonsInView) {
  const struct {
    const char* layout;
    const char* ui;
  } menus[] = {{"SUB_puzzle.xml", "SubPuzzle_UI.xml"}, {"SUB_battle.xml", "SubBattle_UI.xml"},
               {"SUB_pushing.xml", "SubPush_UI.xml"}};
  for (const auto& menu : menus) {
    const std::vector<Placed> windows = LayoutWindows(menu.layout);
    for (int n = 1; n <= 2; ++n) {
      const std::string name = "Wnd_sub2_" + std::to_string(n);
      auto panel = std::find_if(windows.begin(), windows.end(), [&](const Placed& w) { return w.name == name; });
      ASSERT_NE(panel, windows.end()) << menu.layout << " lacks " << name;
      const std::vector<Key> slide = KeyFrames(menu.ui, "sub2_" + std::to_string(n) + "_in", name);
      ASSERT_FALSE(slide.empty()) << menu.ui << " does not slide " << name << " in";
      const int x = static_cast<int>(slide.back().x), y = static_cast<int>(slide.back().y);
      const Placed shown{name, x, y, x + panel->right - panel->left, y + panel->bottom - panel->top, panel->type};
      // Only what is drawn before the panel lies under it; the arrows come after, over it.
      int buttons = 0;
      for (auto at = windows.begin(); at != panel; ++at) {
        const Placed& w = *at;
        const bool insidePanel = w.left >= panel->left && w.right <= panel->right && w.top >= panel->top &&
                                 w.bottom <= panel->bottom;
        if (w.type != "ANIMBUTTON" || insidePanel || w.name == "Anibtn_sub_btn_1" || w.name == "Anibtn_sub_btn_2")
          continue;
        ++buttons;
        EXPECT_FALSE(Overlaps(w, shown)) << menu.layout << ": " << name << " covers " << w.name;
      }
      EXPECT_GE(buttons, 5) << menu.layout;
    }
  }
}

// The notices of the main screen (a skin changed, the self-play data reset) show over the main
// screen and over any sub-menu; they cover none of their cards and buttons, nor the quick menu.
TEST(MenuDataTest, TheMenusNoticesCoverNoCardOrButton) {
  const std::vector<Placed> notices = LayoutWindows("Autopopup.xml");
  ASSERT_EQ(notices.size(), 4u);
  for (const char* file : {"MAINMENU.xml", "QUICKMENU.xml", "SUB_puzzle.xml", "SUB_battle.xml", "SUB_pushing.xml",
                           "SUB_iq.xml", "SUB_multi.xml"}) {
    TiXmlDocument layout;
    ASSERT_TRUE(runfolder::LoadXml(layout, runfolder::Find(file))) << file;
    const TiXmlElement* base = layout.RootElement()->FirstChildElement("base");
    ASSERT_NE(base, nullptr) << file;
    int x = 0, y = 0;
    base->FirstChildElement("pos")->QueryIntAttribute("x", &x);
    base->FirstChildElement("pos")->QueryIntAttribute("y", &y);
    std::vector<Placed> windows;
    Collect(base, x, y, windows);
    for (const Placed& w : windows) {
      // The inner panels wait beside the screen until they slide in; the test above keeps them
      // clear of the rows the notices use.
      if (w.type != "ANIMBUTTON" || w.left >= 1024 || w.right <= 0) continue;
      for (const Placed& notice : notices)
        EXPECT_FALSE(Overlaps(w, notice)) << notice.name << " covers " << w.name << " of " << file;
    }
  }
}

// The story opening fades in with its first page on it, in the first run and in a replay, and the
// first page's own scene keeps it in view: no moment shows the story's frame without a page.
TEST(MenuDataTest, TheStoryOpensOnItsFirstPageNeverOnAnEmptyOne) {
  for (const char* scene : {"opening_in_1", "opening_in_2"}) {
    const std::vector<Key> page = KeyFrames("Opening_UI.xml", scene, "opening_2");
    ASSERT_FALSE(page.empty()) << scene << " does not bring in the first page";
    for (const Key& key : page) EXPECT_EQ(key.alpha, 1.0) << scene;
  }
  const std::vector<Key> own = KeyFrames("Opening_UI.xml", "opening_2", "opening_2");
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(own.front().alpha, 1.0);
}

// A button's animation file holds its NORMAL, OVER, DOWN and DISABLE scenes; loaded as a group
// the button plays each in its state, loaded as one NORMAL asset every scene is its normal look.
TEST(MenuDataTest, PopUpButtonsLoadEveryStateOfTheirAnimation) {
  for (const char* file : {"result.xml", "keyhelp.xml", "options.xml", "stagestart.xml", "warning_1btn.xml",
                           "warning_2btn.xml", "warning_2line_2btn.xml"}) {
    TiXmlDocument layout;
    ASSERT_TRUE(runfolder::LoadXml(layout, runfolder::Find(file))) << file;
    std::vector<const TiXmlElement*> pending{layout.RootElement()};
    int buttons = 0;
    while (!pending.empty()) {
      const TiXmlElement* element = pending.back();
      pending.pop_back();
      for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        pending.push_back(child);
      const char* type = element->Attribute("type");
      if (!type || std::string(type) != "ANIMBUTTON") continue;
      const TiXmlElement* asset = element->FirstChildElement("asset");
      if (!asset || !asset->GetText() || std::string(asset->GetText()).find("popup/popup_btn_") != 0) continue;
      ++buttons;
      EXPECT_STREQ(asset->Attribute("type"), "GROUP") << file << ": " << element->Attribute("name");
    }
    EXPECT_GT(buttons, 0) << file;
  }
}

// The chooser draws each slot's 8 x 8 preview board (cells of 45 pixels at half size) from the
// place of "Pic_iqpuzzle_puzzle_%d" inside its slot card "Pic_iqlist_slot_%d". The card's
// picture has a navy frame for it: the whole board, and a ring of two pixels round it, are navy
// in the card, so no block reaches the frame's edge or the paper beyond it.
TEST(MenuDataTest, TheLogicChoosersPreviewsLieInsideTheirFrames) {
  constexpr int kBoard = 8 * 45 / 2, kRing = 2;
  TiXmlDocument layout;
  ASSERT_TRUE(runfolder::LoadXml(layout, runfolder::Find("iqpuzzle_select.xml")));
  std::vector<Placed> windows;
  Collect(layout.RootElement()->FirstChildElement("base"), 0, 0, windows);
  auto placed = [&](const std::string& name) {
    for (const Placed& w : windows)
      if (w.name == name) return w;
    ADD_FAILURE() << "no window " << name;
    return Placed{};
  };
  int w = 0, h = 0, n = 0;
  stbi_uc* card = stbi_load(runfolder::Find("sel_slot.png").string().c_str(), &w, &h, &n, 4);
  ASSERT_NE(card, nullptr) << stbi_failure_reason();
  for (int slot = 1; slot <= 8; ++slot) {
    const Placed frame = placed("Pic_iqlist_slot_" + std::to_string(slot));
    const Placed preview = placed("Pic_iqpuzzle_puzzle_" + std::to_string(slot));
    const int left = preview.left - frame.left, top = preview.top - frame.top;
    ASSERT_GE(left - kRing, 0) << slot;
    ASSERT_GE(top - kRing, 0) << slot;
    ASSERT_LE(left + kBoard + kRing, w) << slot;
    ASSERT_LE(top + kBoard + kRing, h) << slot;
    int outside = 0;
    for (int y = top - kRing; y < top + kBoard + kRing; ++y)
      for (int x = left - kRing; x < left + kBoard + kRing; ++x) {
        const stbi_uc* p = card + (y * w + x) * 4;
        outside += (p[0] == 0x1B && p[1] == 0x23 && p[2] == 0x40 && p[3] == 255) ? 0 : 1;
      }
    EXPECT_EQ(outside, 0) << "slot " << slot << ": pixels of its preview outside the navy frame";
  }
  stbi_image_free(card);
}

const TiXmlElement* FindWindow(const TiXmlElement* element, const std::string& name) {
  for (const TiXmlElement* child = element->FirstChildElement("child"); child;
       child = child->NextSiblingElement("child")) {
    if (const char* own = child->Attribute("name"); own && name == own) return child;
    if (const TiXmlElement* found = FindWindow(child, name)) return found;
  }
  return nullptr;
}

// A mode with no ranking table yet leaves the start pop-up's rows as laid out, so the layout's
// rows read as empty places ("-----", "----", "--:--") and never as a lone ":".
TEST(MenuDataTest, TheStartPopUpsRowsReadAsEmptyPlacesBeforeAnyFill) {
  TiXmlDocument layout;
  ASSERT_TRUE(runfolder::LoadXml(layout, runfolder::Find("startpopup.xml")));
  const TiXmlElement* base = layout.RootElement()->FirstChildElement("base");
  ASSERT_NE(base, nullptr);
  const std::vector<std::pair<std::string, std::string>> shown = {
      {"Label_rank_name_", "-----"}, {"Label_rank_score_", "----"}, {"Label_rank_time_m_", "--"}, {"Label_rank_time_s_", "--"}};
  for (int n = 1; n <= 6; ++n)
    for (const auto& [label, text] : shown) {
      const std::string name = label + std::to_string(n);
      const TiXmlElement* window = FindWindow(base, name);
      ASSERT_NE(window, nullptr) << name;
      const TiXmlElement* value = window->FirstChildElement("label");
      ASSERT_NE(value, nullptr) << name;
      EXPECT_EQ(std::string(value->Attribute("val") ? value->Attribute("val") : ""), text) << name;
    }
}

}  // namespace
