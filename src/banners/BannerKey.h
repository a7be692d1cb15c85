// The banner list's key for banner n: "ARQUIVO" and n with at least two digits.
#pragma once

#include <string>

namespace qm {

// 0 -> "ARQUIVO00", 7 -> "ARQUIVO07", 12 -> "ARQUIVO12", 100 -> "ARQUIVO100"; a negative
// number keeps its sign in front of the digits ("ARQUIVO-01").
std::string BannerKey(int n);

}  // namespace qm
