// What the Windows host hands to the switch rules: the command line without the
// program's own path. Windows writes that path quoted or not, and a launcher may put the
// switch straight after the closing quote.
#include <gtest/gtest.h>

#include "CommandLine.h"

namespace qm::win32 {
namespace {

TEST(WindowsCommandLine, ThePathAndTheBlanksAfterItAreDropped) {
  const struct {
    const char* line;
    const char* arguments;
  } cases[] = {
      {"", ""},
      {"QUILLM~1.SCR", ""},
      {"C:\\WINDOWS\\SYSTEM\\QUILLM~1.SCR /s", "/s"},
      {"C:\\WINDOWS\\QUILLM~1.SCR \t /p  5 ", "/p  5 "},  // the rest stays as it was
      {"\"C:\\Program Files\\Quillmark.scr\" /c:1234", "/c:1234"},
      {"\"C:\\Program Files\\Quillmark.scr\"", ""},
      {"\"C:\\Quill\\Quillmark.scr\"/c", "/c"},
      {"\"C:\\Quill\\Quillmark.scr\"/p 5", "/p 5"},
      {"\"C:\\Quill\\Quillmark.scr  /s", ""},  // no closing quote: all of it is the path
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentsOf(c.line), c.arguments) << c.line;
}

}  // namespace
}  // namespace qm::win32
