// The imageset font: "[imageset out.imageset image.tga name=... font=... size=...]" renders the
// printable ASCII characters into one picture (white letters with a dark outline, so a label's
// colour tints the letters and the outline stays dark) and writes the ".imageset" XML that
// places each character in it.
#include <algorithm>

#include <tinyxml.h>

#include "Generator.h"

namespace assetgen {
namespace {

struct Cell {
  char character;
  int x, y, width, height;
};

// Spreads a coverage mask by `radius` pixels: the outline drawn under the letter.
std::vector<uint8_t> Dilate(const GlyphBitmap& g, int radius, int width, int height) {
  std::vector<uint8_t> out(static_cast<size_t>(width) * height, 0);
  for (int r = 0; r < g.rows; ++r)
    for (int c = 0; c < g.width; ++c) {
      uint8_t v = g.coverage[static_cast<size_t>(r) * g.width + c];
      if (v == 0) continue;
      for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
          if (dx * dx + dy * dy > radius * radius + radius) continue;
          int x = c + dx + radius, y = r + dy + radius;
          if (x < 0 || y < 0 || x >= width || y >= height) continue;
          uint8_t& o = out[static_cast<size_t>(y) * width + x];
          o = std::max(o, v);
        }
    }
  return out;
}

}  // namespace

void MakeImageset(Generator& gen, const Recipe& recipe) {
  const RecipeLine& h = recipe.header;
  const std::string imagePath = h.Text(2);
  const std::string name = h.Option("name", std::string("Imageset"));
  const std::string font = h.Option("font", std::string("quiblyenglish.ttf"));
  const int size = static_cast<int>(h.Option("size", 40.0));
  const int outline = static_cast<int>(h.Option("outline", 2.0));
  const int sheetWidth = static_cast<int>(h.Option("width", 512.0));
  const Colour fill = h.Option("colour", Colour{255, 255, 255, 255});
  const Colour edge = h.Option("edge", Colour{20, 24, 40, 255});

  const int lineHeight = gen.Text().LineHeight(font, size);
  const int cellHeight = lineHeight + 2 * outline;
  std::vector<Cell> cells;
  int x = 0, y = 0;
  for (char c = 32; c < 127; ++c) {
    int width = gen.Text().Render(font, size, static_cast<char32_t>(c)).advance + 2 * outline;
    if (x + width > sheetWidth) {
      x = 0;
      y += cellHeight + 1;
    }
    cells.push_back(Cell{c, x, y, width, cellHeight});
    x += width + 1;
  }
  Canvas canvas(sheetWidth, y + cellHeight);

  for (const Cell& cell : cells) {
    GlyphBitmap g = gen.Text().Render(font, size, static_cast<char32_t>(cell.character));
    int ox = cell.x + outline + g.left - outline, oy = cell.y + outline + g.top - outline;
    std::vector<uint8_t> rim = Dilate(g, outline, g.width + 2 * outline, g.rows + 2 * outline);
    for (int r = 0; r < g.rows + 2 * outline; ++r)
      for (int c = 0; c < g.width + 2 * outline; ++c) {
        int px = ox + c, py = oy + r;
        if (px < cell.x || px >= cell.x + cell.width || py < cell.y || py >= cell.y + cell.height) continue;
        canvas.Blend(px, py, edge, rim[static_cast<size_t>(r) * (g.width + 2 * outline) + c] / 255.0);
      }
    for (int r = 0; r < g.rows; ++r)
      for (int c = 0; c < g.width; ++c) {
        int px = ox + outline + c, py = oy + outline + r;
        if (px < cell.x || px >= cell.x + cell.width || py < cell.y || py >= cell.y + cell.height) continue;
        canvas.Blend(px, py, fill, g.coverage[static_cast<size_t>(r) * g.width + c] / 255.0);
      }
  }
  WriteImage(gen.OutputPath(imagePath), canvas);
  gen.AddImage(imagePath, std::move(canvas));

  TiXmlDocument doc;
  auto* root = new TiXmlElement("Imageset");
  root->SetAttribute("Name", name);
  root->SetAttribute("Imagefile", FileNameOf(imagePath));
  for (const Cell& cell : cells) {
    auto* image = new TiXmlElement("Image");
    image->SetAttribute("Name", std::string(1, cell.character));
    image->SetAttribute("XPos", cell.x);
    image->SetAttribute("YPos", cell.y);
    image->SetAttribute("Width", cell.width);
    image->SetAttribute("Height", cell.height);
    image->SetAttribute("YOffset", 0);
    root->LinkEndChild(image);
  }
  doc.LinkEndChild(root);
  if (!doc.SaveFile(gen.OutputPath(recipe.Output()))) h.Fail("the imageset could not be written");
}

}  // namespace assetgen
