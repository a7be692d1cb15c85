#include "Figures.h"

#include <cmath>

namespace art {

namespace {

Pt Step(Pt from, double angleDeg, double len) {
  const double a = angleDeg * M_PI / 180;
  return {from.x + std::sin(a) * len, from.y + std::cos(a) * len};
}

}  // namespace

void DrawPlayer(Canvas& c, double x, double y, double s, const Pose& p, const Kit& kit) {
  const Pt hip{x, y};
  const Pt neck = Step(hip, p.torso, s);
  const Pt shoulder = Step(hip, p.torso, s * 0.88);
  const double limb = s * 0.19, thigh = s * 0.25;
  auto leg = [&](double a1, double a2) {
    const Pt knee = Step(hip, a1, s * 0.55), foot = Step(knee, a2, s * 0.55);
    c.Stroke({hip, knee}, thigh, kit.skin);
    c.Stroke({knee, foot}, limb, kit.socks);
    c.Stroke({hip, Step(hip, a1, s * 0.22)}, thigh * 1.25, kit.shorts);
  };
  auto arm = [&](double a1, double a2) {
    const Pt elbow = Step(shoulder, a1, s * 0.42), hand = Step(elbow, a2, s * 0.38);
    c.Stroke({shoulder, elbow}, limb * 0.95, kit.shirt);
    c.Stroke({elbow, hand}, limb * 0.8, kit.skin);
  };
  leg(p.backThigh, p.backShin);
  arm(p.backArm, p.backForearm);
  c.Stroke({Step(hip, p.torso, s * 0.1), shoulder}, s * 0.42, kit.shirt);
  c.Stroke({hip, Step(hip, p.torso, s * 0.12)}, s * 0.36, kit.shorts);
  c.Fill(Path().Circle(Step(neck, p.torso, s * 0.2).x, Step(neck, p.torso, s * 0.2).y, s * 0.2),
         kit.skin);
  leg(p.frontThigh, p.frontShin);
  arm(p.frontArm, p.frontForearm);
}

Path Star(double cx, double cy, double r, double inner) {
  std::vector<Pt> pts;
  for (int i = 0; i < 10; ++i) {
    const double a = M_PI * i / 5, rr = i % 2 ? r * inner : r;
    pts.push_back({cx + rr * std::sin(a), cy - rr * std::cos(a)});
  }
  return Path().Polygon(pts);
}

void DrawTeamPlayer(Canvas& c, double x, double y, double h, bool crouching, const Kit& kit,
                    Col hair) {
  const double head = h * 0.075;  // head radius
  const double sw = h * 0.17;     // half shoulder width
  const double neckY = y + head * 2.1;
  const double waistY = neckY + h * 0.30;
  // Arms hang beside the body (crossed behind the back when standing: only shoulders show).
  c.Fill(Path().RoundRect(x - sw, neckY, sw * 2, waistY - neckY + h * 0.02, h * 0.05), kit.shirt);
  c.Fill(Path().Polygon({{x - sw, neckY + 1},
                         {x - sw - h * 0.05, neckY + h * 0.12},
                         {x - sw + h * 0.02, neckY + h * 0.14}}),
         kit.shirt);
  c.Fill(Path().Polygon({{x + sw, neckY + 1},
                         {x + sw + h * 0.05, neckY + h * 0.12},
                         {x + sw - h * 0.02, neckY + h * 0.14}}),
         kit.shirt);
  // Collar.
  c.Fill(Path().Polygon({{x - h * 0.05, neckY}, {x + h * 0.05, neckY}, {x, neckY + h * 0.05}}),
         kit.shorts, 0.8f);
  if (crouching) {
    // Knees forward: shorts and bent legs, hands on the knees.
    const double kneeY = waistY + h * 0.13;
    c.Fill(Path().RoundRect(x - sw * 1.05, waistY - h * 0.02, sw * 2.1, h * 0.1, h * 0.03),
           kit.shorts);
    for (double side : {-1.0, 1.0}) {
      c.Line(x + side * sw * 0.55, waistY + h * 0.07, x + side * sw * 0.75, kneeY, h * 0.085,
             kit.skin);
      c.Line(x + side * sw * 0.75, kneeY, x + side * sw * 0.6, kneeY + h * 0.13, h * 0.08,
             kit.socks);
      c.Fill(Path().Circle(x + side * sw * 0.8, kneeY - h * 0.01, h * 0.04), kit.skin);
    }
  } else {
    c.Fill(Path().RoundRect(x - sw * 0.95, waistY - h * 0.02, sw * 1.9, h * 0.16, h * 0.03),
           kit.shorts);
    for (double side : {-1.0, 1.0}) {
      c.Line(x + side * sw * 0.5, waistY + h * 0.14, x + side * sw * 0.55, waistY + h * 0.3,
             h * 0.085, kit.skin);
      c.Line(x + side * sw * 0.55, waistY + h * 0.3, x + side * sw * 0.58, y + h - h * 0.03,
             h * 0.08, kit.socks);
      c.Line(x + side * sw * 0.58, y + h - h * 0.03, x + side * sw * 0.85, y + h - h * 0.02,
             h * 0.05, Hex(0x1a1a1a));
    }
  }
  // Head with hair.
  c.Fill(Path().Rect(x - head * 0.4, y + head * 1.6, head * 0.8, head * 0.7), kit.skin);
  c.Fill(Path().Circle(x, y + head, head), kit.skin);
  c.Fill(Path().Ellipse(x, y + head * 0.45, head * 1.0, head * 0.5), hair);
  // Eyes and a smile, just enough to read as a face.
  c.Fill(Path().Circle(x - head * 0.35, y + head * 1.05, head * 0.13), Hex(0x1a1410), 0.8f);
  c.Fill(Path().Circle(x + head * 0.35, y + head * 1.05, head * 0.13), Hex(0x1a1410), 0.8f);
  c.Line(x - head * 0.3, y + head * 1.45, x + head * 0.3, y + head * 1.45, head * 0.14,
         Hex(0x5a2a1a), 0.6f);
}

}  // namespace art
