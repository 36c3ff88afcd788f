#!/usr/bin/env bash
# A real window under Xvfb: its title and size, its report lines, a screenshot,
# and Escape ending the demo with status 0 and the music stopped.
# Usage: window_test.sh PROGRAM DATA_DIR SCREENSHOT_OUT
set -euo pipefail
. "$(dirname "$0")/lib.sh"
program=$1 data=$2 screenshot=$3

make_workdir "$data"
start_xvfb
cd "$WORKDIR"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORKDIR/audio.raw" SDL_DISKAUDIODELAY=20 \
    "$program" >out.txt 2>err.txt &
pid=$!

id=$(wait_for_window "Orvane Framework Test" 20) || fail "no window titled 'Orvane Framework Test' appeared"
geometry=$(xwininfo -id "$id")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
[ "$width" = 1024 ] && [ "$height" = 768 ] || fail "window is ${width}x${height}, not 1024x768"

# Past 3 s the sprites are out; let a few reports come.
sleep 5
if command -v import >/dev/null; then
    import -window root "$screenshot" || echo "note: screenshot failed" >&2
fi
kill -0 "$pid" 2>/dev/null || fail "the program ended early: $(cat err.txt)"
xdotool key --window "$id" Escape 2>/dev/null || xdotool key Escape
wait_for_exit "$pid" 10
[ "$STATUS" = 0 ] || fail "exit status $STATUS after Escape; stderr: $(cat err.txt)"
check_report_lines out.txt 3

# The music really played: the audio written is not silence.
[ -s audio.raw ] || fail "no audio was written"
loud=$(tr -d '\000' <audio.raw | wc -c)
[ "$loud" -gt 10000 ] || fail "the audio written is silent ($loud non-zero bytes)"
echo "PASS: window 1024x768 titled, $(($(wc -l <out.txt) - 1)) reports, Escape ends it, music played"
