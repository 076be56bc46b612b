// A mono test plug-in: output = input delayed by 100 frames, times twice the
// "gain" parameter. It reports its delay as initialDelay: from the start, or
// (TEST_DELAY_ON_RESUME) only once resumed, announced through
// audioMasterIOChanged, or (TEST_DELAY_HIDDEN) never.
#include <cstdio>
#include <new>

#include "shell/plugin_entry.h"

namespace {

class DelayEffect : public AudioEffectX {
public:
    static constexpr int kDelay = 100;

    explicit DelayEffect(audioMasterCallback master) : AudioEffectX(master, 2, 1) {
        setNumInputs(1);
        setNumOutputs(1);
        setUniqueID(fourCharCode("TsDl"));
#if !defined(TEST_DELAY_ON_RESUME) && !defined(TEST_DELAY_HIDDEN)
        setInitialDelay(kDelay);
#endif
        canProcessReplacing(true);
    }
#ifdef TEST_DELAY_ON_RESUME
    void resume() override {
        setInitialDelay(kDelay);
        callHost(audioMasterIOChanged);
    }
#endif
    void setParameter(VstInt32 index, float value) override {
        if (index == 0) gain = value;
    }
    float getParameter(VstInt32 index) override { return index == 0 ? gain : 0.0f; }
    void getParameterName(VstInt32 index, char* text) override { std::snprintf(text, 9, "%s", index == 0 ? "gain" : ""); }
    void setProgram(VstInt32 program) override {
        curProgram = program;
        gain = program == 1 ? 0.25f : 0.5f;
    }
    bool getProgramNameIndexed(VstInt32, VstInt32 index, char* text) override {
        if (index < 0 || index > 1) return false;
        std::snprintf(text, 24, "%s", index == 1 ? "Quiet" : "Unity");
        return true;
    }
    void getProgramName(char* text) override { getProgramNameIndexed(0, curProgram, text); }
    bool getEffectName(char* text) override {
        std::snprintf(text, 32, "Test Delay");
        return true;
    }
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
        for (VstInt32 i = 0; i < frames; ++i) {
            ring[position] = inputs[0][i];
            position = (position + 1) % (kDelay + 1);
            outputs[0][i] = ring[position] * 2.0f * gain;
        }
    }

private:
    float gain = 0.5f;
    float ring[kDelay + 1] = {};
    int position = 0;
};

AudioEffect* construct(audioMasterCallback master) { return new (std::nothrow) DelayEffect(master); }

}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
