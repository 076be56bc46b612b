// The treble kernels for AVX2/FMA processors: the same source as the
// baseline kernels, with wider vectors for the stages without feedback. The
// build adds -ffp-contract=off, so no multiply and add are fused: the bits
// stay those of the baseline kernels. The shared inline helpers come in
// before the target switch, so that their out-of-line copies (which the
// baseline kernels may also use) stay baseline code.
#include <cmath>
#include <cstring>

#include "common/dsp/simd.h"
#include "treble_dsp/treble_chain.h"
#include "treble_dsp/treble_kernel_set.h"

#pragma GCC target("avx2,fma")

#define TREBLE_KERNEL_SET avx2Kernels
#include "treble_dsp/treble_kernel_body.h"
