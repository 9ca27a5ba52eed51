#!/usr/bin/env bash
# Builds the .deb from BUILD_DIR, checks what it holds (copyright, changelog,
# manual pages, a description without list separators, lintian without errors,
# the desktop entry and AppStream metainfo valid, where those checkers are
# installed), installs it with apt-get, runs the installed tesseldoc-cli on the
# demo database, and removes the package again, also when a step fails.
# Usage: deb-install-test.sh BUILD_DIR SOURCE_DIR
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
VERSION=$(dpkg-deb -f "$DEB" Version)
contents=$(dpkg-deb -c "$DEB")
MAN=./usr/share/man/man1
for path in ./usr/bin/tesseldoc ./usr/bin/tesseldoc-cli ./usr/share/applications/tesseldoc.desktop \
            ./usr/share/doc/tesseldoc/Tesseldoc.html ./usr/share/icons/hicolor/scalable/apps/tesseldoc.svg \
            ./usr/share/icons/hicolor/48x48/apps/tesseldoc.png \
            ./usr/share/doc/tesseldoc/copyright ./usr/share/doc/tesseldoc/changelog.gz \
            $MAN/tesseldoc.1.gz $MAN/tesseldoc-cli.1.gz ./usr/share/lintian/overrides/tesseldoc \
            ./usr/share/metainfo/org.tesseldoc.tesseldoc.metainfo.xml ./usr/share/mime/packages/tesseldoc.xml; do
  grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done

echo "== what the package says about itself"
description=$(dpkg-deb -f "$DEB" Description)
echo "$description"
grep -q ';' <<<"$description" && fail "the description has a stray ';' (a CMake list?)"
[ "$(wc -l <<<"$description")" -ge 4 ] || fail "the description has no real long text"
mkdir "$WORK/root"
dpkg-deb -x "$DEB" "$WORK/root"
ROOT=$WORK/root
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$ROOT/usr/share/doc/tesseldoc/copyright" || fail "the copyright file is not machine-readable"
grep -q '^License: Apache-2.0' "$ROOT/usr/share/doc/tesseldoc/copyright" || fail "the copyright file names no licence"
head -n 1 <(gzip -dc "$ROOT/usr/share/doc/tesseldoc/changelog.gz") | grep -q "^tesseldoc ($VERSION) " \
  || fail "the changelog does not begin with version $VERSION"
# The manual page of tesseldoc-cli is written from its help: every command is in both.
cli_page=$(gzip -dc "$ROOT/usr/share/man/man1/tesseldoc-cli.1.gz")
grep -q "^\.TH TESSELDOC\\\\-CLI 1 .*\"tesseldoc $VERSION\"" <<<"$cli_page" || fail "the CLI's manual page is not of $VERSION"
for command in $("$BUILD_DIR/tesseldoc-cli" --help | sed -n '/^commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p'); do
  grep -q "^\.SS tesseldoc\\\\-cli ${command//-/\\\\-}\b" <<<"$cli_page" || fail "the manual page lacks the command $command"
done
if command -v man >/dev/null 2>&1; then
  for page in tesseldoc tesseldoc-cli; do
    warnings=$(MANWIDTH=80 man --warnings -l "$ROOT/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$warnings"; fail "man warns about $page.1"; }
  done
fi
if command -v lintian >/dev/null 2>&1; then
  echo "== lintian"
  # lintian warns that it runs as root; only its findings count.
  lintian --fail-on error --allow-root "$DEB" || fail "lintian reports errors"
else
  echo "lintian is not installed: not checked (scripts/install-deps.sh test installs it)"
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$ROOT/usr/share/applications/tesseldoc.desktop" || fail "the desktop entry is not valid"
fi
grep -q '^Exec=tesseldoc %F$' "$ROOT/usr/share/applications/tesseldoc.desktop" || fail "the desktop entry takes no files"
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$ROOT/usr/share/metainfo/org.tesseldoc.tesseldoc.metainfo.xml" \
    || fail "appstreamcli refuses the metainfo"
fi
grep -q "<release version=\"$VERSION\"" "$ROOT/usr/share/metainfo/org.tesseldoc.tesseldoc.metainfo.xml" \
  || fail "the metainfo's release is not $VERSION"

echo "== installing $(basename "$DEB")"
touched=1
# On a machine that builds the project everything it depends on is there already.
DEBIAN_FRONTEND=noninteractive apt-get install -y "$DEB" || fail "apt-get could not install the package"
is_installed || fail "the package is not installed after apt-get"

for program in /usr/bin/tesseldoc /usr/bin/tesseldoc-cli; do
  [ -x "$program" ] || fail "$program is missing"
  if ldd "$program" | grep -q "not found"; then ldd "$program"; fail "$program lacks libraries"; fi
  # One version: the package's, from CMake's project version.
  "$program" --version | grep -q "^$(basename "$program") $VERSION\$" || fail "$program --version is not $VERSION"
done
[ -f /usr/share/man/man1/tesseldoc-cli.1.gz ] || fail "the manual page of tesseldoc-cli is not installed"

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
[ -e /usr/share/man/man1/tesseldoc-cli.1.gz ] && fail "the manual page of tesseldoc-cli is still there"
echo "PASS"
