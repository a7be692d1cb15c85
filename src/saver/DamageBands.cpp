#include "saver/DamageBands.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace qm {
namespace {

int64_t Width(const RowExtent& e) {
  return std::max<int64_t>(int64_t{e.X1} - e.X0, 0);
}

}  // namespace

void AppendBands(const Rect& box, const std::vector<RowExtent>& groups, std::vector<Rect>& out) {
  constexpr int g = SurfaceChanges::kGroupRows;
  const int first = box.Y / g;
  const auto top = [&](size_t k) {  // group k's first row, within the box
    return std::clamp((first + static_cast<int>(k)) * g, box.Y, box.Y + box.Height);
  };
  RowExtent band;
  int bandTop = 0, bandEnd = 0;
  int64_t asked = 0;  // what the band's groups hold on their own
  for (size_t k = 0; k < groups.size(); ++k) {
    const RowExtent& group = groups[k];
    if (group.Empty()) continue;
    const int t = top(k), e = top(k + 1);
    const int64_t own = Width(group) * (e - t);
    if (!band.Empty()) {
      RowExtent both = band;
      both.Merge(group);
      if (Width(both) * (e - bandTop) - (asked + own) < kMinBandSaving) {
        band = both;
        bandEnd = e;
        asked += own;
        continue;
      }
      out.push_back({band.X0, bandTop, band.X1 - band.X0, bandEnd - bandTop});
    }
    band = group;
    bandTop = t;
    bandEnd = e;
    asked = own;
  }
  if (!band.Empty()) out.push_back({band.X0, bandTop, band.X1 - band.X0, bandEnd - bandTop});
}

}  // namespace qm
