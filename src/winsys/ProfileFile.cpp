#include "winsys/ProfileFile.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "winsys/Cp1252.h"
#include "winsys/FileState.h"

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
char FoldedChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldedChar(a[i]) != FoldedChar(b[i])) return false;
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

// Walks the lines of a profile file as Windows reads them: onHeader(name) for each
// "[name]" line (the name trimmed, maybe empty), onKey(name, value) for each key line
// (both trimmed, the value unquoted). Either returns false to end the walk.
template <typename OnHeader, typename OnKey>
void WalkProfile(std::istream& in, OnHeader&& onHeader, OnKey&& onKey) {
  LineReader reader(in);
  std::string buffer;
  while (reader.Next(buffer)) {
    std::string_view line = Trim(buffer);
    // No comment syntax: a ';' line is a key nobody asks for, as in Windows.
    if (line.empty()) continue;
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string_view::npos) continue;
      if (!onHeader(Trim(line.substr(1, close - 1)))) return;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;  // not a key line
    if (!onKey(Trim(line.substr(0, equals)), Unquote(Trim(line.substr(equals + 1))))) return;
  }
}

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldedChar(c);
  return folded;
}

constexpr size_t kAnswersBudget = 1024 * 1024;
constexpr size_t kEntryCost = 64;  // about what a map node costs besides its text

using KeyValues = std::unordered_map<std::string, std::string>;  // folded key names

std::optional<std::string> FindKey(const KeyValues& keys, std::string_view key) {
  const auto k = keys.find(Folded(Trim(key)));
  if (k == keys.end()) return std::nullopt;
  return k->second;
}

// The first section named `section`, read in one pass: the first value of each of its
// keys. `Whole` is false when they came to more than `budget` and only the first were
// kept.
struct SectionRead {
  bool Found = false;
  bool Whole = true;
  KeyValues Keys;
  size_t Cost = 0;
};

SectionRead ReadSection(std::istream& in, std::string_view section, size_t budget) {
  section = Trim(section);
  SectionRead read;
  // Lines before the first header form the section with the empty name.
  bool inSection = section.empty();
  read.Found = inSection;
  WalkProfile(
      in,
      [&](std::string_view name) {
        if (inSection) return false;  // the first section of the name is over
        inSection = !name.empty() && AsciiEqualNoCase(name, section);
        read.Found = read.Found || inSection;
        return true;
      },
      [&](std::string_view name, std::string_view value) {
        if (!inSection) return true;
        if (read.Keys.try_emplace(Folded(name), value).second)
          read.Cost += kEntryCost + name.size() + value.size();
        read.Whole = read.Cost <= budget;
        return read.Whole;
      });
  return read;
}

// The answers of files read before, while they stay as they were. The saver reads its
// match table a dozen times a page and its banner list at every banner: a file of
// megabytes (a damaged one, say) would otherwise be scanned whole each time, and input
// would wait for it.
class AnswersCache {
 public:
  std::optional<std::string> Find(const std::string& path, std::string_view section,
                                  std::string_view key) {
    // Only regular files: a FIFO would block the saver, a device could be endless.
    const std::optional<FileState> before = FileStateOf(path);
    if (!before) return std::nullopt;
    // Opened every time, as a fresh read would be: an unreadable file answers nothing,
    // and a network file system checks its copy of the file on opening.
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // A file replaced while it was being opened may not be the one measured.
    const bool steady = FileStateOf(path) == before;

    std::lock_guard lock(mutex_);
    const auto cached = entries_.find(path);
    if (steady && cached != entries_.end() && cached->second.State == *before) {
      if (cached->second.Answers) return cached->second.Answers->Find(section, key);
      return FromSections(cached->second, in, section, key, false);
    }
    if (cached != entries_.end()) entries_.erase(cached);
    ++scans_;
    // A file changed in the last moments is read afresh each time (FileState.h).
    if (!steady || !SettledFor(*before, std::chrono::nanoseconds(settleNs_)))
      return FindProfileValue(in, section, key);
    std::optional<ProfileAnswers> answers = ProfileAnswers::Read(in);
    // A read that failed partway (a failing disk, a network file system) gave only part
    // of the answers: they serve this call, and the next one reads the file again.
    if (in.bad()) return answers ? answers->Find(section, key) : std::nullopt;
    if (entries_.size() >= kMaxFiles) entries_.clear();
    auto& entry = entries_[path] = Entry{*before, std::move(answers), {}, 0};
    if (entry.Answers) return entry.Answers->Find(section, key);
    return FromSections(entry, in, section, key, true);
  }

