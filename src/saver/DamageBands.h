// Turning a changed box into the few rectangles a host sends for it. A sprite's box
// is mostly pixels it never touched (a trophy's rows cover about half of it); sending
// it as bands of rows, each as wide as the columns its rows changed, leaves those out,
// while every band is a request of its own for the window system.
#pragma once

#include <vector>

#include "winsys/Surface.h"

namespace qm {

// A band stops short of the next group where taking it in would add at least this
// many pixels that did not change: about what one more request costs the window
// system (measured under Xvfb: a request as much as a few hundred pixels).
inline constexpr int kMinBandSaving = 256;

// Appends to `out` bands covering the changed columns `groups` of `box`: groups[k]
// those of the surface's row group box.Y / SurfaceChanges::kGroupRows + k, within the
// box. From the top, each band takes in the groups below it while the pixels it would
// hold beyond what its groups hold on their own stay under kMinBandSaving; empty
// groups are passed over. Nothing where every group is empty.
void AppendBands(const Rect& box, const std::vector<RowExtent>& groups, std::vector<Rect>& out);

}  // namespace qm
