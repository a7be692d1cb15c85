// Looking a value up in a profile (INI) file the way Windows' GetPrivateProfileString
// finds it:
//  - "[name]" lines open sections; the name is what lies between '[' and the last ']',
//    blanks around it ignored;
//  - "key=value" lines belong to the section above them (lines before the first header
//    to the section with the empty name; "[]" opens no section); blanks around the key
//    and around the value are ignored; a line without '=' is no key;
//  - there is no comment syntax: ";key=value" is a key named ";key";
//  - section and key names match ignoring the case of A to Z only (accented letters
//    must match exactly); only the first section of a name is searched, and its first
//    matching key wins;
//  - a value enclosed in a matching pair of double or of single quotes loses them;
//  - CRLF, LF and lone CR line ends are accepted.
// A file that starts with a UTF-8 or UTF-16 byte-order mark is read as that form and
// its text turned into Windows-1252 ('?' for what it lacks), as Windows hands such a
// file to its 8-bit functions; any other file is 8-bit Windows-1252 text and passes
// through untouched. It is read line by line
// with a bounded buffer: a line longer than kMaxProfileLine bytes keeps only its start,
// so any file, however large or binary, is scanned in little memory.
#pragma once

#include <chrono>
#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qm {

inline constexpr size_t kMaxProfileLine = 32 * 1024;

// The value, or std::nullopt when the section or the key is absent.
std::optional<std::string> FindProfileValue(std::istream& in, std::string_view section,
                                            std::string_view key);

// Every answer FindProfileValue would give on one file, read in one pass and kept: the
// first section of each name and, in it, the first value of each key.
class ProfileAnswers {
 public:
  // nullopt when the answers would take more than about a megabyte to keep.
  static std::optional<ProfileAnswers> Read(std::istream& in);
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

 private:
  // Names folded as the reader matches them (A to Z only).
  std::unordered_map<std::string, std::unordered_map<std::string, std::string>> sections_;
};

// The same on the file at `hostPath`; std::nullopt too when it does not exist, is not
// a regular file or cannot be read. Every call sees the file as it is now, but a file
// that has not changed since it was last read (same size and times, and on POSIX the
// same file, and changed more than a moment before that read) is only opened, not read
// again: its answers were kept, for a few files at a time and up to about a megabyte
// each. Of a file with more to keep, the sections asked for are kept instead, each read
// in one pass when first asked for (a single section of more than a megabyte is
// searched afresh each time). Safe to call from any thread.
std::optional<std::string> FindProfileValueInFile(const std::string& hostPath,
                                                  std::string_view section, std::string_view key);

// How long after its last change a file's answers start being kept.
inline constexpr std::chrono::seconds kProfileFileSettle{2};

// How many times FindProfileValueInFile has read a file, in this process.
size_t ProfileFileScansForTesting();
// Replaces kProfileFileSettle, so that tests need not wait for their files to settle.
void SetProfileFileSettleForTesting(std::chrono::nanoseconds settle);

}  // namespace qm
