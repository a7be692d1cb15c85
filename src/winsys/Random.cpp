#include "winsys/Random.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

#include "winsys/Host.h"

namespace qm {
namespace {

// A splitmix64 sequence: a 64-bit counter advanced by an odd constant and passed through
// a strong bijective mixer. Small, fast and good enough for sprite placement.
constexpr uint64_t kGolden = 0x9E3779B97F4A7C15ull;

uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// The classic run-time started from the same place in every run, so a scene that never
// re-seeds (the trophies) flew the same pattern every night. Ours starts from the
// wall clock once, at start-up; tests that need fixed draws script them instead.
uint64_t state =
    Mix(static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
        0x2545F4914F6CDD1Dull);

std::function<float()>& ScriptedSource() {
  static std::function<float()> source;
  return source;
}

}  // namespace

float Rnd() {
  if (auto& source = ScriptedSource()) return source();
  state += kGolden;
  // The top 24 bits fill a float's mantissa exactly, so the result is never 1.0.
  return static_cast<float>(Mix(state) >> 40) * (1.0f / 16777216.0f);
}

void Randomize() {
  if (ScriptedSource()) return;
  const double seconds = Host().SecondsSinceMidnight();
  uint64_t clockBits = 0;
  static_assert(sizeof clockBits == sizeof seconds);
  std::memcpy(&clockBits, &seconds, sizeof seconds);
  // The clock is folded into the current state, never substituted for it: a scene that
  // re-seeds before every launch within one clock tick still gets a fresh, different
  // sequence each time, because the state it folds into has moved on. Mixing after the
  // XOR keeps two re-seeds with the same clock from cancelling each other out.
  state = Mix(state ^ Mix(clockBits + kGolden));
}

void SetRandomSourceForTesting(std::function<float()> source) {
  ScriptedSource() = std::move(source);
}

}  // namespace qm
