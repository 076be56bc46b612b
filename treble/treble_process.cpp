// The treble process driver: settles the stereo/mono mode, runs a kernel or
// passes the input through, and records the block's meter values.

#include "treble/treble_effect.h"
#include "treble_dsp/treble_parameters.h"
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

// A StereoMono value of -1 (a fresh program, or a program that holds it) means
// the mode is not decided yet: the second input's connection decides it, and
// the answer becomes the shared value, which every program record shows.
bool TrebleEffect::settleStereoMode() {
    if (pluginBuild == PluginBuild::Mono) {
        secondInputConnected = 0;
        coef.stereoMonoEffective = 1.0f;
        return false;
    }
    const int slot = treble_params::kParameters[treble_params::kStereoMono].slot;
    settleUndecided(parameters, slot, appliedValues[slot], coef.stereoMonoEffective, [this] {
        const bool connected = isInputConnected(1);
        secondInputConnected = connected ? 1 : 0;
        return connected ? 0.0f : 1.0f;
    });
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
    takeHostChanges();
    const bool stereo = settleStereoMode();
    coef.processOn = truncToInt(appliedValues[treble_params::kParameters[treble_params::kProcess].slot]);
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
        kernel(coef, dspState, static_cast<float>(appliedRate), inputs, outputs, sampleFrames, &overFlag, &sideCount);
    } else {
        bypass(inputs, outputs, sampleFrames, replacing, stereo);
    }
    writeMeters(overFlag, sideCount, sampleFrames);
}

void TrebleEffect::writeMeters(float overFlag, float sideCount, VstInt32 sampleFrames) {
    const bool overEnhanced = sampleFrames > 0 && sideCount / static_cast<float>(sampleFrames) > 0.65f;
    meters.write(overEnhanced ? 1.0f : 0.0f, overFlag, true);
}

// The audio thread's block start. Parameters: only what changed is derived
// again, in the order a program is applied, so that the result is the one a
// single thread setting the same values would get. A new rate derives
// everything and restarts the processing from its construction state, as a
// fresh instance at that rate would start.
void TrebleEffect::takeHostChanges() {
    using treble_params::kParameters;
    const double rate = mappingRate.load(std::memory_order_acquire);
    const bool newRate = rate != appliedRate;
    const bool taken = takeParameters(newRate, treble_params::kProgramApplyOrder, kParameters,
                                      [&](int index, float value, const auto& now) {
                                          const float rawFirstOut = now.values[kParameters[treble_params::kFirstOut].slot];
                                          deriveParameter(coef, index, value, rate, rawFirstOut);
                                      });
    if (newRate && taken) {
        appliedRate = rate;
        pendingReset.take();
        meters.fill(0.0f);
        dspState.recover();
    }
    if (pendingReset.take()) {
        meters.fill(0.0f);
        dspState.reset();
    }
}

// The processing reset runs on the audio thread at the start of the next
// block; until then the editor reads the meters as cleared.
void TrebleEffect::suspend() {
    pendingReset.ask();
    if (editorOpen && editor) editor->resetMeters();
}

// Hosts set the session's rate before resuming: the coefficients follow it
// here, not at every effSetSampleRate.
void TrebleEffect::resume() {
    const double rate = treble_mapping::usableSampleRate(sampleRate);
    if (rate != mappingRate.load(std::memory_order_relaxed)) mappingRate.store(rate, std::memory_order_release);
}
