#!/usr/bin/env bash
# Installs from Debian's packages whatever the build, the tests and the window
# need and the machine does not have yet. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libjpeg-dev tcl8.6-dev
  googletest libgtest-dev
  clang-14 libclang-rt-14-dev
  fonts-liberation fonts-wqy-microhei
  xvfb xauth
  desktop-file-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
