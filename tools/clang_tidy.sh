#!/usr/bin/env bash
# Runs clang-tidy over the framework and programs, with the compile commands of
# the dev preset. The checks, and why each:
#   bugprone-*                      real mistakes: narrowing in loops, misplaced widening, swapped arguments
#     -bugprone-easily-swappable-parameters  drawing calls take (x, y) and (width, height) by design
#   clang-analyzer-*                path-sensitive faults: null dereference, leaks, use after free
#   performance-*                   needless copies and allocations in per-frame code
#   portability-*                   code that only works on one compiler or platform
#   readability-implicit-bool-conversion is left out: tests of flags and pointers read well as they are
# Usage: tools/clang_tidy.sh [FILE...]   (default: every .cpp of the library and programs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed (Debian package clang-tidy)" >&2; exit 2; }
[ -f build/dev/compile_commands.json ] || cmake --preset dev >/dev/null

checks='-*,bugprone-*,-bugprone-easily-swappable-parameters,clang-analyzer-*,performance-*,portability-*'
if [ $# -eq 0 ]; then
    mapfile -t files < <(git ls-files 'app/*.cpp' 'video/*.cpp' 'images/*.cpp' 'fx/*.cpp' 'tools/*.cpp')
else
    files=("$@")
fi
clang-tidy -p build/dev --quiet --checks="$checks" --warnings-as-errors='*' "${files[@]}" 2> >(grep -v 'warnings generated' >&2)
