#include "app/Main.h"

#include "app/NumericText.h"
#include "app/mSSaver.h"

namespace qm {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

uint64_t WindowFromNumber(int32_t value) {
  return value > 0 ? static_cast<uint64_t>(value) : 0;
}

}  // namespace

std::string JoinArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    line += arguments[i];
  }
  return line;
}

StartCommand ParseCommandLine(std::string_view commandLine) {
  std::string cleaned(TrimBlanks(commandLine));
  for (char& c : cleaned) c = AsciiLower(c);
  const std::string_view key = std::string_view(cleaned).substr(0, 2);

  StartCommand command;
  if (key.empty() || key == "/s") {
    command.Request = StartRequest::FullScreen;
  } else if (key == "/p") {
    command.Request = StartRequest::Preview;
    command.Window = WindowFromNumber(TrailingNumber(cleaned));
  } else if (key == "/c") {
    command.Request = StartRequest::Configure;
  } else if (key == "/a") {
    // The parent is read from the raw text, neither trimmed nor lower-cased: "/a 1234"
    // gives 1234 but "/a:1234" gives no parent at all.
    command.Request = StartRequest::ChangePassword;
    const std::string_view rest = commandLine.size() > 2 ? commandLine.substr(2) : "";
    command.Window = WindowFromNumber(RoundToInt32(LeadingNumber(rest)));
  }
  return command;
}

StartCommand Main(std::string_view commandLine) {
  const StartCommand command = ParseCommandLine(commandLine);
  if (command.Request == StartRequest::FullScreen) {
    RunMode = kRunModeFullScreen;
  } else if (command.Request == StartRequest::Preview) {
    RunMode = kRunModePreview;
    PreviewParent = command.Window;
  }
  return command;
}

}  // namespace qm
