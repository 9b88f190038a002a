#!/usr/bin/env bash
# Installs the Debian packages Chronark needs to build, test and run.
# Idempotent: does nothing when every package is already present.
set -euo pipefail

# libqt6svg6 holds the SVG icon engine that reads the pictures of the window's image list.
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 xvfb xauth poppler-utils
  clang libclang-rt-14-dev clang-format
  libexpat1-dev valgrind
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
