// Where rendered frames go, block by block.
#pragma once

#include <string>

namespace render {

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // `frames` is the length to come, or -1 when it is not known in advance;
    // `maxFrames` the most it can be, or -1 when nothing bounds it.
    virtual bool begin(int sampleRate, int channels, long frames, long maxFrames, std::string& error) = 0;
    virtual bool write(const float* interleaved, long frames, std::string& error) = 0;
};

}  // namespace render
