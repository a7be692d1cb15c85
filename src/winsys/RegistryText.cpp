#include "winsys/RegistryText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "winsys/Cp1252.h"

namespace qm {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
// Long binary values are wrapped so they stay readable in an editor.
constexpr size_t kHexLineWidth = 80;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && Cp1252EqualNoCase(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to `maxDigits` hex digits, the whole of `s`.
std::optional<uint32_t> ParseHex(std::string_view s, size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  uint32_t value = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return value;
}

// regedit on Windows writes its exports in UTF-16LE; such a file is read as well, and
// one an editor turned big-endian.
std::string Utf16ToUtf8(std::string_view bytes, bool littleEndian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  char32_t high = 0;
  AppendUtf16AsUtf8(out, bytes, littleEndian, high);
  if (high != 0) AppendUtf8(out, 0xFFFD);
  return out;
}

// A quoted text starting at s[i] == '"'; on success `i` is just past the closing quote.
bool ParseQuoted(std::string_view s, size_t& i, std::string& out) {
  ++i;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '"') {
      ++i;
      return true;
    }
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      out += s[i + 1];
      i += 2;
      continue;
    }
    // A lone backslash before anything else stands for itself (hand-written paths).
    out += c;
    ++i;
  }
  return false;
}

bool ParseHexBytes(std::string_view list, std::string& data) {
  list = Trim(list);
  if (list.empty()) return true;
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(',', start);
    const std::string_view token = Trim(list.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    const bool last = comma == std::string_view::npos;
    if (token.empty() && last && start > 0) return true;  // one trailing comma
    const auto byte = ParseHex(token, 2);
    if (!byte) return false;
    data += static_cast<char>(*byte);
    if (last) return true;
    start = comma + 1;
  }
}

bool IsHeader(std::string_view line) {
  return line == kHeader || line == kOldHeader;
}

// A line the reading takes for a note, a key or a value by its first character.
bool StartsEntry(std::string_view line) {
  return line.front() == ';' || line.front() == '[' || line.front() == '"' || line.front() == '@';
}

class Parser {
 public:
  // `skipBad`: a line that cannot be read is passed over (the first is named in `error`)
  // instead of ending the reading.
  Parser(std::string_view text, RegistryTree& tree, RegistryParseError& error, bool skipBad)
      : text_(text), tree_(tree), error_(error), skipBad_(skipBad) {}

  bool Run() {
    std::string_view line;
    bool sawHeader = false;
    while (NextLine(line)) {
      if (line.empty()) {
        blankAfterNotes_ = !notes_.empty();
        continue;
      }
      if (!sawHeader) {
        sawHeader = true;
        if (IsHeader(line)) continue;
        Fail("not a registry file (no header)");
        if (!skipBad_) return false;
        // In a salvage a header mistyped, deleted or with a note put above it is one
        // slip like any other: the line is passed over, or read as what it is.
        ++skipped_;
        if (!StartsEntry(line)) continue;
      } else if (skipBad_ && !inKey_ && IsHeader(line)) {
        continue;  // the header below a note put above it
      }
      if (line.front() == ';') {
        if (blankAfterNotes_) notes_.emplace_back();
        notes_.emplace_back(line);
        blankAfterNotes_ = false;
        continue;
      }
      bool read = true;
      if (line.front() == '[') {
        const RegistryNotes above = NotesAboveKeyLine();
        read = Section(line);
        if (!read) {
          // Its values belong to no key we know: they are passed over with it.
          current_.reset();
          inKey_ = true;
        } else if (current_) {
          tree_.AddNotes(*current_, NotePlace::AboveKey, {}, above);
        }
      } else if (line.front() == '"' || line.front() == '@') {
        read = Value(line);
      } else {
        read = Fail("neither a key nor a value");
      }
      if (!read && !skipBad_) return false;
      if (!read) ++skipped_;
    }
    NotesToPreviousKey();
    return skipped_ == 0;
  }

 private:
  // Of the notes since the last key or value, those a blank line parts from a key line
  // end the block above it; the rest are the key's own.
  RegistryNotes NotesAboveKeyLine() {
    RegistryNotes above;
    if (!blankAfterNotes_) {
      const auto blank = std::find(notes_.rbegin(), notes_.rend(), std::string());
      above.assign(blank.base(), notes_.end());
      notes_.erase(blank.base(), notes_.end());
      if (!notes_.empty()) notes_.pop_back();  // the blank itself
    }
    NotesToPreviousKey();
    return above;
  }

