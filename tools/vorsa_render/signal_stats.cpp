#include "tools/vorsa_render/signal_stats.h"

#include <algorithm>
#include <cmath>

namespace render {

LevelMeter::LevelMeter(int channels)
    : channels(channels), peaks(static_cast<size_t>(channels), 0.0), sumSquares(static_cast<size_t>(channels), 0.0) {}

void LevelMeter::add(const float* interleaved, long count) {
    for (long i = 0; i < count; ++i)
        for (int c = 0; c < channels; ++c) {
            const double v = interleaved[i * channels + c];
            peaks[static_cast<size_t>(c)] = std::max(peaks[static_cast<size_t>(c)], std::fabs(v));
            sumSquares[static_cast<size_t>(c)] += v * v;
        }
    frames += count;
}

std::vector<ChannelLevels> LevelMeter::levels() const {
    std::vector<ChannelLevels> levels(static_cast<size_t>(channels));
    for (size_t c = 0; c < levels.size(); ++c) {
        levels[c].peak = peaks[c];
        if (frames > 0) levels[c].rms = std::sqrt(sumSquares[c] / static_cast<double>(frames));
    }
    return levels;
}

EnvelopeMeter::EnvelopeMeter(int channels, long windowFrames, size_t maxValues)
    : channels(channels), window(std::max(1L, windowFrames)), maxValues(maxValues) {}

void EnvelopeMeter::add(const float* interleaved, long frames) {
    for (long i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double v = interleaved[i * channels + c];
            sum += v * v;
        }
        if (++inWindow == window) {
            meanSquares.push_back(sum / static_cast<double>(window * channels));
            sum = 0.0;
            inWindow = 0;
            if (maxValues >= 2 && meanSquares.size() >= maxValues) {
                for (size_t j = 0; j < meanSquares.size() / 2; ++j)
                    meanSquares[j] = 0.5 * (meanSquares[2 * j] + meanSquares[2 * j + 1]);
                meanSquares.resize(meanSquares.size() / 2);
                window *= 2;
            }
        }
    }
}

std::vector<double> EnvelopeMeter::envelope() const {
    std::vector<double> all;
    all.reserve(meanSquares.size() + 1);
    for (double m : meanSquares) all.push_back(toDecibels(std::sqrt(m)));
    if (inWindow > 0) all.push_back(toDecibels(std::sqrt(sum / static_cast<double>(inWindow * channels))));
    return all;
}

std::vector<ChannelLevels> measureLevels(const AudioData& audio) {
    LevelMeter meter(audio.channels);
    meter.add(audio.samples.data(), audio.frames());
    return meter.levels();
}

double toDecibels(double amplitude) { return amplitude > 1e-10 ? 20.0 * std::log10(amplitude) : -200.0; }

std::vector<double> levelEnvelope(const AudioData& audio, double windowSeconds) {
    EnvelopeMeter meter(audio.channels, static_cast<long>(windowSeconds * audio.sampleRate));
    meter.add(audio.samples.data(), audio.frames());
    return meter.envelope();
}

}  // namespace render
