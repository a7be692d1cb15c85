// Nearest-neighbour stretching, as the Windows stretch does it by default: destination
// column c of a picture stretched from sw to dw pixels samples the centre of its own
// pixel, source column floor((c + 1/2) * sw / dw), and rows likewise. At 1:1 this is
// the identity. Shared by the surface's drawing loops; every function here takes
// sizes of at least 1 and positions a surface can hold.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm {

// Walks floor((2k + 1) * src / (2 * dst)) for k = first, first + 1, ... with one
// division at the start instead of one per pixel.
class CentreSampler {
 public:
  CentreSampler(int64_t first, int src, int dst) : den_(2 * int64_t{dst}) {
    const int64_t num = (2 * first + 1) * src;
    q_ = num / den_;
    r_ = num % den_;
    stepQ_ = (2 * int64_t{src}) / den_;
    stepR_ = (2 * int64_t{src}) % den_;
  }
  int Value() const { return static_cast<int>(q_); }
  void Next() {
    q_ += stepQ_;
    r_ += stepR_;
    if (r_ >= den_) {
      r_ -= den_;
      ++q_;
    }
  }

 private:
  int64_t den_, q_ = 0, r_ = 0, stepQ_ = 0, stepR_ = 0;
};

// Destination columns [0, w) of a picture stretched from sw to dw pixels, starting
// `first` columns into it: the source column each one samples, into `cols`.
inline void SampleColumns(std::vector<int>& cols, size_t w, int first, int sw, int dw) {
  cols.resize(w);
  CentreSampler sx(first, sw, dw);
  for (size_t i = 0; i < w; ++i, sx.Next()) cols[i] = sx.Value();
}

// Division rounding towards plus infinity, for a positive divisor.
inline int64_t CeilDiv(int64_t n, int64_t d) {
  return n / d + (n % d > 0 ? 1 : 0);
}

// How many of the destination columns [0, w), starting `first` columns into a picture
// stretched from sw to dw pixels, sample a source column below `column`. Column c
// samples floor((2c + 1) * sw / (2 * dw)), which is below `column` exactly when
// 2c * sw < 2 * dw * column - sw. The sampled columns never decrease, so this is also
// the first destination column that samples `column` or beyond.
inline size_t ColumnsBelow(int column, size_t w, int first, int sw, int dw) {
  const int64_t c = CeilDiv(2 * int64_t{dw} * column - sw, 2 * int64_t{sw}) - first;
  return static_cast<size_t>(std::clamp<int64_t>(c, 0, static_cast<int64_t>(w)));
}

}  // namespace qm
