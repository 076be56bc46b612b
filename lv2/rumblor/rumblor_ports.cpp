#include "lv2/rumblor/rumblor_ports.h"

namespace rumblor_lv2 {

using lv2_ports::Curve;
using lv2_ports::PortRule;
using lv2_ports::Unit;

// Every knob the editor shows in a unit is linear (or, for freq, square) in
// the knob, which gives back every factory value bit for bit.
const PortRule kRules[bass_params::kNumParams] = {
    {"process", nullptr, Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"gain", nullptr, Unit::Decibels, Curve::Linear, 24.0, -12.0, nullptr, nullptr, true},
    {"mix", nullptr, Unit::Normalised, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"freq", nullptr, Unit::Hertz, Curve::Square, 580.0, 20.0, "band split frequency", nullptr, true},
    {"threshold", nullptr, Unit::Decibels, Curve::Linear, 48.0, -48.0, nullptr, nullptr, true},
    {"colour", nullptr, Unit::Percent, Curve::Linear, 100.0, 0.0, nullptr, nullptr, true},
    {"bass", nullptr, Unit::Decibels, Curve::Linear, 24.0, -12.0, nullptr, nullptr, true},
    {"saturation", nullptr, Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"stereo_mono", "stereo/mono", Unit::Choice, Curve::Identity, -1.0, 0,
     "settled from the input connections at the first block; fixed in the mono build", "undecided|mono|stereo", false},
};

const char* const kMeterSymbols[] = {"gain_meter", "peak_light"};
const char* const kMeterNames[] = {"Gain meter", "Peak light"};
const char* const kMeterComments[] = {"the needle: upward gain of the last block, 0 for 0 dB, 1 for +48 dB",
                                      "the overload light of the last block"};

}  // namespace rumblor_lv2
