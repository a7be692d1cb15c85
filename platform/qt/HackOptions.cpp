#include "qt/HackOptions.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qm::qt {
namespace {

// XScreenSaver's common options that need no action here, and those that take a value.
constexpr std::array<std::string_view, 9> kFlags = {"window", "mono", "install", "noinstall", "fps",
                                                    "no-fps", "pair", "sync",    "no-sync"};
constexpr std::array<std::string_view, 2> kValued = {"visual", "geometry"};

// "--name" and "-name" are one option; anything else is not an option at all.
std::optional<std::string_view> OptionName(std::string_view argument) {
  if (argument.size() < 2 || argument[0] != '-') return std::nullopt;
  argument.remove_prefix(argument[1] == '-' ? 2 : 1);
  if (argument.empty()) return std::nullopt;
  return argument;
}

bool Contains(const auto& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

std::optional<uint64_t> ParseWindowId(const std::string& text) {
  std::string_view digits = text;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    base = 16;
  }
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
  }
  if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
  return value;
}

std::optional<HackOptions> ParseHackOptions(const std::vector<std::string>& arguments,
                                            const char* environmentWindow) {
  // A command line that opens with a saver switch ("/s", "/c:1234", even "/x") is the
  // saver's own, chosen by its first two characters whatever follows: "/c -root" is the
  // settings dialog, as it would be on Windows.
  for (const std::string& argument : arguments) {
    const size_t first = argument.find_first_not_of(' ');
    if (first == std::string::npos) continue;  // blanks only: the line starts later
    if (argument[first] == '/') return std::nullopt;
    break;
  }
  HackOptions options;
  bool selected = false;  // --root or --window-id seen
  bool foreign = false;   // something that is not one of our options
  std::optional<std::string> windowText;
  std::vector<std::string> strays;  // words that are neither options nor their values
  for (size_t i = 0; i < arguments.size(); ++i) {
    auto name = OptionName(arguments[i]);
    if (!name) {
      foreign = true;
      strays.push_back(arguments[i]);
      continue;
    }
    // "--window-id=N", as people write options by hand, is "--window-id N".
    std::optional<std::string> joined;
    if (const size_t equals = name->find('='); equals != std::string_view::npos) {
      joined.emplace(name->substr(equals + 1));
      name = name->substr(0, equals);
    }
    const bool hasValue = joined || i + 1 < arguments.size();
    if (joined && !(*name == "window-id" || *name == "display" || *name == "scene" ||
                    Contains(kValued, *name))) {
      options.Ignored.push_back(arguments[i]);  // a value given to a flag
    } else if (*name == "root") {
      options.Root = true;
      selected = true;
    } else if (*name == "window-id" || *name == "display" || *name == "scene" ||
               Contains(kValued, *name)) {
      if (*name == "window-id") selected = true;
      if (!hasValue) {
        options.Error = "option " + arguments[i] + " needs a value";
        continue;
      }
      const std::string& value = joined ? *joined : arguments[++i];
      if (*name == "window-id") {
        windowText = value;
      } else if (*name == "display") {
        options.Display = value;
      } else if (*name == "scene") {
        if (value.size() == 1 && value[0] >= '1' && value[0] <= '5') {
          options.Scene = value;
        } else {
          options.Error = "--scene takes 1 to 5, not \"" + value + "\"";
        }
      }
    } else if (Contains(kFlags, *name)) {
      // Nothing to do: the flag only matters to modules that draw differently.
    } else {
      options.Ignored.push_back(arguments[i]);
    }
  }
  const bool fromEnvironment = environmentWindow != nullptr && *environmentWindow != '\0';
  if (!selected && !(fromEnvironment && !foreign)) return std::nullopt;
  if (selected && foreign) {
    // "--root stray": a hack's command line with a stray word; the word is ignored.
    options.Ignored.insert(options.Ignored.end(), strays.begin(), strays.end());
  }
  if (!windowText && fromEnvironment) windowText = environmentWindow;
  if (windowText) {
    const auto id = ParseWindowId(*windowText);
    if (id) {
      options.Window = *id;
    } else if (options.Error.empty()) {
      options.Error = "\"" + *windowText + "\" is not a window id";
    }
  }
  return options;
}

}  // namespace qm::qt
