// Menu layouts of the run folder: the arrows that slide between sub-menus are not covered by a
// window laid over them, so a click on an arrow reaches it; the pop-ups' buttons load every state
// of their animation, so a disabled button looks disabled.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "RunFolder.h"

namespace {

struct Placed {
  std::string name;
  int left, top, right, bottom;
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
    out.push_back({name ? name : "", x + px, y + py, x + px + w, y + py + h});
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

}  // namespace
