// Windows-1252, the 8-bit code page in which the program keeps every text, and its
// conversion to and from the UTF-8 of Linux file names, files and terminals.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// Every byte maps to one code point: the five bytes Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows'
// own conversion does, so any 8-bit text survives a round trip through UTF-8.
std::string Cp1252ToUtf8(std::string_view text);

// Never fails: a code point with no Windows-1252 byte becomes '?' (Windows' default
// character), and a byte that does not start a well-formed UTF-8 sequence is taken
// as a Windows-1252 byte of its own (text saved by an 8-bit editor still reads).
std::string Utf8ToCp1252(std::string_view text);

// Lossless forms, for a store that must give back every text it was handed (the
// registry file, which may hold other programs' keys in any script): a code point with
// no Windows-1252 byte is kept as kKeptMark, a byte Windows-1252 leaves undefined,
// followed by the code point's UTF-8 bytes, and turned back into them on the way out.
// The program sees such a character as a few bytes of no meaning, where the plain
// conversion would show '?'; texts of Windows-1252 characters alone are the same in
// both. A text holding U+0081 followed by bytes that spell such a sequence reads back
// as the foreign character, the one case that does not come back as it went in.
inline constexpr unsigned char kKeptMark = 0x81;
std::string Utf8ToCp1252Keeping(std::string_view text);
std::string Cp1252KeepingToUtf8(std::string_view text);
// The length of a kept character at text[pos] (the mark and its UTF-8 bytes); 0 when
// none starts there.
size_t KeptForeignLength(std::string_view text, size_t pos);

// Appends code point `cp` (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Appends the UTF-16 text `bytes` (little- or big-endian) to `out` as UTF-8, for files
// saved in it; a unit of an unmatched surrogate pair becomes U+FFFD. Returns the bytes
// used: an odd last byte is left for the caller. A pair's first half at the end waits
// in `pendingHigh` (0 when none) for the next call; a caller with no more text appends
// U+FFFD for it.
size_t AppendUtf16AsUtf8(std::string& out, std::string_view bytes, bool littleEndian,
                         char32_t& pendingHigh);

// The letter-case folding Windows applies to 8-bit names in this code page: ASCII and
// the accented letters (e.g. 0xE7 c-cedilla -> 0xC7) fold to upper case; everything
// else, such as 0xBA (masculine ordinal), is left alone.
char Cp1252Upper(char c);
bool Cp1252EqualNoCase(std::string_view a, std::string_view b);

}  // namespace qm
