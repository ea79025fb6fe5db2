#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height * 4, 0) {}

Colour Canvas::At(int x, int y) const {
  const uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
  return Colour{p[0], p[1], p[2], p[3]};
}

void Canvas::Set(int x, int y, Colour c) {
  uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
  p[3] = c.a;
}

void Canvas::Blend(int x, int y, Colour c, double coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
  double srcA = c.a / 255.0 * std::min(coverage, 1.0);
  Colour d = At(x, y);
  double dstA = d.a / 255.0;
  double outA = srcA + dstA * (1 - srcA);
  if (outA <= 0) return;
  auto mix = [&](uint8_t s, uint8_t t) {
    double v = (s * srcA + t * dstA * (1 - srcA)) / outA;
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
  };
  Set(x, y, Colour{mix(c.r, d.r), mix(c.g, d.g), mix(c.b, d.b),
                   static_cast<uint8_t>(std::lround(outA * 255.0))});
}

void Canvas::Fill(Colour c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Set(x, y, c);
}

void Canvas::VerticalGradient(Colour top, Colour bottom) {
  for (int y = 0; y < height_; ++y) {
    double t = height_ > 1 ? static_cast<double>(y) / (height_ - 1) : 0;
    auto lerp = [t](uint8_t a, uint8_t b) { return static_cast<uint8_t>(std::lround(a + (b - a) * t)); };
    Colour c{lerp(top.r, bottom.r), lerp(top.g, bottom.g), lerp(top.b, bottom.b), lerp(top.a, bottom.a)};
    for (int x = 0; x < width_; ++x) Set(x, y, c);
  }
}

void Canvas::FillDistance(double left, double top, double right, double bottom, Colour c,
                          const std::function<double(double, double)>& distance) {
  int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1);
  int y0 = std::max(0, static_cast<int>(std::floor(top)) - 1);
  int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(right)) + 1);
  int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(bottom)) + 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      double d = distance(x + 0.5, y + 0.5);
      Blend(x, y, c, std::clamp(0.5 - d, 0.0, 1.0));
    }
}

// Signed distance to a rounded rectangle (negative inside).
static double RoundedRectDistance(double px, double py, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  double cx = x + w / 2, cy = y + h / 2;
  double qx = std::abs(px - cx) - (w / 2 - r);
  double qy = std::abs(py - cy) - (h / 2 - r);
  double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  double inside = std::min(std::max(qx, qy), 0.0);
  return outside + inside - r;
}

void Canvas::Rect(double x, double y, double w, double h, double radius, Colour c) {
  FillDistance(x, y, x + w, y + h, c,
               [=](double px, double py) { return RoundedRectDistance(px, py, x, y, w, h, radius); });
}

void Canvas::Frame(double x, double y, double w, double h, double radius, double thickness, Colour c) {
  FillDistance(x, y, x + w, y + h, c, [=](double px, double py) {
    double outer = RoundedRectDistance(px, py, x, y, w, h, radius);
    double inner = RoundedRectDistance(px, py, x + thickness, y + thickness, w - 2 * thickness,
                                       h - 2 * thickness, std::max(0.0, radius - thickness));
    return std::max(outer, -inner);
  });
}

void Canvas::Circle(double cx, double cy, double r, Colour c) {
  FillDistance(cx - r, cy - r, cx + r, cy + r, c,
               [=](double px, double py) { return std::hypot(px - cx, py - cy) - r; });
}

void Canvas::Ring(double cx, double cy, double r, double thickness, Colour c) {
  FillDistance(cx - r, cy - r, cx + r, cy + r, c, [=](double px, double py) {
    return std::abs(std::hypot(px - cx, py - cy) - (r - thickness / 2)) - thickness / 2;
  });
}

// Polygons of any shape: each pixel is sampled 4 x 4 times with the even-odd rule.
void Canvas::Polygon(const std::vector<Point>& points, Colour c) {
  if (points.size() < 3) return;
  double left = points[0].x, right = left, top = points[0].y, bottom = top;
  for (const Point& p : points) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  auto inside = [&](double px, double py) {
    bool in = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const Point& a = points[i];
      const Point& b = points[j];
      if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
  };
  int x0 = std::max(0, static_cast<int>(std::floor(left)));
  int y0 = std::max(0, static_cast<int>(std::floor(top)));
  int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(right)));
  int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(bottom)));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)) ++hits;
      Blend(x, y, c, hits / 16.0);
    }
}

void Canvas::Paste(const Canvas& source, int x, int y, double scale) {
  int w = static_cast<int>(source.Width() * scale);
  int h = static_cast<int>(source.Height() * scale);
  for (int dy = 0; dy < h; ++dy)
    for (int dx = 0; dx < w; ++dx) {
      int sx = std::min(source.Width() - 1, static_cast<int>(dx / scale));
      int sy = std::min(source.Height() - 1, static_cast<int>(dy / scale));
      Blend(x + dx, y + dy, source.At(sx, sy), 1.0);
    }
}

}  // namespace assetgen
