#include "CommandLine.h"

namespace qm::win32 {

std::string ArgumentsOf(std::string_view commandLine) {
  size_t i = 0;
  // The program path ends at its closing quote, or at the first blank when unquoted
  // (Windows itself never starts a saver whose unquoted path holds a blank).
  // A switch may follow the closing quote with no blank between ("...scr"/c), as
  // CommandLineToArgvW and msvcrt's WinMain command line read it.
  if (!commandLine.empty() && commandLine[0] == '"') {
    const size_t close = commandLine.find('"', 1);
    i = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return std::string(commandLine.substr(i));
}

}  // namespace qm::win32
