#include "video/cpu.h"

namespace {

CpuLevel detect()
{
#if defined(ORVANE_SCALAR_ONLY) || !(defined(__x86_64__) || defined(__i386__))
    return CpuLevel::scalar;
#else
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") &&
        __builtin_cpu_supports("avx512vl"))
        return CpuLevel::avx512;
    if (__builtin_cpu_supports("avx2"))
        return CpuLevel::avx2;
    if (__builtin_cpu_supports("sse2"))
        return CpuLevel::sse2;
    return CpuLevel::scalar;
#endif
}

CpuLevel gCpuLevelLimit = CpuLevel::avx512;

} // namespace

CpuLevel cpuLevel()
{
    static const CpuLevel level = detect();
    return level;
}

CpuLevel setCpuLevelLimit(CpuLevel limit)
{
    const CpuLevel previous = gCpuLevelLimit;
    gCpuLevelLimit = limit;
    return previous;
}

CpuLevel activeCpuLevel()
{
    return cpuLevel() < gCpuLevelLimit ? cpuLevel() : gCpuLevelLimit;
}

const char* cpuLevelName(CpuLevel level)
{
    switch (level) {
    case CpuLevel::sse2: return "sse2";
    case CpuLevel::avx2: return "avx2";
    case CpuLevel::avx512: return "avx512";
    case CpuLevel::scalar: break;
    }
    return "scalar";
}
