#!/usr/bin/env bash
# The whole demo under valgrind's memcheck with the dummy drivers, to its own end
# at 29 s (every texture and the full swarm; memcheck slows it to a few frames a
# second): no invalid read or write, no use of uninitialised memory and no block
# lost (definitely or indirectly). Memory that lives until the process ends by
# design (the Screen, the images, SDL's own state) is "still reachable" and not a
# leak. tests/valgrind.supp lists what SDL and its libraries are allowed.
# Usage: memcheck_test.sh PROGRAM DATA_DIR SUPPRESSIONS
set -euo pipefail
. "$(dirname "$0")/lib.sh"
program=$1 data=$2 suppressions=$3
command -v valgrind >/dev/null || fail "valgrind is not installed (Debian package valgrind)"

make_workdir "$data"
cd "$WORKDIR"
start=$SECONDS
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    valgrind --tool=memcheck --error-exitcode=99 --track-origins=yes --num-callers=30 \
    --leak-check=full --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
    --suppressions="$suppressions" --log-file=memcheck.log "$program" >out.txt 2>err.txt &
pid=$!
wait_for_exit "$pid" 300
check_report_lines out.txt 10
frames=$(tail -n +2 out.txt | awk '{ sum += $1 } END { print sum + 0 }')
summary=$(grep -E 'ERROR SUMMARY|definitely lost|indirectly lost' memcheck.log | sed 's/^==[0-9]*== *//')
[ "$STATUS" = 0 ] || fail "status $STATUS (99: memcheck found errors): $(grep -A 30 -m 1 -E '^==[0-9]+== [A-Z]' memcheck.log | head -n 40)"
[ "$frames" -ge 100 ] || fail "only $frames frames in $((SECONDS - start)) s"
echo "PASS: $frames frames in $((SECONDS - start)) s under memcheck; ${summary//$'\n'/; }"
