#!/usr/bin/env bash
# Builds and runs every test: the release build and the sanitizer build (unit, host and
# end-to-end tests in each), a bounded fuzzing run, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
QM_WITH_WINDOWS=1 scripts/deps.sh
jobs=$(nproc)

cmake --preset release
cmake --build --preset release -j"$jobs"
# Host tests that need a real X server find it through DISPLAY. Without -noreset the
# server resets whenever its last client leaves, and drops any client that connects
# during that reset: the next test's program would fail to open the display.
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" ctest --preset release -j"$jobs"

cmake --preset asan
cmake --build --preset asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" ctest --preset asan -j"$jobs"

QM_ART_DIR="$PWD/build/release/assets/art" bash fuzz/run.sh
bash platform/win32/test.sh
