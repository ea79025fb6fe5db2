// Picture recipes: "[image out w h]" draws one picture; "[digits out{d}.png w h]" draws the ten
// digit pictures of a number style, with "{d}" in the name and in texts replaced by each digit.
#include <cmath>
#include <functional>
#include <map>

#include <stb/stb_image_write.h>

#include "Generator.h"

namespace assetgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

Colour Mix(Colour a, Colour b, double t) {
  auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
  return Colour{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), a.a};
}

std::string Substitute(std::string text, const std::string& digit) {
  for (size_t at = text.find("{d}"); at != std::string::npos; at = text.find("{d}"))
    text.replace(at, 3, digit);
  return text;
}

// A game block: a rounded square with a darker rim, a lighter top and a small gloss,
// so the five colours read clearly at board size.
void DrawBlock(Canvas& c, double x, double y, double size, Colour colour) {
  double radius = size * 0.2;
  c.Rect(x, y, size, size, radius, Mix(colour, Colour{0, 0, 0, 255}, 0.3));
  double inset = std::max(1.0, size * 0.07);
  c.Rect(x + inset, y + inset, size - 2 * inset, size - 2 * inset, radius - inset, colour);
  Colour light = Mix(colour, Colour{255, 255, 255, 255}, 0.35);
  c.Rect(x + inset * 1.8, y + inset * 1.6, size - inset * 3.6, size * 0.32, radius * 0.6, light);
  Colour gloss{255, 255, 255, 150};
  c.Circle(x + size * 0.28, y + size * 0.28, size * 0.07, gloss);
}

std::vector<Point> StarPoints(double cx, double cy, double r, double inner, int points) {
  std::vector<Point> out;
  for (int i = 0; i < points * 2; ++i) {
    double radius = i % 2 == 0 ? r : r * inner;
    double angle = -kPi / 2 + i * kPi / points;
    out.push_back(Point{cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
  }
  return out;
}

using Operation = std::function<void(Generator&, Canvas&, const RecipeLine&, const std::string&)>;

const std::map<std::string, Operation>& Operations() {
  static const std::map<std::string, Operation> ops = {
      {"fill", [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) { c.Fill(l.ColourAt(1)); }},
      {"gradient",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) { c.VerticalGradient(l.ColourAt(1), l.ColourAt(2)); }},
      {"rect",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) {
         c.Rect(l.Number(1), l.Number(2), l.Number(3), l.Number(4), l.Option("r", 0.0), l.ColourAt(5));
       }},
      {"frame",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) {
         c.Frame(l.Number(1), l.Number(2), l.Number(3), l.Number(4), l.Option("r", 0.0), l.Number(5), l.ColourAt(6));
       }},
      {"circle",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) {
         c.Circle(l.Number(1), l.Number(2), l.Number(3), l.ColourAt(4));
       }},
      {"ring",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) {
         c.Ring(l.Number(1), l.Number(2), l.Number(3), l.Number(4), l.ColourAt(5));
       }},
      {"poly",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) {
         if (l.Count() < 8 || (l.Count() - 2) % 2 != 0) l.Fail("poly needs a colour and at least three x y pairs");
         std::vector<Point> points;
         for (size_t i = 2; i + 1 < l.Count(); i += 2) points.push_back(Point{l.Number(i), l.Number(i + 1)});
         c.Polygon(points, l.ColourAt(1));
       }},
      {"star",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) {
         c.Polygon(StarPoints(l.Number(1), l.Number(2), l.Number(3), l.Option("inner", 0.45),
                              static_cast<int>(l.Option("points", 5.0))),
                   l.ColourAt(4));
       }},
      {"block",
       [](Generator&, Canvas& c, const RecipeLine& l, const std::string&) {
         DrawBlock(c, l.Number(1), l.Number(2), l.Number(3), l.ColourAt(4));
       }},
      {"text",
       [](Generator& gen, Canvas& c, const RecipeLine& l, const std::string& digit) {
         std::string font = l.Option("font", std::string("quiblyenglish.ttf"));
         int size = l.Integer(3);
         std::string text = Substitute(l.Text(5), digit);
         std::string align = l.Option("align", std::string("left"));
         double x = l.Number(1);
         int width = gen.Text().Measure(font, size, text);
         if (align == "center") x -= width / 2.0;
         else if (align == "right") x -= width;
         else if (align != "left") l.Fail("align is left, center or right");
         // A text that runs past the picture would be cut at its edge on screen: refuse it here,
         // so the recipe gets a smaller size, a shorter text or a wider picture.
         if (x < 0 || x + width > c.Width())
           l.Fail("text \"" + text + "\" is " + std::to_string(width) + " pixels wide and runs past the " +
                  std::to_string(c.Width()) + "-pixel picture");
         if (l.Has("shadow"))
           gen.Text().Draw(c, font, size, x + 2, l.Number(2) + 2, l.Option("shadow", Colour{}), text);
         gen.Text().Draw(c, font, size, x, l.Number(2), l.ColourAt(4), text);
       }},
  };
  return ops;
}

}  // namespace

