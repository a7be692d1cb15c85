#include <gtest/gtest.h>

#include <string>

#include "winsys/Cp1252.h"

namespace qm {
namespace {

TEST(Cp1252, ConvertsToUtf8ByteForByte) {
  EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
  EXPECT_EQ(Cp1252ToUtf8("3\xBA Lugar"), "3\xC2\xBA Lugar");  // masculine ordinal
  EXPECT_EQ(Cp1252ToUtf8("\xE7\xE3"), "\xC3\xA7\xC3\xA3");    // c-cedilla, a-tilde
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");            // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");                // Y diaeresis
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");                // undefined: C1 control
  EXPECT_EQ(Cp1252ToUtf8(std::string("\0", 1)), std::string("\0", 1));
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, Utf8WithoutAWindows1252ByteBecomesAQuestionMark) {
  EXPECT_EQ(Utf8ToCp1252("\xE2\x98\x83"), "?");          // snowman
  EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80z"), "a?z");  // emoji
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(Utf8ToCp1252("\xDF\xBF"), "?");  // U+07FF, the last two-byte form
}

TEST(Cp1252, MalformedUtf8IsTakenAsWindows1252Bytes) {
  EXPECT_EQ(Utf8ToCp1252("Jo\xE3o"), "Jo\xE3o");            // Latin-1 text from an 8-bit editor
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "\xC3");                  // cut short
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "\xC0\xAF");          // overlong form
  EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "\xE0\x80\xAF");  // '/' in three bytes
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "\xED\xA0\x80");  // surrogate
}

TEST(Cp1252, FoldsLettersIncludingAccentedOnes) {
  EXPECT_EQ(Cp1252Upper('a'), 'A');
  EXPECT_EQ(Cp1252Upper('Z'), 'Z');
  EXPECT_EQ(Cp1252Upper('\xE7'), '\xC7');
  EXPECT_EQ(Cp1252Upper('\xFF'), '\x9F');
  EXPECT_EQ(Cp1252Upper('\x9A'), '\x8A');
  EXPECT_EQ(Cp1252Upper('\x9C'), '\x8C');  // oe
  EXPECT_EQ(Cp1252Upper('\x9E'), '\x8E');  // z caron
  EXPECT_EQ(Cp1252Upper('\xF7'), '\xF7');  // division sign is no letter
  EXPECT_EQ(Cp1252Upper('\xBA'), '\xBA');
  EXPECT_EQ(Cp1252Upper('1'), '1');
  EXPECT_TRUE(Cp1252EqualNoCase("3\xBA lugar", "3\xBA LUGAR"));
  EXPECT_TRUE(Cp1252EqualNoCase("Fran\xE7ois", "FRAN\xC7OIS"));
  EXPECT_FALSE(Cp1252EqualNoCase("abc", "abd"));
  EXPECT_FALSE(Cp1252EqualNoCase("abc", "abcd"));
  EXPECT_FALSE(Cp1252EqualNoCase("[", "{"));  // 0x5B and 0x7B differ by 0x20 but are no letters
}

TEST(Cp1252, TheKeepingFormsGiveBackEveryCharacter) {
  // e-acute and the euro sign have bytes (0xE9, 0x80); U+263A and U+1F600 have none
  // and are kept as 0x81 and their UTF-8 bytes.
  const std::string utf8 = "\xC3\xA9\xE2\x82\xAC \xE2\x98\xBA \xF0\x9F\x98\x80.";
  const std::string kept = Utf8ToCp1252Keeping(utf8);
  EXPECT_EQ(kept, "\xE9\x80 \x81\xE2\x98\xBA \x81\xF0\x9F\x98\x80.");
  EXPECT_EQ(Cp1252KeepingToUtf8(kept), utf8);
  EXPECT_EQ(KeptForeignLength(kept, 3), 4u);
  EXPECT_EQ(KeptForeignLength(kept, 8), 5u);
  EXPECT_EQ(KeptForeignLength(kept, 0), 0u);
  // A lone 0x81, and one before what is no UTF-8 sequence, are the C1 control U+0081.
  EXPECT_EQ(Cp1252KeepingToUtf8("\x81"), "\xC2\x81");
  EXPECT_EQ(Cp1252KeepingToUtf8("\x81\xE9"), "\xC2\x81\xC3\xA9");
  EXPECT_EQ(KeptForeignLength("\x81\xE9", 0), 0u);
  // Nor is 0x81 before the UTF-8 of a character the code page has: U+0081 A-tilde (C)
  // is no kept e-acute.
  EXPECT_EQ(Cp1252KeepingToUtf8("\x81\xC3\xA9"), "\xC2\x81\xC3\x83\xC2\xA9");
}

// Each length's first and last code point, and surrogate pairs at the edges of their
// ranges; a half without its partner is U+FFFD.
TEST(Cp1252, EncodesUtf8AndDecodesUtf16AtTheEdgesOfEachForm) {
  const struct {
    char32_t cp;
    const char* utf8;
  } points[] = {{0x7F, "\x7F"},
                {0x80, "\xC2\x80"},
                {0x7FF, "\xDF\xBF"},
                {0x800, "\xE0\xA0\x80"},
                {0xFFFF, "\xEF\xBF\xBF"},
                {0x10000, "\xF0\x90\x80\x80"},
                {0x10FFFF, "\xF4\x8F\xBF\xBF"}};
  for (const auto& point : points) {
    std::string out;
    AppendUtf8(out, point.cp);
    EXPECT_EQ(out, point.utf8) << std::hex << static_cast<unsigned>(point.cp);
  }
  const struct {
    std::u16string units;
    const char* utf8;
  } texts[] = {{u"\xD7FF\xE000", "\xED\x9F\xBF\xEE\x80\x80"},
               {{0xD800, 0xDC00}, "\xF0\x90\x80\x80"},
               {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},
               {{0xDC00, u'A'},
                "\xEF\xBF\xBD"
                "A"},
               {{0xD800, u'A'},
                "\xEF\xBF\xBD"
                "A"}};
  for (const auto& text : texts) {
    std::string little;
    for (const char16_t unit : text.units) {
      little += static_cast<char>(unit & 0xFF);
      little += static_cast<char>(unit >> 8);
    }
    std::string out;
    char32_t high = 0;
    EXPECT_EQ(AppendUtf16AsUtf8(out, little, true, high), little.size());
    EXPECT_EQ(out, text.utf8) << std::hex << static_cast<unsigned>(text.units[0]);
    EXPECT_EQ(high, 0u);
  }
}

}  // namespace
}  // namespace qm
