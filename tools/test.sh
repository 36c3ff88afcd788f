#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite from the project root.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/install_deps.sh"
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
