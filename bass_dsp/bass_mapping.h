// Parameter-to-coefficient mapping of the bass plug-in, in double precision:
// the effective value of each parameter and the filter coefficients "freq" and
// the rate give.
#pragma once

namespace bass_mapping {

// The effective value of parameter `index` (bass_params::Index) from its raw
// value; 0 for an unknown index.
float effectiveValue(int index, float raw, bool monoBuild);

// One-pole coefficient of a low-pass at `hz`: 1 - e^(-2 pi hz / fs).
double onePole(double hz, double sampleRate);
// The band split's and the shaper's low-pass from the raw "freq" value.
double bandCoefficient(float raw, double sampleRate);
double shaperCoefficient(float raw, double sampleRate);
// The harmonics' level correction for a colour factor.
float colourNorm(float colourFactor);

}  // namespace bass_mapping
