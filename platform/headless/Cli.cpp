#include "headless/Cli.h"

#include <cstdio>

namespace qm::headless {
namespace {

// Any other switch ends the program quietly, as a screen saver ends on a request it
// does not know; --help is the one place that lists them.
int HelpCommand() {
  std::fputs(
      "usage: quillmark [/s | /c | /p WINDOW | /a]\n"
      "  /s (or nothing)   the saver, full screen\n"
      "  /c                the configuration dialog\n"
      "  /p WINDOW         a live preview inside the X window WINDOW (decimal id)\n"
      "  /a                set or change the saver password\n"
      "  --root, --window-id ID, $XSCREENSAVER_WINDOW\n"
      "                    as an XScreenSaver hack; --scene 1-5 picks the scene,\n"
      "                    --display NAME the X display; XScreenSaver's other options\n"
      "                    are accepted, and unknown ones reported and ignored\n"
      "  --settings        print the settings as loaded\n"
      "  --render SCENE --size WxH --steps N --out DIR [--preview]\n"
      "                    write the frames of a scene as PNG files, without a display\n"
      "Any other switch ends the program at once, without a message.\n",
      stdout);
  return 0;
}

}  // namespace

std::optional<int> RunHeadlessOption(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  if (args[0] == "--help") return HelpCommand();
  if (args[0] == "--settings") return PrintSettingsCommand();
  if (args[0] == "--render") return RenderCommand({args.begin() + 1, args.end()});
  return std::nullopt;
}

}  // namespace qm::headless
