#!/usr/bin/env bash
# Builds the wizard, drives it through a list export of the demo database
# under Xvfb on a 1920x1080 screen (offscreen when Xvfb is missing) and saves
# a PNG of each step, at the default size, maximised ("max-") and at the
# smallest size ("min-"), into shots/ (or $1). Usage: scripts/screenshots.sh [OUTDIR] [DB]
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-shots}
DB=${2:-res/demo/demo-mail.dxl}
BUILD_DIR=${BUILD_DIR:-build}
[ -f "$BUILD_DIR/CMakeCache.txt" ] || cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
cmake --build "$BUILD_DIR" -j2 --target tesseldoc-screenshots
TOUR="$BUILD_DIR/tests/gui/tesseldoc-screenshots"
mkdir -p "$OUT"
# Settings of its own: the pictures never depend on a window size left by a user.
export XDG_CONFIG_HOME=$(mktemp -d) XDG_RUNTIME_DIR=$(mktemp -d)
if command -v xvfb-run >/dev/null 2>&1; then
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" "$TOUR" "$DB" "$OUT"
else
  QT_QPA_PLATFORM=offscreen "$TOUR" "$DB" "$OUT"
fi
ls -1 "$OUT"/*.png
