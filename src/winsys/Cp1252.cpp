#include "winsys/Cp1252.h"

#include <array>
#include <cstdint>

namespace qm {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return byte;
}

int ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

// Decodes one well-formed UTF-8 sequence at `pos`; 0 when the bytes there are not one
// (overlong forms and surrogates included).
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  size_t len = 0;
  char32_t min = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + len > text.size()) return 0;
  for (size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// A code point with no byte becomes '?', or where `keep`, the mark and its UTF-8 bytes.
std::string FromUtf8(std::string_view text, bool keep) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t cp = 0;
    const size_t len = static_cast<unsigned char>(text[pos]) < 0x80 ? 0 : DecodeUtf8(text, pos, cp);
    if (len == 0) {
      out += text[pos++];
      continue;
    }
    const int byte = ByteOf(cp);
    if (byte >= 0) {
      out += static_cast<char>(byte);
    } else if (keep) {
      out += static_cast<char>(kKeptMark);
      out.append(text.substr(pos, len));
    } else {
      out += '?';
    }
    pos += len;
  }
  return out;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
  return out;
}

size_t KeptForeignLength(std::string_view text, size_t pos) {
  if (pos + 1 >= text.size() || static_cast<unsigned char>(text[pos]) != kKeptMark) return 0;
  char32_t cp = 0;
  const size_t len = DecodeUtf8(text, pos + 1, cp);
  return len > 0 && ByteOf(cp) < 0 ? 1 + len : 0;
}

std::string Utf8ToCp1252(std::string_view text) {
  return FromUtf8(text, false);
}

std::string Utf8ToCp1252Keeping(std::string_view text) {
  return FromUtf8(text, true);
}

std::string Cp1252KeepingToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    if (const size_t kept = KeptForeignLength(text, pos)) {
      out.append(text.substr(pos + 1, kept - 1));
      pos += kept;
      continue;
    }
    AppendUtf8(out, CodePoint(static_cast<unsigned char>(text[pos++])));
  }
  return out;
}

char Cp1252Upper(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
  switch (b) {
    case 0x9A:  // s caron
    case 0x9C:  // oe
    case 0x9E:  // z caron
      return static_cast<char>(b - 0x10);
    case 0xFF:  // y diaeresis
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

bool Cp1252EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Cp1252Upper(a[i]) != Cp1252Upper(b[i])) return false;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

size_t AppendUtf16AsUtf8(std::string& out, std::string_view bytes, bool littleEndian,
                         char32_t& pendingHigh) {
  size_t used = 0;
  for (; used + 2 <= bytes.size(); used += 2) {
    const auto first = static_cast<unsigned char>(bytes[used]);
    const auto second = static_cast<unsigned char>(bytes[used + 1]);
    const char32_t unit =
        littleEndian ? (char32_t{second} << 8 | first) : (char32_t{first} << 8 | second);
    if (unit >= 0xD800 && unit < 0xDC00) {  // a pair's first half
      if (pendingHigh != 0) AppendUtf8(out, 0xFFFD);
      pendingHigh = unit;
      continue;
    }
    if (unit >= 0xDC00 && unit < 0xE000 && pendingHigh != 0) {
      AppendUtf8(out, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
    } else {
      if (pendingHigh != 0) AppendUtf8(out, 0xFFFD);
      AppendUtf8(out, unit >= 0xDC00 && unit < 0xE000 ? 0xFFFD : unit);
    }
    pendingHigh = 0;
  }
  return used;
}

}  // namespace qm
