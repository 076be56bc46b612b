// Memory of the treble kernels: look-ahead delay, hiss control, per-channel
// filter and envelope states, and the fast square root tables.
#pragma once

#include <cstdint>
#include <cstring>

#include "common/dsp/dsp_path.h"
#include "treble_dsp/fast_powf.h"
#include "treble_dsp/treble_coefficients.h"

// One two-pole filter's memory: two past inputs and two past outputs.
struct BiquadMemory {
    float x1, x2, y1, y2;
};

// Everything a kernel keeps for one channel. Index 0 is left, 1 right.
struct TrebleChannelState {
    // Hiss reducer: detector low-pass and output low-pass.
    float lp1, lp2, y1, y2;
    // Transient shaper.
    float prevIn, prevD1, damp, env;
    // Exciter: band-pass, and the high-passes on the shaped and the band signal.
    BiquadMemory bandPass;
    BiquadMemory shapedHighPass;
    BiquadMemory bandHighPass;
    // Stereo widener.
    float widePrev;
};

struct TrebleDspState {
    static constexpr int kDelaySize = 256;
    static constexpr int kDelayMask = kDelaySize - 1;

    float dryDelay[2][kDelaySize];
    uint16_t writeIndex;
    uint16_t readIndex;

    // Hiss control, shared by both channels: k, 1 - k, k2 and 1 - k2.
    float hissCoef;
    float hissCoefComp;
    float hissCoef2;
    float hissCoef2Comp;
    float hissEnvelope;

    TrebleChannelState channel[2];

    float sqrtExpTable[256];
    float sqrtMantTable[256];

    // Each exciter filter as it was in the last block in which it was stable,
    // for the kernels to fall back on. Kept by reset(); they pass nothing
    // until a first block has run.
    BiquadCoefficients lastStableBandPass[2];
    BiquadCoefficients lastStableHighPass[4];

    // The instruction-set path this instance runs, and its powf; set by
    // construct(), kept by reset() and recover().
    dsp_path::Path path;
    fast_powf::PowfRun powfRun;

    // Construction: path, tables, the initial hiss coefficient, then reset().
    void construct();
    // The processing reset. The adapted hiss coefficient survives it.
    void reset();
    // Brings the state back to construction values after it went non-finite.
    void recover();
    // True when every value that feeds back into the next sample is finite.
    bool isFinite() const;

    // Square root with the mantissa cut to 8 bits, from the two tables.
    float fastSqrt(float f) const {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return sqrtExpTable[(bits >> 23) & 255] * sqrtMantTable[(bits >> 15) & 255];
    }

private:
    void buildSqrtTables();
};
