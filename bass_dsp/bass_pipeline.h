// The chunk pipeline that drives the three stages of a bass path, and the
// overload count shared by both channel layouts.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "bass_dsp/bass_block.h"

namespace bass_dsp {

// Runs the three stages over the chunks of a block as a pipeline: stage 1 of
// chunk j, stage 2 of chunk j - 1 and stage 3 of chunk j - 2 share one loop,
// and each stage closes its chunk with a pass of its own.
// Their feedback paths are independent of each other there, so the processor
// works on all of them at once instead of one after the other.
// Inlined so that the path's filter states stay in registers.
template <class Path>
__attribute__((always_inline)) inline void runPipeline(Path& p, int32_t frames) {
    const int chunks = static_cast<int>((static_cast<long long>(frames) + kChunk - 1) / kChunk);
    auto size = [&](int j) {
        if (j < 0 || j >= chunks) return 0;
        const int32_t left = frames - static_cast<int32_t>(j) * kChunk;
        return left < kChunk ? static_cast<int>(left) : kChunk;
    };
    for (int j = 0; j < chunks + 2; ++j) {
        const int n1 = size(j), n2 = size(j - 1), n3 = size(j - 2);
        ChunkBuffers& c1 = p.buffers[j % 3];
        ChunkBuffers& c2 = p.buffers[(j + 2) % 3];
        ChunkBuffers& c3 = p.buffers[(j + 1) % 3];
        if (n1) p.begin1(c1, n1);
        // Only the last chunk may be short, so the active stages share the
        // shortest length and the longer ones finish alone.
        int common = kChunk;
        for (int n : {n1, n2, n3})
            if (n && n < common) common = n;
        if (n1 && n2 && n3) {
            for (int i = 0; i < common; ++i) {
                p.step1(c1, i, j);
                p.step2(c2, i);
                p.step3(c3, i);
            }
        } else if (n1 && n2) {
            for (int i = 0; i < common; ++i) {
                p.step1(c1, i, j);
                p.step2(c2, i);
            }
        } else if (n2 && n3) {
            for (int i = 0; i < common; ++i) {
                p.step2(c2, i);
                p.step3(c3, i);
            }
        } else {
            common = 0;
        }
        for (int i = common; i < n1; ++i) p.step1(c1, i, j);
        for (int i = common; i < n2; ++i) p.step2(c2, i);
        for (int i = common; i < n3; ++i) p.step3(c3, i);
        if (n2) p.end2(c2, n2);
        if (n1) p.end1(c1, n1);
        if (n3) p.end3(c3, n3, (j - 2) * kChunk);
    }
}

// Two consecutive full-scale values in a chunk's bit set, the pair possibly
// spanning chunks.
inline void countOvers(BlockState& s, unsigned long long over, int n) {
    if ((over & ((over << 1) | (s.lastOver ? 1u : 0u))) != 0) s.overload = 1.0f;
    s.lastOver = (over >> (n - 1)) & 1u;
}

}  // namespace bass_dsp
