// One instruction-set path's six treble kernels (see treble_kernels.h).
#pragma once

#include <cstdint>

#include "treble_dsp/treble_coefficients.h"
#include "treble_dsp/treble_dsp_state.h"

namespace treble_kernels {

using Kernel = void (*)(const TrebleCoefficients&, TrebleDspState&, float, float**, float**, int32_t, float*,
                        float*);

struct KernelSet {
    Kernel mono, monoReplacing, monoToBoth, monoToBothReplacing, stereo, stereoReplacing;
};

extern const KernelSet baselineKernels;
extern const KernelSet avx2Kernels;  // only for processors with AVX2 and FMA

}  // namespace treble_kernels
