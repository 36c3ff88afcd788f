#!/usr/bin/env bash
# End-to-end run of upscale: usage: upscale_test.sh PATH_TO_UPSCALE
# Draws a 4x3 24-bit BMP fixture, upscales it, and checks the PNG's size; then
# checks the failures a user meets: a missing input and a wrong argument count.
set -u
upscale=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# BMP rows are stored bottom-up, pixels blue, green, red; 4 pixels of 3 bytes make a
# 12-byte row, already a multiple of 4, so no padding.
{
    printf 'BM\x5a\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'            # file header: 90 bytes, pixels at 54
    printf '\x28\x00\x00\x00\x04\x00\x00\x00\x03\x00\x00\x00\x01\x00\x18\x00' # 40-byte info: 4 x 3, 1 plane, 24 bits
    printf '\x00\x00\x00\x00\x24\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00' # no compression, 36 bytes, 72 dpi
    printf '\x00\x00\x00\x00\x00\x00\x00\x00'                                 # no palette
    printf '\xff\xff\xff\xff\xff\xff\x00\x00\xff\x00\x00\xff'                 # bottom row: white white red red
    printf '\xff\xff\xff\x00\x00\xff\x00\x00\xff\xff\xff\xff'                 # middle row: white red red white
    printf '\x00\x00\xff\x00\x00\xff\xff\xff\xff\xff\xff\xff'                 # top row:    red red white white
} > "$work/fixture.bmp"

# Panels of 1x, 2x, 2x, 3x and 2x the source with 8-pixel gaps around and between:
# 8 + 10 * 4 + 5 * 8 = 88 wide, 8 + 3 * 3 + 8 = 25 high.
"$upscale" "$work/fixture.bmp" "$work/out.png" 2> "$work/stderr"
status=$?
if [ "$status" -ne 0 ]; then
    fail "upscale on the fixture exited $status: $(cat "$work/stderr")"
elif [ ! -s "$work/out.png" ]; then
    fail "no output PNG"
else
    # The PNG signature, then IHDR's width and height as big-endian words at byte 16.
    signature=$(od -An -tx1 -N8 "$work/out.png" | tr -d ' \n')
    [ "$signature" = 89504e470d0a1a0a ] || fail "output is not a PNG (signature $signature)"
    read -r w3 w2 w1 w0 h3 h2 h1 h0 < <(od -An -tu1 -j16 -N8 "$work/out.png")
    width=$(( (w3 << 24) | (w2 << 16) | (w1 << 8) | w0 ))
    height=$(( (h3 << 24) | (h2 << 16) | (h1 << 8) | h0 ))
    [ "${width}x${height}" = 88x25 ] || fail "output is ${width}x${height}, expected 88x25"
fi

"$upscale" "$work/missing.png" "$work/never.png" 2> "$work/stderr"
status=$?
[ "$status" -ne 0 ] || fail "a missing input exited 0"
[ "$(wc -l < "$work/stderr")" -eq 1 ] || fail "a missing input should print one line, got: $(cat "$work/stderr")"
grep -q "missing.png" "$work/stderr" || fail "the error line does not name the file: $(cat "$work/stderr")"
[ ! -e "$work/never.png" ] || fail "a missing input still wrote an output"

"$upscale" "$work/fixture.bmp" 2> "$work/stderr"
status=$?
[ "$status" -eq 2 ] || fail "a missing argument exited $status, expected 2"
grep -q "^usage: upscale INPUT OUTPUT.png$" "$work/stderr" || fail "no usage line: $(cat "$work/stderr")"

[ "$failures" -eq 0 ] && echo "upscale end-to-end: all checks passed"
exit $((failures > 0))
