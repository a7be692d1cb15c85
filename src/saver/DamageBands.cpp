#include "saver/DamageBands.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace qm {
namespace {

// Splitting stops this deep whatever it would save: a box never becomes more than
// 2^kMaxDepth bands.
constexpr int kMaxDepth = 4;

int64_t Width(const RowExtent& e) {
  return std::max<int64_t>(int64_t{e.X1} - e.X0, 0);
}

struct Splitter {
  const std::vector<RowExtent>& groups;
  const std::vector<int>& top;  // top[k]: the first row of group k; top[size]: the end
  std::vector<RowExtent> before;
  std::vector<int> beforeRows;
  std::vector<Rect>& out;

  // Groups [a, b).
  void Split(size_t a, size_t b, int depth) {
    while (a < b && groups[a].Empty()) ++a;
    while (b > a && groups[b - 1].Empty()) --b;
    if (a == b) return;
    // before[i]: the columns of groups [a, a + i), and beforeRows[i] the rows from a's
    // to the end of the last of them that changed anything; walked back from b, `after`
    // holds the columns of groups [a + i, b), from the first of them that changed
    // anything. A part's empty groups at its ends are not sent, so do not count.
    const size_t n = b - a;
    before.resize(n + 1);
    beforeRows.resize(n + 1);
    RowExtent all;
    before[0] = all;
    beforeRows[0] = 0;
    int lastEnd = top[a];
    int64_t narrowest = 0;  // the groups' own boxes: no split leaves out more than the rest
    for (size_t i = 0; i < n; ++i) {
      const RowExtent& group = groups[a + i];
      all.Merge(group);
      before[i + 1] = all;
      if (!group.Empty()) lastEnd = top[a + i + 1];
      beforeRows[i + 1] = lastEnd - top[a];
      narrowest += Width(group) * (top[a + i + 1] - top[a + i]);
    }
    const int64_t whole = Width(all) * (top[b] - top[a]);
    size_t at = 0;
    if (depth < kMaxDepth && whole - narrowest >= kMinBandSaving) {
      int64_t best = whole;
      RowExtent after;
      int firstTop = top[b];
      for (size_t i = n - 1; i > 0; --i) {
        const RowExtent& group = groups[a + i];
        after.Merge(group);
        if (!group.Empty()) firstTop = top[a + i];
        const int64_t parts = Width(before[i]) * beforeRows[i] + Width(after) * (top[b] - firstTop);
        if (parts < best) {
          best = parts;
          at = i;
        }
      }
      if (whole - best < kMinBandSaving) at = 0;
    }
    if (at == 0) {
      out.push_back({all.X0, top[a], all.X1 - all.X0, top[b] - top[a]});
      return;
    }
    Split(a, a + at, depth + 1);
    Split(a + at, b, depth + 1);
  }
};

}  // namespace

void AppendBands(const Rect& box, const std::vector<RowExtent>& groups, std::vector<Rect>& out) {
  constexpr int g = SurfaceChanges::kGroupRows;
  thread_local std::vector<int> top;
  top.resize(groups.size() + 1);
  const int first = box.Y / g;
  for (size_t k = 0; k <= groups.size(); ++k)
    top[k] = std::clamp((first + static_cast<int>(k)) * g, box.Y, box.Y + box.Height);
  thread_local std::vector<RowExtent> before;
  thread_local std::vector<int> beforeRows;
  Splitter s{groups, top, std::move(before), std::move(beforeRows), out};
  s.Split(0, groups.size(), 0);
  before = std::move(s.before);
  beforeRows = std::move(s.beforeRows);
}

}  // namespace qm
