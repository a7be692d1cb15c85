// The one profile-file (INI) reader of the program.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// The value of `key` in `section` of the profile file at `path` (a Windows path, see
// DrivePath.h), at most 254 characters, or `defaultText` when the file, section or key
// does not exist (also cut to 254). An empty result is always the empty text. Names
// match case-insensitively with blanks around them ignored; one matching pair of
// surrounding double or single quotes is stripped from a value; the first matching
// section and key win (ProfileFile.h has the whole rule). Every call sees the file as it
// is now, decoded as Windows-1252. Never fails: any error gives the empty text.
std::string ReadIniValue(std::string_view section, std::string_view key,
                         std::string_view defaultText, std::string_view path);

}  // namespace qm
