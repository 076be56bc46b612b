#include "tools/vorsa_render/signal_stats.h"

#include <algorithm>
#include <cmath>

namespace render {

std::vector<ChannelLevels> measureLevels(const AudioData& audio) {
    std::vector<ChannelLevels> levels(static_cast<size_t>(audio.channels));
    std::vector<double> sumSquares(static_cast<size_t>(audio.channels), 0.0);
    const long frames = audio.frames();
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < audio.channels; ++c) {
            double v = audio.at(i, c);
            levels[static_cast<size_t>(c)].peak = std::max(levels[static_cast<size_t>(c)].peak, std::fabs(v));
            sumSquares[static_cast<size_t>(c)] += v * v;
        }
    for (int c = 0; c < audio.channels && frames > 0; ++c)
        levels[static_cast<size_t>(c)].rms = std::sqrt(sumSquares[static_cast<size_t>(c)] / static_cast<double>(frames));
    return levels;
}

double toDecibels(double amplitude) { return amplitude > 1e-10 ? 20.0 * std::log10(amplitude) : -200.0; }

std::vector<double> levelEnvelope(const AudioData& audio, double windowSeconds) {
    std::vector<double> envelope;
    const long window = std::max<long>(1, static_cast<long>(windowSeconds * audio.sampleRate));
    const long frames = audio.frames();
    for (long start = 0; start < frames; start += window) {
        double sum = 0.0;
        long end = std::min(frames, start + window);
        for (long i = start; i < end; ++i)
            for (int c = 0; c < audio.channels; ++c) sum += static_cast<double>(audio.at(i, c)) * audio.at(i, c);
        envelope.push_back(toDecibels(std::sqrt(sum / static_cast<double>((end - start) * audio.channels))));
    }
    return envelope;
}

}  // namespace render
