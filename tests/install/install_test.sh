#!/usr/bin/env bash
# Installs the build into a scratch prefix, builds the consumer program against it
# twice (find_package and pkg-config), runs both headless, runs an installed demo
# launcher from elsewhere, then builds the Debian package and checks its contents.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/orvane-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# 1. find_package
cmake -S "$source_dir/examples/consumer" -B "$work/by-cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/by-cmake" >/dev/null
"$work/by-cmake/consumer" || fail "the consumer built with find_package did not draw its frame"

# 2. pkg-config
flags=$(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags --libs orvane) || fail "pkg-config does not know orvane"
# shellcheck disable=SC2086 # the flags are words
c++ -std=c++20 -o "$work/by-pkg-config" "$source_dir/examples/consumer/consumer.cpp" $flags
"$work/by-pkg-config" || fail "the consumer built with pkg-config did not draw its frame"

# 3. An installed launcher finds its media from any working directory, and a
# close request (SDL makes one of SIGTERM) ends the demo with status 0.
run_launcher() {
    cd "$work"
    "$1" >"$work/out.txt" 2>"$work/err.txt" &
    local pid=$! status=0
    sleep 2
    kill -TERM "$pid"
    wait "$pid" || status=$?
    [ "$status" = 0 ] || fail "$1 ended with $status: $(cat "$work/err.txt")"
    [ "$(head -n 1 "$work/out.txt")" = "Loading the images.." ] || fail "$1 printed: $(cat "$work/out.txt")"
    if grep -q "Something went wrong" "$work/out.txt"; then
        fail "$1 did not find its images: $(cat "$work/err.txt")"
    fi
}
run_launcher "$prefix/bin/framework_test"

# 4. The Debian package holds every installed part.
(cd "$build_dir" && cpack -G DEB -B "$work/package" >/dev/null) || fail "cpack could not build the package"
deb=$(ls "$work"/package/*.deb)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/framework_test ./usr/bin/framework_test_fullscreen ./usr/bin/upscale \
    ./usr/libexec/orvane/framework_test ./usr/libexec/orvane/framework_test_fullscreen \
    ./usr/lib/liborvane.a ./usr/include/orvane/video/screen.h ./usr/include/orvane/fx/rotozoom.h \
    ./usr/lib/cmake/Orvane/OrvaneConfig.cmake ./usr/lib/pkgconfig/orvane.pc \
    ./usr/share/orvane/data/images/tumblewisp2.png ./usr/share/orvane/data/music/hollowmere2.mp3 \
    ./usr/share/man/man1/framework_test.1; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q libsdl1.2debian <<<"$depends" || fail "the package does not depend on SDL: $depends"
dpkg-deb -x "$deb" "$work/unpacked"
run_launcher "$work/unpacked/usr/bin/framework_test_fullscreen"
echo "Package contents:"; printf "%s\n" "$contents"
echo "PASS: installed, both consumers drew their frame, the launcher found its media; $(basename "$deb") depends on: $depends"
