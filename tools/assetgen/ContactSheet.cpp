#include "ContactSheet.h"

#include <algorithm>

namespace assetgen {

namespace {
constexpr int kColumns = 8;
constexpr int kCellWidth = 160;
constexpr int kCellHeight = 140;
constexpr int kThumbWidth = 150;
constexpr int kThumbHeight = 112;
constexpr int kLabelSize = 11;
const char* kLabelFont = "quiblyenglish.ttf";

// A checkerboard behind each thumbnail shows which parts of a picture are transparent.
void Checker(Canvas& sheet, int x, int y, int w, int h) {
  for (int dy = 0; dy < h; ++dy)
    for (int dx = 0; dx < w; ++dx) {
      bool dark = ((dx / 8) + (dy / 8)) % 2 == 0;
      sheet.Set(x + dx, y + dy, dark ? Colour{200, 200, 205, 255} : Colour{235, 235, 240, 255});
    }
}

std::string Shorten(TextRenderer& text, std::string label) {
  while (label.size() > 4 && text.Measure(kLabelFont, kLabelSize, label) > kCellWidth - 6)
    label = label.substr(0, label.size() - 4) + "..";
  return label;
}
}  // namespace

void WriteContactSheet(Generator& gen, const std::string& path) {
  const auto& images = gen.Images();
  int rows = std::max<int>(1, (static_cast<int>(images.size()) + kColumns - 1) / kColumns);
  Canvas sheet(kColumns * kCellWidth, rows * kCellHeight);
  sheet.Fill(Colour{250, 250, 252, 255});
  for (size_t i = 0; i < images.size(); ++i) {
    const Canvas& picture = images[i].canvas;
    int cellX = static_cast<int>(i % kColumns) * kCellWidth, cellY = static_cast<int>(i / kColumns) * kCellHeight;
    double scale = std::min({1.0, static_cast<double>(kThumbWidth) / picture.Width(),
                             static_cast<double>(kThumbHeight) / picture.Height()});
    int w = std::max(1, static_cast<int>(picture.Width() * scale));
    int h = std::max(1, static_cast<int>(picture.Height() * scale));
    int x = cellX + (kCellWidth - w) / 2, y = cellY + 4 + (kThumbHeight - h) / 2;
    Checker(sheet, x, y, w, h);
    sheet.Paste(picture, x, y, scale);
    std::string label = Shorten(gen.Text(), FileNameOf(images[i].output));
    int labelWidth = gen.Text().Measure(kLabelFont, kLabelSize, label);
    gen.Text().Draw(sheet, kLabelFont, kLabelSize, cellX + (kCellWidth - labelWidth) / 2.0, cellY + kThumbHeight + 8,
                    Colour{30, 30, 40, 255}, label);
  }
  WriteImage(path, sheet);
}

}  // namespace assetgen
