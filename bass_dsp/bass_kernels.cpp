#include "bass_dsp/bass_kernels.h"

namespace bass_dsp {

void runBlock(dsp_path::Path path, Layout layout, const Block& block) {
    if (path == dsp_path::Path::Avx2) avx2Block(layout, block);
    else baselineBlock(layout, block);
}

}  // namespace bass_dsp
