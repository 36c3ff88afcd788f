// Benchmarks of rotozoom (to be filled in).
#include <benchmark/benchmark.h>
