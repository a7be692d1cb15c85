#include <cstdio>

#include "app/Settings.h"
#include "headless/Cli.h"
#include "winsys/Cp1252.h"
#include "winsys/Registry.h"
#include "winsys/RegistryFile.h"

namespace qm::headless {

int PrintSettingsCommand() {
  RegistryBackend* previous = &Registry();
  RegistryFile store(DefaultRegistryPath());
  SetRegistry(&store);
  LoadSettings();
  SetRegistry(previous);
  for (const auto& [name, text] : SettingsAsText()) {
    std::printf("%s=%s\n", name.c_str(), Cp1252ToUtf8(text).c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace qm::headless
