// Small drawing helpers shared by the posters and the championship panels.
#pragma once

#include "Raster.h"

namespace art {

// A footballer in side view made of round-capped limbs. Angles are degrees, 0 pointing
// straight down, 90 to the right, 180 straight up; "front" limbs are drawn last.
struct Pose {
  double torso = 180;
  double frontThigh = 0, frontShin = 0, backThigh = 0, backShin = 0;
  double frontArm = 0, frontForearm = 0, backArm = 0, backForearm = 0;
};
struct Kit {
  Col shirt, shorts, skin, socks;
};
// Hip at (x, y); s is the torso length in pixels.
void DrawPlayer(Canvas& c, double x, double y, double s, const Pose& pose, const Kit& kit);
inline Kit Silhouette(Col c) {
  return {c, c, c, c};
}

// A five-pointed star centred at (cx, cy), outer radius r, first point straight up.
Path Star(double cx, double cy, double r, double inner = 0.4);

// A player of a team photograph seen from the front, standing or crouching; (x, y) is
// the top of the head, h the standing height.
void DrawTeamPlayer(Canvas& c, double x, double y, double h, bool crouching, const Kit& kit,
                    Col hair);

}  // namespace art
