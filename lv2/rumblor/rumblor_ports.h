// Rumblor's control ports as its rules describe them, and its meters: all the
// plug-in, the generator and the UI share, free of the effect so that the UI
// library converts port values without one.
#pragma once

#include "bass_dsp/bass_parameters.h"
#include "lv2/port_spec.h"

namespace rumblor_lv2 {

extern const lv2_ports::PortRule kRules[bass_params::kNumParams];
constexpr int kNumMeters = 2;
extern const char* const kMeterSymbols[kNumMeters];
extern const char* const kMeterNames[kNumMeters];
extern const char* const kMeterComments[kNumMeters];

}  // namespace rumblor_lv2
