#include "treble_dsp/treble_parameters.h"

namespace treble_params {

namespace {
using C = TrebleCoefficients;
using F = FieldFormat;
constexpr FieldSource E = FieldSource::Effective, N = FieldSource::Normalised;
constexpr float C::*kRaw = nullptr;
}  // namespace

const ParameterInfo kParameters[kNumParams] = {
    {"Process", " Off/On ", 17, 1.0f, kRaw, Display::Raw, kRaw, 1.0f, kNoField},
    {"Thresh", "    dB   ", 4, 0.5f, &C::hissThreshold, Display::Decibels, &C::hissThreshold, 1.0f, {E, 1.0f, F::Decibels}},
    {"NoiseAtten", "   dB   ", 8, 0.5f, &C::hissKeep, Display::Decibels, &C::hissKeep, 1.0f, {E, 1.0f, F::Decibels}},
    {"Trancients", "   dB   ", 7, 0.75f, &C::tranGain, Display::Decibels, &C::tranGain, 1.0f, {E, 1.0f, F::Decibels}},
    {"EnhanceS", "        ", 10, 0.0f, &C::wideMidGain, Display::Number, &C::wideSideGain, 2.0f, {N, 1.0f, F::Percent}},
    {"Freq", "    Hz   ", 0, 0.5f, &C::bandHz, Display::Number, &C::bandHz, 1.0f, {E, 1.0f, F::Hertz}},
    {"Harmonics", "   dB   ", 13, 0.5f, &C::harmonicsGain, Display::Decibels, &C::harmonicsGain, 1.0f, {E, 1.0f, F::Decibels}},
    {"Mix", "         ", 23, 1.0f, &C::mixAmount, Display::Raw, kRaw, 1.0f, {N, 1.0f, F::Percent}},
    {"Output", "   dB  ", 16, 0.5f, &C::outputGain, Display::Decibels, &C::outputGain, 1.0f, {E, 1.0f, F::Decibels}},
    {"MinFreq", "   Hz   ", 14, 0.5f, &C::hissMinHz, Display::Number, &C::hissMinHz, 1.0f, {E, 1.0f, F::Hertz}},
    {"Speed", "         ", 5, 0.5f, &C::hissOpenRate, Display::Number, &C::hissOpenRate, 1.0f, {N, 1.0f, F::Percent}},
    {"Slope", " dB/oct ", 6, 0.5f, &C::tranSlopeMix, Display::Slope, kRaw, 1.0f, {N, 12.0f, F::Slope}},
    {"TranDamp", "        ", 9, 0.5f, &C::tranDamp, Display::Number, &C::tranDamp, 1.0f, {N, 1.0f, F::Percent}},
    {"Boost", "   1:x  ", 3, 0.5f, &C::tranExponent, Display::Number, &C::tranExponent, 1.0f, {E, 1.0f, F::Digits}},
    {"EnhSlope", " dB/oct ", 11, 0.5f, &C::wideSlope, Display::Number, &C::wideSlope, 6.0f, {N, 6.0f, F::Slope}},
    {"Q", "    Q    ", 2, 0.5f, &C::bandQ, Display::Number, &C::bandQ, 1.0f, {E, 1.0f, F::Digits}},
    {"Drive", "        ", 12, 0.5f, &C::driveAmount, Display::Raw, kRaw, 1.0f, {E, 1.0f, F::Percent}},
    {"FirstOut", "        ", 1, 0.5f, kRaw, Display::Raw, kRaw, 1.0f, {E, 1.0f, F::Percent}},
    {"Saturation", " Off/On ", 15, 0.0f, &C::softClipOn, Display::Number, &C::softClipOn, 1.0f, kNoField},
    {"   ", " Off/On ", 18, 1.0f, kRaw, Display::Raw, kRaw, 1.0f, kNoField},
    {"ProcessEnh", " Off/On ", 19, 1.0f, kRaw, Display::Raw, kRaw, 1.0f, kNoField},
    {"ProcessTran", " Off/On ", 20, 1.0f, kRaw, Display::Raw, kRaw, 1.0f, kNoField},
    {"ProcessHiss", " Off/On ", 21, 1.0f, kRaw, Display::Raw, kRaw, 1.0f, kNoField},
    {"StereoMono", "         ", 22, -1.0f, kRaw, Display::Raw, kRaw, 1.0f, kNoField},
};

const int kProgramApplyOrder[kNumParams] = {
    kFreq,     kQ,          kBoost,     kThresh,        kSpeed,      kSlope,      kTrancients,  kNoiseAtten,
    kTranDamp, kDrive,      kFirstOut,  kHarmonics,     kEnhanceS,   kEnhSlope,   kMinFreq,     kSaturation,
    kOutput,   kProcess,    kExciterSwitch, kProcessEnh, kProcessTran, kProcessHiss, kStereoMono, kMix};

}  // namespace treble_params
