#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh runtime build test
# The tests' build: -O1 and line tables only (-g1) compile in about two
# thirds of the time of the release flags and still give backtraces with
# lines; no benchmarks (build them with the release flags to measure).
./scripts/build.sh -DTESSELDOC_BUILD_TESTS=ON -DTESSELDOC_BUILD_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j 2 --timeout 900
# The fuzz smoke after the tests: every fuzz target of the normal build on
# mutations of its inputs (no second build). scripts/fuzz.sh runs the
# coverage-guided libFuzzer programs (clang), for longer runs.
FUZZ_SECONDS="${FUZZ_SECONDS:-60}" ./scripts/fuzz-smoke.sh
