// Text drawn with FreeType from the game's own font files, so pictures use the game's letters.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "Canvas.h"

namespace assetgen {

// The coverage of one rendered character and where it sits relative to the pen and the line top.
struct GlyphBitmap {
  int width = 0, rows = 0;
  int left = 0;     // from the pen to the bitmap's left edge
  int top = 0;      // from the line top to the bitmap's top edge
  int advance = 0;  // pen movement in pixels
  std::vector<uint8_t> coverage;
};

class TextRenderer {
 public:
  // Fonts are looked up by file name in `fontDir`.
  explicit TextRenderer(std::string fontDir);
  ~TextRenderer();
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  GlyphBitmap Render(const std::string& font, int pixelSize, char32_t character);
  int LineHeight(const std::string& font, int pixelSize);
  int Measure(const std::string& font, int pixelSize, const std::string& utf8);
  // Draws UTF-8 text with the line's top at y; `x` is the left edge of the text.
  void Draw(Canvas& canvas, const std::string& font, int pixelSize, double x, double y, Colour colour,
            const std::string& utf8);

 private:
  FT_Face Face(const std::string& font, int pixelSize);

  std::string fontDir_;
  FT_Library library_ = nullptr;
  std::map<std::string, std::pair<std::vector<unsigned char>, FT_Face>> faces_;
};

std::u32string DecodeUtf8(const std::string& text);

}  // namespace assetgen
