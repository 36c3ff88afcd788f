#!/usr/bin/env bash
# Bad input end to end: every media file missing, empty, cut short, noise, of
# another format, of a size the drawing cannot take or of another bit depth; no
# display, no sound device, no data folder, stray arguments, closed standard
# streams and a report reader that has gone. Each case states its outcome:
#   fault FILE TEXT  the image cannot serve: status 1, standard output exactly
#                    "Loading the images.." and "Something went wrong with image
#                    loading", and one line of ours on standard error, naming FILE
#                    and saying TEXT
#   runs [TEXT]      the demo runs (until SIGTERM, which SDL turns into a close
#                    request, so the music is halted, freed and the device closed
#                    as after Escape) and ends with status 0; standard error holds
#                    no line of ours, or exactly one saying TEXT
#   novideo          status 1 before loading anything, one line of ours naming video
#   nodata           status 1, the two lines, one line for each of the six files
# Lines of ours start with "./data/", "no sound:" or "cannot "; decoder libraries
# may add their own warnings. No case may draw a sanitizer report.
# Usage: bad_input_test.sh PROGRAM DATA_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
program=$1 data=$2

make_workdir "$data"
start_xvfb  # only the case that asks for a real display uses it
cd "$WORKDIR"
mv data pristine
mkdir variants

# Variants of the media, made from the real files.
texture=pristine/images/alumin1.jpg sprite=pristine/images/tumblewisp2.png music=pristine/music/hollowmere2.mp3
v=variants
head -c "$(($(stat -c %s "$texture") / 2))" "$texture" >$v/cut.jpg
head -c 300 "$sprite" >$v/cut.png
head -c 20000 "$music" >$v/cut.mp3
head -c 104096 "$music" | tail -c 4096 >$v/noise  # compressed audio: noise to every image decoder
echo "not a picture" >$v/text
convert "$texture" -resize 1024x512! $v/texture.png
convert "$texture" -resize 1024x512! $v/texture.gif
convert "$texture" -resize 1024x511! $v/short.jpg
convert "$texture" -resize 1000x512! $v/narrow.jpg
convert "$texture" -colorspace Gray $v/grey.jpg
convert "$texture" PNG8:$v/palette.png
convert "$texture" -depth 16 PNG48:$v/deep.png
convert "$texture" -colorspace Gray -depth 8 PNG8:$v/grey8.png
convert "$sprite" -background black -flatten -alpha off $v/sprite.jpg
convert "$sprite" $v/sprite.gif
convert "$sprite" -resize 245x218! $v/wide.png
convert "$sprite" -resize 244x219! $v/tall.png
convert "$sprite" PNG8:$v/sprite8.png
convert "$sprite" -depth 16 PNG64:$v/sprite16.png
convert "$sprite" -colorspace Gray $v/spritegrey.png
convert "$sprite" -colorspace Gray -alpha off PNG8:$v/spritegrey8.png
# The start of a WAV file behind the music's name.
printf 'RIFF\x24\0\0\0WAVEfmt ' >$v/not.wav

textures=(alumin1.jpg alumin2.jpg alumin3.jpg alumin4.jpg)
img=data/images
# name | how the fresh copy of data/ is spoiled | how the program is started | outcome
cases=()
for t in "${textures[@]}"; do
    cases+=(
        "$t missing|rm $img/$t|plain|fault $t cannot load image"
        "$t empty|: >$img/$t|plain|fault $t cannot load image"
        "$t noise|cp $v/noise $img/$t|plain|fault $t cannot load image: not a JPEG, PNG or BMP file"
        "$t text|cp $v/text $img/$t|plain|fault $t cannot load image: not a JPEG, PNG or BMP file"
        "$t a GIF|cp $v/texture.gif $img/$t|plain|fault $t cannot load image: not a JPEG, PNG or BMP file"
        "$t 511 high|cp $v/short.jpg $img/$t|plain|fault $t texture is 1024x511 pixels"
        "$t 1000 wide|cp $v/narrow.jpg $img/$t|plain|fault $t texture is 1000x512 pixels"
        "$t the sprite|cp $sprite $img/$t|plain|fault $t texture is"
    )
