// Benchmarks of scaled_blit (to be filled in).
#include <benchmark/benchmark.h>
