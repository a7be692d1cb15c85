// The scenes under any stored settings: the input's lines are the texts of the values
// the scenes read, stored as a hand-edited registry may hold them. The saver window
// then loads them as at start-up and plays 40 steps of the scene they choose, full
// screen or, when the input's length is odd, as a preview. Besides not crashing, the
// steps must not hang (libFuzzer's timeout) and the window must stay loaded: no
// setting ends the saver. A scene may stop its own timer, so fewer steps may come.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzFolders.h"
#include "app/Settings.h"
#include "headless/Runner.h"
#include "winsys/MemoryRegistry.h"
#include "winsys/Random.h"
#include "winsys/Registry.h"

namespace {

// The values the scenes and their scheduler read, in the order the input gives them.
constexpr const char* kNames[] = {"Saver",       "BolasNum", "BolasVel", "TrofeusNum", "TrofeusVel",
                                  "TrofeusTipo", "SS03Vel",  "SS04Vel",  "SS05Vel"};

std::filesystem::path g_program;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The banners' and the match table's files are looked for in folders of their own,
  // which stay empty: only the settings vary.
  g_program = qm::fuzz::MakeFuzzFolders();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qm::MemoryRegistry registry;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (const char* name : kNames) {
    const size_t end = rest.find('\n');
    const std::string_view text = rest.substr(0, end);
    if (!registry.Set(qm::Hive::LocalMachine, qm::SettingsKey, name,
                      qm::RegValue{qm::kRegSz, std::string(text)})) {
      __builtin_trap();
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  qm::SetRegistry(&registry);
  // The draws follow from the input alone, so that a saved input fails again alone.
  uint32_t seed = static_cast<uint32_t>(size) * 2654435761u;
  qm::SetRandomSourceForTesting([seed]() mutable {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 16777216.0f;
  });
  {
    qm::headless::Runner saver({.width = 160, .height = 120, .preview = size % 2 == 1});
    saver.Host().programFolder = g_program.string();
    saver.Load();
    saver.RunTimer1Ticks(40);
    if (saver.Form().IsUnloaded()) __builtin_trap();
  }
  qm::SetRegistry(nullptr);
  return 0;
}
