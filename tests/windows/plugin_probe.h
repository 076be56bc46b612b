// What the Wine tests compare between a Linux .so and its Windows DLL, made
// through the host library the same way on both platforms: a listing of every
// text the plug-in shows a host, and its output for a fixed test signal.
#pragma once

#include <string>
#include <vector>

#include "host/vst_host.h"

namespace plugin_probe {

// Frames processed per program.
constexpr int kFramesPerProgram = 8192;
constexpr int kBlockSize = 512;
// Values per parameter in the sweep.
constexpr int kSweepSteps = 40;

// Identity, parameter names and labels, the display of every parameter at a
// spread of values and under every program, and every program name.
std::string describe(vst_host::PluginInstance& plugin);

// The test signal through every program in turn (each after a suspend and
// resume): for each program, each output channel's kFramesPerProgram samples;
// then one block for each value of every parameter's sweep.
std::vector<float> processAllPrograms(vst_host::PluginInstance& plugin);

// Input channel `channel` of the test signal. Integer and basic float
// arithmetic only, so both platforms make the same bits.
std::vector<float> testSignal(int channel, int frames);

struct Difference {
    size_t compared = 0;
    size_t differing = 0;  // samples whose bits differ
    double largest = 0.0;  // largest absolute difference
    size_t firstAt = 0;    // index of the first differing sample
};
Difference compare(const std::vector<float>& a, const std::vector<float>& b);

bool writeFile(const std::string& path, const void* data, size_t bytes);
bool readFile(const std::string& path, std::string& contents);

}  // namespace plugin_probe
