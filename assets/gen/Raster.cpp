#include "Raster.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace art {

Col Hex(uint32_t rgb) {
  return {static_cast<float>((rgb >> 16) & 255) / 255.f,
          static_cast<float>((rgb >> 8) & 255) / 255.f, static_cast<float>(rgb & 255) / 255.f};
}
Col Mix(Col a, Col b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Col Scale(Col c, float k) {
  return {c.r * k, c.g * k, c.b * k};
}
Col Add(Col a, Col b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Affine Affine::Rotate(double radians) {
  const double c = std::cos(radians), s = std::sin(radians);
  return {c, s, -s, c, 0, 0};
}

Affine Affine::Then(const Affine& n) const {
  return {n.a * a + n.c * b, n.b * a + n.d * b,       n.a * c + n.c * d,
          n.b * c + n.d * d, n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
}

Paint Vertical(Col top, Col bottom, double y0, double h) {
  return [=](double, double y) {
    return Mix(top, bottom, static_cast<float>(std::clamp((y - y0) / h, 0.0, 1.0)));
  };
}

// ---- Path ----

Pt Path::Last() const {
  if (contours.empty() || contours.back().empty()) return {};
  return contours.back().back();
}

Path& Path::MoveTo(double x, double y) {
  contours.push_back({{x, y}});
  return *this;
}

Path& Path::LineTo(double x, double y) {
  if (contours.empty()) contours.emplace_back();
  contours.back().push_back({x, y});
  return *this;
}

Path& Path::QuadTo(double cx, double cy, double x, double y) {
  const Pt p0 = Last();
  constexpr int kSteps = 16;
  for (int i = 1; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps, u = 1 - t;
    LineTo(u * u * p0.x + 2 * u * t * cx + t * t * x, u * u * p0.y + 2 * u * t * cy + t * t * y);
  }
  return *this;
}

Path& Path::CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
  const Pt p0 = Last();
  constexpr int kSteps = 24;
  for (int i = 1; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    LineTo(a * p0.x + b * c1x + c * c2x + d * x, a * p0.y + b * c1y + c * c2y + d * y);
  }
  return *this;
}

Path& Path::Close() {
  // Contours are always treated as closed; a new one starts at the next MoveTo.
  return *this;
}

Path& Path::Rect(double x, double y, double w, double h) {
  return MoveTo(x, y).LineTo(x + w, y).LineTo(x + w, y + h).LineTo(x, y + h).Close();
}

Path& Path::RoundRect(double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  constexpr double k = 0.5523;  // cubic approximation of a quarter circle
  MoveTo(x + r, y).LineTo(x + w - r, y);
  CubicTo(x + w - r + k * r, y, x + w, y + r - k * r, x + w, y + r);
  LineTo(x + w, y + h - r);
  CubicTo(x + w, y + h - r + k * r, x + w - r + k * r, y + h, x + w - r, y + h);
  LineTo(x + r, y + h);
  CubicTo(x + r - k * r, y + h, x, y + h - r + k * r, x, y + h - r);
  LineTo(x, y + r);
  CubicTo(x, y + r - k * r, x + r - k * r, y, x + r, y);
  return Close();
}

Path& Path::Ellipse(double cx, double cy, double rx, double ry) {
  const int n = std::clamp(static_cast<int>(std::max(rx, ry) * 4), 24, 256);
  contours.emplace_back();
  for (int i = 0; i < n; ++i) {
    const double t = 2 * M_PI * i / n;
    contours.back().push_back({cx + rx * std::cos(t), cy + ry * std::sin(t)});
  }
  return *this;
}

Path& Path::Polygon(const std::vector<Pt>& pts) {
  contours.push_back(pts);
  return *this;
}

Path Path::Transformed(const Affine& m) const {
  Path out;
  for (const auto& c : contours) {
    out.contours.emplace_back();
    for (const Pt& p : c) out.contours.back().push_back(m.Apply(p));
  }
  return out;
}

// ---- Rasterizer ----

namespace {

constexpr int kSub = 16;  // sub-scanlines per pixel row

struct Edge {
  double x0, y0, x1, y1;
  int dir;
};

void AddSpan(float* row, int w, double xa, double xb, float weight) {
  xa = std::max(xa, 0.0);
  xb = std::min(xb, static_cast<double>(w));
  if (xb <= xa) return;
  const int ia = static_cast<int>(xa), ib = static_cast<int>(xb);
  if (ia == ib) {
    row[ia] += static_cast<float>(xb - xa) * weight;
    return;
  }
  row[ia] += static_cast<float>(ia + 1 - xa) * weight;
  for (int i = ia + 1; i < ib; ++i) row[i] += weight;
  if (ib < w) row[ib] += static_cast<float>(xb - ib) * weight;
}

}  // namespace

std::vector<float> Rasterize(const Path& path, int w, int h) {
  std::vector<float> cov(static_cast<size_t>(w) * h, 0.f);
  std::vector<Edge> edges;
  double ymin = 1e30, ymax = -1e30;
  for (const auto& c : path.contours) {
    if (c.size() < 3) continue;
    for (size_t i = 0; i < c.size(); ++i) {
      const Pt a = c[i], b = c[(i + 1) % c.size()];
      if (a.y == b.y) continue;
      if (a.y < b.y)
        edges.push_back({a.x, a.y, b.x, b.y, 1});
      else
        edges.push_back({b.x, b.y, a.x, a.y, -1});
      ymin = std::min({ymin, a.y, b.y});
      ymax = std::max({ymax, a.y, b.y});
    }
  }
  if (edges.empty()) return cov;
  const int y0 = std::max(0, static_cast<int>(std::floor(ymin)));
  const int y1 = std::min(h - 1, static_cast<int>(std::ceil(ymax)));
  std::vector<std::pair<double, int>> xs;
  const float weight = 1.f / kSub;
  for (int y = y0; y <= y1; ++y) {
    float* row = &cov[static_cast<size_t>(y) * w];
    for (int s = 0; s < kSub; ++s) {
      const double sy = y + (s + 0.5) / kSub;
      xs.clear();
      for (const Edge& e : edges) {
        if (sy < e.y0 || sy >= e.y1) continue;
        xs.push_back({e.x0 + (sy - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
      }
      std::sort(xs.begin(), xs.end());
      int wind = 0;
      for (size_t i = 0; i + 1 < xs.size(); ++i) {
        wind += xs[i].second;
        if (wind != 0) AddSpan(row, w, xs[i].first, xs[i + 1].first, weight);
      }
    }
    for (int x = 0; x < w; ++x) row[x] = std::min(row[x], 1.f);
  }
  return cov;
}

// ---- Canvas ----

namespace {

// Coverage of a path over just the part of a w x h area its outline can touch.
struct Patch {
  int x = 0, y = 0, w = 0, h = 0;
  std::vector<float> cov;
};

Patch Cover(const Path& path, int w, int h) {
  double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30;
  for (const auto& c : path.contours)
    for (const Pt& p : c) {
      x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
      x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
  Patch out;
  out.x = std::clamp(static_cast<int>(std::floor(x0)), 0, w);
  out.y = std::clamp(static_cast<int>(std::floor(y0)), 0, h);
  out.w = std::clamp(static_cast<int>(std::ceil(x1)) + 1, 0, w) - out.x;
  out.h = std::clamp(static_cast<int>(std::ceil(y1)) + 1, 0, h) - out.y;
  if (out.w <= 0 || out.h <= 0) {
    out.w = out.h = 0;
    return out;
  }
  out.cov = Rasterize(path.Transformed(Affine::Translate(-out.x, -out.y)), out.w, out.h);
  return out;
}

}  // namespace

Canvas::Canvas(int w, int h)
    : w_(w), h_(h), px_(static_cast<size_t>(w) * h), alpha_(static_cast<size_t>(w) * h, 0.f) {}

Canvas::Canvas(int w, int h, Col fill)
    : w_(w),
      h_(h),
      px_(static_cast<size_t>(w) * h, fill),
      alpha_(static_cast<size_t>(w) * h, 1.f) {}

void Canvas::BlendPixel(int x, int y, Col c, float coverage) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_ || coverage <= 0) return;
  const size_t i = static_cast<size_t>(y) * w_ + x;
  if (!clip_.empty()) coverage *= clip_[i];
  coverage = std::min(coverage, 1.f);
  px_[i] = Mix(px_[i], c, coverage);
  alpha_[i] = alpha_[i] + coverage * (1 - alpha_[i]);
}

void Canvas::Blend(const std::vector<float>& coverage, const Paint& paint, float opacity) {
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      const float c = coverage[static_cast<size_t>(y) * w_ + x];
      if (c > 0) BlendPixel(x, y, paint(x + 0.5, y + 0.5), c * opacity);
    }
  }
}

void Canvas::Fill(const Path& path, Col c, float opacity) {
  Fill(
      path, [c](double, double) { return c; }, opacity);
}

void Canvas::Fill(const Path& path, const Paint& paint, float opacity) {
  const Patch p = Cover(path, w_, h_);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      const float c = p.cov[static_cast<size_t>(y) * p.w + x];
      if (c > 0) BlendPixel(p.x + x, p.y + y, paint(p.x + x + 0.5, p.y + y + 0.5), c * opacity);
    }
}

void Canvas::Stroke(const std::vector<Pt>& pts, double width, Col c, float opacity) {
  if (pts.empty()) return;
  std::vector<float> cov(static_cast<size_t>(w_) * h_, 0.f);
  const double r = width / 2;
  auto unite = [&](const Path& path) {
    const Patch p = Cover(path, w_, h_);
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x) {
        float& dst = cov[static_cast<size_t>(p.y + y) * w_ + p.x + x];
        dst = std::max(dst, p.cov[static_cast<size_t>(y) * p.w + x]);
      }
  };
  for (size_t i = 0; i < pts.size(); ++i) {
    unite(Path().Circle(pts[i].x, pts[i].y, r));
    if (i + 1 == pts.size()) break;
    const Pt a = pts[i], b = pts[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    if (len <= 0) continue;
    const double nx = -dy / len * r, ny = dx / len * r;
    unite(Path().Polygon(
        {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}));
  }
  Blend(
      cov, [c](double, double) { return c; }, opacity);
}

void Canvas::Line(double x0, double y0, double x1, double y1, double width, Col c, float opacity) {
  Stroke({{x0, y0}, {x1, y1}}, width, c, opacity);
}

void Canvas::ClipTo(const Path& path) {
  auto cov = Rasterize(path, w_, h_);
  if (!clip_.empty())
    for (size_t i = 0; i < cov.size(); ++i) cov[i] *= clip_[i];
  clip_ = std::move(cov);
}

void Canvas::Draw(const Canvas& src, double x, double y, double w, double h, float opacity) {
  if (w <= 0 || h <= 0 || src.w_ == 0 || src.h_ == 0) return;
  const double sx = src.w_ / w, sy = src.h_ / h;  // source pixels per destination pixel
  const int x0 = std::max(0, static_cast<int>(std::floor(x)));
  const int y0 = std::max(0, static_cast<int>(std::floor(y)));
  const int x1 = std::min(w_, static_cast<int>(std::ceil(x + w)));
  const int y1 = std::min(h_, static_cast<int>(std::ceil(y + h)));
  for (int dy = y0; dy < y1; ++dy) {
    for (int dx = x0; dx < x1; ++dx) {
      // Source rectangle under this destination pixel, clipped to the destination rect.
      const double ax = (std::max<double>(dx, x) - x) * sx,
                   bx = (std::min<double>(dx + 1, x + w) - x) * sx;
      const double ay = (std::max<double>(dy, y) - y) * sy,
                   by = (std::min<double>(dy + 1, y + h) - y) * sy;
      if (bx <= ax || by <= ay) continue;
      double r = 0, g = 0, b = 0, a = 0, area = 0;
      for (int py = static_cast<int>(ay); py < std::min<double>(by, src.h_); ++py) {
        const double hy = std::min<double>(py + 1, by) - std::max<double>(py, ay);
        for (int px = static_cast<int>(ax); px < std::min<double>(bx, src.w_); ++px) {
          const double wx = std::min<double>(px + 1, bx) - std::max<double>(px, ax);
          const double wgt = wx * hy;
          const size_t i = static_cast<size_t>(py) * src.w_ + px;
          const double al = src.alpha_[i];
          r += src.px_[i].r * al * wgt;
          g += src.px_[i].g * al * wgt;
          b += src.px_[i].b * al * wgt;
          a += al * wgt;
          area += wgt;
        }
      }
      if (a <= 0 || area <= 0) continue;
      const Col c{static_cast<float>(r / a), static_cast<float>(g / a), static_cast<float>(b / a)};
      const double pixelPart = (bx - ax) * (by - ay) / (sx * sy);  // part of this pixel covered
      BlendPixel(dx, dy, c, static_cast<float>(a / area * pixelPart) * opacity);
    }
  }
}

void Canvas::Harden() {
  for (size_t i = 0; i < px_.size(); ++i) {
    if (alpha_[i] >= 0.5f) {
      // Colour was blended over black, so dividing by the coverage restores it in full.
      px_[i] = Scale(px_[i], 1.f / alpha_[i]);
      alpha_[i] = 1.f;
    } else {
      px_[i] = {};
      alpha_[i] = 0.f;
    }
  }
}

std::vector<uint32_t> Canvas::ToRgb() const {
  std::vector<uint32_t> out(px_.size());
  auto q = [](float v) {
    return static_cast<uint32_t>(std::lround(std::clamp(v, 0.f, 1.f) * 255.f));
  };
  for (size_t i = 0; i < px_.size(); ++i)
    out[i] = (q(px_[i].r) << 16) | (q(px_[i].g) << 8) | q(px_[i].b);
  return out;
}

bool WritePng(const std::string& path, const std::vector<uint32_t>& rgb, int w, int h,
              const std::vector<uint8_t>& alpha) {
  const size_t channels = alpha.size() == rgb.size() ? 4 : 3;
  std::vector<unsigned char> bytes(rgb.size() * channels);
  for (size_t i = 0; i < rgb.size(); ++i) {
    bytes[i * channels] = static_cast<unsigned char>(rgb[i] >> 16);
    bytes[i * channels + 1] = static_cast<unsigned char>(rgb[i] >> 8);
    bytes[i * channels + 2] = static_cast<unsigned char>(rgb[i]);
    if (channels == 4) bytes[i * channels + 3] = alpha[i];
  }
  const int stride = w * static_cast<int>(channels);
  if (!stbi_write_png(path.c_str(), w, h, static_cast<int>(channels), bytes.data(), stride)) {
    std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WritePng(const std::string& path, const Canvas& c) {
  return WritePng(path, c.ToRgb(), c.W(), c.H());
}

}  // namespace art
