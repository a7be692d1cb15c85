#include <gtest/gtest.h>

#include <string>

#include "winsys/RegistryText.h"

namespace qm {
namespace {

constexpr const char* kSaverKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver";

RegistryTree Parse(const std::string& text) {
  RegistryTree tree;
  RegistryParseError error;
  EXPECT_TRUE(ParseRegistryText(text, tree, error))
      << "line " << error.Line << ": " << error.Reason;
  return tree;
}

RegistryParseError ParseFailure(const std::string& text) {
  RegistryTree tree;
  RegistryParseError error;
  EXPECT_FALSE(ParseRegistryText(text, tree, error)) << text;
  return error;
}

std::string Data(const RegistryTree& tree, const char* key, const char* name) {
  const RegValue* value = tree.Find(key, name);
  return value ? value->Data : "<missing>";
}

TEST(RegistryText, ReadsEveryKindOfValue) {
  const RegistryTree tree = Parse(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; written by hand\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\r\n"
      "\"Saver\"=\"3\"\r\n"
      "\"Path\"=\"c:\\\\windows\\\\\"\r\n"
      "\"Lone\"=\"c:\\windows\"\r\n"
      "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
      "\"Flag\"=dword:0000002a\r\n"
      "@=\"unnamed\"\r\n"
      "\"Blob\"=hex:01,ff,\\\r\n"
      "  10\r\n"
      "\"Multi\"=hex(7):61,00,00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
      "\"ScreenSaveUsePassword\"=dword:00000001\r\n");
  EXPECT_EQ(Data(tree, kSaverKey, "Saver"), "3");
  EXPECT_EQ(Data(tree, kSaverKey, "Path"), "c:\\windows\\");
  // A hand-written path: a backslash before anything but a backslash or a quote stands
  // for itself.
  EXPECT_EQ(Data(tree, kSaverKey, "Lone"), "c:\\windows");
  EXPECT_EQ(Data(tree, kSaverKey, "Quote"), "say \"hi\"");
  EXPECT_EQ(tree.Find(kSaverKey, "Flag")->Type, kRegDword);
  EXPECT_EQ(Data(tree, kSaverKey, "Flag"), std::string("\x2a\0\0\0", 4));
  EXPECT_EQ(Data(tree, kSaverKey, ""), "unnamed");
  EXPECT_EQ(tree.Find(kSaverKey, "Blob")->Type, 3u);
  EXPECT_EQ(Data(tree, kSaverKey, "Blob"), "\x01\xFF\x10");
  EXPECT_EQ(tree.Find(kSaverKey, "Multi")->Type, 7u);
  EXPECT_EQ(Data(tree, kSaverKey, "Multi"), std::string("a\0\0", 3));
  EXPECT_EQ(Data(tree, "hkey_current_user\\control panel\\DESKTOP", "screensaveusepassword"),
            std::string("\x01\0\0\0", 4));
}

TEST(RegistryText, TextsAreUtf8OnDiskAndWindows1252InMemory) {
  const RegistryTree tree = Parse(
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\S\xC3\xA3o]\n"
      "\"Cidade\"=\"S\xC3\xA3o Paulo \xE2\x82\xAC\"\n"
      "\"Snow\"=\"\xE2\x98\x83\"\n"
      "\"Latin1\"=\"Jo\xE3o\"\n");
  EXPECT_EQ(Data(tree, "HKEY_LOCAL_MACHINE\\S\xE3o", "Cidade"), "S\xE3o Paulo \x80");
  // A snowman has no Windows-1252 byte: it is kept as the mark and its UTF-8 bytes.
  EXPECT_EQ(Data(tree, "HKEY_LOCAL_MACHINE\\S\xE3o", "Snow"), "\x81\xE2\x98\x83");
  EXPECT_EQ(Data(tree, "HKEY_LOCAL_MACHINE\\S\xE3o", "Latin1"), "Jo\xE3o");
}

TEST(RegistryText, KeysInOtherScriptsStayApartAndAreWrittenBackAsTheyWere) {
  // U+65E5 U+672C and U+4E2D U+56FD: two keys no Windows-1252 byte can spell, which
  // would both read "??" if their characters were replaced. And two spellings of
  // one Latin key, which fold together.
  const std::string text =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\\xE6\x97\xA5\xE6\x9C\xAC]\n"
      "\"\xE5\x90\x8D\"=\"\xE5\x80\xA4 \xE2\x9C\x93\"\n\n"
      "[HKEY_CURRENT_USER\\Software\\\xE4\xB8\xAD\xE5\x9B\xBD]\n"
      "\"x\"=\"y\"\n\n"
      "[HKEY_CURRENT_USER\\Software\\\xC3\x84rger]\n"
      "\"a\"=\"1\"\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\\xC3\xA4RGER]\n"
      "\"b\"=\"2\"\n";
  const RegistryTree tree =
      Parse(text +
            // U+0081, a-diaeresis, cedilla, A: held as 0x81 0xE4 0xB8 'A', whose upper case
            // 0x81 0xC4 0xB8 would spell the kept U+0138 of the key after it.
            "[HKEY_CURRENT_USER\\X\xC2\x81\xC3\xA4\xC2\xB8\x41]\n\"p\"=\"1\"\n"
            "[HKEY_CURRENT_USER\\X\xC4\xB8\x41]\n\"q\"=\"1\"\n");
  ASSERT_EQ(tree.Keys().size(), 5u);
  EXPECT_EQ(tree.Keys()[0].Values.size(), 1u);
  EXPECT_EQ(tree.Keys()[1].Values.size(), 1u);
  EXPECT_EQ(tree.Keys()[2].Values.size(), 2u);
  const std::string written = FormatRegistryText(tree);
  for (const char* line :
       {"[HKEY_CURRENT_USER\\Software\\\xE6\x97\xA5\xE6\x9C\xAC]\n",
        "\"\xE5\x90\x8D\"=\"\xE5\x80\xA4 \xE2\x9C\x93\"\n",
        "[HKEY_CURRENT_USER\\Software\\\xE4\xB8\xAD\xE5\x9B\xBD]\n", "\"x\"=\"y\"\n"}) {
    EXPECT_NE(written.find(line), std::string::npos) << line << "\nin\n" << written;
  }
}

