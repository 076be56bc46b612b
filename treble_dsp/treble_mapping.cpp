#include "treble_dsp/treble_mapping.h"

#include "treble_dsp/treble_parameters.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

namespace treble_mapping {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Stores a double as a finite float: values beyond the float range (reachable
// only with host values far outside 0..1) are held at the largest float.
float toFloat(double x) {
    if (std::isnan(x)) return 0.0f;
    return static_cast<float>(std::clamp(x, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

double omega(double hz, double sampleRate) { return 2.0 * kPi * hz / sampleRate; }

}  // namespace

double usableSampleRate(float sampleRate) {
    return (std::isfinite(sampleRate) && sampleRate >= 1.0f) ? static_cast<double>(sampleRate) : 44100.0;
}

double limitFrequency(double hz, double sampleRate) { return std::min(hz, sampleRate / 2.75); }

int32_t truncToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (v <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(v);
}

BiquadCoefficients designBandPass(double hz, double q, double sampleRate) {
    double w = omega(hz, sampleRate);
    double alpha = std::sin(w) / (2.0 * q);
    double n = 1.0 / (1.0 + alpha);
    return {toFloat(alpha * n), 0.0f, toFloat(-alpha * n), toFloat(-2.0 * std::cos(w) * n),
            toFloat((1.0 - alpha) * n)};
}

BiquadCoefficients designHighPass(double hz, double sampleRate) {
    double w = omega(hz, sampleRate);
    double alpha = std::sin(w) / 2.0;
    double n = 1.0 / (1.0 + alpha);
    double cw = std::cos(w);
    return {toFloat((1.0 + cw) * 0.5 * n), toFloat(-(1.0 + cw) * n), toFloat((1.0 + cw) * 0.5 * n),
            toFloat(-2.0 * cw * n), toFloat((1.0 - alpha) * n)};
}

void setBandPass(TrebleCoefficients& c, double sampleRate) {
    BiquadCoefficients bp = designBandPass(c.bandHz, c.bandQ, sampleRate);
    c.bandPassCoef[0] = bp;
    c.bandPassCoef[1] = bp;
}

void setHighPass(TrebleCoefficients& c, double sampleRate) {
    BiquadCoefficients hp = designHighPass(c.firstOutHz, sampleRate);
    for (BiquadCoefficients& copy : c.highPassCoef) copy = hp;
}

void applyParameter(TrebleCoefficients& c, int index, float value, double fs, float rawFirstOut) {
    const double v = value;
    // Roots of negative values have no meaning; they count as 0.
    const double vNonNegative = std::max(v, 0.0);
    switch (index) {
    case treble_params::kProcess:
        c.processOn = truncToInt(v);
        break;
    case treble_params::kThresh:
        c.hissThreshold = toFloat(std::pow(65536.0, v) / 65536.0);
        break;
    case treble_params::kNoiseAtten:
        c.hissKeep = value;
        break;
    case treble_params::kTrancients:
        c.tranGain = toFloat(8.0 * v * v);
        break;
    case treble_params::kEnhanceS: {
        // Above v = 1/0.54 the mid gain would reach 0 and the side gain infinity;
        // the base stays positive so that host values far out of range remain finite.
        double midBase = std::max(1.0 - 0.54 * v, 0.01);
        c.wideMidGain = toFloat(midBase * 0.5);
        c.wideSideGain = toFloat(0.5 / std::pow(2.0 * c.wideMidGain, 1.2));
        break;
    }
    case treble_params::kFreq:
        c.bandHz = toFloat(limitFrequency(500.0 * std::pow(32.0, v), fs));
        setBandPass(c, fs);
        if (rawFirstOut >= 0.0f && rawFirstOut <= 1.0f) {
            double fo = rawFirstOut;
            c.firstOutHz = toFloat(limitFrequency(c.bandHz * (2.0 * fo * fo + 0.5), fs));
            setHighPass(c, fs);
        }
        break;
    case treble_params::kHarmonics:
        c.harmonicsGain = toFloat(4.0 * v * v);
        break;
    case treble_params::kMix:
        c.mixAmount = toFloat(v * v);
        break;
    case treble_params::kOutput:
        c.outputGain = toFloat(std::pow(64.0, std::pow(vNonNegative, 0.25)) / 32.0);
        break;
    case treble_params::kMinFreq:
        c.hissMinHz = toFloat(limitFrequency(500.0 * std::pow(30.0, v), fs));
        c.hissMinCoef = toFloat(1.0 - std::exp(-omega(c.hissMinHz, fs)));
        break;
    case treble_params::kSpeed:
        c.hissOpenRate = toFloat(1.0 / std::pow(30.0, v));
        c.hissCloseRate = toFloat(1.0 / std::pow(300.0, v));
        break;
    case treble_params::kSlope:
        c.tranSlopeMix = v < 1.0 ? toFloat(std::fmod(2.0 * v, 1.0)) : 1.0f;
        c.tranSecondOrder = v >= 0.5 ? 1 : 0;
        c.tranReleaseScale = toFloat(std::pow(128.0, v) * 44100.0 / (fs * 128.0));
        break;
    case treble_params::kTranDamp:
        c.tranDamp = toFloat(0.85 * v);
        break;
    case treble_params::kBoost:
        c.tranExponent = toFloat(std::pow(2.0, v));
        break;
    case treble_params::kEnhSlope:
        c.wideSlope = value;
        break;
    case treble_params::kQ:
        // A Q that underflows to 0 would divide by zero in the design.
        c.bandQ = toFloat(std::max(std::pow(20.0, v) / 4.0, 1e-6));
        setBandPass(c, fs);
        setHighPass(c, fs);
        break;
    case treble_params::kDrive: {
        // The shaper divides by 1 - 0.85 * drive, which reaches 0 near v = 1.92;
        // the drive stops short of that (the factory value 1.16 is unaffected).
        double drive = std::min(std::sqrt(std::sqrt(vNonNegative)), (1.0 - 0.05) / 0.85);
        c.driveAmount = toFloat(drive);
        c.driveGain = toFloat((1.0 + 0.32 / (1.0 - 0.85 * c.driveAmount)) / 2.0);
        break;
    }
    case treble_params::kFirstOut:
        c.firstOutHz = toFloat(limitFrequency(c.bandHz * (2.0 * v * v + 0.5), fs));
        setHighPass(c, fs);
        break;
    case treble_params::kSaturation:
        c.softClipOn = toFloat(std::trunc(v + 0.5));
        break;
    case treble_params::kExciterSwitch:
        c.exciterOn = truncToInt(v);
        break;
    case treble_params::kProcessEnh:
        c.wideOn = truncToInt(v);
        break;
    case treble_params::kProcessTran:
        c.transientOn = truncToInt(v);
        break;
    case treble_params::kProcessHiss:
        c.hissOn = truncToInt(v);
        break;
    case treble_params::kStereoMono:
        c.stereoMonoEffective = value >= 0.0f ? value : 0.0f;
        break;
    default:
        break;
    }
}

}  // namespace treble_mapping
