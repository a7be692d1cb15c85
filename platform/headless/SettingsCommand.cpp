#include <algorithm>
#include <cstdio>
#include <string>

#include "app/Settings.h"
#include "headless/Cli.h"
#include "winsys/Cp1252.h"
#include "winsys/Registry.h"
#include "winsys/RegistryFile.h"

namespace qm::headless {
namespace {

// A value as one line: as it is, unless a control character (a line break, or a NUL a
// hex-written text may hold) would break the line or vanish, or it opens with a quote;
// then in quotes, with C's escapes.
std::string OneLine(const std::string& utf8) {
  const bool plain =
      (utf8.empty() || utf8.front() != '"') && std::none_of(utf8.begin(), utf8.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
      });
  if (plain) return utf8;
  std::string quoted = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char escape[5];
          std::snprintf(escape, sizeof escape, "\\x%02X", byte);
          quoted += escape;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + '"';
}

}  // namespace

int PrintSettingsCommand() {
  RegistryBackend* previous = &Registry();
  RegistryFile store(DefaultRegistryPath());
  SetRegistry(&store);
  LoadSettings();
  SetRegistry(previous);
  for (const auto& [name, text] : SettingsAsText()) {
    const std::string line = name + "=" + OneLine(Cp1252ToUtf8(text)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace qm::headless
