// The six per-sample kernels of the treble plug-in. Each runs one block from
// the current coefficients and the processing state; the plain variants add
// their result into the outputs, the Replacing variants overwrite them.
//
// overFlag is set to 1.0 when an output sample passed the overload limit and
// never cleared; sideCount grows by 1.0 for every stereo sample whose widened
// side part outweighs its mid part. Both belong to the caller. A block of 0
// or fewer frames changes nothing. A block that leaves the state non-finite
// (non-finite input, or overflow) restores the construction state, so that
// the next block starts clean.
#pragma once

#include <cstdint>

#include "treble_dsp/treble_coefficients.h"
#include "treble_dsp/treble_dsp_state.h"

namespace treble_kernels {

// inputs[0] -> outputs[0].
void runMono(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
             float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount);
void runMonoReplacing(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
                      float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount);

// inputs[0] -> outputs[0] and outputs[1]; inputs[1] is not read.
void runMonoToBoth(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
                   float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount);
void runMonoToBothReplacing(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate,
                            float** inputs, float** outputs, int32_t sampleFrames, float* overFlag,
                            float* sideCount);

// inputs[0..1] -> outputs[0..1], with the shared hiss control and the widener.
void runStereo(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
               float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount);
void runStereoReplacing(const TrebleCoefficients& coef, TrebleDspState& state, float sampleRate, float** inputs,
                        float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount);

}  // namespace treble_kernels
