// Reading a settings file that holds many deletion lines (a hand edit, or a file pieced
// together from exports) costs in proportion to its length: the complexity line of each
// benchmark should read N, not N^2.
#include <benchmark/benchmark.h>

#include <string>

#include "winsys/RegistryText.h"

namespace {

// `n` values under one key, each with a note above it, then a deletion line for each,
// the last first, so that every removed value's notes pass to the key's end.
std::string ValuesThenTheirDeletions(int n) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Big]\r\n";
  for (int i = 0; i < n; ++i)
    text += "; note " + std::to_string(i) + "\r\n\"v" + std::to_string(i) + "\"=\"1\"\r\n";
  for (int i = n - 1; i >= 0; --i) text += "\"v" + std::to_string(i) + "\"=-\r\n";
  return text;
}

// `n` keys with a value each, then a deletion line for each key.
std::string KeysThenTheirDeletions(int n) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  for (int i = 0; i < n; ++i)
    text += "[HKEY_CURRENT_USER\\K" + std::to_string(i) + "]\r\n\"v\"=\"1\"\r\n";
  for (int i = 0; i < n; ++i) text += "[-HKEY_CURRENT_USER\\K" + std::to_string(i) + "]\r\n";
  return text;
}

template <std::string (*Make)(int)>
void BM_ReadDeletions(benchmark::State& state) {
  const std::string text = Make(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    qm::RegistryTree tree;
    qm::RegistryParseError error;
    if (!qm::ParseRegistryText(text, tree, error)) state.SkipWithError("not read");
    benchmark::DoNotOptimize(qm::FormatRegistryText(tree));
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK_TEMPLATE(BM_ReadDeletions, ValuesThenTheirDeletions)
    ->RangeMultiplier(4)
    ->Range(1024, 65536)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ReadDeletions, KeysThenTheirDeletions)
    ->RangeMultiplier(4)
    ->Range(1024, 65536)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

}  // namespace
