// Benchmarks of present (to be filled in).
#include <benchmark/benchmark.h>