void DrawOperations(Generator& gen, Canvas& canvas, const std::vector<RecipeLine>& lines, const std::string& digit) {
  for (const RecipeLine& line : lines) {
    auto it = Operations().find(line.Text(0));
    if (it == Operations().end()) line.Fail("unknown picture operation '" + line.Text(0) + "'");
    it->second(gen, canvas, line, digit);
  }
}

void WriteImage(const std::string& path, const Canvas& canvas) {
  std::string ext = LowerCase(path.substr(path.find_last_of('.') + 1));
  int ok = 0;
  if (ext == "png") {
    ok = stbi_write_png(path.c_str(), canvas.Width(), canvas.Height(), 4, canvas.Pixels().data(), canvas.Width() * 4);
  } else if (ext == "tga") {
    stbi_write_tga_with_rle = 0;
    ok = stbi_write_tga(path.c_str(), canvas.Width(), canvas.Height(), 4, canvas.Pixels().data());
  } else if (ext == "bmp") {
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(canvas.Width()) * canvas.Height() * 3);
    for (size_t i = 0; i < canvas.Pixels().size(); i += 4)
      rgb.insert(rgb.end(), canvas.Pixels().begin() + i, canvas.Pixels().begin() + i + 3);
    ok = stbi_write_bmp(path.c_str(), canvas.Width(), canvas.Height(), 3, rgb.data());
  } else {
    throw RecipeError(path + ": pictures are written as .tga, .png or .bmp");
  }
  if (!ok) throw RecipeError(path + ": could not be written");
}

static Canvas NewCanvas(const RecipeLine& header) {
  int width = header.Integer(2), height = header.Integer(3);
  if (width < 1 || height < 1 || width > 4096 || height > 4096) header.Fail("a picture is 1 to 4096 pixels a side");
  return Canvas(width, height);
}

void MakeImage(Generator& gen, const Recipe& recipe) {
  Canvas canvas = NewCanvas(recipe.header);
  DrawOperations(gen, canvas, recipe.lines);
  WriteImage(gen.OutputPath(recipe.Output()), canvas);
  gen.AddImage(recipe.Output(), std::move(canvas));
}

void MakeDigits(Generator& gen, const Recipe& recipe) {
  if (recipe.Output().find("{d}") == std::string::npos) recipe.header.Fail("a digits output name holds {d}");
  for (int d = 0; d <= 9; ++d) {
    std::string digit = std::to_string(d);
    Canvas canvas = NewCanvas(recipe.header);
    DrawOperations(gen, canvas, recipe.lines, digit);
    std::string output = Substitute(recipe.Output(), digit);
    WriteImage(gen.OutputPath(output), canvas);
    gen.AddImage(output, std::move(canvas));
  }
}

}  // namespace assetgen
