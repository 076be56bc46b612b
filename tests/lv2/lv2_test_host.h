// A small LV2 host on lilv for the tests: loads our bundles from the build,
// instantiates a plug-in, sets controls by symbol, restores presets from
// their Turtle and renders in fixed blocks, as a host would.
#pragma once

#include <lilv/lilv.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lv2_test {

class World {
public:
    World();  // loads the bundles in the build's lv2 folder only
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    LilvWorld* get() const { return world; }
    const LilvPlugin* plugin(const std::string& uri) const;  // null when absent
    // Our plug-ins' URIs, as lilv lists them.
    std::vector<std::string> vorsaPlugins() const;
    // The presets of a plug-in: URI and label, in URI order.
    std::vector<std::pair<std::string, std::string>> presets(const LilvPlugin* plugin) const;
    uint32_t map(const char* uri);

private:
    LilvWorld* world;
    std::map<std::string, uint32_t> uris;
};

class Instance {
public:
    Instance(World& world, const std::string& uri, double rate = 48000.0);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    int audioInputs() const { return static_cast<int>(inputs.size()); }
    int audioOutputs() const { return static_cast<int>(outputs.size()); }
    // Index of the port with the symbol, -1 when there is none.
    int port(const std::string& symbol) const;
    float& control(const std::string& symbol);
    void restorePreset(const std::string& uri);
    // Disconnects a port: the plug-in sees a null buffer.
    void disconnect(const std::string& symbol);

    // Renders interleaved stereo (a mono build reads the left channel) in
    // blocks of `block` frames; the outputs interleaved.
    std::vector<float> run(const std::vector<float>& stereo, int block);
    // The same with each output sharing its input's buffer, as hosts that
    // process in place connect them.
    std::vector<float> runInPlace(const std::vector<float>& stereo, int block);
    void runFrames(uint32_t frames);  // a run of `frames` with the buffers as they are

private:
    std::vector<float> render(const std::vector<float>& stereo, int block, bool inPlace);
    World& world;
    const LilvPlugin* plugin;
    LilvInstance* instance = nullptr;
    std::vector<float> values;  // one per port; control ports read and write here
    std::vector<int> inputs, outputs;
    std::vector<std::vector<float>> buffers;  // per port, for the audio ports
};

}  // namespace lv2_test
