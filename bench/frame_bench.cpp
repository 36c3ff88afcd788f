// Benchmarks of frame (to be filled in).
#include <benchmark/benchmark.h>
