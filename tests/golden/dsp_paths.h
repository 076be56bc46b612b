// The processing paths this machine runs, and forcing one of them for the
// plug-in instances created while a Forced object lives.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

namespace dsp_paths {

inline std::vector<std::string> runnable() {
    std::vector<std::string> paths = {"baseline"};
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) paths.push_back("avx2");
    return paths;
}

class Forced {
public:
    explicit Forced(const std::string& path) { setenv("VORSA_DSP_PATH", path.c_str(), 1); }
    ~Forced() { unsetenv("VORSA_DSP_PATH"); }
    Forced(const Forced&) = delete;
    Forced& operator=(const Forced&) = delete;
};

}  // namespace dsp_paths
