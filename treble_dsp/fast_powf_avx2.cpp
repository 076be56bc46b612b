// The vector powf built for AVX2/FMA processors. The build compiles this file
// with -mavx2 -mfma -ffp-contract=off; only called on such a processor.
#include "treble_dsp/fast_powf.h"
#include "treble_dsp/fast_powf_lanes.h"

namespace fast_powf {

void fusedRun(const float* x, float y, float* out, int n) { powf_lanes::run<true>(x, y, out, n); }

namespace avx2 {
void plainRun(const float* x, float y, float* out, int n) { powf_lanes::run<false>(x, y, out, n); }
}  // namespace avx2

}  // namespace fast_powf
