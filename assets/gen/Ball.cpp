// The football: a truncated icosahedron blown up to a sphere, shaded by one light from
// the upper left. Each point of the sphere belongs to the face whose plane the ray from
// the centre meets first; pentagons are black, hexagons white, seams dark.
#include <array>
#include <cmath>

#include "Art.h"

namespace art {

namespace {

struct V3 {
  double x, y, z;
};
V3 Norm(V3 v) {
  const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / l, v.y / l, v.z / l};
}
double Dot(V3 a, V3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 Cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Rodrigues rotation of v about unit axis k.
V3 Rotate(V3 v, V3 k, double t) {
  const double c = std::cos(t), s = std::sin(t);
  const V3 kv = Cross(k, v);
  const double kd = Dot(k, v) * (1 - c);
  return {v.x * c + kv.x * s + k.x * kd, v.y * c + kv.y * s + k.y * kd,
          v.z * c + kv.z * s + k.z * kd};
}

struct Face {
  V3 n;
  double inv;  // 1 / distance of the face's plane from the centre
  bool pentagon;
};

std::vector<Face> Faces() {
  const double p = (1 + std::sqrt(5.0)) / 2, q = 1 / p;
  // Plane distances of a truncated icosahedron with unit edges.
  const double pent = 2.32744, hex = 2.26728;
  std::vector<Face> f;
  for (int s1 : {-1, 1})
    for (int s2 : {-1, 1}) {
      for (V3 v : {V3{0, 1.0 * s1, p * s2}, V3{1.0 * s1, p * s2, 0}, V3{p * s2, 0, 1.0 * s1}})
        f.push_back({Norm(v), 1 / pent, true});
      for (V3 v : {V3{q * s1, 0, p * s2}, V3{0, p * s1, q * s2}, V3{p * s1, q * s2, 0}})
        f.push_back({Norm(v), 1 / hex, false});
    }
  for (int sx : {-1, 1})
    for (int sy : {-1, 1})
      for (int sz : {-1, 1}) f.push_back({Norm({1.0 * sx, 1.0 * sy, 1.0 * sz}), 1 / hex, false});
  return f;
}

}  // namespace

void DrawBall(Canvas& c, double cx, double cy, double r, double spin) {
  static const std::vector<Face> faces = Faces();
  const double phi = (1 + std::sqrt(5.0)) / 2;
  const V3 bodyAxis = Norm({0, 1, phi});          // a pentagon's centre
  const V3 worldAxis = Norm({0.35, 0.85, 0.40});  // spin axis as seen (y up, z to viewer)
  // Fixed turn that carries the body's axis onto the world axis.
  const V3 k = Norm(Cross(bodyAxis, worldAxis));
  const double settle = std::acos(Dot(bodyAxis, worldAxis));
  const V3 light = Norm({-0.55, 0.6, 0.6});
  const double seam = std::min(0.03, 0.55 / r) * 0.5;  // about half a pixel wide

  constexpr int kS = 4;  // samples per pixel side
  const int x0 = static_cast<int>(std::floor(cx - r)), x1 = static_cast<int>(std::ceil(cx + r));
  const int y0 = static_cast<int>(std::floor(cy - r)), y1 = static_cast<int>(std::ceil(cy + r));
  for (int py = y0; py < y1; ++py) {
    for (int px = x0; px < x1; ++px) {
      Col sum{};
      int inside = 0;
      for (int sy = 0; sy < kS; ++sy) {
        for (int sx = 0; sx < kS; ++sx) {
          const double ux = (px + (sx + 0.5) / kS - cx) / r, uy = -(py + (sy + 0.5) / kS - cy) / r;
          const double d2 = ux * ux + uy * uy;
          if (d2 >= 1) continue;
          ++inside;
          const V3 n{ux, uy, std::sqrt(1 - d2)};
          // World point back to body: undo the spin, then the fixed turn.
          V3 v = Rotate(n, worldAxis, -spin);
          v = Rotate(v, k, -settle);
          double best = -1, second = -1;
          bool pent = false;
          for (const Face& f : faces) {
            const double m = Dot(v, f.n) * f.inv;
            if (m > best) {
              second = best;
              best = m;
              pent = f.pentagon;
            } else if (m > second) {
              second = m;
            }
          }
          Col base = pent ? Col{0.07f, 0.07f, 0.08f} : Col{0.96f, 0.96f, 0.94f};
          if (best - second < seam) base = Col{0.30f, 0.30f, 0.32f};
          const double diff = std::max(0.0, Dot(n, light));
          const V3 h = Norm({light.x, light.y, light.z + 1});
          const double shine = std::pow(std::max(0.0, Dot(n, h)), 30) * (pent ? 0.45 : 0.35);
          const double rim = 0.8 + 0.2 * n.z;
          const float lit = static_cast<float>((0.5 + 0.6 * diff) * rim);
          Col col = Scale(base, lit);
          col = Add(col, Col{static_cast<float>(shine), static_cast<float>(shine),
                             static_cast<float>(shine)});
          // A dark rim line gives the ball a clean edge against any background.
          if (d2 > (1 - 1.3 / r) * (1 - 1.3 / r)) col = Mix(col, Col{0.12f, 0.12f, 0.14f}, 0.65f);
          sum = Add(sum, col);
        }
      }
      if (inside)
        c.BlendPixel(px, py, Scale(sum, 1.f / inside), static_cast<float>(inside) / (kS * kS));
    }
  }
}

void PlaceSprite(Canvas& sheet, const Canvas& sprite, int x, int y, int maskOffset) {
  for (int sy = 0; sy < sprite.H(); ++sy) {
    for (int sx = 0; sx < sprite.W(); ++sx) {
      const bool opaque = sprite.Alpha(sx, sy) >= 0.5f;
      sheet.At(x + sx, y + sy) = opaque ? sprite.At(sx, sy) : Col{};
      sheet.At(x + sx, y + sy + maskOffset) = opaque ? Col{} : Col{1, 1, 1};
    }
  }
}

Canvas BallSheet() {
  Canvas sheet(210, 60, Col{});
  for (int i = 0; i < 7; ++i) {
    Canvas cell(30, 30);
    DrawBall(cell, 15, 15, 14.5, (2 * M_PI / 5) * i / 7);
    cell.Harden();
    PlaceSprite(sheet, cell, i * 30, 0, 30);
  }
  return sheet;
}

}  // namespace art
