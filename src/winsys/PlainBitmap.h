// Uncompressed BMP files in the one layout the general decoder reads right. Programs
// write bitmaps with other headers and layouts that Windows reads, and the decoder
// misreads some of them: an OS/2 header's three-byte palette entries (the last ones
// were taken from memory never written), a palette shorter than the pixels' indices
// reach, a gap before the pixels, a header of 52 bytes. Rewritten, each reads as
// Windows shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qm {

// `data` as a BMP with a 40-byte header, its colour masks after it where it has them
// (red, green, blue), a palette of all 2^bits entries where the pixels index one (the
// entries the file lacks black), and its pixels right after that, as they were. The
// caller has checked that the file holds every row its header declares. Nothing for a
// file of another kind, a compressed one, or a header this does not know (OS/2 2.x):
// those go to the decoder as they are.
std::optional<std::vector<uint8_t>> PlainBitmap(const uint8_t* data, size_t size);

}  // namespace qm
