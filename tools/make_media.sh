#!/usr/bin/env bash
# Regenerates the demo's media from tools/media_gen.cpp:
#   data/images/alumin1.jpg .. alumin4.jpg   1024x512 seamless textures (JPEG, RGB)
#   data/images/tumblewisp2.png              the swarm sprite (PNG, RGBA, binary alpha)
#   data/music/hollowmere2.mp3               the soundtrack (MP3)
# Needs: g++ (C++17), ImageMagick (convert, identify) and lame. Installs nothing.
# Usage: bash tools/make_media.sh   (from any directory)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
images="$root/data/images"
music="$root/data/music"

missing=()
for tool in g++ convert identify lame; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if ((${#missing[@]})); then
    echo "make_media.sh: missing tool(s): ${missing[*]}" >&2
    echo "  needs g++ (C++17), ImageMagick (convert, identify) and lame;" >&2
    echo "  on Debian: apt-get install g++ imagemagick lame" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "compiling media_gen"
g++ -O2 -std=c++17 -o "$work/media_gen" "$here/media_gen.cpp"
echo "generating raw media"
"$work/media_gen" "$work"

mkdir -p "$images" "$music"

# JPEG: highest quality (from a short ladder) that keeps the file at most 240 KB.
max_jpeg=$((240 * 1024))
for i in 1 2 3 4; do
    out="$images/alumin$i.jpg"
    for q in 95 92 89 86 83 80 77 74 71 68 65 62 60; do
        convert "$work/alumin$i.ppm" -strip -colorspace sRGB -type TrueColor \
            -sampling-factor 4:2:0 -interlace none -quality "$q" "JPEG:$out"
        size=$(stat -c %s "$out")
        ((size <= max_jpeg)) && break
    done
    echo "alumin$i.jpg: quality $q, $size bytes"
done

convert "$work/tumblewisp2.pam" -strip -define png:color-type=6 -depth 8 "PNG32:$images/tumblewisp2.png"
echo "tumblewisp2.png: $(stat -c %s "$images/tumblewisp2.png") bytes"

# 22050 Hz: the rate the demo opens the audio device at.
lame --quiet --resample 22.05 -b 96 -m j "$work/hollowmere2.wav" "$music/hollowmere2.mp3"
echo "hollowmere2.mp3: $(stat -c %s "$music/hollowmere2.mp3") bytes"

files=("$images"/alumin{1,2,3,4}.jpg "$images/tumblewisp2.png" "$music/hollowmere2.mp3")
identify "${files[@]:0:5}"
total=$(du -cb "${files[@]}" | tail -n 1 | cut -f 1)
echo "total: $total bytes ($(du -ch "${files[@]}" | tail -n 1 | cut -f 1))"
if ((total >= 2 * 1024 * 1024)); then
    echo "make_media.sh: the media add up to $total bytes, over the 2 MB budget" >&2
    exit 1
fi