  // The end of the block of the last key line read: that key's, or the file's own before
  // any key. A deleted key or one that could not be read takes its notes with it.
  void NotesToPreviousKey() {
    if (!inKey_) {
      tree_.AddPreamble(notes_);
    } else if (current_) {
      tree_.AddNotes(*current_, NotePlace::BelowKey, {}, notes_);
    }
    notes_.clear();
    blankAfterNotes_ = false;
  }

  // Lines end in LF, CR LF or a lone CR (an editor's old Macintosh line ends): the
  // writer puts any text holding a CR or LF in hex, so none stands inside a line.
  bool NextLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const size_t end = text_.find_first_of("\r\n", pos_);
    const size_t stop = end == std::string_view::npos ? text_.size() : end;
    line = Trim(text_.substr(pos_, stop - pos_));
    pos_ = stop + 1;
    if (stop + 1 < text_.size() && text_[stop] == '\r' && text_[stop + 1] == '\n') ++pos_;
    ++lineNumber_;
    return true;
  }

  bool Fail(std::string reason) {
    if (skipped_ == 0) {
      error_.Line = lineNumber_;
      error_.Reason = std::move(reason);
    }
    return false;
  }

  bool Section(std::string_view line) {
    if (line.back() != ']') return Fail("key line without a closing bracket");
    std::string_view inner = line.substr(1, line.size() - 2);
    const bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    const std::string path = Utf8ToCp1252Keeping(inner);
    const size_t slash = path.find('\\');
    const std::string_view root = std::string_view(path).substr(0, slash);
    if (root.size() <= 5 || !StartsWithNoCase(root, "HKEY_")) return Fail("key outside any hive");
    if (slash != std::string::npos) {
      const std::string_view below = std::string_view(path).substr(slash + 1);
      if (below.empty() || !IsValidKeyPath(below)) return Fail("malformed key path");
    }
    if (remove) {
      tree_.RemoveKey(path);
      current_.reset();
    } else {
      tree_.AddKey(path);
      current_ = path;
    }
    inKey_ = true;
    return true;
  }

  bool Value(std::string_view line) {
    if (!inKey_) return Fail("value before any key");
    size_t i = 0;
    std::string rawName;
    if (line.front() == '@') {
      i = 1;
    } else if (!ParseQuoted(line, i, rawName)) {
      return Fail("unterminated value name");
    }
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size() || line[i] != '=') return Fail("value name without '='");
    ++i;
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::string name = Utf8ToCp1252Keeping(rawName);
    std::string_view data = line.substr(i);

    RegValue value;
    if (data == "-") {
      // Notes above a deletion stay for whatever follows it.
      if (current_) tree_.Remove(*current_, name);
      return true;
    }
    if (!data.empty() && data.front() == '"') {
      size_t j = 0;
      std::string raw;
      if (!ParseQuoted(data, j, raw)) return Fail("unterminated text");
      if (!Trim(data.substr(j)).empty()) return Fail("characters after a text");
      value.Type = kRegSz;
      value.Data = Utf8ToCp1252Keeping(raw);
    } else if (StartsWithNoCase(data, "dword:")) {
      const auto number = ParseHex(Trim(data.substr(6)), 8);
      if (!number) return Fail("malformed dword");
      value.Type = kRegDword;
      for (int shift = 0; shift < 32; shift += 8) {
        value.Data += static_cast<char>((*number >> shift) & 0xFF);
      }
    } else if (StartsWithNoCase(data, "hex")) {
      if (!HexValue(data.substr(3), value)) return false;
    } else {
      return Fail("unknown kind of value");
    }
    if (current_) {
      tree_.Set(*current_, name, value);
      tree_.AddNotes(*current_, NotePlace::AboveValue, name, notes_);
    }
    notes_.clear();
    blankAfterNotes_ = false;
    return true;
  }

  // After "hex": ":" or "(N):", then bytes, perhaps continued over several lines.
  bool HexValue(std::string_view rest, RegValue& value) {
    value.Type = 3;  // REG_BINARY
    if (!rest.empty() && rest.front() == '(') {
      const size_t close = rest.find(')');
      if (close == std::string_view::npos) return Fail("malformed hex type");
      const auto type = ParseHex(rest.substr(1, close - 1), 8);
      if (!type) return Fail("malformed hex type");
      value.Type = *type;
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':') return Fail("hex value without ':'");
    std::string list(rest.substr(1));
    while (!list.empty() && list.back() == '\\') {
      list.pop_back();
      const size_t pos = pos_, lineNumber = lineNumber_;
      std::string_view next;
      if (!NextLine(next)) return Fail("hex value continued past the end");
      if (!next.empty() && (next.front() == '[' || next.front() == '"' || next.front() == '@')) {
        // A key or a value, not more bytes: it is read as itself, so that what follows
        // a broken value does not end up under another key.
        pos_ = pos;
        lineNumber_ = lineNumber;
        return Fail("hex value continued into the next key or value");
      }
      list += next;
    }
    if (!ParseHexBytes(list, value.Data)) return Fail("malformed hex bytes");
    return true;
  }

  std::string_view text_;
  RegistryTree& tree_;
  RegistryParseError& error_;
  const bool skipBad_;
  size_t skipped_ = 0;  // lines passed over
  size_t pos_ = 0;
  size_t lineNumber_ = 0;
  bool inKey_ = false;
  std::optional<std::string> current_;  // unset inside a deleted key
  RegistryNotes notes_;                 // comment lines since the last key or value
  bool blankAfterNotes_ = false;        // a blank line follows the last of them
};

