#include "setup/HandCursor.h"

#include <cstddef>

namespace qm {
namespace {

// 'X' black, 'o' white, '.' clear.
// clang-format off
constexpr std::string_view kHand[32] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    ".............XX.................",
    "............XooX................",
    "............XooX................",
    "............XooX................",
    "............XooX................",
    "............XooXXX..............",
    "............XooXooXXX...........",
    "............XooXooXooXX.........",
    "............XooXooXooXoX........",
    "........XX..XooXooXooXoX........",
    "........XoX.XooooooooooX........",
    "........XooXXooooooooooX........",
    ".........XooXooooooooooX........",
    ".........XooooooooooooX.........",
    "..........XoooooooooooX.........",
    "..........XooooooooooX..........",
    "...........XoooooooooX..........",
    "...........XoooooooooX..........",
    "............XoooooooX...........",
    "............XoooooooX...........",
    "............XXXXXXXXX...........",
    "................................",
    "................................",
};
// clang-format on

}  // namespace

const CursorArt& ContactHandCursor() {
  static const CursorArt art{32, 32, 13, 9, kHand};
  return art;
}

CursorPlanes MonochromePlanes(const CursorArt& art) {
  const size_t rowBytes = (static_cast<size_t>(art.Width) + 15) / 16 * 2;
  CursorPlanes planes;
  planes.And.assign(rowBytes * static_cast<size_t>(art.Height), 0xFF);
  planes.Xor.assign(rowBytes * static_cast<size_t>(art.Height), 0x00);
  for (int y = 0; y < art.Height; ++y) {
    const std::string_view row = art.Rows[y];
    for (int x = 0; x < art.Width && static_cast<size_t>(x) < row.size(); ++x) {
      const char c = row[static_cast<size_t>(x)];
      if (c != 'X' && c != 'o') continue;
      const size_t at = static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) / 8;
      const auto bit = static_cast<uint8_t>(0x80u >> (x % 8));
      planes.And[at] = static_cast<uint8_t>(planes.And[at] & ~bit);
      if (c == 'o') planes.Xor[at] = static_cast<uint8_t>(planes.Xor[at] | bit);
    }
  }
  return planes;
}

}  // namespace qm
