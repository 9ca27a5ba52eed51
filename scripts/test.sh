#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh runtime build test
./scripts/build.sh -DTESSELDOC_BUILD_TESTS=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j 2 --timeout 900
# The fuzz smoke after the tests: every fuzz target of the normal build on
# mutations of its inputs (no second build). scripts/fuzz.sh runs the
# coverage-guided libFuzzer programs (clang), for longer runs.
FUZZ_SECONDS="${FUZZ_SECONDS:-60}" ./scripts/fuzz-smoke.sh
