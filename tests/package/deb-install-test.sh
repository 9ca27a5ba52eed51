#!/usr/bin/env bash
# Builds the .deb from BUILD_DIR, installs it with apt-get, runs the installed
# tesseldoc-cli on the demo database, and removes the package again, also
# when a step fails. Usage: deb-install-test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
BUILD_DIR=$1
SOURCE_DIR=$2
DEMO="$SOURCE_DIR/res/demo/demo-mail.dxl"

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
is_installed() { dpkg-query -W -f='${Status}' tesseldoc 2>/dev/null | grep -q "ok installed"; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in dpkg dpkg-deb dpkg-query apt-get cpack; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not available"
done
[ -f "$BUILD_DIR/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $BUILD_DIR"
grep -q "^TESSELDOC_BUILD_GUI:BOOL=OFF" "$BUILD_DIR/CMakeCache.txt" 2>/dev/null \
  && skip "this build leaves the wizard out, so it makes no whole package"
# A tesseldoc package the machine already has is not ours to replace or remove.
is_installed && skip "a tesseldoc package is already installed here"

WORK=$(mktemp -d)
touched=0
cleanup() {
  if [ "$touched" -eq 1 ] && dpkg-query -W tesseldoc >/dev/null 2>&1; then
    echo "== removing the package"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y tesseldoc >/dev/null 2>&1 || dpkg --purge tesseldoc
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

echo "== building the package"
(cd "$BUILD_DIR" && cpack -G DEB -B "$WORK/pkg") || fail "cpack could not build the package"
DEB=$(ls "$WORK"/pkg/tesseldoc_*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "no tesseldoc_*.deb was written"
dpkg-deb -f "$DEB" Package Version Architecture Depends
contents=$(dpkg-deb -c "$DEB")
for path in ./usr/bin/tesseldoc ./usr/bin/tesseldoc-cli ./usr/share/applications/tesseldoc.desktop \
            ./usr/share/doc/tesseldoc/Tesseldoc.html ./usr/share/icons/hicolor/scalable/apps/tesseldoc.svg \
            ./usr/share/icons/hicolor/48x48/apps/tesseldoc.png; do
  grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done

echo "== installing $(basename "$DEB")"
touched=1
# On a machine that builds the project everything it depends on is there already.
DEBIAN_FRONTEND=noninteractive apt-get install -y "$DEB" || fail "apt-get could not install the package"
is_installed || fail "the package is not installed after apt-get"

for program in /usr/bin/tesseldoc /usr/bin/tesseldoc-cli; do
  [ -x "$program" ] || fail "$program is missing"
  if ldd "$program" | grep -q "not found"; then ldd "$program"; fail "$program lacks libraries"; fi
done

echo "== the installed tesseldoc-cli on the demo database"
folders=$(/usr/bin/tesseldoc-cli folders "$DEMO") || fail "tesseldoc-cli folders failed"
echo "$folders"
grep -q '^(\$Inbox)\\\\' <<<"$folders" || fail "the demo database's inbox is not listed"
OUT="$WORK/out"
/usr/bin/tesseldoc-cli convert "$DEMO" "$OUT" --folder '($Inbox)' --mode text || fail "tesseldoc-cli convert failed"
docs=$(find "$OUT" -name '*.doc' | wc -l)
echo "documents written: $docs"
[ "$docs" -gt 0 ] || fail "the installed program wrote no document"

echo "== removing the package"
DEBIAN_FRONTEND=noninteractive apt-get purge -y tesseldoc || fail "apt-get could not remove the package"
touched=0
is_installed && fail "the package is still installed"
[ -e /usr/bin/tesseldoc-cli ] && fail "/usr/bin/tesseldoc-cli is still there"
echo "PASS"
