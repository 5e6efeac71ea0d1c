#!/usr/bin/env bash
# Installs from Debian's packages whatever the machine does not have yet.
#   scripts/install-deps.sh                 what building and running Marrowick needs
#   scripts/install-deps.sh --test          that and what the test suite adds
#   scripts/install-deps.sh [--test] PKG... also these packages
# Safe to run again.
set -euo pipefail

build_and_run=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libjpeg-dev tcl8.6-dev
  # Arial's metric twin and the captions' Chinese characters.
  fonts-liberation fonts-wqy-microhei
  # The virtual display start.sh offers where there is no display; the window
  # tests run on it too.
  xvfb xauth
)
testing=(
  googletest libgtest-dev
  # The fuzzing run: clang's libFuzzer and sanitizers.
  clang-14 libclang-rt-14-dev
  # The check of the desktop entry.
  desktop-file-utils
  # The calculation report read back: pdftotext, pdffonts, and pdftoppm for
  # its pictures.
  poppler-utils
  # README's GNU parallel recipes, tried over SSH on 127.0.0.1.
  parallel openssh-server openssh-client rsync
)

packages=("${build_and_run[@]}")
if [ "${1:-}" = "--test" ]; then
  packages+=("${testing[@]}")
  shift
fi
packages+=("$@")

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
