#!/usr/bin/env bash
# Installs every Debian package that building and testing Torvic needs.
# Idempotent: does nothing when all of them are already there.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n fonts-dejavu-core fonts-liberation
  libxdo-dev libxtst-dev libsystemd-dev xdotool
  xvfb xauth x11-utils matchbox-window-manager imagemagick trayer
  dbus python3-dbusmock libglib2.0-bin shared-mime-info
  clang libclang-rt-14-dev
  dpkg-dev lintian xdg-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
