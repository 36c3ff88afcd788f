#!/usr/bin/env bash
# The whole demo under Xvfb: it ends by itself about 29 s after loading, with
# status 0 and one frame count a second.
# Usage: full_run_test.sh PROGRAM DATA_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
program=$1 data=$2

make_workdir "$data"
start_xvfb
cd "$WORKDIR"
start=$SECONDS
SDL_AUDIODRIVER=dummy "$program" >out.txt 2>err.txt &
pid=$!
wait_for_exit "$pid" 60
elapsed=$((SECONDS - start))
[ "$STATUS" = 0 ] || fail "exit status $STATUS; stderr: $(cat err.txt)"
[ "$elapsed" -ge 29 ] && [ "$elapsed" -le 40 ] || fail "ran for $elapsed s, expected about 29"
check_report_lines out.txt 27
reports=$(($(wc -l <out.txt) - 1))
[ "$reports" -le 31 ] || fail "$reports reports in $elapsed s: more than one a second"
echo "PASS: ended by itself after $elapsed s with $reports reports"
