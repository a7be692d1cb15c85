#include "headless/SceneOverlay.h"

#include "app/Settings.h"
#include "winsys/Cp1252.h"

namespace qm::headless {

std::optional<RegValue> SceneOverlay::Query(Hive hive, std::string_view keyPath,
                                            std::string_view valueName) {
  if (hive == Hive::LocalMachine && Cp1252EqualNoCase(keyPath, SettingsKey) &&
      Cp1252EqualNoCase(valueName, "Saver")) {
    return RegValue{kRegSz, scene_};
  }
  return base_.Query(hive, keyPath, valueName);
}

bool SceneOverlay::KeyExists(Hive hive, std::string_view keyPath) {
  return (hive == Hive::LocalMachine && Cp1252EqualNoCase(keyPath, SettingsKey)) ||
         base_.KeyExists(hive, keyPath);
}

}  // namespace qm::headless