std::string Quoted(std::string_view text8) {
  std::string out = "\"";
  for (char c : Cp1252KeepingToUtf8(text8)) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

bool FitsOneLine(std::string_view text) {
  return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

void AppendHex(std::string& out, const RegValue& value) {
  char head[24];
  if (value.Type == 3) {
    std::snprintf(head, sizeof head, "hex:");
  } else {
    std::snprintf(head, sizeof head, "hex(%x):", static_cast<unsigned>(value.Type));
  }
  out += head;
  // Lines of at most 80 columns, continued with a trailing backslash, as regedit does.
  size_t column = out.size() - (out.rfind('\n') + 1);
  for (size_t i = 0; i < value.Data.size(); ++i) {
    if (i > 0) {
      if (column + 3 > kHexLineWidth - 2) {
        out += ",\\\n  ";
        column = 2;
      } else {
        out += ',';
        ++column;
      }
    }
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(value.Data[i]));
    out += byte;
    column += 2;
  }
}

}  // namespace

namespace {

bool Parse(std::string_view text, RegistryTree& tree, RegistryParseError& error, bool skipBad) {
  const bool little = text.substr(0, 2) == "\xFF\xFE", big = text.substr(0, 2) == "\xFE\xFF";
  if (little || big) {
    const std::string utf8 = Utf16ToUtf8(text.substr(2), little);
    return Parser(utf8, tree, error, skipBad).Run();
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return Parser(text, tree, error, skipBad).Run();
}

}  // namespace

bool ParseRegistryText(std::string_view text, RegistryTree& tree, RegistryParseError& error) {
  return Parse(text, tree, error, false);
}

void SalvageRegistryText(std::string_view text, RegistryTree& tree) {
  RegistryParseError ignored;
  Parse(text, tree, ignored, true);
}

std::string FormatRegistryText(const RegistryTree& tree) {
  std::string out(kHeader);
  out += '\n';
  const auto notes = [&out](const RegistryNotes& lines) {
    for (const std::string& line : lines) (out += line) += '\n';
  };
  if (!tree.Preamble().empty()) {
    out += '\n';
    notes(tree.Preamble());
  }
  for (const RegistryKey& key : tree.Keys()) {
    out += '\n';
    notes(key.Above);
    out += '[';
    out += Cp1252KeepingToUtf8(key.Path);
    out += "]\n";
    for (size_t v = 0; v < key.Values.size(); ++v) {
      const auto& [name, value] = key.Values[v];
      notes(key.ValueNotes[v]);
      out += name.empty() ? std::string("@") : Quoted(name);
      out += '=';
      if (value.Type == kRegSz && FitsOneLine(value.Data)) {
        out += Quoted(value.Data);
      } else if (value.Type == kRegDword && value.Data.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
          number = (number << 8) | static_cast<unsigned char>(value.Data[static_cast<size_t>(i)]);
        }
        char text[24];
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
        out += text;
      } else {
        AppendHex(out, value);
      }
      out += '\n';
    }
    notes(key.Below);
  }
  return out;
}

}  // namespace qm
