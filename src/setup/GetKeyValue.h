// The About box's general registry reader, also used by the setup dialog for the
// Windows directory: RegReadValue under the name those forms use. It leaves the output
// alone for value types it does not understand, so callers can pass a default in.
#pragma once

#include <string>
#include <string_view>

#include "winsys/Registry.h"

namespace qm {

// Reads `valueName` under `keyPath` of `hive` from the installed registry (Registry()).
//  - missing key or value, or a value longer than 1024 bytes: `value` = "", false;
//  - REG_SZ: `value` = the bytes, less one terminating NUL when present; true;
//  - REG_DWORD: `value` = the 32-bit little-endian number as signed decimal text; true;
//  - any other type: `value` is left as passed; true.
// Never throws.
bool GetKeyValue(Hive hive, std::string_view keyPath, std::string_view valueName,
                 std::string& value);

}  // namespace qm
