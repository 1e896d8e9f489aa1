#!/usr/bin/env bash
# Installs every Debian package that building and testing Torvic needs;
# with --windows also the Windows cross-build and Wine. Idempotent: does
# nothing when all of them are already there.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev googletest
  qt6-base-dev qt6-translations-l10n fonts-dejavu-core fonts-liberation
  libxdo-dev libxtst-dev libxi-dev libsystemd-dev xdotool
  libwayland-dev libxkbcommon-dev
  xvfb xauth x11-utils x11-xserver-utils x11-xkb-utils matchbox-window-manager openbox imagemagick trayer
  tk xterm
  libwayland-dev wayland-protocols libxkbcommon-dev sway foot qt6-wayland xwayland wtype jq
  dbus python3-dbusmock libglib2.0-bin shared-mime-info
  at-spi2-core python3-pyatspi
  mutter xdg-desktop-portal xdg-desktop-portal-gnome pipewire libegl-mesa0 libgl1-mesa-dri
  clang libclang-rt-14-dev
  dpkg-dev lintian xdg-utils desktop-file-utils
)
# The Windows programs: MinGW-w64 for 32-bit Windows, and Wine with its
# 32-bit half (from the i386 architecture) to run them.
WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix wine wine64 wine32:i386)
if [ "${1:-}" != "--windows" ]; then WINDOWS_PACKAGES=(); fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${PACKAGES[@]}"; do installed "$p" || missing+=("$p"); done
windows=()
for p in "${WINDOWS_PACKAGES[@]+"${WINDOWS_PACKAGES[@]}"}"; do installed "$p" || windows+=("$p"); done
if [ ${#missing[@]} -eq 0 ] && [ ${#windows[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if [ ${#windows[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]} ${windows[*]}"
$SUDO apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ ${#windows[@]} -gt 0 ]; then
  # Wine as Debian recommends it (its fonts and libraries for windows).
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${windows[@]}"
fi
