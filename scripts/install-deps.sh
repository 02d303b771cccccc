#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, from Debian's archive, every package the build needs that this machine
# does not have yet; with --tests, also what the tests, benchmarks and fuzz targets need
# (a private X server, key presses, screenshots, a private sound server, the test
# camera, the tools that build and check the Debian package, clang and libFuzzer).
# Safe to run again: it installs nothing twice.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-serialport-dev libgl-dev fonts-dejavu-core
  libsndfile1-dev libsamplerate0-dev libpulse-dev libhamlib-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)
if [[ ${1:-} == --tests ]]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool x11-apps imagemagick
    pulseaudio pulseaudio-utils libgstreamer1.0-dev
    # rigctld: the dummy rig that CAT push-to-talk is tested against
    libhamlib-utils
    # setpriv: some end-to-end tests run the program as "nobody", so file modes count
    util-linux
    dpkg-dev file desktop-file-utils appstream man-db groff-base
    # scripts/fuzz.sh: clang 14, its libFuzzer and sanitizer runtimes, llvm-symbolizer
    clang libclang-rt-14-dev llvm)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
