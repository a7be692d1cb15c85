// The user's settings store as it is, except that the scene setting ("Saver") reads as
// the one a command line asked for, and nothing is ever written: a run that chooses
// its own scene (--render, XScreenSaver's --scene) must neither change the user's
// settings nor differ from a run of that scene in anything else, banners included.
// Install it with SetRegistry before the saver window loads its settings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "winsys/Registry.h"

namespace qm::headless {

class SceneOverlay final : public RegistryBackend {
 public:
  // `base` must outlive the overlay; `scene` is the text "Saver" reads as.
  SceneOverlay(RegistryBackend& base, std::string scene) : base_(base), scene_(std::move(scene)) {}

  std::optional<RegValue> Query(Hive hive, std::string_view keyPath,
                                std::string_view valueName) override;
  bool KeyExists(Hive hive, std::string_view keyPath) override;
  // Refused: the store stays as it was.
  bool Set(Hive, std::string_view, std::string_view, const RegValue&) override { return false; }
  bool Delete(Hive, std::string_view, std::string_view) override { return false; }
  // Passed on, so that the settings loaded through the overlay cost one reading of the
  // store, as they do without it (a file store is otherwise read once a setting).
  void HoldReads(bool hold) override { base_.HoldReads(hold); }

 private:
  RegistryBackend& base_;
  std::string scene_;
};

}  // namespace qm::headless
