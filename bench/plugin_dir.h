// Where the benchmarks find the plug-ins: the build's folder, or the folder
// in VORSA_BENCH_PLUGINS, which lets two builds be timed side by side.
#pragma once

#include <cstdlib>
#include <string>

inline std::string benchPluginPath(const std::string& name) {
    const char* dir = std::getenv("VORSA_BENCH_PLUGINS");
    return std::string(dir ? dir : VORSA_PLUGIN_DIR) + "/" + name + ".so";
}
