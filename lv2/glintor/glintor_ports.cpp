#include "lv2/glintor/glintor_ports.h"

namespace glintor_lv2 {

using lv2_ports::Curve;
using lv2_ports::PortRule;
using lv2_ports::Unit;

// A port is in the editor's unit only where the conversion gives back every
// factory value bit for bit: Freq (500 x 32^v Hz) does. Thresh (dB linear in
// the knob) and MinFreq (500 x 30^v Hz) cannot: near the programs' values
// several knob values share one float in dB or Hz, so a preset in those units
// would not restore the program's exact value. The gains shown in dB that
// reach -inf at the bottom of their knob (NoiseAtten, Trancients, Harmonics)
// and Output (a root inside a power) cannot either. These stay normalised,
// with scale points that show the editor's text at every quarter.
const PortRule kRules[treble_params::kNumParams] = {
    {"process", nullptr, Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"thresh", nullptr, Unit::Marked, Curve::Identity, 0, 0, "hiss reducer threshold, 0 .. 1 (-96 dB .. 0 dB)", nullptr, true},
    {"noise_atten", nullptr, Unit::Marked, Curve::Identity, 0, 0, "hiss attenuation, 0 .. 1 (shown in dB by the editor)", nullptr, true},
    {"transients", "Trancients", Unit::Marked, Curve::Identity, 0, 0, "transient gain, 0 .. 1 (8 v^2, shown in dB by the editor)", nullptr, true},
    {"enhance_s", nullptr, Unit::Normalised, Curve::Identity, 0, 0, "stereo widening", nullptr, true},
    {"freq", nullptr, Unit::Hertz, Curve::Exponential, 500.0, 32.0, "exciter band frequency", nullptr, true},
    {"harmonics", nullptr, Unit::Marked, Curve::Identity, 0, 0, "harmonics level, 0 .. 1 (4 v^2, shown in dB by the editor)", nullptr, true},
    {"mix", nullptr, Unit::Normalised, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"output", nullptr, Unit::Marked, Curve::Identity, 0, 0, "output gain, 0 .. 1 (-30 dB .. +6 dB, 0.5 is 0 dB)", nullptr, true},
    {"min_freq", nullptr, Unit::Marked, Curve::Identity, 0, 0, "hiss reducer lowest frequency, 0 .. 1 (500 x 30^v Hz)", nullptr, true},
    {"speed", nullptr, Unit::Marked, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"slope", nullptr, Unit::Marked, Curve::Identity, 0, 0, "transient detector slope, 0 .. 1 (6 dB/oct per half)", nullptr, true},
    {"tran_damp", nullptr, Unit::Normalised, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"boost", nullptr, Unit::Marked, Curve::Identity, 0, 0, "transient ratio 1:2^v", nullptr, true},
    {"enh_slope", nullptr, Unit::Marked, Curve::Identity, 0, 0, "widener slope, 0 .. 1 (6 v dB/oct)", nullptr, true},
    {"q", nullptr, Unit::Marked, Curve::Identity, 0, 0, "exciter band Q, 20^v / 4", nullptr, true},
    {"drive", nullptr, Unit::Normalised, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"first_out", nullptr, Unit::Normalised, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"saturation", nullptr, Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"exciter", "Exciter", Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"process_enh", nullptr, Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"process_tran", nullptr, Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"process_hiss", nullptr, Unit::Toggle, Curve::Identity, 0, 0, nullptr, nullptr, true},
    {"stereo_mono", "StereoMono", Unit::Choice, Curve::Identity, -1.0, 0,
     "settled from the input connections at the first block; fixed in the mono build", "undecided|stereo|mono", false},
};

const char* const kMeterSymbols[] = {"over_enhanced", "peak_over"};
const char* const kMeterNames[] = {"Over-enhanced", "Peak over"};
const char* const kMeterComments[] = {"the editor's over-enhanced light for the last block: 0 or 1",
                                      "the editor's peak-over light for the last block: 0 or 1"};

}  // namespace glintor_lv2
