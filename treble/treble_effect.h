// The treble enhancer's effect object: identity, parameters, program bank and
// the meter rings shared with the editor.
#pragma once

#include "shell/audio_effect.h"
#include "shell/plugin_build.h"
#include "treble/treble_program.h"
#include "treble_dsp/treble_coefficients.h"
#include "treble_dsp/treble_dsp_state.h"

class TrebleEffect;

// Creates the editor, which registers itself with the effect; false when it
// could not be created. Null: the effect has no editor.
using TrebleEditorFactory = bool (*)(TrebleEffect& effect);
extern TrebleEditorFactory trebleEditorFactory;

class TrebleEffect : public AudioEffectX {
public:
    static constexpr int kNumPrograms = treble_programs::kNumPrograms;
    static constexpr int kNumParams = 24;
    static constexpr int kMeterRingSize = 256;

    TrebleEffect(audioMasterCallback audioMaster, PluginBuild build);
    ~TrebleEffect() override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    float getVu() override;
    void suspend() override;
    void resume() override {}
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool copyProgram(VstInt32 destination) override;
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1; }

    // The derived value of a parameter in physical units, for the editor.
    float getEffectiveValue(VstInt32 index) const;

    PluginBuild build() const { return pluginBuild; }
    const TrebleCoefficients& coefficients() const { return coef; }
    const TrebleProgram* programBank() const { return programs; }
    int getSecondInputConnected() const { return secondInputConnected; }
    const TrebleDspState& processingState() const { return dspState; }

    // Shared with the editor thread through plain 32-bit stores.
    int editorOpen = 0;
    int editorPolled = 0;
    float overEnhanceRing[kMeterRingSize];
    float peakOverRing[kMeterRingSize];
    int meterWriteIndex = 0;
    int meterReadIndex = 0;

protected:
    static bool validProgramIndex(VstInt32 index) { return index >= 0 && index < kNumPrograms; }
    void setMeterDelay();
    void resetMeterRings();
    // The process driver: mode, kernel or bypass, then the meters.
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing);
    bool settleStereoMode();
    void bypass(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing, bool stereo);
    void writeMeters(float overFlag, float sideCount, VstInt32 sampleFrames);
    void writeStereoMonoToAllPrograms(float value);
    void notifyEditor(VstInt32 index, float value);
    // The coefficient that getEffectiveValue reports for a parameter; null for
    // StereoMono, whose raw value is reported.
    float* effectiveValueField(VstInt32 index);

    const PluginBuild pluginBuild;
    float vuValue = 0.0f;
    TrebleProgram* programs = nullptr;
    int secondInputConnected = -1;
    float rawValues[kNumParams] = {};
    TrebleCoefficients coef = {};
    TrebleDspState dspState;
};

// Test hook: makes the next constructions run without a program bank, as when
// no memory was available for it.
extern bool trebleFailBankAllocation;
