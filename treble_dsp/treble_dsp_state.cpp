#include "treble_dsp/treble_dsp_state.h"

#include <cmath>

namespace {

// Filter memories rest slightly off zero so that decaying signals never reach
// the denormal range.
constexpr float kFilterRest = 1e-7f;
constexpr float kDelayRest = 1e-8f;

void resetChannel(TrebleChannelState& ch) {
    ch.lp1 = ch.lp2 = ch.y1 = ch.y2 = kFilterRest;
    ch.prevIn = ch.prevD1 = ch.damp = ch.env = 0.0f;
    ch.bandPass = {kFilterRest, kFilterRest, kFilterRest, kFilterRest};
    ch.shapedHighPass = ch.bandPass;
    ch.bandHighPass = ch.bandPass;
    ch.widePrev = 0.0f;
}

bool finite(float v) { return std::isfinite(v); }

bool finite(const BiquadMemory& m) { return finite(m.x1) && finite(m.x2) && finite(m.y1) && finite(m.y2); }

bool finite(const TrebleChannelState& ch) {
    return finite(ch.lp1) && finite(ch.lp2) && finite(ch.y1) && finite(ch.y2) && finite(ch.prevIn) &&
           finite(ch.prevD1) && finite(ch.damp) && finite(ch.env) && finite(ch.bandPass) &&
           finite(ch.shapedHighPass) && finite(ch.bandHighPass) && finite(ch.widePrev);
}

}  // namespace

void TrebleDspState::buildSqrtTables() {
    for (int i = 0; i < 256; ++i) sqrtMantTable[i] = static_cast<float>(std::sqrt(0.5 + i / 512.0));
    // Built from the stored first mantissa entry, so that exponent and mantissa
    // tables multiply to exact roots of 8-bit mantissas.
    const double m0 = sqrtMantTable[0];
    for (int i = 0; i < 256; ++i) sqrtExpTable[i] = static_cast<float>(1.0 / std::pow(m0, i - 126));
}

void TrebleDspState::construct() {
    path = dsp_path::choose();
    powfRun = path == dsp_path::Path::Avx2 ? fast_powf::avx2Run() : fast_powf::baselineRun();
    buildSqrtTables();
    for (BiquadCoefficients& f : lastStableBandPass) f = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (BiquadCoefficients& f : lastStableHighPass) f = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    hissCoef = 0.5f;
    hissCoefComp = 0.5f;
    hissCoef2 = 0.65f;
    hissCoef2Comp = 0.35f;
    reset();
}

void TrebleDspState::reset() {
    for (auto& ring : dryDelay)
        for (float& v : ring) v = kDelayRest;
    writeIndex = kDelaySize - 1;
    readIndex = 0;
    hissEnvelope = kFilterRest;
    for (TrebleChannelState& ch : channel) resetChannel(ch);
}

void TrebleDspState::recover() {
    hissCoef = 0.5f;
    hissCoefComp = 0.5f;
    hissCoef2 = 0.65f;
    hissCoef2Comp = 0.35f;
    reset();
}

bool TrebleDspState::isFinite() const {
    return finite(hissCoef) && finite(hissCoefComp) && finite(hissCoef2) && finite(hissCoef2Comp) &&
           finite(hissEnvelope) && finite(channel[0]) && finite(channel[1]);
}
