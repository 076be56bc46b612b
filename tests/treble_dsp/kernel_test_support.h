// Shared set-up of the kernel tests: coefficients from parameter values, a
// constructed state, and test signals.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "treble_dsp/treble_coefficients.h"
#include "treble_dsp/treble_dsp_state.h"
#include "treble_dsp/treble_kernels.h"
#include "treble_dsp/treble_mapping.h"

namespace kernel_test {

constexpr float kRate = 44100.0f;

// Every parameter at its default, applied in program order (Freq, Q, FirstOut first).
inline TrebleCoefficients defaultCoefficients(float stereoMono = 0.0f) {
    const float defaults[24] = {1.0f, 0.5f, 0.5f, 0.75f, 0.0f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 0.5f, 0.5f,
                                0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, stereoMono};
    TrebleCoefficients c{};
    const int order[] = {5, 15, 17, 0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 18, 19, 20, 21, 22, 23};
    for (int index : order) treble_mapping::applyParameter(c, index, defaults[index], kRate, defaults[17]);
    return c;
}

// Every stage off, full wet mix and unity gain: the output is the offset input.
inline TrebleCoefficients transparentCoefficients() {
    TrebleCoefficients c = defaultCoefficients();
    c.hissOn = c.transientOn = c.exciterOn = c.wideOn = 0;
    c.mixAmount = 1.0f;
    c.outputGain = 1.0f;
    c.softClipOn = 0.0f;
    return c;
}

inline std::unique_ptr<TrebleDspState> constructedState() {
    auto state = std::make_unique<TrebleDspState>();
    state->construct();
    return state;
}

// A deterministic signal with tones, bursts and noise, within +-0.9.
inline std::vector<float> musicLike(int frames, uint32_t seed = 1) {
    std::vector<float> v(static_cast<size_t>(frames));
    uint32_t noise = seed;
    for (int i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double white = static_cast<int32_t>(noise) / 2147483648.0;
        const double burst = std::exp(-std::fmod(i, 3000.0) / 300.0);
        v[static_cast<size_t>(i)] = static_cast<float>(0.3 * std::sin(i * 0.031) + 0.15 * std::sin(i * 0.47 + seed) +
                                                       0.35 * burst * white + 0.02 * white);
    }
    return v;
}

using Kernel = void (*)(const TrebleCoefficients&, TrebleDspState&, float, float**, float**, int32_t, float*, float*);

// Runs one kernel over whole signals in blocks of the given size.
inline void runInBlocks(Kernel kernel, const TrebleCoefficients& c, TrebleDspState& state, std::vector<float>& inL,
                        std::vector<float>& inR, std::vector<float>& outL, std::vector<float>& outR, int block,
                        float* overFlag = nullptr, float* sideCount = nullptr) {
    float over = 0.0f, sides = 0.0f;
    const int frames = static_cast<int>(inL.size());
    for (int start = 0; start < frames; start += block) {
        const int n = std::min(block, frames - start);
        float* in[2] = {inL.data() + start, inR.data() + start};
        float* out[2] = {outL.data() + start, outR.data() + start};
        kernel(c, state, kRate, in, out, n, &over, &sides);
    }
    if (overFlag) *overFlag = over;
    if (sideCount) *sideCount = sides;
}

}  // namespace kernel_test
