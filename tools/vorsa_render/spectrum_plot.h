// The before/after picture: averaged spectra of input and output on a
// logarithmic frequency axis, and their level envelopes over time.
#pragma once

#include <string>
#include <vector>

#include "tools/vorsa_render/audio_data.h"

namespace render {

// Averaged power spectrum in dB (Hann window, half-overlapping frames, all
// channels together); bin k is at k * sampleRate / fftSize Hz.
std::vector<double> averagedSpectrum(const AudioData& audio, int fftSize);

// Draws the PNG; false with a reason when it cannot be written.
bool drawComparisonPlot(const std::string& path, const std::string& title, const AudioData& input,
                        const AudioData& output, std::string& error);

}  // namespace render
