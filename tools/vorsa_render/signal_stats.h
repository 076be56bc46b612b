// Levels of a rendered file, for the summary a musician reads, measured as
// the audio streams past.
#pragma once

#include <vector>

#include "tools/vorsa_render/audio_data.h"

namespace render {

struct ChannelLevels {
    double peak = 0.0;  // largest absolute sample
    double rms = 0.0;
};

class LevelMeter {
public:
    explicit LevelMeter(int channels);
    void add(const float* interleaved, long frames);
    std::vector<ChannelLevels> levels() const;

private:
    int channels;
    long frames = 0;
    std::vector<double> peaks, sumSquares;
};

// Short-time RMS of all channels together, one value per window, in dBFS.
// With `maxValues`, memory stays bounded whatever the length: whenever the
// values would outnumber it, neighbours are merged and the window doubles.
class EnvelopeMeter {
public:
    EnvelopeMeter(int channels, long windowFrames, size_t maxValues = 0);
    void add(const float* interleaved, long frames);
    std::vector<double> envelope() const;  // the last, partial window included
    long windowFrames() const { return window; }

private:
    int channels;
    long window;
    size_t maxValues;
    long inWindow = 0;
    double sum = 0.0;
    std::vector<double> meanSquares;  // one per full window
};

std::vector<ChannelLevels> measureLevels(const AudioData& audio);

// Level in dBFS; -inf shows as a very low number rather than a text.
double toDecibels(double amplitude);

std::vector<double> levelEnvelope(const AudioData& audio, double windowSeconds);

}  // namespace render
