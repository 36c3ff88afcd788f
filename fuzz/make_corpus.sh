#!/usr/bin/env bash
# Regenerates the seed corpora under fuzz/corpus/ from the demo's media and a few
# hand-made cases: small, valid examples of every input each target reads, which
# libFuzzer then mutates. Needs ImageMagick (convert).
# Usage: bash fuzz/make_corpus.sh   (from any directory)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
images="$here/../data/images"
corpus="$here/corpus"
rm -rf "$corpus"
mkdir -p "$corpus"/{surface_to_image,image_file,drawing}

# Little-endian fields as bytes.
u8() { printf "\\x$(printf %02x "$1")"; }
u16() { u8 $(($1 & 255)); u8 $(($1 >> 8 & 255)); }
u32() { u16 $(($1 & 65535)); u16 $(($1 >> 16 & 65535)); }
# Noise-like bytes, the same on every run: entropy-coded data from a texture.
pattern() { head -c $((4000 + $1)) "$images/alumin1.jpg" | tail -c "$1"; }

# surface_to_image: width+2, height+2, pitch, depth, flags, R G B A masks, bytes.
surface() {
    local name=$1 width=$2 height=$3 pitch=$4 depth=$5 flags=$6 r=$7 g=$8 b=$9 a=${10}
    { u8 $((width + 2)); u8 $((height + 2)); u16 "$pitch"; u8 "$depth"; u8 "$flags"
      u32 "$r"; u32 "$g"; u32 "$b"; u32 "$a"; pattern 96; } >"$corpus/surface_to_image/$name"
}
surface rgb24-red-first      8 4 24 24 0 0x0000FF 0x00FF00 0xFF0000 0
surface rgba32-red-first     8 4 32 32 0 0x000000FF 0x0000FF00 0x00FF0000 0xFF000000
surface bgra32-masks         8 4 36 32 0 0x00FF0000 0x0000FF00 0x000000FF 0xFF000000
surface bgr24-masks          5 3 16 24 0 0xFF0000 0x00FF00 0x0000FF 0
surface rgb565               7 5 14 16 0 0xF800 0x07E0 0x001F 0
surface argb1555             6 2 12 16 0 0x7C00 0x03E0 0x001F 0x8000
surface grey8                9 3 12 8 0 0 0 0 0
surface depth4-refused       4 4 4 4 0 0 0 0 0
surface pitch-too-short      8 4 20 32 0 0x000000FF 0x0000FF00 0x00FF0000 0xFF000000
surface no-pixels            8 4 32 32 1 0x000000FF 0x0000FF00 0x00FF0000 0xFF000000
surface negative-width      -1 4 32 32 0 0x000000FF 0x0000FF00 0x00FF0000 0xFF000000

# image_file: the slot (0-3 a texture, 4 the sprite), then the file.
file() {
    local name=$1 slot=$2 source=$3
    { u8 "$slot"; cat "$source"; } >"$corpus/image_file/$name"
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert "$images/alumin1.jpg" -resize 1024x512! -quality 5 "$work/texture.jpg"
convert "$images/alumin1.jpg" -resize 32x16 "$work/small.jpg"
convert "$images/alumin1.jpg" -resize 32x16 -colorspace Gray "$work/grey.jpg"
convert "$images/alumin1.jpg" -resize 32x16 -interlace JPEG "$work/progressive.jpg"
convert "$images/tumblewisp2.png" -resize 24x22 "$work/sprite.png"
convert "$work/sprite.png" PNG8:"$work/palette.png"
convert "$work/sprite.png" -depth 16 "$work/deep.png"
convert "$work/sprite.png" -colorspace Gray -alpha off "$work/grey.png"
convert "$work/sprite.png" -alpha off BMP3:"$work/sprite.bmp"
convert "$work/sprite.png" "$work/sprite.gif"
file texture-1024x512.jpg 0 "$work/texture.jpg"
file texture-too-small.jpg 1 "$work/small.jpg"
file grey.jpg 2 "$work/grey.jpg"
file progressive.jpg 3 "$work/progressive.jpg"
file sprite.png 4 "$work/sprite.png"
file palette.png 4 "$work/palette.png"
file deep.png 4 "$work/deep.png"
file grey.png 4 "$work/grey.png"
file bmp-as-sprite.png 4 "$work/sprite.bmp"
file gif-as-sprite.png 4 "$work/sprite.gif"
head -c 300 "$work/small.jpg" >"$work/cut.jpg"
file truncated.jpg 0 "$work/cut.jpg"

# drawing: operation, page width-1, height-1, then per operation (see drawing_fuzz.cpp).
draw() { { "$@"; pattern 256; } >"$corpus/drawing/$name"; }
name=sprite-inside       draw eval 'u8 0; u8 31; u8 23; u8 8; u8 6; u32 5; u32 3'
name=sprite-off-left-top draw eval 'u8 0; u8 31; u8 23; u8 12; u8 9; u32 -4; u32 -7'
name=sprite-off-far      draw eval 'u8 0; u8 16; u8 8; u8 12; u8 9; u32 0x7FFFFFF0; u32 0x80000001'
name=sprite-wider-page   draw eval 'u8 0; u8 7; u8 5; u8 40; u8 20; u32 -3; u32 1'
for mode in 0 1 2 3 4 255; do
    name=upscale-mode-$mode draw eval "u8 1; u8 40; u8 30; u8 $mode; u8 13; u8 9"
done
name=upscale-beyond-page draw eval 'u8 1; u8 20; u8 10; u8 2; u8 30; u8 30'
name=rotozoom-demo       draw eval 'u8 2; u8 63; u8 47; u8 0; u32 0x3F800000; u32 0x3F000000; u32 100; u32 -50'
name=rotozoom-no-zoom    draw eval 'u8 2; u8 33; u8 17; u8 0; u32 0; u32 0; u32 0; u32 0'
name=rotozoom-nan        draw eval 'u8 2; u8 20; u8 10; u8 0; u32 0x7FC00000; u32 0x3F800000; u32 0; u32 0'
name=rotozoom-too-few    draw eval 'u8 2; u8 20; u8 10; u8 1; u32 0x3F800000; u32 0x3F800000; u32 0; u32 0'
name=rotozoom-long-rows  draw eval 'u8 2; u8 20; u8 10; u8 3; u32 0x40490FDB; u32 0x3DCCCCCD; u32 -1; u32 7'
