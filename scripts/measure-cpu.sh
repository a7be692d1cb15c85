#!/usr/bin/env bash
# Measures the full-screen saver on its own 1920x1080 Xvfb: over 10 seconds, the CPU
# share of one core used by the saver process and by the X server, for scene "1" with
# 20 balls and scene "2" with both trophy groups of 15; and the time from launching the
# program to the frame of the scene's first step (which only launches the flyers, so
# the window is still black) and to the first frame with the scene's pictures painted
# (the next step, one timer interval later).
#   scripts/measure-cpu.sh [QUILLMARK]   (default: build/release/platform/qt/quillmark)
#   RUNS=N (default 5): measure each scene N times, one after the other, and end with
#   the median of each figure, as a shared machine's runs can differ by a third.
# Targets: under 1% for each process; the first scene frame within 150 ms.
# Each run also measures a reference, when the build has it: an idle Qt window as large
# as the screen, woken every 50 ms by a timer that does nothing (bench/reference), the
# floor that waking alone costs on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
QM=${1:-build/release/platform/qt/quillmark}
[ -x "$QM" ] || { echo "no program at $QM (build it first)" >&2; exit 2; }
REFERENCE=$(dirname "$QM")/../../bench/quill_idle_window
SECONDS_MEASURED=10
RUNS=${RUNS:-5}
[[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a whole number from 1 up" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=""
saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
export QUILLMARK_REGISTRY=$work/registry.reg QUILLMARK_DRIVE_C=$work/drive_c
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$QUILLMARK_DRIVE_C" && mkdir -m 700 "$XDG_RUNTIME_DIR"

# Time on a processor, in nanoseconds, of every thread of process $1. The kernel's
# user and system times count in clock ticks (hundredths of a second), too coarse
# for 1% of ten seconds.
cpu_ns() { cat "/proc/$1/task/"*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%d", ns}'; }

settings() {
  {
    printf 'Windows Registry Editor Version 5.00\n\n'
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n'
    # Mouse input off, so nothing on this display can end the run early.
    printf '"Mouse"="1"\n'
    while [ $# -ge 2 ]; do printf '"%s"="%s"\n' "$1" "$2"; shift 2; done
  } >"$QUILLMARK_REGISTRY"
}

# Launches the saver, returns when its first scene frame is painted; sets
# $saver_pid, $first_step_ms and $first_frame_ms.
launch() {
  local launched painted
  launched=$(date +%s%3N)
  QUILLMARK_REPORT_FIRST_FRAME=1 "$QM" /s 2>"$work/stderr" &
  saver_pid=$!
  painted=""
  for _ in $(seq 100); do
    painted=$(sed -n 's/.*first scene frame painted at \([0-9]*\) ms.*/\1/p' "$work/stderr")
    [ -n "$painted" ] && break
    sleep 0.05
  done
  [ -n "$painted" ] || { echo "no scene frame was painted" >&2; cat "$work/stderr" >&2; exit 1; }
  first_frame_ms=$((painted - launched))
  stepped=$(sed -n 's/.*first scene step presented at \([0-9]*\) ms.*/\1/p' "$work/stderr")
  first_step_ms=$((${stepped:-$painted} - launched))
  phases=$(awk -v t0="$launched" '/ at [0-9]+ ms/ {
      sub(/^quillmark: /, ""); ms = $(NF - 1); sub(/ at [0-9]+ ms$/, "");
      printf "%s%s +%d", sep, $0, ms - t0; sep = ", " }' "$work/stderr")
}

measure() {  # measure LABEL SETTINGS...
  local label=$1
  shift
  settings "$@"
  launch
  sleep 1  # past the start-up, into the steady state
  record "$label" "$first_step_ms" "$first_frame_ms"
  echo "    start-up (ms after launch): $phases"
}

# The reference: as measure, for the idle window, with no frame times (0).
measure_reference() {
  "$REFERENCE" 2>"$work/reference-stderr" &
  saver_pid=$!
  sleep 1.2  # about when the saver's steady state is measured from
  if ! kill -0 "$saver_pid" 2>/dev/null; then
    echo "reference: the idle window ended at once; not measured" >&2
    cat "$work/reference-stderr" >&2
    saver_pid=""
    return 0
  fi
  record "reference: idle window, 50 ms timer" 0 0
}

# record LABEL FIRST_STEP_MS FIRST_PICTURES_MS: the CPU shares of $saver_pid and the X
# server over the next $SECONDS_MEASURED seconds, then ends $saver_pid; one result line.
record() {
  local s0 x0 s1 x1
  s0=$(cpu_ns "$saver_pid")
  x0=$(cpu_ns "$xvfb_pid")
  sleep "$SECONDS_MEASURED"
  if ! kill -0 "$saver_pid" 2>/dev/null; then
    echo "$1: the program ended while it was measured" >&2
    wait "$saver_pid" 2>/dev/null || true
    saver_pid=""
    return 1
  fi
  s1=$(cpu_ns "$saver_pid")
  x1=$(cpu_ns "$xvfb_pid")
  kill "$saver_pid"
  wait "$saver_pid" 2>/dev/null || true
  saver_pid=""
  awk -v l="$1" -v s=$((s1 - s0)) -v x=$((x1 - x0)) -v n="$SECONDS_MEASURED" -v g="$2" \
      -v f="$3" 'BEGIN {
    printf "%s\t%.2f\t%.2f\t%d\t%d\n", l, 100 * s / (1e9 * n), 100 * x / (1e9 * n), g, f }' \
    | tee -a "$work/results" | report
}

# Lines of tab-separated label, saver %, X server %, first step ms, first pictures ms
# (both 0 for the reference, which has no frames).
report() {
  awk -F'\t' '{
    printf "%-36s saver %5.2f%%  X server %5.2f%%", $1, $2, $3
    if ($4 + $5 > 0) printf "  first step %4d ms  first pictures %4d ms", $4, $5
    printf "\n" }'
}

# The median of each figure over the runs of each scene, in the order first measured.
medians() {
  awk -F'\t' '
    function median(list,   v, n, i, j, t) {
      n = split(list, v, " ")
      for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) {
        t = v[j]; v[j] = v[j - 1]; v[j - 1] = t
      }
      return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    !($1 in seen) { seen[$1] = 1; order[++count] = $1 }
    { for (k = 2; k <= 5; k++) figures[$1, k] = figures[$1, k] " " $k }
    END {
      for (i = 1; i <= count; i++) {
        l = order[i]
        printf "%s\t%.2f\t%.2f\t%d\t%d\n", l, median(figures[l, 2]), median(figures[l, 3]),
               median(figures[l, 4]), median(figures[l, 5])
      }
    }' "$work/results" | report
}

# A fresh server does work of its own for its first client (the keyboard map, among
# others) that a desktop's server did long before any saver starts: one launch,
# not measured, takes it.
settings Saver 1
launch
kill "$saver_pid"
wait "$saver_pid" 2>/dev/null || true
saver_pid=""

echo "1920x1080 Xvfb, ${SECONDS_MEASURED} s per scene, CPU as a share of one core"
echo "(load average now: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores)"
for run in $(seq "$RUNS"); do
  [ "$RUNS" -gt 1 ] && echo "run $run of $RUNS"
  measure 'scene 1, 20 balls' Saver 1 BolasNum 20 BolasVel 6
  measure 'scene 2, both trophy groups of 15' Saver 2 TrofeusNum 15 TrofeusTipo 0 TrofeusVel 5
  if [ -x "$REFERENCE" ]; then measure_reference; fi
done
if [ "$RUNS" -gt 1 ]; then
  echo "median of $RUNS runs"
  medians
fi
