// Little-endian numbers in picture files, read from bytes the caller knows are there.
#pragma once

#include <cstdint>

namespace qm {

inline uint32_t Le16(const uint8_t* p) {
  return p[0] | (uint32_t{p[1]} << 8);
}
inline uint32_t Le32(const uint8_t* p) {
  return Le16(p) | (Le16(p + 2) << 16);
}

}  // namespace qm
