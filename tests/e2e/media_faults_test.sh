#!/usr/bin/env bash
# Missing or unusable media, headless: the demo runs on without its music, and
# stops before any frame, with a non-zero status, when an image cannot serve.
# Usage: media_faults_test.sh PROGRAM DATA_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
program=$1 data=$2
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

make_workdir "$data"
cd "$WORKDIR"

# No music: still runs, says so once on standard error, ends 0 on a close request
# (SDL turns SIGTERM into one).
rm data/music/hollowmere2.mp3
"$program" >out.txt 2>err.txt &
pid=$!
sleep 3
kill -TERM "$pid"
wait_for_exit "$pid" 10
[ "$STATUS" = 0 ] || fail "without music: exit status $STATUS; stderr: $(cat err.txt)"
grep -q '^no sound: cannot load ./data/music/hollowmere2.mp3' err.txt || fail "without music: stderr says $(cat err.txt)"
check_report_lines out.txt 1
cp "$data/music/hollowmere2.mp3" data/music/

expect_image_fault() {
    local what=$1 file=$2
    "$program" >out.txt 2>err.txt &
    local pid=$!
    wait_for_exit "$pid" 20
    [ "$STATUS" = 1 ] || fail "$what: exit status $STATUS, expected 1"
    printf 'Loading the images..\nSomething went wrong with image loading\n' | cmp -s - out.txt ||
        fail "$what: standard output was: $(cat out.txt)"
    grep -q "^\./data/images/$file: " err.txt || fail "$what: stderr does not name $file: $(cat err.txt)"
    # Ours is the last line; a decoder library may have printed its own before it.
    [ "$(grep -c '^\./data/' err.txt)" = 1 ] || fail "$what: expected one line of ours on stderr, got: $(cat err.txt)"
}

mv data/images/alumin3.jpg aside.jpg
expect_image_fault "missing texture" alumin3.jpg
: >data/images/alumin3.jpg
expect_image_fault "empty texture" alumin3.jpg
mv aside.jpg data/images/alumin3.jpg

# A truncated PNG is refused by its decoder. (A truncated JPEG is not: its decoder
# fills the missing rows with grey and the demo runs with them.)
cp data/images/tumblewisp2.png aside.png
head -c 200 aside.png >data/images/tumblewisp2.png
expect_image_fault "truncated sprite" tumblewisp2.png
mv aside.png data/images/tumblewisp2.png

# A texture of the wrong width: a sprite file has the right format but not the size.
cp data/images/alumin1.jpg aside.jpg
cp data/images/tumblewisp2.png data/images/alumin1.jpg
expect_image_fault "texture of the wrong size" alumin1.jpg
mv aside.jpg data/images/alumin1.jpg

# A sprite too large for the page: a texture in its place.
cp data/images/tumblewisp2.png aside.png
cp data/images/alumin2.jpg data/images/tumblewisp2.png
expect_image_fault "sprite too large" tumblewisp2.png
mv aside.png data/images/tumblewisp2.png
echo "PASS: runs without music; bad images stop it with the two lines and status 1"
