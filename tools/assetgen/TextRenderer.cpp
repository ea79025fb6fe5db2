#include "TextRenderer.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace assetgen {

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0)) throw std::runtime_error("text is not UTF-8: " + text);
    char32_t value = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    out += value;
    i += extra + 1;
  }
  return out;
}

TextRenderer::TextRenderer(std::string fontDir) : fontDir_(std::move(fontDir)) {
  if (FT_Init_FreeType(&library_) != 0) throw std::runtime_error("FreeType did not start");
}

TextRenderer::~TextRenderer() {
  for (auto& entry : faces_) FT_Done_Face(entry.second.second);
  FT_Done_FreeType(library_);
}

FT_Face TextRenderer::Face(const std::string& font, int pixelSize) {
  auto it = faces_.find(font);
  if (it == faces_.end()) {
    std::string path = fontDir_ + "/" + font;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("font not found: " + path);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    it = faces_.emplace(font, std::make_pair(std::move(bytes), nullptr)).first;
    auto& data = it->second.first;
    if (FT_New_Memory_Face(library_, data.data(), static_cast<FT_Long>(data.size()), 0, &it->second.second) != 0) {
      faces_.erase(it);
      throw std::runtime_error("font does not open: " + path);
    }
  }
  FT_Set_Pixel_Sizes(it->second.second, 0, static_cast<FT_UInt>(pixelSize));
  return it->second.second;
}

int TextRenderer::LineHeight(const std::string& font, int pixelSize) {
  FT_Face face = Face(font, pixelSize);
  return static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
}

GlyphBitmap TextRenderer::Render(const std::string& font, int pixelSize, char32_t character) {
  FT_Face face = Face(font, pixelSize);
  GlyphBitmap glyph;
  FT_UInt index = FT_Get_Char_Index(face, character);
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0 ||
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
    return glyph;
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.rows = static_cast<int>(bitmap.rows);
  glyph.left = face->glyph->bitmap_left;
  glyph.top = static_cast<int>(face->size->metrics.ascender >> 6) - face->glyph->bitmap_top;
  glyph.advance = static_cast<int>(face->glyph->advance.x >> 6);
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
  for (int r = 0; r < glyph.rows; ++r)
    for (int c = 0; c < glyph.width; ++c)
      glyph.coverage[static_cast<size_t>(r) * glyph.width + c] = bitmap.buffer[r * bitmap.pitch + c];
  return glyph;
}

int TextRenderer::Measure(const std::string& font, int pixelSize, const std::string& utf8) {
  int width = 0;
  for (char32_t c : DecodeUtf8(utf8)) width += Render(font, pixelSize, c).advance;
  return width;
}

void TextRenderer::Draw(Canvas& canvas, const std::string& font, int pixelSize, double x, double y,
                        Colour colour, const std::string& utf8) {
  int pen = static_cast<int>(x);
  for (char32_t c : DecodeUtf8(utf8)) {
    GlyphBitmap g = Render(font, pixelSize, c);
    for (int r = 0; r < g.rows; ++r)
      for (int col = 0; col < g.width; ++col)
        canvas.Blend(pen + g.left + col, static_cast<int>(y) + g.top + r, colour,
                     g.coverage[static_cast<size_t>(r) * g.width + col] / 255.0);
    pen += g.advance;
  }
}

}  // namespace assetgen
