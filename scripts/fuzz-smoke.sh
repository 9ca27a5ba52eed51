#!/usr/bin/env bash
# Builds the NSF fuzz target with clang and runs it for a bounded time
# (FUZZ_SECONDS, default 60), then the MIME/HTML target for a third of that.
# Crash inputs are copied to tests/data/nsf-regressions/ (replayed by
# test_nsf) or tests/data/mime-regressions/ (replayed by test_mime) and fail the run.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${FUZZ_SECONDS:-60}"
BUILD="${FUZZ_BUILD_DIR:-build-fuzz}"
if ! command -v clang++ >/dev/null; then
  echo "fuzz-smoke: clang++ not found, skipped"
  exit 0
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSELDOC_FUZZ=ON -DTESSELDOC_SANITIZE=ON -DTESSELDOC_BUILD_TESTS=OFF \
  -DTESSELDOC_BUILD_OFFICE=OFF -DTESSELDOC_BUILD_GUI=OFF >/dev/null
cmake --build "$BUILD" -j2 --target nsf_fuzz mime_fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
cp tests/data/nsf-regressions/* "$work/corpus/" 2>/dev/null || true
cp fuzz/seeds/* "$work/corpus/" 2>/dev/null || true
# The smallest real samples, when present, seed whole-database inputs.
SAMPLES="${TESSELDOC_SHARED_DIR:-../shared}/nsf-samples"
if [ -d "$SAMPLES" ]; then
  find "$SAMPLES" -name '*.nsf' -size -400k | sort | head -4 | while read -r f; do cp "$f" "$work/corpus/"; done
fi
status=0
ASAN_OPTIONS=detect_leaks=0 "$BUILD/fuzz/nsf_fuzz" "$work/corpus" -max_total_time="$SECONDS_TO_RUN" \
  -max_len=600000 -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" || status=$?
found=0
for a in "$work"/artifacts/*; do
  [ -e "$a" ] || continue
  name="fuzz-$(basename "$a")"
  cp "$a" "tests/data/nsf-regressions/$name"
  echo "fuzz-smoke: kept $name in tests/data/nsf-regressions/"
  found=1
done
# The MIME decoder and HTML converter.
mkdir -p "$work/mime-corpus" "$work/mime-artifacts"
cp tests/data/mime-regressions/* fuzz/seeds-mime/* "$work/mime-corpus/" 2>/dev/null || true
mime_status=0
ASAN_OPTIONS=detect_leaks=0 "$BUILD/fuzz/mime_fuzz" "$work/mime-corpus" \
  -max_total_time="$(( (SECONDS_TO_RUN + 2) / 3 ))" -max_len=200000 -rss_limit_mb=2048 -timeout=20 \
  -print_final_stats=1 -artifact_prefix="$work/mime-artifacts/" || mime_status=$?
for a in "$work"/mime-artifacts/*; do
  [ -e "$a" ] || continue
  name="fuzz-$(basename "$a")"
  cp "$a" "tests/data/mime-regressions/$name"
  echo "fuzz-smoke: kept $name in tests/data/mime-regressions/"
  found=1
done
[ "$mime_status" -eq 0 ] || status=$mime_status
if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
  echo "fuzz-smoke: FAILED (see above)"
  exit 1
fi
echo "fuzz-smoke: no crash in ${SECONDS_TO_RUN} s"
