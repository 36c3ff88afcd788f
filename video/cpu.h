// What the processor can run, for choosing a drawing routine's fast path.
#pragma once

enum class CpuLevel {
    scalar,  // the plain C++ routines only
    sse2,    // the x86-64 baseline
    avx2,    // with AVX2 (and the FMA-free parts of AVX it implies)
    avx512,  // with AVX-512 F, BW, DQ and VL
};

// The widest level this processor supports, capped at the widest this build
// compiled (scalar in a build with the fast paths turned off). Worked out once.
CpuLevel cpuLevel();

// A readable name for a level: "scalar", "sse2", "avx2" or "avx512".
const char* cpuLevelName(CpuLevel level);
