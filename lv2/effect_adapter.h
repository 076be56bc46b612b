// What the LV2 instance needs of a product's effect beyond the VST 2 calls:
// a set of parameter changes stored as one write in the product's program
// order (as a program change stores them, so a preset sounds as the program
// does), the delay the audio has now, and the meters of the last block.
#pragma once

#include "shell/audio_effect.h"

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

}  // namespace lv2_plugin
