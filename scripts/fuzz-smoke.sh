#!/usr/bin/env bash
# The short fuzz run of CI: every libFuzzer target, FUZZ_SECONDS (default 60)
# shared between them. See scripts/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
exec ./scripts/fuzz.sh --total-seconds "${FUZZ_SECONDS:-60}"
