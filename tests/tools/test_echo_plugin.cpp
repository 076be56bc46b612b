// A test plug-in with a tail: mono in, output = input plus a feedback echo
// every 100 ms, each repeat half as loud (-6 dB), so that a click needs
// about 1.5 s to fall below -90 dBFS. TEST_ECHO_TAIL reports a 0.5 s tail
// through effGetTailSize; TEST_ECHO_STEREO gives a second output, the echo
// alone, as a mono-to-stereo effect does.
#include <cstdio>
#include <new>
#include <vector>

#include "shell/plugin_entry.h"

namespace {

#ifdef TEST_ECHO_STEREO
constexpr int kOutputs = 2;
#else
constexpr int kOutputs = 1;
#endif

class EchoEffect : public AudioEffectX {
public:
    explicit EchoEffect(audioMasterCallback master) : AudioEffectX(master, 1, 0) {
        setNumInputs(1);
        setNumOutputs(kOutputs);
        setUniqueID(fourCharCode("TsEc"));
        canProcessReplacing(true);
    }
    void setSampleRate(float rate) override {
        AudioEffectX::setSampleRate(rate);
        ring.assign(static_cast<size_t>(rate / 10), 0.0f);
        position = 0;
    }
    bool getEffectName(char* text) override {
        std::snprintf(text, 32, "Test Echo");
        return true;
    }
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override {
#ifdef TEST_ECHO_TAIL
        if (opcode == effGetTailSize) return static_cast<VstIntPtr>(sampleRate / 2);
#endif
        return AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
    }
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
        for (VstInt32 i = 0; i < frames; ++i) {
            const float echo = ring[position];
            const float out = inputs[0][i] + echo;
            ring[position] = 0.5f * out;
            position = (position + 1) % ring.size();
            outputs[0][i] = out;
            if (kOutputs > 1) outputs[1][i] = echo;
        }
    }

private:
    std::vector<float> ring = std::vector<float>(4410, 0.0f);
    size_t position = 0;
};

AudioEffect* construct(audioMasterCallback master) { return new (std::nothrow) EchoEffect(master); }

}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
