// The sub-menu layouts of the run folder: the arrows that slide between sub-menus are not covered
// by a window laid over them, so a click on an arrow reaches it.
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

}  // namespace
