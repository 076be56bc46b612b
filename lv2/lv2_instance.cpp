#include "lv2/lv2_instance.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace lv2_plugin {

VstIntPtr hostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/,
                       float /*opt*/) {
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterPinConnected: return 0;  // 0: connected
    default: return 0;
    }
}

Instance::Instance(const BuildEntry& entry, double sampleRate)
    : adapter(entry.adapt(entry.build)),
      ports(lv2_ports::describe(*entry.product, entry.build)),
      portLayout(lv2_ports::layout(*entry.product, entry.build)) {
    AudioEffectX& effect = adapter->effect();
    effect.setSampleRate(static_cast<float>(sampleRate));
    const size_t n = ports.controls.size();
    audioIn.assign(static_cast<size_t>(portLayout.audioInputs), nullptr);
    audioOut.assign(static_cast<size_t>(portLayout.audioOutputs), nullptr);
    controls.assign(n, nullptr);
    meterPorts.assign(static_cast<size_t>(entry.product->numMeters), nullptr);
    meterValues.assign(meterPorts.size(), 0.0f);
    lastPortValue.resize(n);
    normalised.resize(n);
    changed.reset(new bool[n]());
    for (size_t i = 0; i < n; ++i) {
        lastPortValue[i] = ports.controls[i].defaultValue;
        normalised[i] = ports.controls[i].toNormalised(lastPortValue[i]);
    }
    for (auto& copy : discard) copy.assign(kChunk, 0.0f);
    silence.assign(kChunk, 0.0f);
}

void Instance::connect(uint32_t port, void* data) {
    const int p = static_cast<int>(port);
    if (p < portLayout.audioInputs)
        audioIn[static_cast<size_t>(p)] = static_cast<const float*>(data);
    else if (p < portLayout.firstControl)
        audioOut[static_cast<size_t>(p - portLayout.audioInputs)] = static_cast<float*>(data);
    else if (p < portLayout.latency)
        controls[static_cast<size_t>(p - portLayout.firstControl)] = static_cast<const float*>(data);
    else if (p == portLayout.latency)
        latencyPort = static_cast<float*>(data);
    else if (p < portLayout.total)
        meterPorts[static_cast<size_t>(p - portLayout.firstMeter)] = static_cast<float*>(data);
}

// The effect starts from the ports' values as a program change would: every
// value at the first block after activation, then only what changed. An
// unconnected port keeps its default; NaN leaves the value as it was; values
// outside the port's range are held at its nearest end.
void Instance::takeControls() {
    bool any = false;
    for (size_t i = 0; i < controls.size(); ++i) {
        const lv2_ports::ControlPort& port = ports.controls[i];
        float value = controls[i] ? port.clamp(*controls[i]) : port.defaultValue;
        if (std::isnan(value)) value = lastPortValue[i];
        changed[i] = takeAll || value != lastPortValue[i];
        if (changed[i]) {
            lastPortValue[i] = value;
            normalised[i] = port.toNormalised(value);
            any = true;
        }
    }
    takeAll = false;
    if (any) adapter->store(normalised.data(), changed.get());
}

void Instance::activate() {
    adapter->effect().resume();
    takeAll = true;
}

void Instance::deactivate() { adapter->effect().suspend(); }

// A run of no frames is still one (empty) block of the effect, so the
// latency output follows the controls it has just taken.
void Instance::run(uint32_t frames) {
    takeControls();
    AudioEffectX& effect = adapter->effect();
    uint32_t done = 0;
    do {
        const int n = static_cast<int>(std::min<uint32_t>(frames - done, kChunk));
        float* in[2] = {};
        float* out[2] = {};
        for (size_t c = 0; c < audioOut.size(); ++c)
            out[c] = audioOut[c] ? audioOut[c] + done : discard[c].data();
        // An output may share its input's buffer (hosts processing in place):
        // the effects give the same bits either way, which the tests check.
        for (size_t c = 0; c < audioIn.size(); ++c)
            in[c] = const_cast<float*>(audioIn[c] ? audioIn[c] + done : silence.data());
        effect.processReplacing(in, out, n);
        done += static_cast<uint32_t>(n);
    } while (done < frames);
    if (latencyPort) *latencyPort = static_cast<float>(adapter->latency());
    if (frames > 0) adapter->readMeters(meterValues.data());
    for (size_t m = 0; m < meterPorts.size(); ++m)
        if (meterPorts[m]) *meterPorts[m] = meterValues[m];
}

namespace {

// Null when memory runs out: no exception crosses into the host.
LV2_Handle instantiate(const LV2_Descriptor* descriptor, double rate, const char* /*bundle*/,
                       const LV2_Feature* const* /*features*/) {
    const BuildEntry* entry = reinterpret_cast<const Descriptor*>(descriptor)->entry;
    try {
        return new Instance(*entry, rate);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) { static_cast<Instance*>(handle)->connect(port, data); }
void activate(LV2_Handle handle) { static_cast<Instance*>(handle)->activate(); }
void run(LV2_Handle handle, uint32_t frames) { static_cast<Instance*>(handle)->run(frames); }
void deactivate(LV2_Handle handle) { static_cast<Instance*>(handle)->deactivate(); }
void cleanup(LV2_Handle handle) { delete static_cast<Instance*>(handle); }
const void* extensionData(const char* /*uri*/) { return nullptr; }

}  // namespace

Descriptor makeDescriptor(const BuildEntry& entry, const char* uri) {
    return {{uri, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData}, &entry};
}

}  // namespace lv2_plugin
