// The treble kernels for baseline x86-64.
#define TREBLE_KERNEL_SET baselineKernels
#include "treble_dsp/treble_kernel_body.h"
