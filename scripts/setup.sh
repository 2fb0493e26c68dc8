#!/usr/bin/env bash
# Installs every Debian package Velloran needs to build, test and run. Quick when all are
# present; otherwise refreshes the package lists first.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config git
  # Qt 6 and coroutines
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev
  qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev
  qt6-httpserver-dev qt6-websockets-dev
  qcoro-qt6-dev qtkeychain-qt6-dev
  libgl-dev libxkbcommon-dev libvulkan-dev
  # tests and benchmarks; clang with libFuzzer and the sanitizer runtimes for the fuzz targets
  libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
  dbus dbus-x11 gnome-keyring libsecret-1-0 playerctl xvfb xauth
  libglib2.0-bin dbus-bin
  # the plain desktop's URL opener, which the login's redirect goes through
  xdg-utils
  # fonts and desktop metadata
  woff2 appstream desktop-file-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
