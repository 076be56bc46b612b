// Parameter-to-coefficient mapping of the treble plug-in. Everything is computed
// in double precision and stored as float.
#pragma once

#include "treble_dsp/treble_coefficients.h"

namespace treble_mapping {

// Exciter filters: the constant-peak band-pass and the Q = 1 high-pass.
BiquadCoefficients designBandPass(double hz, double q, double sampleRate);
BiquadCoefficients designHighPass(double hz, double sampleRate);

// Frequencies stay below fs / 2.75 so that the filters keep their shape.
double limitFrequency(double hz, double sampleRate);

// Sample rate the formulas may divide by: a host-sent rate that is zero,
// negative or not finite is replaced by 44100 Hz.
double usableSampleRate(float sampleRate);

// Switches read 1 only from 1.0 upwards; out-of-range values never overflow.
int32_t truncToInt(double v);

void setBandPass(TrebleCoefficients& c, double sampleRate);
void setHighPass(TrebleCoefficients& c, double sampleRate);

// Computes the processing values of one parameter (treble_params::Index) from its
// normalised value. `rawFirstOut` is the stored raw FirstOut value, which the
// Freq row reads. The effect itself handles the raw values, the program slots,
// the ProcessEnh refusal and the StereoMono build rules.
void applyParameter(TrebleCoefficients& c, int index, float v, double sampleRate, float rawFirstOut);

}  // namespace treble_mapping
