// The bass per-sample chain over one block: band split, envelope and gain,
// harmonic generator, DC filter, mix, clipper and overload count. The caller
// owns the states; the kernels neither allocate nor lock.
#pragma once

#include <cstdint>

#include "bass_dsp/bass_block.h"
#include "bass_dsp/bass_lookup.h"
#include "common/dsp/dsp_path.h"

namespace bass_dsp {

// How the channels run: one channel to one output, one channel to both
// outputs (a stereo instance in mono mode, whose right rings follow the left
// ones), or two channels.
enum class Layout { Mono, MonoToBoth, Stereo };

// What one block's kernel reads and writes.
struct Block {
    const BlockConstants& k;
    BlockState& s;
    Workspace& w;
    const BassLookup& lookup;
    float** inputs;
    float** outputs;
    int32_t frames;
    bool replacing;  // store into the outputs rather than add to them
    bool processOn;  // false leaves the low band unraised and without harmonics
};

// Runs the block on the instance's instruction-set path; every path gives
// the same bits.
void runBlock(dsp_path::Path path, Layout layout, const Block& block);

// The kernel body compiled for each path (bass_kernel_body.h).
void baselineBlock(Layout layout, const Block& block);
void avx2Block(Layout layout, const Block& block);

}  // namespace bass_dsp
