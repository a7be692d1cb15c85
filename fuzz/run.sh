#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang; one per fuzz/<name>.cpp) and
# fuzzes each for a bounded time: QM_FUZZ_SECONDS per target, by default an equal share
# of 110 seconds (at most 60 each), so the whole run stays under two minutes of
# fuzzing. Every input that ever made a target fail is kept in fuzz/regressions/<target>/
# (commit it) and replayed first on every run, so a fixed crash stays fixed. New
# interesting inputs collect in fuzz/corpus-work/<target>/ (not committed);
# fuzz/corpus/<target>/ holds the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
if [ ${#targets[@]} -eq 0 ]; then exit 0; fi
share=$((110 / ${#targets[@]}))
[ "$share" -gt 60 ] && share=60
seconds=${QM_FUZZ_SECONDS:-$share}

# The artwork comes ready-made from the release build when there is one: the generator
# itself gains nothing from running under the fuzzing sanitizers.
cmake --preset fuzz ${QM_ART_DIR:+-DQM_ART_DIR="$QM_ART_DIR"} >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]/#/fuzz_}"

status=0
for target in "${targets[@]}"; do
  binary=build/fuzz/fuzz/fuzz_$target
  regressions=fuzz/regressions/$target
  work=fuzz/corpus-work/$target
  mkdir -p "$regressions" "$work"

  shopt -s nullglob
  kept=("$regressions"/*)
  shopt -u nullglob
  if [ ${#kept[@]} -gt 0 ]; then
    echo "== $target: replaying ${#kept[@]} kept input(s)"
    if ! "$binary" -timeout=10 -rss_limit_mb=2048 "${kept[@]}"; then
      echo "== $target: a kept input still fails" >&2
      status=1
    fi
  fi

  seeds=()
  [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
  echo "== $target: fuzzing for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$regressions/" -print_final_stats=1 "$work" "${seeds[@]}"; then
    echo "== $target: found a failing input, kept in $regressions/" >&2
    status=1
  fi
done
exit $status
