#include "headless/Cli.h"

namespace qm::headless {

std::optional<int> RunHeadlessOption(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  if (args[0] == "--settings") return PrintSettingsCommand();
  if (args[0] == "--render") return RenderCommand({args.begin() + 1, args.end()});
  return std::nullopt;
}

}  // namespace qm::headless
