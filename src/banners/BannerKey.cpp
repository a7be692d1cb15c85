#include "banners/BannerKey.h"

#include <cstdlib>

namespace qm {

std::string BannerKey(int n) {
  const long magnitude = std::labs(static_cast<long>(n));
  std::string digits = std::to_string(magnitude);
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return std::string("ARQUIVO") + (n < 0 ? "-" : "") + digits;
}

}  // namespace qm
