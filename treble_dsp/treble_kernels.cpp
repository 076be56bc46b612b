#include "treble_dsp/treble_kernels.h"

#include "treble_dsp/treble_kernel_set.h"

namespace treble_kernels {

namespace {

const KernelSet& kernelsFor(const TrebleDspState& state) {
    return state.path == dsp_path::Path::Avx2 ? avx2Kernels : baselineKernels;
}

}  // namespace

void runMono(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
             float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount) {
    kernelsFor(state).mono(coef, state, sampleRate, inputs, outputs, sampleFrames, overFlag, sideCount);
}

void runMonoReplacing(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
                      float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount) {
    kernelsFor(state).monoReplacing(coef, state, sampleRate, inputs, outputs, sampleFrames, overFlag, sideCount);
}

void runMonoToBoth(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
                   float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount) {
    kernelsFor(state).monoToBoth(coef, state, sampleRate, inputs, outputs, sampleFrames, overFlag, sideCount);
}

void runMonoToBothReplacing(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate,
                            float** inputs, float** outputs, int32_t sampleFrames, float* overFlag,
                            float* sideCount) {
    kernelsFor(state).monoToBothReplacing(coef, state, sampleRate, inputs, outputs, sampleFrames, overFlag,
                                          sideCount);
}

void runStereo(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
               float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount) {
    kernelsFor(state).stereo(coef, state, sampleRate, inputs, outputs, sampleFrames, overFlag, sideCount);
}

void runStereoReplacing(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
                        float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount) {
    kernelsFor(state).stereoReplacing(coef, state, sampleRate, inputs, outputs, sampleFrames, overFlag, sideCount);
}

}  // namespace treble_kernels
