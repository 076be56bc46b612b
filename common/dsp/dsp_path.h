// The instruction-set paths of the processing code. Every path gives the same
// bits; they differ only in speed.
#pragma once

namespace dsp_path {

enum class Path { Baseline, Avx2 };

// True when this processor can run the path.
bool runnable(Path path);

// The path a new instance takes: the fastest runnable one, unless the
// environment variable VORSA_DSP_PATH names another runnable one ("baseline"
// or "avx2"), which lets the tests compare the paths.
Path choose();

}  // namespace dsp_path
