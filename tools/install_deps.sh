#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, when any is missing: the
# compilers (clang for the fuzzers) and build tools, SDL 1.2 with SDL_image and SDL_mixer, the test and
# benchmark libraries, and the virtual X display with its tools for the window
# tests, and valgrind. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config dpkg-dev
    libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libpng-dev
    libgtest-dev libbenchmark-dev libpixman-1-dev
    xvfb xauth xdotool x11-utils imagemagick
    clang libclang-rt-14-dev valgrind
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}" >&2
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
