#!/usr/bin/env bash
# Installs what is needed to build and run (not what only the tests need),
# builds without the tests, and converts the bundled demo database:
# lists its folders, converts every folder into demo-output/ (one .doc per
# item, attachments beside them) and lists what was written.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh runtime build
./scripts/build.sh -DTESSELDOC_BUILD_TESTS=OFF
BUILD=${BUILD_DIR:-build}
DB=res/demo/demo-mail.dxl
OUT=${DEMO_OUT:-demo-output}
MODE=${DEMO_MODE:-rtf-best}
echo "== folders of $DB"
"$BUILD/tesseldoc-cli" folders "$DB"
# Every run writes a new tree: earlier output is never overwritten.
DEST="$OUT/$(date +%Y%m%d-%H%M%S)"
echo "== converting $DB into $DEST (mode $MODE)"
status=0
"$BUILD/tesseldoc-cli" convert "$DB" "$DEST" --mode "$MODE" || status=$?
echo "== written"
(cd "$DEST" && find . -type f | sort)
echo "== the wizard: ./$BUILD/src/app/tesseldoc (to install it, see Installing in the README)"
exit $status
