#!/usr/bin/env bash
# Sets up, builds and runs the demo from the project root. Without a display it
# runs on a virtual X display, so it still starts, plays and prints its lines.
# Usage: tools/demo.sh [--fullscreen]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/install_deps.sh"
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target framework_test framework_test_fullscreen >/dev/null

program=build/release/framework_test
[ "${1:-}" = --fullscreen ] && program=build/release/framework_test_fullscreen
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: running on a virtual one (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$program"
fi
exec "$program"
