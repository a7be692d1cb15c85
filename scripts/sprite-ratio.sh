#!/usr/bin/env bash
# Reports what a step of 40 flying sprites costs as a share of the surface's own clear
# of the whole screen, both measured in the same run: `quill_bench` runs the sprites'
# step (BM_ClsAnd40FlyingSprites, drawn at 24, 30 and 36 pixels, with the processor's
# widest vectors) and the full clear (BM_FullScreenCls) at 1920x1080 and 3840x2160,
# their repetitions interleaved so that a slow spell on a shared machine slows both
# alike, and each figure is the fastest repetition. Target: well under a tenth.
#   scripts/sprite-ratio.sh [QUILL_BENCH]   (default: build/release/bench/quill_bench)
#   REPETITIONS=N (default 6)
set -euo pipefail
cd "$(dirname "$0")/.."
BENCH=${1:-build/release/bench/quill_bench}
[ -x "$BENCH" ] || { echo "no benchmark program at $BENCH (build it first)" >&2; exit 2; }
REPETITIONS=${REPETITIONS:-6}
[[ "$REPETITIONS" =~ ^[1-9][0-9]*$ ]] ||
  { echo "REPETITIONS must be a whole number from 1 up" >&2; exit 2; }

"$BENCH" --benchmark_filter='^BM_FullScreenCls/|^BM_ClsAnd40FlyingSprites/w:[0-9]+/h:[0-9]+/size:[0-9]+/bits:512$' \
  --benchmark_repetitions="$REPETITIONS" --benchmark_enable_random_interleaving=true \
  --benchmark_time_unit=us 2>/dev/null |
  awk -v reps="$REPETITIONS" '
    # One line a repetition: name, time, unit, CPU time, unit, iterations. The clear is
    # timed by hand (only the clear, not the drawing that dirties the whole surface
    # first), so its time column is the one to compare.
    /^BM_/ && $1 !~ /_(mean|median|stddev|cv)$/ && $3 == "us" {
      if (!($1 in best) || $2 + 0 < best[$1]) best[$1] = $2 + 0
    }
    END {
      found = 0
      split("1920x1080 3840x2160", sizes, " ")
      for (s = 1; s <= 2; ++s) {
        split(sizes[s], wh, "x")
        clear = "BM_FullScreenCls/" wh[1] "/" wh[2] "/manual_time"
        if (!(clear in best)) continue
        found = 1
        printf "%s: full clear %.1f us (fastest of %d)\n", sizes[s], best[clear], reps
        split("24 30 36", px, " ")
        for (p = 1; p <= 3; ++p) {
          step = "BM_ClsAnd40FlyingSprites/w:" wh[1] "/h:" wh[2] "/size:" px[p] "/bits:512"
          if (!(step in best)) continue
          printf "  40 sprites at %s px: %5.1f us, 1/%.1f of the clear\n", px[p], best[step],
                 best[clear] / best[step]
        }
      }
      if (!found) { print "the benchmarks did not run" > "/dev/stderr"; exit 1 }
    }'
