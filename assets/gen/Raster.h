// A small vector rasterizer for the artwork generator: paths of straight and curved
// segments filled with exact horizontal and 16-fold vertical coverage, painted with a
// colour or a per-pixel shader, onto a float RGB canvas that also tracks how much of
// each pixel has been covered (so sprites get a hard, exact silhouette afterwards).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Col {
  float r = 0, g = 0, b = 0;
};

// 0xRRGGBB to a colour.
Col Hex(uint32_t rgb);
Col Mix(Col a, Col b, float t);  // t = 0 gives a, 1 gives b
Col Scale(Col c, float k);       // every channel times k (not clamped)
Col Add(Col a, Col b);

struct Pt {
  double x = 0, y = 0;
};

// Affine map: x' = a*x + c*y + e, y' = b*x + d*y + f.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  Pt Apply(Pt p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  static Affine Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
  static Affine ScaleXY(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  static Affine Rotate(double radians);
  Affine Then(const Affine& next) const;  // this first, then next
};

// Closed contours; curves are flattened as they are added. Filling uses the non-zero
// rule, so one contour may run either way round.
class Path {
 public:
  Path& MoveTo(double x, double y);
  Path& LineTo(double x, double y);
  Path& QuadTo(double cx, double cy, double x, double y);
  Path& CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
  Path& Close();
  Path& Rect(double x, double y, double w, double h);
  Path& RoundRect(double x, double y, double w, double h, double r);
  Path& Ellipse(double cx, double cy, double rx, double ry);
  Path& Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }
  Path& Polygon(const std::vector<Pt>& pts);
  Path Transformed(const Affine& m) const;

  std::vector<std::vector<Pt>> contours;

 private:
  Pt Last() const;
};

using Paint = std::function<Col(double x, double y)>;
// From `top` at y0 to `bottom` at y0 + h, flat beyond.
Paint Vertical(Col top, Col bottom, double y0, double h);

// Coverage of a path in [0, 1] per pixel, for a w x h area.
std::vector<float> Rasterize(const Path& path, int w, int h);

class Canvas {
 public:
  Canvas() = default;
  Canvas(int w, int h);            // transparent black: for sprites and overlays
  Canvas(int w, int h, Col fill);  // opaque background

  int W() const { return w_; }
  int H() const { return h_; }
  Col& At(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
  Col At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
  float Alpha(int x, int y) const { return alpha_[static_cast<size_t>(y) * w_ + x]; }

  void Fill(const Path& path, Col c, float opacity = 1);
  void Fill(const Path& path, const Paint& paint, float opacity = 1);
  // Blends per-pixel coverage (w*h values) with a paint.
  void Blend(const std::vector<float>& coverage, const Paint& paint, float opacity = 1);
  // One pixel, coverage in [0, 1].
  void BlendPixel(int x, int y, Col c, float coverage);

  // Round-capped strokes; overlapping pieces of one stroke do not darken each other.
  void Stroke(const std::vector<Pt>& pts, double width, Col c, float opacity = 1);
  void Line(double x0, double y0, double x1, double y1, double width, Col c, float opacity = 1);

  // Restricts later drawing to the inside of a path (intersected with any clip in force);
  // ClearClip lifts it.
  void ClipTo(const Path& path);
  void ClearClip() { clip_.clear(); }

  // Draws another canvas into the rectangle (x, y, w, h), averaging the source area under
  // each destination pixel (good for scaling down) and honouring its coverage.
  void Draw(const Canvas& src, double x, double y, double w, double h, float opacity = 1);
  void Draw(const Canvas& src, double x, double y) { Draw(src, x, y, src.W(), src.H()); }

  // Turns the covered part into an exact sprite: a pixel is inside when at least half of
  // it is covered; inside pixels get their own colour at full strength (no fringe against
  // the background), outside pixels become black and uncovered.
  void Harden();

  // 0xRRGGBB per pixel.
  std::vector<uint32_t> ToRgb() const;

 private:
  int w_ = 0, h_ = 0;
  std::vector<Col> px_;
  std::vector<float> alpha_;
  std::vector<float> clip_;
};

// Writes an RGB PNG, or an RGBA one when `alpha` holds one opacity (0 to 255) per pixel;
// false (with a message on stderr) when it cannot.
bool WritePng(const std::string& path, const std::vector<uint32_t>& rgb, int w, int h,
              const std::vector<uint8_t>& alpha = {});
bool WritePng(const std::string& path, const Canvas& c);

}  // namespace art
