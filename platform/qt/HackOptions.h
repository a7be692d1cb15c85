// The command line XScreenSaver gives its display modules ("hacks"): the program is
// one when it is started with --root or --window-id N, or with XSCREENSAVER_WINDOW in
// its environment and nothing but XScreenSaver's options on its command line, unless
// the line opens with one of the saver's own switches (a '/'). Options take one dash
// or two, and a value after a blank or an '='. Plain C++: tested without a display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm::qt {

struct HackOptions {
  // The window to draw into: --window-id, else XSCREENSAVER_WINDOW; 0 with --root
  // alone, which means the whole screen.
  uint64_t Window = 0;
  bool Root = false;
  // --display NAME: the X display to use ("" keeps $DISPLAY).
  std::string Display;
  // --scene 1..5: the scene for this run instead of the stored one ("" keeps it).
  std::string Scene;
  // Set when the command line cannot be used (a bad window id, a missing value); the
  // program then ends with this one line on stderr.
  std::string Error;
  // Options we do not know: reported on stderr and otherwise ignored.
  std::vector<std::string> Ignored;
};

// nullopt when the command line is not a hack's (the saver's own switches then
// apply). `environmentWindow` is XSCREENSAVER_WINDOW's text, or nullptr when unset.
std::optional<HackOptions> ParseHackOptions(const std::vector<std::string>& arguments,
                                            const char* environmentWindow);

// A window id as XScreenSaver writes it: "0x" and hex digits, or decimal digits.
// nullopt for anything else, for 0 and for values beyond 32 bits (X ids are 29-bit).
std::optional<uint64_t> ParseWindowId(const std::string& text);

}  // namespace qm::qt
