// The two registry helpers through which settings and the saver window read and
// write registry text.
#pragma once

#include <string>
#include <string_view>

#include "winsys/Registry.h"

namespace qm {

// On success `text` receives the value (REG_SZ: the bytes less one trailing NUL;
// REG_DWORD: the signed decimal text; other types: left as passed) and the result is
// true. Any failure (missing key or value, value longer than 1024 bytes) leaves
// `text` empty and returns false.
bool RegReadValue(Hive hive, std::string_view keyPath, std::string_view valueName,
                  std::string& text);

// Writes `text` as REG_SZ, creating the key when missing. An empty `text` is first
// replaced by one blank, in the caller's variable too. True when written.
bool RegWriteValue(Hive hive, std::string_view keyPath, std::string_view valueName,
                   std::string& text);

}  // namespace qm
