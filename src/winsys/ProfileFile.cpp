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

// A file's own encoding, from its byte-order mark. Windows reads a file that starts
// with one as that Unicode form and hands the ANSI functions its text in the 8-bit
// code page; any other file is 8-bit text already.
enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

// How many bytes at the end of `text` begin a UTF-8 sequence the text cuts short.
size_t CutUtf8Tail(std::string_view text) {
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto c = static_cast<unsigned char>(text[text.size() - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

// Splits a stream into lines of 8-bit text without ever holding more than one chunk
// and one (bounded) line; a Unicode file is turned into 8-bit text chunk by chunk.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in), raw_(64 * 1024) {}

  bool Next(std::string& line) {
    line.clear();
    bool any = false;
    while (true) {
      if (pos_ == chunk_.size() && !Fill()) return any;
      any = true;
      const char* begin = chunk_.data() + pos_;
      const char* end = chunk_.data() + chunk_.size();
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
    pos_ = 0;
    chunk_.clear();
    while (chunk_.empty()) {
      if (!in_) return false;
      in_.read(raw_.data(), static_cast<std::streamsize>(raw_.size()));
      std::string_view bytes(raw_.data(), static_cast<size_t>(in_.gcount()));
      if (bytes.empty()) return false;
      if (first_) {
        first_ = false;
        bytes = TakeByteOrderMark(bytes);
      }
      Decode(bytes);
    }
    return true;
  }

  std::string_view TakeByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
      encoding_ = Encoding::Utf8;
      return bytes.substr(3);
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") encoding_ = Encoding::Utf16Le;
    if (bytes.substr(0, 2) == "\xFE\xFF") encoding_ = Encoding::Utf16Be;
    return encoding_ == Encoding::Ansi ? bytes : bytes.substr(2);
  }

  // Turns the next raw bytes into chunk_, keeping what a chunk's end cuts short of a
  // character for the next one.
  void Decode(std::string_view bytes) {
    if (encoding_ == Encoding::Ansi) {
      chunk_.assign(bytes);
      return;
    }
    carry_.append(bytes);
    std::string utf8;
    size_t used = 0;
    if (encoding_ == Encoding::Utf8) {
      used = carry_.size() - (in_ ? CutUtf8Tail(carry_) : 0);
      utf8.assign(carry_, 0, used);
    } else {
      used = AppendUtf16AsUtf8(utf8, carry_, encoding_ == Encoding::Utf16Le, high_);
    }
    carry_.erase(0, used);
    chunk_ = Utf8ToCp1252(utf8);
  }

  std::istream& in_;
  std::vector<char> raw_;
  std::string chunk_;
  size_t pos_ = 0;
  bool first_ = true;
  Encoding encoding_ = Encoding::Ansi;
  std::string carry_;  // bytes of a character the last chunk cut short
  char32_t high_ = 0;  // a UTF-16 pair's first half, waiting for its second
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
  // Lines before the first header form the section with the empty name.
  bool inSection = section.empty();
  while (reader.Next(buffer)) {
    std::string_view line = Trim(buffer);
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
