// The LV2 side of a plug-in: one instance owns one effect object through its
// product adapter, converts the control ports to the effect's parameters and
// runs its processing on the port buffers.
#pragma once

#include <memory>
#include <vector>

#include <lv2/core/lv2.h>

#include "lv2/effect_adapter.h"
#include "lv2/port_spec.h"

namespace lv2_plugin {

// One descriptor per build of a product. `adapt` constructs the build's
// effect and its adapter.
struct BuildEntry {
    const lv2_ports::ProductInfo* product;
    PluginBuild build;
    std::unique_ptr<EffectAdapter> (*adapt)(PluginBuild build);
};

// An LV2 descriptor that knows its build (the LV2 record comes first, so the
// descriptor the host passes back finds it).
struct Descriptor {
    LV2_Descriptor lv2;
    const BuildEntry* entry;
};
// The descriptor of a build; `uri` must outlive it.
Descriptor makeDescriptor(const BuildEntry& entry, const char* uri);

class Instance {
public:
    Instance(const BuildEntry& entry, double sampleRate);
    void connect(uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(uint32_t frames);

private:
    // Frames handed to the effect at a time, the length of the buffers that
    // stand in for unconnected ports: even, so that a split block gives the
    // bits one long block does.
    static constexpr int kChunk = 2048;
    void takeControls();

    std::unique_ptr<EffectAdapter> adapter;
    lv2_ports::ProductPorts ports;
    lv2_ports::PortLayout portLayout;
    std::vector<const float*> audioIn;
    std::vector<float*> audioOut;
    std::vector<const float*> controls;
    float* latencyPort = nullptr;
    std::vector<float*> meterPorts;
    std::vector<float> lastPortValue;
    std::vector<float> normalised;
    std::unique_ptr<bool[]> changed;
    std::vector<float> meterValues;
    bool takeAll = true;
    // An unconnected input reads silence, an unconnected output writes here.
    std::vector<float> silence;
    std::vector<float> discard[2];
};

}  // namespace lv2_plugin
