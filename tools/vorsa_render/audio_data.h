// Interleaved audio in memory, as read from or written to a file.
#pragma once

#include <cstddef>
#include <vector>

namespace render {

struct AudioData {
    int sampleRate = 44100;
    int channels = 0;
    std::vector<float> samples;  // interleaved

    long frames() const { return channels > 0 ? static_cast<long>(samples.size() / static_cast<size_t>(channels)) : 0; }
    float& at(long frame, int channel) { return samples[index(frame, channel)]; }
    float at(long frame, int channel) const { return samples[index(frame, channel)]; }

private:
    size_t index(long frame, int channel) const {
        return static_cast<size_t>(frame) * static_cast<size_t>(channels) + static_cast<size_t>(channel);
    }
};

}  // namespace render
