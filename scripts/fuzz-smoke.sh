#!/usr/bin/env bash
# The short fuzz run of scripts/test.sh and CI: FUZZ_SECONDS (default 60)
# shared between the fuzz targets.
#
#   fuzz-smoke.sh [--libfuzzer]
#
# By default it uses the normal build ($BUILD_DIR, default build): the
# NAME_fuzz_replay programs the tests already built with the normal compiler
# replay every seed and kept crash input and then feed the target mutations of
# them (fuzz/FuzzReplayMain.cpp), so nothing more is compiled. A crash is kept
# as a named file in the target's regressions folder and fails the script.
# With --libfuzzer, scripts/fuzz.sh builds the coverage-guided libFuzzer
# programs with clang and the sanitizers (a build of its own, far slower on a
# fresh machine) and runs them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
total="${FUZZ_SECONDS:-60}"
if [ "${1:-}" = "--libfuzzer" ]; then
  exec ./scripts/fuzz.sh --total-seconds "$total"
fi
[ $# -eq 0 ] || { echo "fuzz-smoke: unknown argument $1 (only --libfuzzer)" >&2; exit 2; }
BUILD="${BUILD_DIR:-build}"
list="$BUILD/fuzz-targets.txt"
if [ ! -s "$list" ]; then
  echo "fuzz-smoke: $list is missing: build with tests first (scripts/build.sh)" >&2
  exit 2
fi
names=()
while IFS=$'\t' read -r name _ _; do [ -n "$name" ] && names+=("$name"); done < "$list"
# Two run side by side: the smoke takes about FUZZ_SECONDS in all.
seconds=$(( total * 2 / ${#names[@]} ))
[ "$seconds" -ge 1 ] || seconds=1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
# Two targets at a time, one per core.
run_one() {
  local name="$1" seeds="$2" regressions="$3"
  local program="$BUILD/fuzz/${name}_fuzz_replay"
  mkdir -p "$work/$name"
  local rc=0
  "$program" --mutate-seconds "$seconds" --artifacts "$work/$name" --max-len 600000 "$seeds" "$regressions" \
    >"$work/$name.log" 2>&1 || rc=$?
  echo "fuzz: $name: $(grep -E '^fuzz: [0-9]+ mutated' "$work/$name.log" | sed 's/^fuzz: //' || echo "failed (status $rc)")"
  for a in "$work/$name"/crash-*; do
    [ -e "$a" ] || continue
    mkdir -p "$regressions"
    cp "$a" "$regressions/$name-$(basename "$a")"
    echo "fuzz: $name: kept $regressions/$name-$(basename "$a")"
    tail -20 "$work/$name.log"
  done
  return "$rc"
}
pids=()
while IFS=$'\t' read -r name seeds regressions; do
  [ -n "$name" ] || continue
  if [ ! -x "$BUILD/fuzz/${name}_fuzz_replay" ]; then
    echo "fuzz-smoke: $BUILD/fuzz/${name}_fuzz_replay is missing" >&2
    status=1
    continue
  fi
  run_one "$name" "$seeds" "$regressions" &
  pids+=($!)
  if [ ${#pids[@]} -ge 2 ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done < "$list"
for p in "${pids[@]}"; do wait "$p" || status=1; done
if [ "$status" -ne 0 ]; then
  echo "fuzz-smoke: FAILED (see above)"
  exit 1
fi
