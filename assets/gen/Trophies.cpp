// The two trophies. Both are drawn in design units (40 x 95 and 35 x 96) and scaled;
// gold is shaded as a vertical solid lit from the upper left.
#include <cmath>

#include "Art.h"

namespace art {

namespace {

const Col kGoldDark = Hex(0x6b4a0e), kGold = Hex(0xd9a82e), kGoldLight = Hex(0xfff1b0);

// Gold across a round solid: t runs from -1 (left edge) to 1 (right edge).
Col GoldAcross(double t) {
  t = std::clamp(t, -1.0, 1.0);
  const double hi = std::exp(-std::pow((t + 0.35) / 0.22, 2));  // highlight
  const double lit = 0.55 + 0.45 * std::cos(t * 1.35);
  Col c = Mix(kGoldDark, kGold, static_cast<float>(lit));
  return Mix(c, kGoldLight, static_cast<float>(hi * 0.85));
}

// A paint for a solid whose axis is x = axis, half width hw (both in canvas pixels).
Paint GoldSolid(double axis, double hw) {
  return [axis, hw](double x, double) { return GoldAcross((x - axis) / hw); };
}

Paint GoldSphere(double cx, double cy, double r) {
  return [cx, cy, r](double x, double y) {
    const double ux = (x - cx) / r, uy = (y - cy) / r;
    const double d2 = std::min(1.0, ux * ux + uy * uy);
    const double nz = std::sqrt(1 - d2);
    const double diff = std::max(0.0, -0.5 * ux - 0.55 * uy + 0.67 * nz);
    const double shine = std::pow(std::max(0.0, -0.3 * ux - 0.35 * uy + 0.89 * nz), 18);
    Col c = Mix(kGoldDark, kGold, static_cast<float>(std::min(1.0, 0.25 + diff)));
    return Mix(c, kGoldLight, static_cast<float>(shine * 0.9));
  };
}

// Paths are built in design units, then placed.
struct Placer {
  double x, y, s;
  Affine m() const { return Affine::ScaleXY(s, s).Then(Affine::Translate(x, y)); }
  Path P(const Path& p) const { return p.Transformed(m()); }
  double X(double dx) const { return x + dx * s; }
  double Y(double dy) const { return y + dy * s; }
  std::vector<Pt> Pts(std::vector<Pt> v) const {
    for (Pt& p : v) p = m().Apply(p);
    return v;
  }
};

// A band of a round solid between two heights, as a trapezoid with its half widths.
Path Band(double cx, double yTop, double hwTop, double yBot, double hwBot) {
  return Path().Polygon(
      {{cx - hwTop, yTop}, {cx + hwTop, yTop}, {cx + hwBot, yBot}, {cx - hwBot, yBot}});
}

}  // namespace

void DrawWorldCupTrophy(Canvas& c, double x, double y, double scale) {
  const Placer p{x, y, scale};
  const double cx = 20;
  const Col green = Hex(0x1f7a3a), greenDark = Hex(0x0b3d1c), greenLight = Hex(0x5fcf7f);
  auto greenAcross = [&](double axis, double hw) -> Paint {
    return [=](double px, double) {
      const double t = std::clamp((px - axis) / hw, -1.0, 1.0);
      Col g = Mix(greenDark, green, static_cast<float>(0.45 + 0.55 * std::cos(t * 1.4)));
      return Mix(g, greenLight, static_cast<float>(0.6 * std::exp(-std::pow((t + 0.35) / 0.2, 2))));
    };
  };
  const double ax = p.X(cx);
  // Base: gold lips with two green bands.
  c.Fill(p.P(Band(cx, 91.5, 12.2, 94.5, 12.6)), GoldSolid(ax, 12.6 * scale));
  c.Fill(p.P(Band(cx, 87, 12, 91.5, 12.2)), greenAcross(ax, 12.2 * scale));
  c.Fill(p.P(Band(cx, 85, 11.7, 87, 12)), GoldSolid(ax, 12 * scale));
  c.Fill(p.P(Band(cx, 80.5, 11.4, 85, 11.7)), greenAcross(ax, 11.7 * scale));
  c.Fill(p.P(Band(cx, 78, 10, 80.5, 11.4)), GoldSolid(ax, 11.4 * scale));

  // Body: two figures twisting upwards from a narrow waist, flaring to hold the globe.
  Path body;
  body.MoveTo(cx - 7.5, 78.5)
      .CubicTo(cx - 5.5, 72, cx - 4.5, 66, cx - 5, 60)
      .CubicTo(cx - 6, 52, cx - 11, 45, cx - 13.5, 38)
      .CubicTo(cx - 15, 33, cx - 15, 27, cx - 13.8, 21)
      .LineTo(cx + 13.8, 21)
      .CubicTo(cx + 15, 27, cx + 15, 33, cx + 13.5, 38)
      .CubicTo(cx + 11, 45, cx + 6, 52, cx + 5, 60)
      .CubicTo(cx + 4.5, 66, cx + 5.5, 72, cx + 7.5, 78.5);
  c.Fill(p.P(body), [&](double px, double py) {
    const double dy = (py - y) / scale;
    const double hw = dy > 60 ? 5.5 : (dy > 38 ? 5.5 + (60 - dy) * 0.38 : 14);
    return GoldAcross((px - ax) / (hw * scale));
  });
  // The figures: spiralling ridges, a dark groove beside a light edge.
  const Col groove = Hex(0x5a3c08), ridge = Hex(0xfff0a8);
  const double w = std::max(0.7, 1.1 * scale);
  c.Stroke(p.Pts({{cx - 5.5, 77},
                  {cx + 1, 69},
                  {cx + 3.5, 61},
                  {cx + 1, 53},
                  {cx - 7, 45},
                  {cx - 12, 36}}),
           w, groove, 0.9f);
  c.Stroke(
      p.Pts(
          {{cx + 5.5, 77}, {cx + 2, 71}, {cx - 3, 63}, {cx - 3, 55}, {cx + 4, 47}, {cx + 11, 37}}),
      w, groove, 0.8f);
  c.Stroke(p.Pts({{cx - 4, 75}, {cx + 2, 67}, {cx + 4.5, 59}}), w * 0.7, ridge, 0.6f);
  c.Stroke(p.Pts({{cx - 1, 51}, {cx - 7, 43}, {cx - 11, 35}}), w * 0.7, ridge, 0.55f);
  // Shadow the globe casts on the shoulders.
  c.Fill(p.P(Path().Ellipse(cx, 18, 14.2, 11.5)), Hex(0x4a3208));

  // The globe, with raised land masses.
  const double gx = p.X(cx), gy = p.Y(15), gr = 12.3 * scale;
  c.Fill(Path().Circle(gx, gy, gr), GoldSphere(gx, gy, gr));
  Canvas land(c.W(), c.H());
  land.ClipTo(Path().Circle(gx, gy, gr - 0.6 * scale));
  const Col landCol = Hex(0x9b7014);
  land.Fill(p.P(Path()
                    .MoveTo(cx - 9, 6)
                    .CubicTo(cx - 4, 3.5, cx - 2, 8, cx - 4, 11)
                    .CubicTo(cx - 6, 15, cx - 2, 19, cx - 4, 25)
                    .CubicTo(cx - 7, 21, cx - 10, 15, cx - 11, 10)),
            landCol);
  land.Fill(p.P(Path()
                    .MoveTo(cx + 1, 5)
                    .CubicTo(cx + 6, 3, cx + 10, 6, cx + 9, 10)
                    .CubicTo(cx + 7, 12, cx + 8, 18, cx + 4, 22)
                    .CubicTo(cx + 2, 17, cx + 4, 13, cx + 1, 10)),
            landCol);
  c.Draw(land, 0, 0, c.W(), c.H(), 0.75f);
  // Equator catching the light.
  Canvas lines(c.W(), c.H());
  lines.ClipTo(Path().Circle(gx, gy, gr - 0.5 * scale));
  lines.Stroke(p.Pts({{cx - 12, 15.5}, {cx - 5, 17.5}, {cx + 5, 17.5}, {cx + 12, 15.5}}),
               0.6 * scale, kGoldLight);
  c.Draw(lines, 0, 0, c.W(), c.H(), 0.45f);
  // Arms reaching up round the globe, a dark edge setting them off from it.
  for (double side : {-1.0, 1.0}) {
    const auto arm = p.Pts({{cx + side * 13.5, 37},
                            {cx + side * 14.8, 27},
                            {cx + side * 13.2, 17},
                            {cx + side * 10, 9}});
    c.Stroke(arm, 3.0 * scale, Hex(0x4a3208));
    c.Stroke(arm, 1.8 * scale, side < 0 ? Hex(0xe8be4a) : Hex(0x9a7018));
  }
}

void DrawJulesRimetTrophy(Canvas& c, double x, double y, double scale) {
  const Placer p{x, y, scale};
  const double cx = 17.5, ax = p.X(cx);
  // Octagonal blue base with gold trim; facets lit left to right.
  auto lapis = [&](double px, double) {
    const double t = (px - ax) / (10 * scale);
    const Col blue = Hex(0x2446a8), dark = Hex(0x0c1a4a), light = Hex(0x5b7fe0);
    if (t < -0.62) return Mix(blue, light, 0.35f);
    if (t < 0) return Mix(blue, light, 0.15f);
    if (t < 0.62) return blue;
    return Mix(blue, dark, 0.5f);
  };
  c.Fill(p.P(Band(cx, 81, 8.5, 93.5, 10)), lapis);
  c.Fill(p.P(Band(cx, 92, 10, 94, 10.3)), GoldSolid(ax, 10.3 * scale));
  c.Fill(p.P(Band(cx, 78.5, 7.5, 81, 8.6)), GoldSolid(ax, 8.6 * scale));
  // Plinth.
  c.Fill(p.P(Band(cx, 73, 4.2, 78.5, 6)), GoldSolid(ax, 6 * scale));

  // Wings, behind the figure, sweeping up to the cup.
  auto wing = [&](double side) {
    Path w;
    w.MoveTo(cx + side * 2, 56)
        .CubicTo(cx + side * 5, 50, cx + side * 12, 42, cx + side * 15.5, 29)
        .LineTo(cx + side * 13.5, 24)
        .CubicTo(cx + side * 11, 28, cx + side * 8, 29, cx + side * 5, 28)
        .LineTo(cx + side * 1, 40);
    return w;
  };
  c.Fill(p.P(wing(-1)), GoldSolid(p.X(cx - 9), 8 * scale));
  c.Fill(p.P(wing(1)), GoldSolid(p.X(cx + 9), 8 * scale));
  // Feathers as fine grooves.
  for (double side : {-1.0, 1.0}) {
    for (int k = 0; k < 4; ++k) {
      const double t = k / 4.0;
      c.Stroke(
          p.Pts({{cx + side * (3 + t * 2), 52 - t * 10}, {cx + side * (8 + t * 7), 40 - t * 7}}),
          0.5 * scale, Hex(0x6b4a0e), 0.7f);
    }
  }
  // The figure: a slender draped body, arms raised.
  Path body;
  body.MoveTo(cx - 3.5, 73.5)
      .CubicTo(cx - 2.5, 66, cx - 2.8, 58, cx - 3.8, 50)
      .CubicTo(cx - 4, 44, cx - 3, 38, cx - 2.2, 34)
      .LineTo(cx + 2.2, 34)
      .CubicTo(cx + 3, 38, cx + 4, 44, cx + 3.8, 50)
      .CubicTo(cx + 2.8, 58, cx + 2.5, 66, cx + 3.5, 73.5);
  c.Fill(p.P(body), GoldSolid(ax, 4 * scale));
  c.Stroke(p.Pts({{cx - 1, 72}, {cx - 0.5, 62}, {cx - 1.5, 52}}), 0.5 * scale, Hex(0x6b4a0e), 0.6f);
  c.Stroke(p.Pts({{cx + 1.5, 72}, {cx + 1.2, 60}}), 0.5 * scale, Hex(0x6b4a0e), 0.5f);
  c.Fill(p.P(Path().Circle(cx, 35.3, 2.3)), GoldSphere(p.X(cx), p.Y(35.3), 2.3 * scale));
  // Stem under the cup.
  c.Fill(p.P(Band(cx, 26, 2.5, 33, 3.5)), GoldSolid(ax, 3.5 * scale));

  // The octagonal cup: flat facets, each lit by its own angle.
  const double rimY = 5.8, botY = 27, hwTop = 15.5, hwBot = 5.5;
  const double edges[] = {-1, -0.924, -0.383, 0.383, 0.924, 1};
  const float facetLight[] = {0.35f, 0.9f, 0.7f, 0.4f, 0.2f};
  for (int f = 0; f < 5; ++f) {
    Path facet;
    facet.MoveTo(cx + edges[f] * hwTop, rimY)
        .LineTo(cx + edges[f + 1] * hwTop, rimY)
        .LineTo(cx + edges[f + 1] * hwBot, botY)
        .LineTo(cx + edges[f] * hwBot, botY);
    const Col col = Mix(kGoldDark, kGold, facetLight[f] + 0.1f);
    c.Fill(p.P(facet), [&, col, f](double, double py) {
      const double t = (py - p.Y(rimY)) / ((botY - rimY) * scale);
      Col k = Mix(col, Scale(col, 0.75f), static_cast<float>(t));
      return f == 1 ? Mix(k, kGoldLight, static_cast<float>(0.5 * (1 - t))) : k;
    });
  }
  // Rim and the dark inside of the cup.
  c.Fill(p.P(Path().Ellipse(cx, rimY, hwTop, 2.6)), GoldSolid(ax, hwTop * scale));
  c.Fill(p.P(Path().Ellipse(cx, rimY - 0.2, hwTop - 1.6, 1.7)), Hex(0x4a3208));
  // Decorative band round the bowl.
  c.Stroke(p.Pts({{cx - 13.2, 12}, {cx, 13.2}, {cx + 13.2, 12}}), 0.7 * scale, Hex(0x6b4a0e), 0.7f);
}

Canvas WorldCupTrophySheet() {
  Canvas sheet(40, 191, Col{1, 1, 1});
  Canvas cell(40, 95);
  DrawWorldCupTrophy(cell, 0, 0, 1.0);
  cell.Harden();
  PlaceSprite(sheet, cell, 0, 0, 95);
  return sheet;
}

Canvas JulesRimetTrophySheet() {
  Canvas sheet(35, 193, Col{1, 1, 1});
  Canvas cell(35, 96);
  // The scene shows a cell 2.35 times as high as wide, not 96/35 = 2.74 times: drawn to
  // its own proportions it would fly squashed by a seventh. So it is drawn narrower,
  // 30 pixels of the 35, finely first and then reduced.
  constexpr double kFine = 4;
  Canvas fine(static_cast<int>(35 * kFine), static_cast<int>(96 * kFine));
  DrawJulesRimetTrophy(fine, 0, 0, kFine);
  constexpr double kShown = 35 * 2.35 * 35 / 96;  // about 30
  cell.Draw(fine, (35 - kShown) / 2, 0, kShown, 96);
  cell.Harden();
  PlaceSprite(sheet, cell, 0, 0, 96);
  return sheet;
}

}  // namespace art
