#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite from the project root.
set -euo pipefail
start=$SECONDS
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/install_deps.sh"

run_suite() {
    local preset=$1
    shift
    echo "== $preset: configure, build, test" >&2
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)"
    ctest --preset "$preset" "$@"
}

# Each fuzz target for a minute under the sanitizers, from a scratch copy of its
# seeds and saved regressions; a crash, a hang (10 s) or a report fails.
run_fuzzers() {
    echo "== fuzz: configure, build, fuzz" >&2
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j"$(nproc)"
    local work name
    work=$(mktemp -d)
    for target in surface_to_image:4096 image_file:20000 drawing:4096; do
        name=${target%:*}
        mkdir "$work/$name"
        cp fuzz/corpus/"$name"/* "$work/$name/"
        if [ -d fuzz/regressions/"$name" ]; then cp fuzz/regressions/"$name"/* "$work/$name/"; fi
        ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=0 "build-fuzz/fuzz/fuzz_$name" \
            -max_total_time="${FUZZ_SECONDS:-60}" -timeout=10 -max_len="${target#*:}" -rss_limit_mb=2560 \
            -close_fd_mask=2 -print_final_stats=1 -artifact_prefix=build-fuzz/ "$work/$name" >"$work/$name.log" 2>&1 ||
            { tail -n 60 "$work/$name.log"; echo "FAIL: fuzz_$name; the input is kept in build-fuzz/" >&2; exit 1; }
        echo "fuzz_$name: $(grep -E '^stat::(number_of_executed_units|new_units_added)' "$work/$name.log" | tr '\n' ' ')"
    done
    rm -rf "$work"
}

run_suite release                        # memcheck included
run_suite scalar-only -LE valgrind       # the plain scalar routines alone
run_suite asan-ubsan                     # every test and program under the sanitizers
run_fuzzers
echo "== all passed in $((SECONDS - start)) s" >&2
