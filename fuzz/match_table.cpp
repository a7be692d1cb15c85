// The match-table scene with arbitrary bytes as its tabela.ini: every page read from
// the file, its texts laid out in the panel's labels and the frame composed, as the
// saver would show them. The input is the whole file. One saver window serves every
// input (the scene reads the file afresh for each page), so an input costs fourteen
// steps rather than a start-up; each input starts from the first page with the same
// draws, so that a saved input fails again when it is replayed alone.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzFolders.h"
#include "app/Settings.h"
#include "headless/Runner.h"
#include "winsys/Random.h"

namespace {

std::filesystem::path g_program;

qm::headless::Runner& Saver() {
  static qm::headless::Runner* runner = [] {
    auto* r = new qm::headless::Runner({.width = 400, .height = 300, .preview = false});
    r->Host().programFolder = g_program.string();
    r->Load();
    qm::Saver = "5";
    qm::SS05Vel = "1";  // one page a step
    return r;
  }();
  return *runner;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_program = qm::fuzz::MakeFuzzFolders();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream table(g_program / "tabela.ini", std::ios::binary | std::ios::trunc);
    table.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  qm::headless::Runner& saver = Saver();
  saver.Form().TablePage = 0;
  // The draws (where the panel goes) follow from the input alone: its length picks them.
  const float draw = static_cast<float>(size % 101) / 101.0f;
  qm::SetRandomSourceForTesting([draw] { return draw; });
  if (saver.RunTimer1Ticks(14) != 14) __builtin_trap();
  return 0;
}
