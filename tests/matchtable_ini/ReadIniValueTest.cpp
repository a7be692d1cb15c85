#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "../app/TempDir.h"
#include "matchtable/Module2.h"
#include "winsys/ProfileFile.h"

namespace qm {
namespace {

using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFile;

class ReadIniValueTest : public ::testing::Test {
 protected:
  // Writes `bytes` as the test's file and reads `key` of `section` from it.
  std::string ReadFrom(const std::string& bytes, const std::string& section, const std::string& key,
                       const std::string& fallback = "") {
    WriteFile(path_, bytes);
    return ReadIniValue(section, key, fallback, path_);
  }
  TempDir dir_;
  std::string path_ = dir_ / "tabela.ini";
};

TEST_F(ReadIniValueTest, FindsAKeyOfTheFirstSectionOfItsName) {
  const std::string file =
      "[A]\r\nJOGO01=Brasil x Jap\xE3o\r\nJOGO01DIA=10/06 - 12h30\r\n"
      "[B]\r\nJOGO01=It\xE1lia x Chile\r\n";
  EXPECT_EQ(ReadFrom(file, "A", "JOGO01"), "Brasil x Jap\xE3o");
  EXPECT_EQ(ReadFrom(file, "A", "JOGO01DIA"), "10/06 - 12h30");
  EXPECT_EQ(ReadFrom(file, "B", "JOGO01"), "It\xE1lia x Chile");
  EXPECT_EQ(ReadFrom(file, "B", "JOGO01DIA"), "");

  // The first section of a name and its first key of a name win.
  const std::string twice = "[A]\nK=first\nK=second\n[B]\nK=b\n[A]\nK=again\nL=late\n";
  EXPECT_EQ(ReadFrom(twice, "A", "K"), "first");
  EXPECT_EQ(ReadFrom(twice, "A", "L"), "");  // only the first [A] is searched
  EXPECT_EQ(ReadFrom(twice, "B", "K"), "b");
}

TEST_F(ReadIniValueTest, TheOrdinalSignSectionIsFoundByItsWindows1252Name) {
  const std::string file = "[Semifinais]\nJOGO01=x\n[3\xBA Lugar]\nJOGO01=Holanda x Jap\xE3o\n";
  EXPECT_EQ(ReadFrom(file, "3\xBA Lugar", "JOGO01"), "Holanda x Jap\xE3o");
  EXPECT_EQ(ReadFrom(file, "3\xBA LUGAR", "jogo01"), "Holanda x Jap\xE3o");
  EXPECT_EQ(ReadFrom(file, "3 Lugar", "JOGO01"), "");
}

TEST_F(ReadIniValueTest, NamesMatchInAnyCaseAndBlanksAroundNamesAndValuesAreIgnored) {
  const std::string file = "  [ oitavas ]  \n  jogo01   =   It\xE1lia x Noruega  \t\n";
  EXPECT_EQ(ReadFrom(file, "Oitavas", "JOGO01"), "It\xE1lia x Noruega");
  EXPECT_EQ(ReadFrom(file, "OITAVAS", "Jogo01"), "It\xE1lia x Noruega");
  EXPECT_EQ(ReadFrom("[Zona]\nz=v\n", "zONA", "Z"), "v");  // A to Z, both ends
  // Only A to Z fold: an accented capital does not find its small letter.
  EXPECT_EQ(ReadFrom("[\xC7]\nK=v\n", "\xE7", "k"), "");
  EXPECT_EQ(ReadFrom("[\xC7]\nK=v\n", "\xC7", "k"), "v");
}

TEST_F(ReadIniValueTest, OnePairOfMatchingQuotesIsStripped) {
  EXPECT_EQ(ReadFrom("[A]\nK=\"  quoted  \"\n", "A", "K"), "  quoted  ");
  EXPECT_EQ(ReadFrom("[A]\nK='single'\n", "A", "K"), "single");
  EXPECT_EQ(ReadFrom("[A]\nK=\"\"twice\"\"\n", "A", "K"), "\"twice\"");
  EXPECT_EQ(ReadFrom("[A]\nK=\"mixed'\n", "A", "K"), "\"mixed'");
  EXPECT_EQ(ReadFrom("[A]\nK=\"\n", "A", "K"), "\"");
  EXPECT_EQ(ReadFrom("[A]\nK=\"\"\n", "A", "K"), "");
  EXPECT_EQ(ReadFrom("[A]\nK=a \"b\"\n", "A", "K"), "a \"b\"");
}

TEST_F(ReadIniValueTest, ValuesAreCutTo254Characters) {
  const std::string v300 = std::string(250, 'x') + "abcd" + std::string(46, 'y');
  EXPECT_EQ(ReadFrom("[A]\nK=" + v300 + "\n", "A", "K"), std::string(250, 'x') + "abcd");
  const std::string v254(254, 'z');
  EXPECT_EQ(ReadFrom("[A]\nK=" + v254 + "\n", "A", "K"), v254);
  EXPECT_EQ(ReadFrom("[A]\nK=" + v254 + "!\n", "A", "K"), v254);
  EXPECT_EQ(ReadFrom("[A]\nK=\"" + v254 + "\"\n", "A", "K"), v254);  // quotes go first
}

// An empty value is the empty text, not the default, which serves only an absent key.
TEST_F(ReadIniValueTest, AnEmptyValueIsEmptyAndTheDefaultServesOnlyWhenTheKeyIsAbsent) {
  const std::string file = "[A]\nJOGO01=\nJOGO02=   \n";
  EXPECT_EQ(ReadFrom(file, "A", "JOGO01", "fallback"), "");
  EXPECT_EQ(ReadFrom(file, "A", "JOGO02", "fallback"), "");
  EXPECT_EQ(ReadFrom(file, "A", "JOGO03"), "");
  EXPECT_EQ(ReadFrom(file, "Z", "JOGO01"), "");
  EXPECT_EQ(ReadFrom(file, "A", "NONE", "fallback"), "fallback");
  EXPECT_EQ(ReadFrom(file, "A", "NONE", "fallback  "), "fallback");  // trailing blanks go
  EXPECT_EQ(ReadFrom(file, "A", "NONE", std::string(300, 'd')), std::string(254, 'd'));
  EXPECT_EQ(ReadIniValue("A", "K", "fallback", dir_ / "missing.ini"), "fallback");
}

TEST_F(ReadIniValueTest, SemicolonLinesAreKeysAndLinesBeforeAnyHeaderFormTheEmptySection) {
  const std::string file =
      "K=outside\n[A\nK=broken\n[A]\n; K=commented\n  ;K=also\nbare\nK=real\n[]\nK=x\n";
  EXPECT_EQ(ReadFrom(file, "A", "K"), "real");
  EXPECT_EQ(ReadFrom(file, "A", "; K"), "commented");      // no comment syntax
  EXPECT_EQ(ReadFrom(file, "A", "bare", "dflt"), "dflt");  // no '=': no key
  EXPECT_EQ(ReadFrom(file, "", "K"), "outside");
  EXPECT_EQ(ReadFrom("[]\nK=x\n", "", "K"), "");  // "[]" opens no section
  // A section name runs to the last ']' of its line.
  EXPECT_EQ(ReadFrom("[A]B] x\nK=v\n", "A]B", "K"), "v");
}

TEST_F(ReadIniValueTest, LineEndsByteOrderMarkAndZeroBytes) {
  EXPECT_EQ(ReadFrom("\xEF\xBB\xBF[A]\r\nK=v\r\n", "A", "K"), "v");
  EXPECT_EQ(ReadFrom("[A]\nK=v", "A", "K"), "v");  // no final line end
  EXPECT_EQ(ReadFrom(std::string("[A]\nK=ab\0cd\n", 12), "A", "K"), "ab");
  EXPECT_EQ(ReadFrom("[A]\r\r\nK=v\r\n", "A", "K"), "v");
  EXPECT_EQ(ReadFrom("[A]\rK=v\rL=w", "A", "L"), "w");  // a lone CR ends a line
  // The end-of-file mark a DOS editor leaves is no part of the last value, nor of a name.
  EXPECT_EQ(ReadFrom("[A]\r\nK=v\x1A", "A", "K"), "v");
  EXPECT_EQ(ReadFrom("[A]\r\nK=v\r\n\x1A", "A", "K"), "v");
  EXPECT_EQ(ReadFrom("[A]\x1A\r\nK\x1A=v\r\n", "A", "K"), "v");
  // UTF-16 big-endian with its mark: c-cedilla comes back as its Windows-1252 byte.
  EXPECT_EQ(ReadFrom(std::string("\xFE\xFF\0[\0A\0]\0\n\0K\0=\0\xE7\0\n", 18), "A", "K"), "\xE7");
}

// The answers of a file are kept once it has not changed for a moment; these tests
// keep them at once, but for the one that checks the moment.
class KeptAnswersTest : public ReadIniValueTest {
 protected:
  void SetUp() override { SetProfileFileSettleForTesting(std::chrono::seconds(0)); }
  void TearDown() override { SetProfileFileSettleForTesting(kProfileFileSettle); }
  // The file's time of last write, set to `when`.
  void WrittenAt(const std::string& path, std::filesystem::file_time_type when) {
    std::filesystem::last_write_time(path, when);
  }
  const std::filesystem::file_time_type anHourAgo_ =
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
};

// A file that stays as it was is read once, however many questions it answers, and
// gives every answer the line-by-line rules give.
TEST_F(KeptAnswersTest, AnUnchangedFileIsReadOnceForAllItsAnswers) {
  WriteFile(path_,
            "top=before any header\n"
            "[Grupo A]\nJOGO01=\"Brasil 2 x 1 Escócia\"\nJogo01=second of the name\n"
            "[]\nJOGO01=in no section\n"
            "[grupo a]\nJOGO02=second section of the name\n"
            "[B]\n;x=semicolon key\nJOGO01=  b value  \n");
  const size_t before = ProfileFileScansForTesting();
  EXPECT_EQ(ReadIniValue("Grupo A", "JOGO01", "", path_), "Brasil 2 x 1 Escócia");
  EXPECT_EQ(ReadIniValue(" GRUPO A ", "jogo01", "", path_), "Brasil 2 x 1 Escócia");
  EXPECT_EQ(ReadIniValue("Grupo A", "JOGO02", "none", path_), "none");
  EXPECT_EQ(ReadIniValue("", "top", "", path_), "before any header");
  EXPECT_EQ(ReadIniValue("", "JOGO01", "none", path_), "none");
  EXPECT_EQ(ReadIniValue("b", ";X", "", path_), "semicolon key");
  EXPECT_EQ(ReadIniValue("B", "JOGO01", "", path_), "b value");
  EXPECT_EQ(ReadIniValue("C", "JOGO01", "none", path_), "none");
  EXPECT_EQ(ProfileFileScansForTesting() - before, 1u);
}

TEST_F(KeptAnswersTest, AFileIsReadAgainOnceItChanges) {
  WriteFile(path_, "[A]\nK=first\n");
  WrittenAt(path_, anHourAgo_);
  EXPECT_EQ(ReadIniValue("A", "K", "", path_), "first");
  // Same time of writing, another size.
  WriteFile(path_, "[A]\nK=longer\n");
  WrittenAt(path_, anHourAgo_);
  EXPECT_EQ(ReadIniValue("A", "K", "", path_), "longer");
  // Same size, another time of writing.
  WriteFile(path_, "[A]\nK=other!\n");
  WrittenAt(path_, anHourAgo_ + std::chrono::seconds(1));
  EXPECT_EQ(ReadIniValue("A", "K", "", path_), "other!");
  // Another file copied in with the same size and time of writing, as cp -p does.
  const std::string copy = dir_ / "copy.ini";
  WriteFile(copy, "[A]\nK=copied\n");
  WrittenAt(copy, anHourAgo_ + std::chrono::seconds(1));
  std::filesystem::rename(copy, path_);
  EXPECT_EQ(ReadIniValue("A", "K", "", path_), "copied");
  // Gone: nothing kept answers for it.
  std::filesystem::remove(path_);
  EXPECT_EQ(ReadIniValue("A", "K", "none", path_), "none");
}

// A file changed in the last moments may change again within the same tick of the file
// system's clock, keeping its size and times: it is read afresh each time until then.
TEST_F(KeptAnswersTest, AFileJustChangedIsReadEachTime) {
  SetProfileFileSettleForTesting(kProfileFileSettle);
  WriteFile(path_, "[A]\nK=fresh\n");
  const size_t before = ProfileFileScansForTesting();
  EXPECT_EQ(ReadIniValue("A", "K", "", path_), "fresh");
  EXPECT_EQ(ReadIniValue("A", "K", "", path_), "fresh");
  EXPECT_EQ(ProfileFileScansForTesting() - before, 2u);
}

// More answers than are kept: each section asked for is read once and kept, whatever
// key of it is asked for later; a section too large to keep is searched each time.
TEST_F(KeptAnswersTest, AFileWithMoreThanAMegabyteOfAnswersIsReadOnceASection) {
  std::string file;
  for (int s = 0; s < 4000; ++s) {
    file += "[S" + std::to_string(s) + "]\n";
    for (int k = 1; k <= 8; ++k)
      file += "JOGO0" + std::to_string(k) + "=" + std::string(40, 'x') + "\n";
  }
  file += "[Last]\nK=found\n";
  WriteFile(path_, file);
  const size_t before = ProfileFileScansForTesting();
  EXPECT_EQ(ReadIniValue("last", "k", "", path_), "found");
  EXPECT_EQ(ReadIniValue("S3999", "JOGO08", "", path_), std::string(40, 'x'));
  EXPECT_EQ(ReadIniValue("S0", "JOGO09", "none", path_), "none");
  EXPECT_EQ(ProfileFileScansForTesting() - before, 3u);
  // The same sections again, other keys of them, and in other cases: nothing is read.
  EXPECT_EQ(ReadIniValue("S0", "JOGO01", "", path_), std::string(40, 'x'));
  EXPECT_EQ(ReadIniValue(" s3999 ", "jogo05", "", path_), std::string(40, 'x'));
  EXPECT_EQ(ReadIniValue("LAST", "K", "", path_), "found");
  EXPECT_EQ(ReadIniValue("Last", "L", "none", path_), "none");
  EXPECT_EQ(ProfileFileScansForTesting() - before, 3u);
  // A section that is not there is read for once too.
  EXPECT_EQ(ReadIniValue("S4000", "JOGO01", "none", path_), "none");
  EXPECT_EQ(ReadIniValue("S4000", "JOGO02", "none", path_), "none");
  EXPECT_EQ(ProfileFileScansForTesting() - before, 4u);

  // One section of 40,000 keys, more than a megabyte to keep: each read keeps its first
  // keys for that call, the rest are looked for afresh, and the first value of a
  // repeated key wins either way.
  std::string big = "[Big]\nFirst=1\n";
  for (int k = 0; k < 40000; ++k) {
    big += 'K';
    big += std::to_string(k);
    big += "=v\n";
  }
  big += "First=2\nLast=end\n[Next]\nK=next\n";
  WriteFile(path_, big);
  const size_t start = ProfileFileScansForTesting();
  // Each ask with the reads it costs: "First" is among the kept keys, "Last" is not.
  const struct {
    const char *section, *key, *expected;
    size_t reads;
  } asks[] = {{"Big", "First", "1", 1},
              {"Big", "Last", "end", 1},
              {"Big", "Last", "end", 1},
              {"next", "k", "next", 1},
              {"next", "k", "next", 0}};
  for (const auto& ask : asks) {
    const size_t scansBefore = ProfileFileScansForTesting();
    EXPECT_EQ(ReadIniValue(ask.section, ask.key, "", path_), ask.expected) << ask.key;
    EXPECT_EQ(ProfileFileScansForTesting() - scansBefore, ask.reads)
        << ask.section << " " << ask.key;
  }
  EXPECT_EQ(ProfileFileScansForTesting() - start, 4u);
}

TEST_F(ReadIniValueTest, MissingFilesFoldersAndJunkGiveTheEmptyText) {
  EXPECT_EQ(ReadIniValue("A", "K", "", dir_ / "missing.ini"), "");
  EXPECT_EQ(ReadIniValue("A", "K", "", dir_.Path().string()), "");
  ASSERT_EQ(::mkfifo((dir_ / "fifo.ini").c_str(), 0600), 0);
  EXPECT_EQ(ReadIniValue("A", "K", "", dir_ / "fifo.ini"), "");  // must not block

  std::mt19937 random(1998);
  std::string junk;
  for (int i = 0; i < 200000; ++i) {
    const auto byte = static_cast<char>(random() & 0xFF);
    junk += byte == '[' ? '\0' : byte;
  }
  EXPECT_EQ(ReadFrom(junk, "A", "K"), "");
  EXPECT_EQ(ReadFrom(junk + "\n[A]\nK=after junk\n", "A", "K"), "after junk");
}

TEST_F(ReadIniValueTest, WindowsPathsAreMappedOntoDriveC) {
  const std::string root = dir_ / "drive_c";
  WriteFile(root + "/Windows/System/KZT.INI", "[1]\nARQUIVO1=banner.bmp\n");
  ScopedEnv drive("QUILLMARK_DRIVE_C", root.c_str());
  EXPECT_EQ(ReadIniValue("1", "ARQUIVO1", "", "c:\\windows\\system\\kzt.ini"), "banner.bmp");
  EXPECT_EQ(ReadIniValue("1", "ARQUIVO1", "", "c:\\windows\\system\\other.ini"), "");
}

long PeakMemoryKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// 100 MB without a single line end, then a section: found, and never in memory whole.
TEST_F(ReadIniValueTest, AHundredMegabyteLineIsScannedInLittleMemory) {
  const std::string tail = "\n[A]\nK=found\n";
  constexpr off_t kSize = 100 * 1024 * 1024;
  const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, kSize), 0);  // a sparse run of zero bytes
  ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), kSize), static_cast<ssize_t>(tail.size()));
  ::close(fd);
  const long before = PeakMemoryKb();
  EXPECT_EQ(ReadIniValue("A", "K", "", path_), "found");
  EXPECT_LT(PeakMemoryKb() - before, 40 * 1024);
}

