#!/usr/bin/env bash
# Installs the Debian packages Tavix builds, tests and runs with, when any is missing. Nothing is downloaded
# at build time; this is the only step that fetches anything.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  libfreetype-dev libfontconfig-dev libpng-dev libtomlplusplus-dev fonts-dejavu-core fonts-liberation
  python3 python3-pil
  desktop-file-utils appstream groff-base dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
