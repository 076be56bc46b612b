#include "common/dsp/dsp_path.h"

#include <cstdlib>
#include <cstring>

namespace dsp_path {

bool runnable(Path path) {
    if (path == Path::Baseline) return true;
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

Path choose() {
    const char* forced = std::getenv("VORSA_DSP_PATH");
    if (forced && std::strcmp(forced, "baseline") == 0) return Path::Baseline;
    return runnable(Path::Avx2) ? Path::Avx2 : Path::Baseline;
}

}  // namespace dsp_path
