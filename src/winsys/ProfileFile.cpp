#include "winsys/ProfileFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "winsys/Cp1252.h"

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
      const char* newline = std::find(begin, end, '\n');
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
  bool inSection = false;
  while (reader.Next(buffer)) {
    std::string_view line = buffer;
    if (firstLine && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    firstLine = false;
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string_view::npos) continue;
      if (inSection) return std::nullopt;  // the first section of the name is over
      inSection = Cp1252EqualNoCase(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    const size_t equals = line.find('=');
    const std::string_view name = Trim(line.substr(0, equals));
    if (!Cp1252EqualNoCase(name, key)) continue;
    if (equals == std::string_view::npos) return std::string();
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
