// Benchmarks of sprite_blit (to be filled in).
#include <benchmark/benchmark.h>
