#!/usr/bin/env bash
# Installs what is needed, builds, and runs the program on the bundled demo database.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
DB=res/demo/demo-mail.dxl
echo "== folders of $DB"
./build/tesseldoc-cli folders "$DB"
