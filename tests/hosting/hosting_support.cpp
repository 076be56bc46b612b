#include "tests/hosting/hosting_support.h"

#include <algorithm>
#include <cmath>

namespace hosting {

std::vector<float> music(int frames, float rate, float gain) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    uint32_t noise = 12345u;
    const int hitEvery = static_cast<int>(rate / 4.0f);
    for (int i = 0; i < frames; ++i) {
        const double t = i / static_cast<double>(rate);
        noise = noise * 1664525u + 1013904223u;
        const float hiss = static_cast<float>(static_cast<int32_t>(noise)) * (0.01f / 2147483648.0f);
        const float hit = (i % hitEvery) < 400 ? std::exp(-(i % hitEvery) / 60.0f) : 0.0f;
        for (int c = 0; c < 2; ++c) {
            const double bass = 0.5 * std::sin(2.0 * M_PI * (55.0 + c) * t);
            const double top = 0.15 * std::sin(2.0 * M_PI * (5200.0 + 40.0 * c) * t);
            out[2 * static_cast<size_t>(i) + static_cast<size_t>(c)] =
                gain * static_cast<float>(bass + top + 0.4 * hit * (c ? -1.0 : 1.0)) + hiss;
        }
    }
    return out;
}

std::vector<float> Render::run(const std::vector<float>& stereo, int block) {
    return run(stereo, std::vector<int>{block});
}

std::vector<float> Render::run(const std::vector<float>& stereo, const std::vector<int>& blocks) {
    const int frames = static_cast<int>(stereo.size() / 2);
    const int outputs = plugin_->numOutputs();
    const int largest = std::max(1, *std::max_element(blocks.begin(), blocks.end()));
    vst_host::AudioBuffers in(2, largest), out(outputs, largest);
    std::vector<float> result;
    result.reserve(static_cast<size_t>(frames) * static_cast<size_t>(outputs));
    size_t turn = 0;
    for (int done = 0; done < frames;) {
        const int n = std::min(blocks[turn++ % blocks.size()], frames - done);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 2; ++c) in.channel(c)[i] = stereo[2 * static_cast<size_t>(done + i) + static_cast<size_t>(c)];
        plugin_->processReplacing(in.pointers(), out.pointers(), n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < outputs; ++c) result.push_back(out.channel(c)[i]);
        done += n;
    }
    return result;
}

}  // namespace hosting
