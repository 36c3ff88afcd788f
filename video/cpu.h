// What the processor can run, for choosing a drawing routine's fast path.
#pragma once

enum class CpuLevel {
    scalar, // the plain C++ routines only
    sse2,   // the x86-64 baseline
    avx2,   // with AVX2 (and the FMA-free parts of AVX it implies)
    avx512, // with AVX-512 F, BW, DQ and VL
};

// The widest level this processor supports, capped at the widest this build
// compiled (scalar in a build with the fast paths turned off). Worked out once.
CpuLevel cpuLevel();

// Caps the level the drawing routines choose from (never raising it above what
// the processor has), so tests and benchmarks can run every path on one machine.
// Returns the previous cap. Not for use while another thread draws.
CpuLevel setCpuLevelLimit(CpuLevel limit);

// The level the drawing routines use now: cpuLevel() under the current cap.
CpuLevel activeCpuLevel();

// A readable name for a level: "scalar", "sse2", "avx2" or "avx512".
const char* cpuLevelName(CpuLevel level);
