// Levels of a rendered file, for the summary a musician reads.
#pragma once

#include <vector>

#include "tools/vorsa_render/audio_data.h"

namespace render {

struct ChannelLevels {
    double peak = 0.0;  // largest absolute sample
    double rms = 0.0;
};

std::vector<ChannelLevels> measureLevels(const AudioData& audio);

// Level in dBFS; -inf shows as a very low number rather than a text.
double toDecibels(double amplitude);

// Short-time RMS of all channels together, one value per window, in dBFS.
std::vector<double> levelEnvelope(const AudioData& audio, double windowSeconds);

}  // namespace render
