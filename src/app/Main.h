// Start-up: reads the saver's command line and decides what the program does. The
// hosts join their arguments into the one command-line text the saver protocol knows
// ("/s", "/p 1234", "/c", "/a 1234", nothing) and carry out the request returned here;
// Main only records the process-wide state (RunMode, PreviewParent) the saver window
// reads, so it can be tested without a window system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class StartRequest {
  FullScreen,      // "" or "/s"
  Preview,         // "/p" and the host window
  Configure,       // "/c"; a window after it is not used
  ChangePassword,  // "/a" and the parent window
  Nothing,         // any other switch: the program ends quietly
};

struct StartCommand {
  StartRequest Request = StartRequest::Nothing;
  // Preview: the host window, the number that ends the trimmed, lower-cased text.
  // ChangePassword: the parent window, the number that starts the raw text after its
  // first two characters. 0 when there is none; a negative number also gives 0, since
  // no window has a negative id. Always 0 for the other requests.
  uint64_t Window = 0;
};

// The arguments after the program name, joined with one blank between them, as the
// single command-line text the switch rules read.
std::string JoinArguments(const std::vector<std::string>& arguments);

// Pure parsing: no state is touched. Only the first two characters of the trimmed,
// lower-cased text choose the request, so "/S", " /s ", "/sx" and "/s 1" all run the
// saver.
StartCommand ParseCommandLine(std::string_view commandLine);

// Parses the command line and records what the saver window reads: RunMode 1 for the
// full-screen saver, RunMode 4 and PreviewParent for the preview; RunMode stays 0 for
// everything else. ScreenRect is left to the host, which alone can measure the screen
// or the preview window.
StartCommand Main(std::string_view commandLine);

}  // namespace qm
