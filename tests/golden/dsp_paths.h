// The processing paths the plug-ins can take on this machine, and forcing
// one of them for the instances created while a Forced object lives.
#pragma once

#include <string>
#include <vector>

namespace dsp_paths {

inline std::vector<std::string> runnable() { return {"default"}; }

class Forced {
public:
    explicit Forced(const std::string&) {}
};

}  // namespace dsp_paths
