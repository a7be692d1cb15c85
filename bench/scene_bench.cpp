// Cost of one step of each picture scene at three window sizes, with the settings
// dialogs' largest counts (20 balls; two groups of 15 trophies), on the headless host.
// "Step" is the scene's own work on the drawing surface; "StepAndCompose" adds the
// composition of the frame a host would present.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "TimeOnly.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "headless/HeadlessHost.h"
#include "saver/frmSSaver.h"
#include "winsys/Host.h"
#include "winsys/WideVectors.h"

namespace {

struct SceneRun {
  qm::headless::HeadlessHost host;
  std::unique_ptr<qm::frmSSaver> form;

  SceneRun(const char* scene, int width, int height) {
    qm::SetHost(&host);
    qm::RunMode = qm::kRunModeFullScreen;
    // Whole-string assignments: GCC 12 raises a false -Wrestrict on assigning short
    // literals to these globals at -O2.
    qm::Saver = std::string(scene);
    qm::BolasNum = std::string("20");
    qm::BolasVel = std::string("10");
    qm::TrofeusNum = std::string("15");
    qm::TrofeusVel = std::string("10");
    qm::TrofeusTipo = std::string("0");
    qm::SS03Vel = std::string("1");
    qm::SS04Vel = std::string("3");
    form = std::make_unique<qm::frmSSaver>();
    form->Move(0, 0, width, height);
    // Past the launch step, so the measured steps draw every flyer.
    for (int i = 0; i < 3; ++i) form->Timer1_Timer();
  }
  ~SceneRun() { qm::SetHost(nullptr); }
};

const char* const kSceneNames[] = {"", "1", "2", "3", "4"};  // by scene number

void BM_Step(benchmark::State& state) {
  SceneRun run(kSceneNames[state.range(0)], static_cast<int>(state.range(1)),
               static_cast<int>(state.range(2)));
  for (auto _ : state) {
    run.form->Timer1_Timer();
    benchmark::ClobberMemory();
  }
}

// The same step with sprites drawn in the portable form, as on a processor without
// vectors (or on Windows).
void BM_StepPortable(benchmark::State& state) {
  SceneRun run(kSceneNames[state.range(0)], 1920, 1080);
  qm::LimitVectorsForTesting(0);
  for (auto _ : state) {
    run.form->Timer1_Timer();
    benchmark::ClobberMemory();
  }
  qm::LimitVectorsForTesting(512);
}

void BM_StepAndCompose(benchmark::State& state) {
  SceneRun run(kSceneNames[state.range(0)], static_cast<int>(state.range(1)),
               static_cast<int>(state.range(2)));
  qm::Picture frame;
  // What a step hands the host to send: pixels and rectangles, averaged over the steps.
  double pixels = 0, rects = 0;
  for (auto _ : state) {
    run.form->Timer1_Timer();
    const std::vector<qm::Rect> changed = run.form->ComposeFrame(frame);
    for (const qm::Rect& r : changed) pixels += static_cast<double>(r.Width) * r.Height;
    rects += static_cast<double>(changed.size());
  }
  state.counters["sent_px"] = benchmark::Counter(pixels, benchmark::Counter::kAvgIterations);
  state.counters["sent_rects"] = benchmark::Counter(rects, benchmark::Counter::kAvgIterations);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"scene", "w", "h"});
  for (int scene = 1; scene <= 4; ++scene) {
    b->Args({scene, 800, 600});
    b->Args({scene, 1920, 1080});
    b->Args({scene, 3840, 2160});
  }
  b->Unit(benchmark::kMicrosecond);
}

// A step as the live saver meets it: 50 ms after the last one, with the caches long
// given over to other work (here swept by walking a buffer far larger than them).
// Only the step is timed.
void BM_StepAfterCachesSwept(benchmark::State& state) {
  SceneRun run(kSceneNames[state.range(0)], 1920, 1080);
  std::vector<char> sweep(size_t{64} << 20, 1);
  for (auto _ : state) {
    for (size_t i = 0; i < sweep.size(); i += 64) ++sweep[i];
    benchmark::ClobberMemory();
    TimeOnly(state, [&] {
      run.form->Timer1_Timer();
      benchmark::ClobberMemory();
    });
  }
}

}  // namespace

BENCHMARK(BM_Step)->Apply(Sizes);
BENCHMARK(BM_StepPortable)->ArgName("scene")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepAndCompose)->Apply(Sizes);
BENCHMARK(BM_StepAfterCachesSwept)
    ->ArgName("scene")
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
