// Turning a changed box into the few rectangles a host sends for it. A sprite's box
// is mostly pixels it never touched (a trophy's rows cover about half of it); sending
// it as bands of rows, each as wide as the columns its rows changed, leaves those out,
// while every band is a request of its own for the window system.
#pragma once

#include <vector>

#include "winsys/Surface.h"

namespace qm {

// A band is split in two where that leaves out at least this many pixels: about what
// one more request costs the window system (measured under Xvfb: a request as much
// as a few hundred pixels).
inline constexpr int kMinBandSaving = 256;

// Appends to `out` bands covering the changed columns `groups` of `box`: groups[k]
// those of the surface's row group box.Y / SurfaceChanges::kGroupRows + k, within the
// box. The bands are the groups' bounding box without empty groups at its ends, split
// between groups where a split leaves out at least kMinBandSaving pixels, again and
// again. Nothing where every group is empty.
void AppendBands(const Rect& box, const std::vector<RowExtent>& groups, std::vector<Rect>& out);

}  // namespace qm
