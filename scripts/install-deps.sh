#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Idempotent: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins libgl-dev
  libicu-dev
  libgmime-3.0-dev libgumbo-dev
  qtkeychain-qt6-dev
  libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev
  libreoffice-writer-nogui libreoffice-dev
  antiword catdoc poppler-utils unzip
  xvfb xauth x11-apps imagemagick
  fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei
  procps
  openssl
  slurmctld slurmd slurm-client munge iproute2
  adwaita-icon-theme
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