TEST(RegistryText, AcceptsByteOrderMarksTheOldHeaderAndTheEmptyFile) {
  EXPECT_EQ(Data(Parse("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_USERS\\X]\n"
                       "\"A\"=\"1\"\n"),
                 "HKEY_USERS\\X", "A"),
            "1");
  EXPECT_EQ(
      Data(Parse("REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"2\"\n"), "HKEY_CURRENT_USER\\X", "A"),
      "2");
  EXPECT_TRUE(Parse("").Keys().empty());
  EXPECT_TRUE(Parse("\n\r\n  \n").Keys().empty());
  // Lines ended by a lone CR, as an editor set for old Macintosh files saves them.
  const std::string crOnly = "Windows Registry Editor Version 5.00\r[HKEY_CURRENT_USER\\X]\r";
  EXPECT_EQ(Data(Parse(crOnly + "\"A\"=\"3\"\r"), "HKEY_CURRENT_USER\\X", "A"), "3");
  EXPECT_EQ(ParseFailure(crOnly + "\r\ngarbage\r").Line, 4u);
  // What regedit on Windows exports: UTF-16LE with its mark; and the same turned
  // big-endian by an editor.
  const std::u16string wide =
      u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\X]\r\n"
      u"\"A\"=\"\u00E7\"\r\n";
  for (const bool big : {false, true}) {
    std::string utf16 = big ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : wide) {
      utf16 += static_cast<char>(big ? c >> 8 : c & 0xFF);
      utf16 += static_cast<char>(big ? c & 0xFF : c >> 8);
    }
    EXPECT_EQ(Data(Parse(utf16), "HKEY_CURRENT_USER\\X", "A"), "\xE7") << "big-endian " << big;
    // Cut after the first half of a surrogate pair: the half reads as U+FFFD, a line
    // that is neither a key nor a value.
    utf16 += big ? "\xD8" : std::string(1, '\0');
    utf16 += big ? std::string(1, '\0') : "\xD8";
    EXPECT_EQ(ParseFailure(utf16).Line, 4u) << "big-endian " << big;
  }
}

