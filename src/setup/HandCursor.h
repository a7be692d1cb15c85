// The pointing hand the About box's contact lines show while the mouse is over them:
// 32 x 32 pixels, black and white, with its hot spot at (13, 9), the tip of the index
// finger. Hosts make their own cursor of it; the picture is the same bytes everywhere.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qm {

struct CursorArt {
  int Width = 0;
  int Height = 0;
  int HotX = 0;
  int HotY = 0;
  // Height rows of Width characters, top to bottom: 'X' black, 'o' white, '.' clear.
  // Static text: valid for the whole run.
  const std::string_view* Rows = nullptr;
};

const CursorArt& ContactHandCursor();

// A Windows monochrome cursor's two planes, one bit a pixel, the leftmost pixel in a
// byte's highest bit, each row padded to a whole number of 16-bit words. Screen pixels
// under the cursor are ANDed with the first plane and XORed with the second: clear is
// AND 1, XOR 0; black AND 0, XOR 0; white AND 0, XOR 1. Padding bits are clear. A
// character other than 'X' or 'o' counts as clear.
struct CursorPlanes {
  std::vector<uint8_t> And;
  std::vector<uint8_t> Xor;
};
CursorPlanes MonochromePlanes(const CursorArt& art);

}  // namespace qm
