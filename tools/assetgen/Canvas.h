// An RGBA picture in memory with anti-aliased flat shapes drawn "over" what is there.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Recipe.h"

namespace assetgen {

struct Point {
  double x = 0, y = 0;
};

class Canvas {
 public:
  Canvas(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<uint8_t>& Pixels() const { return pixels_; }  // RGBA rows, top row first
  std::vector<uint8_t>& Pixels() { return pixels_; }

  Colour At(int x, int y) const;
  void Set(int x, int y, Colour c);
  // Composites `c` over the pixel with the given coverage (0..1).
  void Blend(int x, int y, Colour c, double coverage);

  void Fill(Colour c);
  void VerticalGradient(Colour top, Colour bottom);
  void Rect(double x, double y, double w, double h, double radius, Colour c);
  void Frame(double x, double y, double w, double h, double radius, double thickness, Colour c);
  void Circle(double cx, double cy, double r, Colour c);
  void Ring(double cx, double cy, double r, double thickness, Colour c);
  void Polygon(const std::vector<Point>& points, Colour c);
  // Copies another canvas over this one with its top-left at (x, y), scaled by `scale`,
  // sampling the nearest source pixel; used for thumbnails.
  void Paste(const Canvas& source, int x, int y, double scale);

 private:
  // Blends `c` wherever the signed distance (negative inside) says the shape covers the pixel.
  void FillDistance(double left, double top, double right, double bottom, Colour c,
                    const std::function<double(double, double)>& distance);

  int width_, height_;
  std::vector<uint8_t> pixels_;
};

}  // namespace assetgen
