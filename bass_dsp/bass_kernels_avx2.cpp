// The bass kernels for AVX2/FMA processors: the same source as the baseline
// kernels. The build adds -ffp-contract=off, so no multiply and add are
// fused and the bits stay those of the baseline kernels. The shared headers
// come in before the target switch, so that the out-of-line copies of their
// inline functions (which the baseline kernels may also use) stay baseline
// code.
#include <immintrin.h>

#include <cmath>

#include "bass_dsp/bass_kernels.h"
#include "bass_dsp/bass_pipeline.h"
#include "bass_dsp/bass_sample_math.h"
#include "bass_dsp/bass_transfers.h"

#pragma GCC target("avx2,fma")

#define BASS_KERNEL_SET avx2Block
#define BASS_KERNEL_AVX  // the body may use 256-bit vectors
#include "bass_dsp/bass_kernel_body.h"
