#include "winsys/ProfileFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace qm {
namespace {

bool IsBlank(char c) {
  // 0x1A is the end-of-file mark some DOS editors leave at the end.
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Splits a stream into lines without ever holding more than one chunk and one
// (bounded) line.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in), chunk_(64 * 1024) {}

  bool Next(std::string& line) {
    line.clear();
    bool any = false;
    while (true) {
      if (pos_ == size_ && !Fill()) return any;
      any = true;
      const char* begin = chunk_.data() + pos_;
      const char* end = chunk_.data() + size_;
      // A lone CR ends a line as LF does; CRLF then leaves an empty line, which is skipped.
      const char* newline = std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
      const size_t take = static_cast<size_t>(newline - begin);
      if (line.size() < kMaxProfileLine) {
        line.append(begin, std::min(take, kMaxProfileLine - line.size()));
      }
      pos_ += take;
      if (newline != end) {
        ++pos_;
        return true;
      }
    }
  }

 private:
  bool Fill() {
    if (!in_) return false;
    in_.read(chunk_.data(), static_cast<std::streamsize>(chunk_.size()));
    size_ = static_cast<size_t>(in_.gcount());
    pos_ = 0;
    return size_ > 0;
  }

  std::istream& in_;
  std::vector<char> chunk_;
  size_t pos_ = 0;
  size_t size_ = 0;
};

// Windows' profile functions fold only the letters A to Z; accented names must match
// exactly.
bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::istream& in, std::string_view section,
                                            std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  LineReader reader(in);
  std::string buffer;
  bool firstLine = true;
  // Lines before the first header form the section with the empty name.
  bool inSection = section.empty();
  while (reader.Next(buffer)) {
    std::string_view line = buffer;
    if (firstLine && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    firstLine = false;
    line = Trim(line);
    // No comment syntax: a ';' line is a key nobody asks for, as in Windows.
    if (line.empty()) continue;
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string_view::npos) continue;
      if (inSection) return std::nullopt;  // the first section of the name is over
      const std::string_view name = Trim(line.substr(1, close - 1));
      inSection = !name.empty() && AsciiEqualNoCase(name, section);
      continue;
    }
    if (!inSection) continue;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;  // not a key line
    const std::string_view name = Trim(line.substr(0, equals));
    if (!AsciiEqualNoCase(name, key)) continue;
    return std::string(Unquote(Trim(line.substr(equals + 1))));
  }
  return std::nullopt;
}

std::optional<std::string> FindProfileValueInFile(const std::string& hostPath,
                                                  std::string_view section, std::string_view key) {
  // Only regular files: a FIFO would block the saver, a device could be endless.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(hostPath, ec)) return std::nullopt;
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) return std::nullopt;
  return FindProfileValue(in, section, key);
}

}  // namespace qm
