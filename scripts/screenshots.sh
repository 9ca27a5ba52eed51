#!/usr/bin/env bash
# Builds the wizard, drives it through a list export of the demo database
# under Xvfb (offscreen when Xvfb is missing) and saves a PNG of each step
# into shots/ (or $1). Usage: scripts/screenshots.sh [OUTDIR] [DB]
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-shots}
DB=${2:-res/demo/demo-mail.dxl}
BUILD_DIR=${BUILD_DIR:-build}
[ -f "$BUILD_DIR/CMakeCache.txt" ] || cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
cmake --build "$BUILD_DIR" -j2 --target tesseldoc-screenshots
TOUR="$BUILD_DIR/tests/gui/tesseldoc-screenshots"
mkdir -p "$OUT"
if command -v xvfb-run >/dev/null 2>&1; then
  XDG_RUNTIME_DIR=$(mktemp -d) QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$TOUR" "$DB" "$OUT"
else
  XDG_RUNTIME_DIR=$(mktemp -d) QT_QPA_PLATFORM=offscreen "$TOUR" "$DB" "$OUT"
fi
ls -1 "$OUT"/*.png
