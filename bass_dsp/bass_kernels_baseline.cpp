// The bass kernels for baseline x86-64.
#define BASS_KERNEL_SET baselineBlock
#include "bass_dsp/bass_kernel_body.h"
