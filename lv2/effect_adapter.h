// What the LV2 instance needs of a product's effect beyond the VST 2 calls:
// a set of parameter changes stored as one write in the product's program
// order (as a program change stores them, so a preset sounds as the program
// does), the delay the audio has now, and the meters of the last block.
#pragma once

#include "shell/audio_effect.h"
#include "shell/plugin_build.h"

namespace lv2_plugin {

class EffectAdapter {
public:
    virtual ~EffectAdapter() = default;
    virtual AudioEffectX& effect() = 0;
    // `values` are normalised and indexed by parameter; only those with
    // `changed` set are stored. Values are taken as they are: the caller has
    // held them inside the port ranges, which may exceed 0..1 where a factory
    // program does.
    virtual void store(const float* values, const bool* changed) = 0;
    // Frames by which the output of the last block lags its input.
    virtual int latency() = 0;
    // The meters of the last processed block, in port order.
    virtual void readMeters(float* meters) = 0;
};

// The host callback the effects are constructed with: no automation, both
// pins of a stereo build connected, no output latency to spread meters over.
VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

// The adapter over a product's effect (a ProductEffect with two meters);
// each product adds the delay its audio has.
template <class Effect>
class ProductAdapter : public EffectAdapter, public Effect {
public:
    ProductAdapter(PluginBuild build, const int (&applyOrder)[Effect::kNumParams])
        : Effect(hostCallback, build), applyOrder(applyOrder) {}
    AudioEffectX& effect() override { return *this; }
    void store(const float* values, const bool* changed) override {
        this->storeChanged(applyOrder, values, changed);
    }
    void readMeters(float* meters) override { this->meters.latest(meters[0], meters[1]); }

private:
    const int (&applyOrder)[Effect::kNumParams];
};

}  // namespace lv2_plugin