done
cases+=(
    # Decodable textures in other forms: a cut JPEG decodes with grey rows in place
    # of the missing ones; a PNG is read by its content, whatever the name; 8-bit
    # images follow the grey rule (a paletted one shows its indices as grey levels,
    # still 1024 wide); 16-bit channels are narrowed to 8 with their real colours.
    "alumin1.jpg cut short|cp $v/cut.jpg $img/alumin1.jpg|plain|runs"
    "alumin2.jpg a PNG|cp $v/texture.png $img/alumin2.jpg|plain|runs"
    "alumin3.jpg grey JPEG|cp $v/grey.jpg $img/alumin3.jpg|plain|runs"
    "alumin4.jpg paletted PNG|cp $v/palette.png $img/alumin4.jpg|plain|runs"
    "alumin1.jpg 16-bit PNG|cp $v/deep.png $img/alumin1.jpg|plain|runs"
    "alumin2.jpg 8-bit grey PNG|cp $v/grey8.png $img/alumin2.jpg|plain|runs"

    "sprite missing|rm $img/tumblewisp2.png|plain|fault tumblewisp2.png cannot load image"
    "sprite empty|: >$img/tumblewisp2.png|plain|fault tumblewisp2.png cannot load image"
    "sprite cut short|cp $v/cut.png $img/tumblewisp2.png|plain|fault tumblewisp2.png cannot load image: damaged PNG file"
    "sprite noise|cp $v/noise $img/tumblewisp2.png|plain|fault tumblewisp2.png cannot load image: not a JPEG, PNG or BMP file"
    "sprite a GIF|cp $v/sprite.gif $img/tumblewisp2.png|plain|fault tumblewisp2.png cannot load image: not a JPEG, PNG or BMP file"
    "sprite 245 wide|cp $v/wide.png $img/tumblewisp2.png|plain|fault tumblewisp2.png sprite is 245x218 pixels"
    "sprite 219 high|cp $v/tall.png $img/tumblewisp2.png|plain|fault tumblewisp2.png sprite is 244x219 pixels"
    "sprite a texture|cp $texture $img/tumblewisp2.png|plain|fault tumblewisp2.png sprite is 1024x512 pixels"
    # A JPEG sprite has no alpha: it draws as an opaque box. A paletted or grey one
    # follows the grey rule, its level doubling as alpha (black is transparent).
    "sprite a JPEG|cp $v/sprite.jpg $img/tumblewisp2.png|plain|runs"
    "sprite paletted|cp $v/sprite8.png $img/tumblewisp2.png|plain|runs"
    "sprite 16-bit|cp $v/sprite16.png $img/tumblewisp2.png|plain|runs"
    "sprite grey with alpha|cp $v/spritegrey.png $img/tumblewisp2.png|plain|runs"
    "sprite 8-bit grey|cp $v/spritegrey8.png $img/tumblewisp2.png|plain|runs"

    # SDL_mixer opens any file it can read as music and plays silence when it finds
    # no frames: only a missing file is reported.
    "music missing|rm data/music/hollowmere2.mp3|plain|runs no sound: cannot load ./data/music/hollowmere2.mp3"
    "music empty|: >data/music/hollowmere2.mp3|plain|runs"
    "music cut short|cp $v/cut.mp3 data/music/hollowmere2.mp3|plain|runs"
    "music noise|cp $v/noise data/music/hollowmere2.mp3|plain|runs"
    "music a JPEG|cp $texture data/music/hollowmere2.mp3|plain|runs"
    "music a broken WAV|cp $v/not.wav data/music/hollowmere2.mp3|plain|runs"

    "no display|:|no-display|novideo"
    "no sound device|:|no-audio|runs no sound: cannot open the audio device"
    "no data folder|rm -r data|plain|nodata"
    "arguments of all kinds|:|arguments|runs"
    "standard input closed|:|stdin-closed|runs"
    "standard output closed|:|stdout-closed|runs"
    "standard output closed on a real display|:|stdout-closed-x11|runs"
    "standard error closed, bad sprite|rm $img/tumblewisp2.png|stderr-closed|fault"
    "report reader gone|:|reader-gone|runs"
)