TEST(RegistryText, LaterValuesWinAndDeletionsApply) {
  const RegistryTree tree = Parse(
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_CURRENT_USER\\A]\n\"V\"=\"1\"\n\"W\"=\"1\"\n\"X\"=\"4\"\n"
      "[HKEY_CURRENT_USER\\A\\Sub]\n\"S\"=\"1\"\n"
      "[HKEY_CURRENT_USER\\B]\n\"V\"=\"1\"\n"
      "[HKEY_CURRENT_USER\\B\\Sub]\n"
      "[HKEY_CURRENT_USER\\Bx]\n"
      "[HKEY_CURRENT_USER\\C]\n\"Z\"=\"3\"\n"
      "[-HKEY_CURRENT_USER\\B]\n"
      "[HKEY_CURRENT_USER\\a]\n\"v\"=\"2\"\n\"W\"=-\n"
      "[HKEY_CURRENT_USER\\c]\n\"z\"=\"5\"\n");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\A", "V"), "2");
  EXPECT_EQ(tree.Find("HKEY_CURRENT_USER\\A", "W"), nullptr);
  EXPECT_TRUE(tree.HasKey("HKEY_CURRENT_USER\\A\\Sub"));
  // A deleted key takes the keys below it, and no key that merely starts with its name.
  EXPECT_FALSE(tree.HasKey("HKEY_CURRENT_USER\\B"));
  EXPECT_FALSE(tree.HasKey("HKEY_CURRENT_USER\\B\\Sub"));
  EXPECT_TRUE(tree.HasKey("HKEY_CURRENT_USER\\Bx"));
  // What came after a removed value or key is still found, and still replaced in place.
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\a", "x"), "4");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\C", "Z"), "5");
  ASSERT_EQ(tree.Keys().size(), 4u);
  EXPECT_EQ(tree.Keys()[3].Values.size(), 1u);
}

TEST(RegistryText, RejectsWhatIsNotARegistryFile) {
  EXPECT_EQ(ParseFailure("hello\n").Line, 1u);
  EXPECT_EQ(ParseFailure("\n\n[HKEY_CURRENT_USER\\A]\n").Line, 3u);  // no header
  const std::string head = "Windows Registry Editor Version 5.00\n";
  EXPECT_EQ(ParseFailure(head + "\"V\"=\"1\"\n").Line, 2u);  // value before any key
  EXPECT_EQ(ParseFailure(head + "[HKEY_CURRENT_USER\\A]\ngarbage\n").Line, 3u);
  for (const char* line :
       {"\"V\"=\"open", "\"V=\"1\"", "\"V\"\"1\"", "\"V\"=\"1\" x", "\"V\"=dword:xyz",
        "\"V\"=dword:123456789", "\"V\"=dword:", "\"V\"=hex:1g", "\"V\"=hex:123", "\"V\"=hex(7:00",
        "\"V\"=hex(2)00", "\"V\"=string", "\"V\"=hex:01,\\"}) {
    EXPECT_EQ(ParseFailure(head + "[HKEY_CURRENT_USER\\A]\n" + line + "\n").Line, 3u) << line;
  }
  // One comma may end a list of bytes, as one before a continuation does; not two.
  EXPECT_EQ(
      Data(Parse(head + "[HKEY_CURRENT_USER\\A]\n\"V\"=hex:01,ff,\n"), "HKEY_CURRENT_USER\\A", "V"),
      "\x01\xFF");
  for (const char* line : {"\"V\"=hex:01,ff,,", "\"V\"=hex:,", "\"V\"=hex:01,,ff"})
    EXPECT_EQ(ParseFailure(head + "[HKEY_CURRENT_USER\\A]\n" + line + "\n").Line, 3u) << line;
  for (const char* key : {"[HKEY_CURRENT_USER\\Key", "[SOFTWARE\\A]", "[HKEY_]",
                          "[HKEY_CURRENT_USER\\]", "[HKEY_CURRENT_USER\\A\\\\B]"}) {
    EXPECT_EQ(ParseFailure(head + key + "\n").Line, 2u) << key;
  }
}

// A hand edit gone wrong in one line: the rest is read, and the values under a key line
// that cannot be read are left out rather than put under the key above it.
TEST(RegistryText, SalvagingPassesOverTheLinesItCannotRead) {
  RegistryTree tree;
  SalvageRegistryText(
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_CURRENT_USER\\A]\n"
      "\"Before\"=\"1\"\n"
      "\"Open\"=\"no end\n"
      "a stray line\n"
      "\"Blob\"=hex:01,\\\n"
      "  zz\n"
      "\"After\"=dword:00000002\n"
      "[HKEY_CURRENT_USER\\B\n"
      "\"Lost\"=\"3\"\n"
      "[HKEY_CURRENT_USER\\C]\n"
      "\"Kept\"=\"4\"\n"
      "\"Snip\"=hex:02,\\\n"
      "\"Next\"=\"6\"\n"
      "\"Cut\"=hex:01,\\\n"
      "[HKEY_CURRENT_USER\\D]\n"
      "\"Mine\"=\"5\"\n",
      tree);
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\A", "Before"), "1");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\A", "After"), std::string("\x02\0\0\0", 4));
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\A", "Open"), "<missing>");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\A", "Blob"), "<missing>");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\A", "Lost"), "<missing>");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\C", "Kept"), "4");
  // Nor does a value line: it is read as itself, not as more bytes.
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\C", "Snip"), "<missing>");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\C", "Next"), "6");
  // A hex value cut short before a key line leaves that key line to start its key.
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\C", "Cut"), "<missing>");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\C", "Mine"), "<missing>");
  EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\D", "Mine"), "5");
  EXPECT_EQ(tree.Keys().size(), 3u);
}

