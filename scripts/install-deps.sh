#!/usr/bin/env bash
# Installs the Debian packages the project needs, in three parts:
#
#   install-deps.sh [runtime] [build] [test]     (no part named: all three)
#
#   runtime  what the programs need to run (what the .deb depends on)
#   build    compilers, CMake and the libraries' headers
#   test     what only the tests need: gtest, document readers, Xvfb, clang for
#            fuzzing, a one-node Slurm cluster, lintian and the desktop checkers
#
# scripts/demo.sh installs runtime and build; scripts/test.sh all three.
# Idempotent: packages already present are left alone. Services that come with
# the test packages (Slurm's daemons, munge) are neither started by the install
# nor enabled at boot: the tests start their own and stop them again.
set -euo pipefail

RUNTIME=(
  libreoffice-writer-nogui
  qt6-qpa-plugins libqt6svg6 qt6-image-formats-plugins
  libqpdf29 libgif7 libpng16-16 qt6-translations-l10n
  fonts-dejavu-core fonts-liberation2
  adwaita-icon-theme
  libzip4
)
BUILD=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libicu-dev
  libgmime-3.0-dev libgumbo-dev
  libzip-dev
  libqpdf-dev libgif-dev libpng-dev
  qt6-tools-dev qt6-l10n-tools
  qtkeychain-qt6-dev
  libreoffice-dev
)
TEST=(
  libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev
  antiword catdoc poppler-utils unzip
  xvfb xauth x11-apps imagemagick
  fonts-wqy-microhei
  procps openssl iproute2
  valgrind
  slurmctld slurmd slurm-client munge
  lintian appstream desktop-file-utils
)
# Services of the test part: never started or enabled by this script.
TEST_SERVICES=(slurmctld slurmd munge)

usage() { sed -n '2,13p' "$0"; }
parts=()
for a in "$@"; do
  case "$a" in
    runtime|build|test) parts+=("$a") ;;
    -h|--help) usage; exit 0 ;;
    *) echo "install-deps: unknown part \"$a\" (runtime, build or test)" >&2; exit 2 ;;
  esac
done
[ ${#parts[@]} -gt 0 ] || parts=(runtime build test)

wanted=()
with_test=0
for part in "${parts[@]}"; do
  case "$part" in
    runtime) wanted+=("${RUNTIME[@]}") ;;
    build) wanted+=("${BUILD[@]}") ;;
    test) wanted+=("${TEST[@]}"); with_test=1 ;;
  esac
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present (${parts[*]})"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# While installing, services are not started (policy-rc.d answers 101, "not
# allowed", to invoke-rc.d and deb-systemd-invoke), unless the machine has a
# policy of its own.
policy=/usr/sbin/policy-rc.d
own_policy=0
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\n# install-deps.sh: no service starts while it installs.\nexit 101\n' | $SUDO tee "$policy" >/dev/null
  $SUDO chmod 755 "$policy"
  own_policy=1
fi
remove_policy() { if [ "$own_policy" -eq 1 ]; then $SUDO rm -f "$policy"; fi; }
trap remove_policy EXIT
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"

# Nor do they start at boot.
if [ "$with_test" -eq 1 ]; then
  for s in "${TEST_SERVICES[@]}"; do
    if command -v systemctl >/dev/null 2>&1 && [ -n "$(systemctl list-unit-files "$s.service" 2>/dev/null | grep "^$s.service")" ]; then
      $SUDO systemctl disable --quiet "$s.service" 2>/dev/null || true
    fi
    if [ -x "/etc/init.d/$s" ] && command -v update-rc.d >/dev/null 2>&1; then
      $SUDO update-rc.d "$s" disable >/dev/null 2>&1 || true
    fi
  done
fi
