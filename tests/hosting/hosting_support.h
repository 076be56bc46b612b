// Rendering through a built deliverable as a host would, for the tests of how
// hosts drive the plug-ins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/plugin_paths.h"

namespace hosting {

// Stereo music, interleaved: a bass line, a bright partial, hits and a noise
// floor, from integer arithmetic so it is the same everywhere.
std::vector<float> music(int frames, float rate, float gain = 0.5f);

// One loaded deliverable and its instance.
class Render {
public:
    explicit Render(const std::string& plugin) : plugin_(test_support::loadPlugin(plugin)) {}
    vst_host::PluginInstance* operator->() const { return plugin_.instance.get(); }
    vst_host::ScriptedHost& host() { return *plugin_.host; }

    // Renders interleaved stereo input (a mono build reads the left channel)
    // in blocks of `block` frames, or of the sizes in `blocks` in turn;
    // returns the outputs interleaved.
    std::vector<float> run(const std::vector<float>& stereo, int block);
    std::vector<float> run(const std::vector<float>& stereo, const std::vector<int>& blocks);

private:
    test_support::LoadedPlugin plugin_;
};

}  // namespace hosting