TEST(FindProfileValue, KeepsOnlyTheStartOfAnOverlongLine) {
  const std::string value(64 * 1024, 'v');
  std::istringstream in("[A]\nK=" + value + "\nL=next\n");
  const auto found = FindProfileValue(in, "A", "K");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->size(), 32766u);  // the first 32 KB of the line, less "K="
  in.clear();
  in.seekg(0);
  EXPECT_EQ(FindProfileValue(in, "A", "L"), "next");
}

// The reader takes 64 KB at a time; here a character straddles the first boundary.
TEST(FindProfileValue, UnicodeFilesAreReadAsWindows1252AcrossChunkBoundaries) {
  // UTF-8 with its mark: the two bytes of U+00F3 at raw offsets 65535 and 65536.
  const std::string utf8 = "\xEF\xBB\xBF[A]\nF=" + std::string(65520, 'x') +
                           "\nK=Esc\xC3\xB3"
                           "cia\n";
  std::istringstream a(utf8);
  EXPECT_EQ(FindProfileValue(a, "A", "K"),
            "Esc\xF3"
            "cia");

  // UTF-16 LE with its mark: U+1F600 (no Windows-1252 character: '?') as a surrogate
  // pair whose halves fall on either side of the boundary; U+00BA stays 0xBA.
  std::u16string text =
      u"[A]\nF=" + std::u16string(32756, u'x') + u"\nK=a\U0001F600b\n[3\u00BA]\nJ=1\n";
  std::string utf16le = "\xFF\xFE";
  for (const char16_t unit : text) {
    utf16le += static_cast<char>(unit & 0xFF);
    utf16le += static_cast<char>(unit >> 8);
  }
  std::istringstream b(utf16le);
  EXPECT_EQ(FindProfileValue(b, "A", "K"), "a?b");
  std::istringstream c(utf16le);
  EXPECT_EQ(FindProfileValue(c, "3\xBA", "J"), "1");
}

}  // namespace
}  // namespace qm
