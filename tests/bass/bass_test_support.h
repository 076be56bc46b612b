// Helpers for the bass effect's unit tests: a scripted host callback, a fake
// editor and an effect whose processing state the tests may read.
#pragma once

#include <string>
#include <vector>

#include "bass/bass_effect.h"

namespace bass_test {

// The host answers tests set before constructing an effect.
struct TestHost {
    static inline VstIntPtr latency = 0;
    static inline VstInt32 blockSize = 512;
    static inline bool secondInputConnected = true;
    static inline int pinRequests = 0;

    static void reset() {
        latency = 0;
        blockSize = 512;
        secondInputConnected = true;
        pinRequests = 0;
    }

    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
        switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterGetOutputLatency: return latency;
        case audioMasterGetBlockSize:
            if (effect) effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
            return blockSize;
        case audioMasterPinConnected:
            ++pinRequests;
            // 0 answers "connected".
            return (value == 0 && index == 1 && !secondInputConnected) ? 1 : 0;
        default: return 0;
        }
    }
};

// Exposes the processing state for inspection. The calls whose work the
// audio thread takes up at its next block start are followed by that block
// start at once, so the tests see what a single-threaded host's next block
// would see.
class Bass : public BassEffect {
public:
    explicit Bass(PluginBuild build, audioMasterCallback master = TestHost::callback) : BassEffect(master, build) {}
    void setParameter(VstInt32 index, float value) override {
        BassEffect::setParameter(index, value);
        takeHostChanges();
    }
    void setProgram(VstInt32 program) override {
        BassEffect::setProgram(program);
        takeHostChanges();
    }
    void suspend() override {
        BassEffect::suspend();
        takeHostChanges();
    }
    void resume() override {
        BassEffect::resume();
        takeHostChanges();
    }
    using BassEffect::bandCoef;
    using BassEffect::colourNorm;
    using BassEffect::dcCoef;
    using BassEffect::dcFeedback;
    using BassEffect::dcState;
    using BassEffect::envelope;
    using BassEffect::harmonicState;
    using BassEffect::lookup;
    using BassEffect::peakHold;
    using BassEffect::ringReadIndex;
    using BassEffect::ringWriteIndex;
    using BassEffect::shaperCoef;
    using BassEffect::shaperState;
    using BassEffect::splitState1;
    using BassEffect::splitState2;
    using BassEffect::stereoValue;
    using BassEffect::work;
};

// Records what the effect tells its editor.
class FakeEditor : public EffectEditor {
public:
    std::vector<std::string> calls;

    VstIntPtr getRect(ERect** rect) override {
        *rect = nullptr;
        return 0;
    }
    VstIntPtr open(void*) override { return 0; }
    void close() override {}
    void idle() override {}
    VstInt32 setKnobDragMode(VstInt32) override { return 0; }
    void postUpdate() override { calls.push_back("postUpdate"); }
    void parameterChanged(VstInt32 index, float value) override {
        calls.push_back("parameterChanged " + std::to_string(index) + " " + std::to_string(value));
    }
    void resetMeters() override { calls.push_back("resetMeters"); }
};

template <class Call>
std::string text(Call call) {
    char buffer[64] = {};
    call(buffer);
    return buffer;
}

inline std::string display(BassEffect& e, int index) {
    return text([&](char* t) { e.getParameterDisplay(index, t); });
}
inline std::string name(BassEffect& e, int index) {
    return text([&](char* t) { e.getParameterName(index, t); });
}
inline std::string label(BassEffect& e, int index) {
    return text([&](char* t) { e.getParameterLabel(index, t); });
}
inline std::string programName(BassEffect& e) {
    return text([&](char* t) { e.getProgramName(t); });
}

// Runs a mono or stereo signal through processReplacing in blocks; returns
// the output channels.
inline std::vector<std::vector<float>> run(BassEffect& e, const std::vector<std::vector<float>>& input,
                                           int blockSize = 512) {
    const int channels = static_cast<int>(input.size());
    const int frames = static_cast<int>(input[0].size());
    std::vector<std::vector<float>> output(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
    for (int start = 0; start < frames; start += blockSize) {
        const int n = frames - start < blockSize ? frames - start : blockSize;
        float* in[2];
        float* out[2];
        for (int c = 0; c < 2; ++c) {
            const int source = c < channels ? c : 0;
            in[c] = const_cast<float*>(input[static_cast<size_t>(source)].data()) + start;
            out[c] = output[static_cast<size_t>(source)].data() + start;
        }
        e.processReplacing(in, out, n);
    }
    return output;
}

}  // namespace bass_test
