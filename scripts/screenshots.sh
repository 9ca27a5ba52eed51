#!/usr/bin/env bash
# Builds the wizard, drives it through a list export of the demo database
# under Xvfb on a 1920x1080 screen (offscreen when Xvfb is missing) and saves
# a PNG of each step, at the default size, maximised ("max-") and at the
# smallest size ("min-"), into shots/ (or $1). With the loopback Domino stand-in built (fake-domino),
# it also serves DB from it on 127.0.0.1 and shows the server browser listing
# it and Step 2 with the server database open. Usage: scripts/screenshots.sh [OUTDIR] [DB]
# SHOT_LANGUAGES="en de ja" takes the tour once per language, into OUTDIR/LANG.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-shots}
DB=${2:-res/demo/demo-mail.dxl}
BUILD_DIR=${BUILD_DIR:-build}
[ -f "$BUILD_DIR/CMakeCache.txt" ] || cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
cmake --build "$BUILD_DIR" -j2 --target tesseldoc-screenshots
TOUR="$BUILD_DIR/tests/gui/tesseldoc-screenshots"
mkdir -p "$OUT"
# The tour's settings (the loopback server among them) stay out of the user's own.
CONFIG=$(mktemp -d)
FAKE_PID=""
cleanup() {
  if [ -n "$FAKE_PID" ]; then kill "$FAKE_PID" 2>/dev/null || true; wait "$FAKE_PID" 2>/dev/null || true; fi
  rm -rf "$CONFIG"
}
trap cleanup EXIT
SERVER_URL=""
if cmake --build "$BUILD_DIR" -j2 --target fake-domino >/dev/null 2>&1; then
  FAKE=$(find "$BUILD_DIR/tests" -name fake-domino -type f -perm -u+x | head -n1)
  if [ -n "$FAKE" ]; then
    PORTFILE="$CONFIG/port"
    "$FAKE" --port 0 --db "$(basename "$DB" .dxl).nsf=$DB" --auth none >"$PORTFILE" 2>&1 &
    FAKE_PID=$!
    for _ in $(seq 50); do grep -q '^port ' "$PORTFILE" 2>/dev/null && break; sleep 0.1; done
    PORT=$(sed -n 's/^port //p' "$PORTFILE" | head -n1)
    [ -n "$PORT" ] && SERVER_URL="http://127.0.0.1:$PORT"
  fi
fi
[ -n "$SERVER_URL" ] || echo "screenshots: no loopback Domino server; the server pictures are left out"
run_tour() {
  # shellcheck disable=SC2086
  XDG_CONFIG_HOME="$CONFIG" XDG_RUNTIME_DIR=$(mktemp -d) no_proxy="127.0.0.1,localhost" "$@" "$TOUR" "$DB" "$OUT" $SERVER_URL
}
LANGUAGES=(${SHOT_LANGUAGES:-})
BASE_OUT="$OUT"
for lang in "${LANGUAGES[@]:-}"; do
  if [ -n "$lang" ]; then
    OUT="$BASE_OUT/$lang"
    mkdir -p "$OUT"
    export LANGUAGE="$lang"
  fi
  if command -v xvfb-run >/dev/null 2>&1; then
    QT_QPA_PLATFORM=xcb TESSELDOC_NO_KEYRING=1 run_tour xvfb-run -a -s "-screen 0 1920x1080x24"
  else
    QT_QPA_PLATFORM=offscreen TESSELDOC_NO_KEYRING=1 run_tour env
  fi
  ls -1 "$OUT"/*.png
done
