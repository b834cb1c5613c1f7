#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) and fuzzes each in turn for the given seconds,
# one at a time and at the lowest priority. Not part of the normal test run, which only replays the seeds.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target...]   (default: every target)
# The working corpus grows under $PIXTREL_BUILD/fuzz-corpus/<target>, seeded from tests/fuzz/corpus/<target>;
# a crashing input is kept as $PIXTREL_BUILD/fuzz-artefacts/<target>-crash-<hash>.
set -uo pipefail
cd "$(dirname "$0")/.."
REPO="$PWD"
export PIXTREL_BUILD="${PIXTREL_BUILD:-$REPO/build}"
SECONDS_EACH="${1:-60}"
shift || true
BUILD="$PIXTREL_BUILD/fuzz"

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DPIXTREL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null || exit 1
nice -n 19 cmake --build "$BUILD" -j"${PIXTREL_JOBS:-2}" > "$BUILD/build.log" 2>&1 || { tail -n 40 "$BUILD/build.log"; exit 1; }

targets=("$@")
if ((${#targets[@]} == 0)); then
  for f in tests/fuzz/*Fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
mkdir -p "$PIXTREL_BUILD/fuzz-artefacts"
status=0
summary=()
for t in "${targets[@]}"; do
  work="$PIXTREL_BUILD/fuzz-corpus/$t"
  mkdir -p "$work"
  started=$SECONDS
  echo "== $t: ${SECONDS_EACH}s"
  if nice -n 19 "$BUILD/tests/fuzz/$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
       -artifact_prefix="$PIXTREL_BUILD/fuzz-artefacts/$t-" "$work" "tests/fuzz/corpus/$t" \
       > "$PIXTREL_BUILD/fuzz-artefacts/$t.log" 2>&1; then
    summary+=("$t: clean for $((SECONDS - started)) s ($(grep -o 'stat::number_of_executed_units: [0-9]*' \
      "$PIXTREL_BUILD/fuzz-artefacts/$t.log" | grep -o '[0-9]*$') runs)")
  else
    status=1
    summary+=("$t: FAILED after $((SECONDS - started)) s (log: $PIXTREL_BUILD/fuzz-artefacts/$t.log)")
    grep -m 5 -E 'ERROR|property failed|runtime error|Test unit written' "$PIXTREL_BUILD/fuzz-artefacts/$t.log"
  fi
done
printf '%s\n' "${summary[@]}"
exit $status
