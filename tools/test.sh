#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite from the project root.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/install_deps.sh"

run_suite() {
    local preset=$1
    echo "== $preset: configure, build, test" >&2
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)"
    ctest --preset "$preset"
}

run_suite release
