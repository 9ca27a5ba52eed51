#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build dir: $FUZZ_BUILD_DIR, default
# build-fuzz) and runs each for a bounded time on one core.
#
#   scripts/fuzz.sh [--seconds N | --total-seconds N] [--runs N] [TARGET...]
#
#   --seconds N        each target runs N seconds (default 60)
#   --total-seconds N  N seconds shared evenly by the targets run
#   --runs N           stop each target after N executions as well
#   TARGET             nsf, rtf, dxl, ... (default: every target fuzz/CMakeLists.txt adds)
#
# The corpus of each target grows in $FUZZ_BUILD_DIR/corpus/TARGET across runs;
# it starts from fuzz/seeds/TARGET, the kept crash inputs and, for nsf and dxl,
# the small samples of ../shared. A crash, leak, time-out or out-of-memory input
# is kept as a named file in the target's regressions folder (replayed by the
# fuzz_replay_TARGET test of normal builds) and makes the script fail.
# Prints one summary line per target: executions, coverage (cov/ft), findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
total=""
runs=""
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --total-seconds) total="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    -h|--help) sed -n '2,18p' "$0"; exit 0 ;;
    -*) echo "fuzz: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found, skipped"
  exit 0
fi
BUILD="${FUZZ_BUILD_DIR:-build-fuzz}"
# Runs of this script side by side (one per core) share the build: one at a
# time configures and builds it.
mkdir -p "$BUILD"
exec 9>"$BUILD/.fuzz-build-lock"
flock 9
# -O1 with line tables only (what libFuzzer suggests) compiles the instrumented
# core much faster than -O2 -g and still names the source line of a finding;
# ccache, when the machine has it, makes a later build of unchanged code cheap.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG" \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG" "${launcher[@]}" \
  -DTESSELDOC_FUZZ=ON -DTESSELDOC_SANITIZE=ON -DTESSELDOC_BUILD_TESTS=OFF \
  -DTESSELDOC_BUILD_OFFICE=OFF -DTESSELDOC_BUILD_GUI=OFF >/dev/null

declare -A seeds_of regressions_of
all=()
while IFS=$'\t' read -r name seeds regressions; do
  [ -n "$name" ] || continue
  all+=("$name")
  seeds_of[$name]="$seeds"
  regressions_of[$name]="$regressions"
done < "$BUILD/fuzz-targets.txt"
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
for t in "${targets[@]}"; do
  [ -n "${seeds_of[$t]+x}" ] || { echo "fuzz: no target $t (have: ${all[*]})" >&2; exit 2; }
done
cmake --build "$BUILD" -j2 --target "${targets[@]/%/_fuzz}"
flock -u 9
if [ -n "$total" ]; then
  seconds=$(( total / ${#targets[@]} ))
  [ "$seconds" -ge 1 ] || seconds=1
fi

SHARED="${TESSELDOC_SHARED_DIR:-../shared}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
summary=()
for t in "${targets[@]}"; do
  corpus="$BUILD/corpus/$t"
  mkdir -p "$corpus" "$work/$t-artifacts" "${regressions_of[$t]}"
  cp -n "${seeds_of[$t]}"/* "$corpus/" 2>/dev/null || true
  cp -n "${regressions_of[$t]}"/* "$corpus/" 2>/dev/null || true
  options=(-timeout=20 -rss_limit_mb=2048)
  case "$t" in
    nsf)
      options+=(-max_len=600000)
      if [ -d "$SHARED/nsf-samples" ]; then
        find "$SHARED/nsf-samples" -name '*.nsf' -size -400k | sort | head -4 | while read -r f; do cp -n "$f" "$corpus/"; done
      fi ;;
    dxl)
      options+=(-max_len=65536)
      if [ -d "$SHARED/dxl-samples" ]; then
        find "$SHARED/dxl-samples" \( -name '*.dxl' -o -name '*.xml' \) -size -64k | sort | while read -r f; do cp -n "$f" "$corpus/"; done
      fi ;;
    mime) options+=(-max_len=200000) ;;
    *) options+=(-max_len=65536) ;;
  esac
  [ -z "$runs" ] || options+=(-runs="$runs")
  log="$work/$t.log"
  echo "fuzz: $t for ${seconds} s"
  rc=0
  ASAN_OPTIONS=detect_leaks=0 "$BUILD/fuzz/${t}_fuzz" "$corpus" -max_total_time="$seconds" "${options[@]}" \
    -print_final_stats=1 -artifact_prefix="$work/$t-artifacts/" >"$log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  line=$(grep -E '^#[0-9]+' "$log" | grep -E 'cov: ' | tail -1 || true)
  cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$line")
  ft=$(sed -n 's/.*ft: \([0-9]*\).*/\1/p' <<<"$line")
  found=0
  for a in "$work/$t-artifacts"/*; do
    [ -e "$a" ] || continue
    base="$(basename "$a")"
    kept="${regressions_of[$t]}/$t-$base"
    cp "$a" "$kept"
    echo "fuzz: $t: kept $kept"
    grep -E 'ERROR|SUMMARY|^==' "$log" | head -20 || true
    found=$((found + 1))
  done
  if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then
    tail -30 "$log"
    found=1
  fi
  [ "$found" -eq 0 ] || status=1
  summary+=("$t: ${execs:-0} executions, cov ${cov:-?}, ft ${ft:-?}, findings $found")
done
printf 'fuzz: %s\n' "${summary[@]}"
if [ "$status" -ne 0 ]; then
  echo "fuzz: FAILED (see above)"
  exit 1
fi