// The header is one line like the others: deleted, mistyped or with a note put above
// it, it costs only itself (and the file counts as damaged, to be set aside).
TEST(RegistryText, SalvagingPassesOverASlipInTheHeader) {
  const std::string body = "[HKEY_CURRENT_USER\\A]\n\"V\"=\"1\"\n";
  for (const std::string& text :
       {body, "Windows Registry Editor Version 5.0\n" + body, "\n\nREGEDIT 4\n" + body,
        "; mine\nWindows Registry Editor Version 5.00\n" + body}) {
    EXPECT_EQ(ParseFailure(text).Reason, "not a registry file (no header)") << text;
    RegistryTree tree;
    SalvageRegistryText(text, tree);
    EXPECT_EQ(Data(tree, "HKEY_CURRENT_USER\\A", "V"), "1") << text;
    EXPECT_EQ(tree.Keys().size(), 1u) << text;
  }
  RegistryTree noted;
  SalvageRegistryText("; mine\nWindows Registry Editor Version 5.00\n\n" + body, noted);
  EXPECT_EQ(noted.Preamble(), RegistryNotes{"; mine"});
  // Text with nothing of a registry file in it gives nothing.
  RegistryTree none;
  SalvageRegistryText("hello\n[not a key]\nworld = 1\n", none);
  EXPECT_TRUE(none.Keys().empty());
}

TEST(RegistryText, CommentsStayWithWhatTheyStandAboveThroughChanges) {
  RegistryTree tree = Parse(
      "Windows Registry Editor Version 5.00\n"
      "; Quillmark's settings, edited by hand\n"
      "\n"
      "; the saver\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
      "  ; 1 to 5\n"
      "\"Saver\"=\"2\"\n"
      "\n"
      "; which mouse\n"
      "\n"
      ";   0 ends it\n"
      "\"Mouse\"=\"0\"\n"
      "; end of saver\n"
      "\n"
      "\n"
      "[HKEY_CURRENT_USER\\A]\n"
      "; nothing here yet\n"
      "\n"
      "; above a deleted key\n"
      "[-HKEY_CURRENT_USER\\Gone]\n"
      "; in a deleted key\n"
      "\"X\"=\"1\"\n"
      "\n"
      "[HKEY_CURRENT_USER\\B]\n"
      "; above a deleted value\n"
      "\"Y\"=-\n"
      "\"Z\"=\"2\"\n"
      "; at the end\n");
  tree.Set(kSaverKey, "Saver", {kRegSz, "5"});
  ASSERT_TRUE(tree.Remove(kSaverKey, "MOUSE"));
  tree.Set(kSaverKey, "Tela", {kRegSz, " 0"});
  const std::string text = FormatRegistryText(tree);
  // Notes a blank line parts from the key line below them end the block above; a
  // removed value's notes stay where they stood, after the values added since.
  const std::string head =
      "Windows Registry Editor Version 5.00\n"
      "\n"
      "; Quillmark's settings, edited by hand\n"
      "\n"
      "; the saver\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
      "; 1 to 5\n";
  const std::string rest =
      "\"Tela\"=\" 0\"\n"
      "; which mouse\n"
      "\n"
      ";   0 ends it\n"
      "; end of saver\n"
      "\n";
  const std::string keyA =
      "[HKEY_CURRENT_USER\\A]\n"
      "; nothing here yet\n"
      "\n";
  const std::string keyB =
      "[HKEY_CURRENT_USER\\B]\n"
      "; above a deleted value\n"
      "\"Z\"=\"2\"\n"
      "; at the end\n";
  EXPECT_EQ(text, head + "\"Saver\"=\"5\"\n" + rest + keyA + keyB);
  EXPECT_EQ(FormatRegistryText(Parse(text)), text);

  // A value removed from the middle hands its notes to the one that followed it; a
  // removed key takes its own.
  RegistryTree middle = Parse(text);
  ASSERT_TRUE(middle.Remove(kSaverKey, "Saver"));
  middle.RemoveKey("HKEY_CURRENT_USER\\A");
  EXPECT_EQ(FormatRegistryText(middle), head + rest + keyB);

  // A file holding only notes keeps them too.
  const std::string notesOnly = "Windows Registry Editor Version 5.00\n\n; empty for now\n";
  EXPECT_EQ(FormatRegistryText(Parse("Windows Registry Editor Version 5.00\r\n; empty for now")),
            notesOnly);
}

