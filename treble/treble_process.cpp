// The treble process driver: settles the stereo/mono mode, runs a kernel or
// passes the input through, and records the block's meter values.
#include <algorithm>

#include "treble/treble_effect.h"
#include "treble/treble_parameters.h"
#include "treble_dsp/treble_kernels.h"
#include "treble_dsp/treble_mapping.h"

using treble_mapping::truncToInt;

namespace {

using Kernel = void (*)(const TrebleCoefficients&, TrebleDspState&, float, float**, float**, int32_t, float*,
                        float*);

void addInto(float* out, const float* in, VstInt32 frames) {
    for (VstInt32 i = 0; i < frames; ++i) out[i] += in[i];
}

void copyInto(float* out, const float* in, VstInt32 frames) {
    if (out == in) return;
    for (VstInt32 i = 0; i < frames; ++i) out[i] = in[i];
}

}  // namespace

void TrebleEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, false);
}

void TrebleEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, true);
}

// A StereoMono value of -1 (a fresh program, or set by the host) means the mode
// is not decided yet: the second input's connection decides it, and the answer
// is stored everywhere so that the programs carry the settled mode.
bool TrebleEffect::settleStereoMode() {
    const int slot = treble_params::kParameters[treble_params::kStereoMono].slot;
    if (pluginBuild == PluginBuild::Mono) {
        secondInputConnected = 0;
        rawValues[slot] = 1.0f;
        coef.stereoMonoEffective = 1.0f;
        return false;
    }
    if (truncToInt(coef.stereoMonoEffective) != truncToInt(rawValues[slot])) {
        secondInputConnected = isInputConnected(1) ? 1 : 0;
        const float settled = secondInputConnected ? 0.0f : 1.0f;
        rawValues[slot] = settled;
        coef.stereoMonoEffective = settled;
        writeStereoMonoToAllPrograms(settled);
    }
    return truncToInt(coef.stereoMonoEffective) == 0;
}

void TrebleEffect::bypass(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing, bool stereo) {
    if (sampleFrames <= 0) return;
    if (replacing)
        copyInto(outputs[0], inputs[0], sampleFrames);
    else
        addInto(outputs[0], inputs[0], sampleFrames);
    if (pluginBuild == PluginBuild::Mono || !isOutputConnected(1)) return;
    const float* source = (isInputConnected(1) && stereo) ? inputs[1] : inputs[0];
    if (replacing)
        copyInto(outputs[1], source, sampleFrames);
    else if (outputs[1] != source)
        addInto(outputs[1], source, sampleFrames);
}

void TrebleEffect::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) {
    const bool stereo = settleStereoMode();
    coef.processOn = truncToInt(rawValues[treble_params::kParameters[treble_params::kProcess].slot]);
    float overFlag = 0.0f;
    float sideCount = 0.0f;
    if (coef.processOn != 0) {
        Kernel kernel;
        if (pluginBuild == PluginBuild::Mono)
            kernel = replacing ? treble_kernels::runMonoReplacing : treble_kernels::runMono;
        else if (stereo)
            kernel = replacing ? treble_kernels::runStereoReplacing : treble_kernels::runStereo;
        else if (isOutputConnected(1))
            kernel = replacing ? treble_kernels::runMonoToBothReplacing : treble_kernels::runMonoToBoth;
        else
            kernel = replacing ? treble_kernels::runMonoReplacing : treble_kernels::runMono;
        kernel(coef, dspState, sampleRate, inputs, outputs, sampleFrames, &overFlag, &sideCount);
    } else {
        bypass(inputs, outputs, sampleFrames, replacing, stereo);
    }
    writeMeters(overFlag, sideCount, sampleFrames);
}

void TrebleEffect::writeMeters(float overFlag, float sideCount, VstInt32 sampleFrames) {
    constexpr int kMask = kMeterRingSize - 1;
    const int write = meterWriteIndex & kMask;
    overEnhanceRing[write] = (sampleFrames > 0 && sideCount / static_cast<float>(sampleFrames) > 0.65f) ? 1.0f : 0.0f;
    peakOverRing[write] = overFlag;
    const bool polled = editorPolled != 0;
    editorPolled = 0;
    meterWriteIndex = (write + 1) & kMask;
    const int read = (meterReadIndex + 1) & kMask;
    meterReadIndex = read;
    if (!polled) {
        // Until the editor reads again, the slot it will read carries the
        // largest value of every block since its last reading.
        const int previous = (read - 1) & kMask;
        overEnhanceRing[read] = std::max(overEnhanceRing[read], overEnhanceRing[previous]);
        peakOverRing[read] = std::max(peakOverRing[read], peakOverRing[previous]);
    }
}

// The processing reset: meters, then the kernels' memory, then the editor's meters.
void TrebleEffect::suspend() {
    resetMeterRings();
    dspState.reset();
    if (editorOpen && editor) editor->resetMeters();
}
