#include "treble_dsp/treble_chain.h"

#include <algorithm>

namespace treble_chain {

namespace {
float toFloat(double x) {
    if (std::isnan(x)) return 0.0f;
    return static_cast<float>(std::clamp(x, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}
}  // namespace

BlockPrep prepareBlock(const TrebleCoefficients& c, float sampleRate) {
    // A rate a host sent as 0, negative or not finite would turn the envelope
    // rates into growth factors; such a block runs at 44.1 kHz timing.
    const double fs = (std::isfinite(sampleRate) && sampleRate >= 1.0f) ? sampleRate : 44100.0;
    BlockPrep p;
    p.invThr = toFloat(1.0 / static_cast<double>(c.hissThreshold));
    p.openStep = toFloat(0.03 * c.hissOpenRate);
    p.closeStep = toFloat(0.0075 * c.hissCloseRate);
    p.openSlope = toFloat(static_cast<double>(p.openStep) * p.invThr);
    p.closeSlope = toFloat(static_cast<double>(p.closeStep) * p.invThr);
    p.openBase = toFloat(1.0 - p.openStep);
    p.closeBase = toFloat(1.0 - p.closeStep);
    p.lowMark = toFloat(static_cast<double>(c.hissThreshold) * 0.7071);
    p.attack = toFloat(std::pow(0.125, fs / 44100.0));
    p.release = toFloat(std::pow(0.0025, fs / 44100.0));
    p.tranRelease = toFloat(static_cast<double>(c.tranReleaseScale) * 0.025);
    p.shapeW = toFloat(1.0 / (1.0 - 0.85 * static_cast<double>(c.driveAmount)));
    p.shapeWNegative = 0.49f * p.shapeW;
    p.twoDriveGain = 2.0f * c.driveGain;
    return p;
}

}  // namespace treble_chain
