// For benchmarks with manual time: each iteration prepares untimed and then times only
// the work it measures.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

// Runs `work` and reports its wall time as this iteration's time.
template <typename Work>
void TimeOnly(benchmark::State& state, Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  const auto end = std::chrono::steady_clock::now();
  state.SetIterationTime(std::chrono::duration<double>(end - start).count());
}
