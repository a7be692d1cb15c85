// The process-wide uniform random generator and its re-seed from the time of day.
#pragma once

#include <functional>

namespace qm {

// Uniform in [0, 1).
float Rnd();

// Mixes the host clock (Host().SecondsSinceMidnight()) into the generator's state
// instead of replacing it, so draws after two re-seeds within the same clock tick
// still differ.
void Randomize();

// Tests script the draws: every Rnd() returns source() instead; Randomize then does
// nothing. An empty function restores the real generator.
void SetRandomSourceForTesting(std::function<float()> source);

}  // namespace qm