TEST(RegistryText, WritesTheExportFormat) {
  RegistryTree tree;
  tree.Set(kSaverKey, "Saver", {kRegSz, "1"});
  tree.Set(kSaverKey, "Path", {kRegSz, "c:\\a \"b\""});
  tree.Set(kSaverKey, "Ordinal", {kRegSz, "3\xBA"});
  tree.Set("HKEY_CURRENT_USER\\Control Panel\\Desktop", "ScreenSaveUsePassword",
           {kRegDword, std::string("\x01\0\0\0", 4)});
  tree.Set("HKEY_CURRENT_USER\\X", "", {3, std::string("\0\xAB", 2)});
  tree.Set("HKEY_CURRENT_USER\\X", "Lines", {kRegSz, "a\nb"});
  tree.Set("HKEY_CURRENT_USER\\X", "Return", {kRegSz, "a\rb"});
  EXPECT_EQ(FormatRegistryText(tree),
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
            "\"Saver\"=\"1\"\n"
            "\"Path\"=\"c:\\\\a \\\"b\\\"\"\n"
            "\"Ordinal\"=\"3\xC2\xBA\"\n"
            "\n"
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
            "\"ScreenSaveUsePassword\"=dword:00000001\n"
            "\n"
            "[HKEY_CURRENT_USER\\X]\n"
            "@=hex:00,ab\n"
            "\"Lines\"=hex(1):61,0a,62\n"
            "\"Return\"=hex(1):61,0d,62\n");
}

TEST(RegistryText, WhatIsWrittenReadsBackToTheSameValues) {
  RegistryTree tree;
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  tree.Set("HKEY_CURRENT_USER\\K", "every byte", {kRegSz, all});
  tree.Set("HKEY_CURRENT_USER\\K", "high", {kRegSz, all.substr(1, 9) + all.substr(14, 242)});
  tree.Set("HKEY_CURRENT_USER\\K", "nul end", {kRegSz, std::string("x\0", 2)});
  tree.Set("HKEY_CURRENT_USER\\K", "short dword", {kRegDword, "\x01\x02"});
  tree.Set("HKEY_CURRENT_USER\\K", "\\\"odd name\"\\", {kRegSz, "\\"});
  tree.Set("HKEY_CURRENT_USER\\K", "big", {0x0B, std::string(1000, '\xC3')});
  tree.Set("HKEY_CURRENT_USER\\K\\\xE7]", "empty", {kRegSz, ""});
  tree.AddKey("HKEY_LOCAL_MACHINE\\No Values");

  const std::string text = FormatRegistryText(tree);
  const RegistryTree back = Parse(text);
  ASSERT_EQ(back.Keys().size(), tree.Keys().size());
  for (size_t k = 0; k < tree.Keys().size(); ++k) {
    const RegistryKey& want = tree.Keys()[k];
    const RegistryKey& got = back.Keys()[k];
    EXPECT_EQ(got.Path, want.Path);
    ASSERT_EQ(got.Values.size(), want.Values.size()) << want.Path;
    for (size_t v = 0; v < want.Values.size(); ++v) {
      EXPECT_EQ(got.Values[v].first, want.Values[v].first);
      EXPECT_EQ(got.Values[v].second.Type, want.Values[v].second.Type) << want.Values[v].first;
      EXPECT_EQ(got.Values[v].second.Data, want.Values[v].second.Data) << want.Values[v].first;
    }
  }
  // Long data are wrapped, and the result is stable.
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (text.compare(start, 6, "\"high\"") != 0) {
      EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    }
  }
  EXPECT_EQ(FormatRegistryText(back), text);
}

}  // namespace
}  // namespace qm
