// Command-line options answered without a display: --help, --settings and --render.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qm::headless {

// When `args` (without the program name) starts with a headless option, runs it and
// returns the exit code; otherwise std::nullopt and the caller goes on with the saver's
// own command line.
std::optional<int> RunHeadlessOption(const std::vector<std::string>& args);

// --settings: prints the 22 settings as loaded, name=value, one a line, in table order;
// a value with a control character, or opening with a quote, in quotes with C escapes.
int PrintSettingsCommand();
// --render SCENE --size WxH --steps N --out DIR [--preview]; `args` follow "--render".
int RenderCommand(const std::vector<std::string>& args);

}  // namespace qm::headless