# Starts the program as the case says; sets PID.
start() {
    local headless=(env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy)
    case $1 in
    plain) "${headless[@]}" "$program" >out.txt 2>err.txt & ;;
    no-display) env -u DISPLAY SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$program" >out.txt 2>err.txt & ;;
    no-audio) env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=nosuchdriver "$program" >out.txt 2>err.txt & ;;
    arguments) "${headless[@]}" "$program" --help -f "" "two words" $'\n' -- 12 data >out.txt 2>err.txt & ;;
    stdin-closed) "${headless[@]}" "$program" <&- >out.txt 2>err.txt & ;;
    stdout-closed) "${headless[@]}" "$program" >&- 2>err.txt & ;;
    stdout-closed-x11) env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$program" >&- 2>err.txt & ;;
    stderr-closed) "${headless[@]}" "$program" >out.txt 2>&- & ;;
    reader-gone) "${headless[@]}" "$program" > >(exec true) 2>err.txt & ;;
    esac
    PID=$!
}

two_lines=$'Loading the images..\nSomething went wrong with image loading'
for entry in "${cases[@]}"; do
    IFS='|' read -r name spoil how outcome <<<"$entry"
    rm -rf data out.txt err.txt
    cp -r pristine data
    eval "$spoil"
    : >out.txt
    : >err.txt
    start "$how"
    kind=${outcome%% *} detail=${outcome#* }
    [ "$detail" = "$outcome" ] && detail=
    if [ "$kind" = runs ]; then
        # Running: the first frame-count report, or two seconds where output is not kept.
        if [ "$how" = stdout-closed ] || [ "$how" = stdout-closed-x11 ] || [ "$how" = reader-gone ]; then
            sleep 2
        else
            wait_for_lines out.txt 2 30 "$PID"
        fi
        kill -0 "$PID" 2>/dev/null || fail "$name: ended by itself: $(cat err.txt)"
        kill -TERM "$PID"
    fi
    wait_for_exit "$PID" 30
    ours=$(grep -E '^(\./data/|no sound:|cannot )' err.txt || true)
    count=$(printf '%s' "$ours" | grep -c . || true)
    ! grep -qE 'Sanitizer|runtime error' err.txt || fail "$name: sanitizer report: $(cat err.txt)"
    case $kind in
    runs)
        [ "$STATUS" = 0 ] || fail "$name: exit status $STATUS, expected 0; stderr: $(cat err.txt)"
        if [ -s out.txt ]; then check_report_lines out.txt 1; fi
        if [ -z "$detail" ]; then
            [ "$count" = 0 ] || fail "$name: expected no line of ours on stderr, got: $ours"
        else
            [ "$count" = 1 ] && [[ $ours == "$detail"* ]] || fail "$name: expected one line '$detail...', got: $ours"
        fi
        ;;
    fault)
        [ "$STATUS" = 1 ] || fail "$name: exit status $STATUS, expected 1; stderr: $(cat err.txt)"
        [ "$(cat out.txt)" = "$two_lines" ] || fail "$name: standard output was: $(cat out.txt)"
        if [ -n "$detail" ]; then
            file=${detail%% *} text=${detail#* }
            [ "$count" = 1 ] && [[ $ours == "./data/images/$file: $text"* ]] ||
                fail "$name: expected one line './data/images/$file: $text...', got: $ours"
        fi
        ;;
    novideo)
        [ "$STATUS" = 1 ] || fail "$name: exit status $STATUS, expected 1"
        [ ! -s out.txt ] || fail "$name: standard output was: $(cat out.txt)"
        [ "$count" = 1 ] && [[ $ours == "cannot initialise SDL video: "* ]] ||
            fail "$name: expected one line naming video, got: $ours"
        ;;
    nodata)
        [ "$STATUS" = 1 ] || fail "$name: exit status $STATUS, expected 1"
        [ "$(cat out.txt)" = "$two_lines" ] || fail "$name: standard output was: $(cat out.txt)"
        [ "$count" = 6 ] || fail "$name: expected six lines of ours, got: $ours"
        ;;
    esac
    echo "ok: $name -> $outcome (status $STATUS)${ours:+; stderr: ${ours//$'\n'/ | }}"
done
echo "PASS: ${#cases[@]} bad inputs, each with its stated outcome"