  size_t Scans() {
    std::lock_guard lock(mutex_);
    return scans_;
  }

  void SetSettle(std::chrono::nanoseconds settle) {
    std::lock_guard lock(mutex_);
    settleNs_ = settle.count();
  }

 private:
  static constexpr size_t kMaxFiles = 8;

  struct Entry {
    FileState State;
    std::optional<ProfileAnswers> Answers;  // nullopt: too many to keep
    // Where the answers are too many: the sections asked for so far, each read in one
    // pass when first asked for (nullopt: no such section). The match table asks a
    // dozen keys of one section a page, the banners a few of one section a banner, so
    // a file of hundreds of megabytes (a damaged one) is read once a section, not once
    // a key, and not again while it stays as it is.
    std::unordered_map<std::string, std::optional<KeyValues>> Sections;
    size_t SectionsCost = 0;
  };

  // Answers from Entry::Sections, reading the section first if it is not there yet.
  // `scanned`: this call has already counted a read of the file.
  std::optional<std::string> FromSections(Entry& entry, std::istream& in, std::string_view section,
                                          std::string_view key, bool scanned) {
    const std::string name = Folded(Trim(section));
    auto known = entry.Sections.find(name);
    if (known == entry.Sections.end()) {
      if (!scanned) ++scans_;
      in.clear();
      in.seekg(0);
      SectionRead read = ReadSection(in, section, kAnswersBudget);
      // A read that failed partway serves this call only, as above.
      if (in.bad()) return FindKey(read.Keys, key);
      if (!read.Whole) {  // a section too large to keep: searched afresh each time
        if (auto found = FindKey(read.Keys, key)) return found;
        in.clear();
        in.seekg(0);
        return FindProfileValue(in, section, key);
      }
      const size_t cost = read.Cost + kEntryCost + name.size();
      if (entry.SectionsCost + cost > kAnswersBudget) {
        entry.Sections.clear();
        entry.SectionsCost = 0;
      }
      entry.SectionsCost += cost;
      known = entry.Sections
                  .emplace(name, read.Found ? std::optional<KeyValues>(std::move(read.Keys))
                                            : std::nullopt)
                  .first;
    }
    if (!known->second) return std::nullopt;
    return FindKey(*known->second, key);
  }
  std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
  size_t scans_ = 0;
  int64_t settleNs_ = std::chrono::nanoseconds(kProfileFileSettle).count();
};

AnswersCache& Cache() {
  static AnswersCache cache;
  return cache;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::istream& in, std::string_view section,
                                            std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  // Lines before the first header form the section with the empty name.
  bool inSection = section.empty();
  std::optional<std::string> found;
  WalkProfile(
      in,
      [&](std::string_view name) {
        if (inSection) return false;  // the first section of the name is over
        inSection = !name.empty() && AsciiEqualNoCase(name, section);
        return true;
      },
      [&](std::string_view name, std::string_view value) {
        if (!inSection || !AsciiEqualNoCase(name, key)) return true;
        found = std::string(value);
        return false;
      });
  return found;
}

std::optional<ProfileAnswers> ProfileAnswers::Read(std::istream& in) {
  ProfileAnswers answers;
  auto* current = &answers.sections_[""];
  size_t used = kEntryCost;
  WalkProfile(
      in,
      [&](std::string_view name) {
        if (name.empty()) {
          current = nullptr;
          return true;
        }
        auto [it, added] = answers.sections_.try_emplace(Folded(name));
        // Only the first section of a name is ever searched.
        current = added ? &it->second : nullptr;
        if (added) used += kEntryCost + name.size();
        return used <= kAnswersBudget;
      },
      [&](std::string_view name, std::string_view value) {
        if (current && current->try_emplace(Folded(name), value).second)
          used += kEntryCost + name.size() + value.size();
        return used <= kAnswersBudget;
      });
  if (used > kAnswersBudget) return std::nullopt;
  return answers;
}

std::optional<std::string> ProfileAnswers::Find(std::string_view section,
                                                std::string_view key) const {
  const auto s = sections_.find(Folded(Trim(section)));
  if (s == sections_.end()) return std::nullopt;
  return FindKey(s->second, key);
}

std::optional<std::string> FindProfileValueInFile(const std::string& hostPath,
                                                  std::string_view section, std::string_view key) {
  return Cache().Find(hostPath, section, key);
}

size_t ProfileFileScansForTesting() {
  return Cache().Scans();
}

void SetProfileFileSettleForTesting(std::chrono::nanoseconds settle) {
  Cache().SetSettle(settle);
}

}  // namespace qm
