#include "scenes/Placement.h"

#include "app/NumericText.h"
#include "winsys/Random.h"

namespace qm {

CellPlacement PlaceAtRandom(double spanX, double spanY, double offset) {
  CellPlacement place;
  const double r1 = Rnd();
  place.X = RoundToInt16(Floor(spanX * r1) + offset);
  const double r2 = Rnd();
  place.Y = RoundToInt16(Floor(spanY * r2) + offset);
  return place;
}

}  // namespace qm
