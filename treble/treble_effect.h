// The treble enhancer's effect object: identity, parameters, program bank and
// the meter rings shared with the editor.
#pragma once

#include <atomic>

#include "shell/audio_effect.h"
#include "shell/plugin_build.h"
#include "shell/shared_parameters.h"
#include "treble/treble_program.h"
#include "treble_dsp/treble_coefficients.h"
#include "treble_dsp/treble_dsp_state.h"

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
    void resume() override;
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
    // The stereo/mono value that decides the mode: the raw value, or 0 while
    // it is negative (undecided).
    float stereoMonoEffective() const;

    // Editor thread: marks the meters as read and gives the values of the
    // slot the editor shows (0 while a reset is waiting for the next block).
    void pollMeters(float& overEnhanced, float& peakOver);

    // The audio thread's step at the start of every block: takes the
    // parameters, the sample rate and any reset that other threads asked for.
    // Tests that stand in for the audio thread call it to inspect the result.
    void takeHostChanges();

    PluginBuild build() const { return pluginBuild; }
    // The coefficients the next block runs with (takes the host's changes
    // first: only for the audio thread or a test standing in for it).
    const TrebleCoefficients& coefficients() {
        takeHostChanges();
        return coef;
    }
    // The program records; in the stereo build the StereoMono slot of every
    // record shows the mode the processing settled on.
    const TrebleProgram* programBank() const;
    int getSecondInputConnected() const { return secondInputConnected; }
    const TrebleDspState& processingState() const { return dspState; }

    // Shared with the editor thread.
    std::atomic<int> editorOpen{0};
    std::atomic<int> editorPolled{0};
    std::atomic<float> overEnhanceRing[kMeterRingSize];
    std::atomic<float> peakOverRing[kMeterRingSize];
    std::atomic<int> meterWriteIndex{0};
    std::atomic<int> meterReadIndex{0};

protected:
    static bool validProgramIndex(VstInt32 index) { return index >= 0 && index < kNumPrograms; }
    void setMeterDelay();
    void resetMeterRings();
    // The process driver: mode, kernel or bypass, then the meters.
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing);
    bool settleStereoMode();
    void bypass(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing, bool stereo);
    void writeMeters(float overFlag, float sideCount, VstInt32 sampleFrames);
    void notifyEditor(VstInt32 index, float value);
    // Host side of a parameter change, inside a write of `parameters`: the
    // raw value, its program slot, the ProcessEnh refusal and the StereoMono
    // build rules. `value` is taken as it is.
    using ParameterWrite = SharedParameters<kNumParams>::Write;
    void storeParameter(ParameterWrite& write, VstInt32 index, float value);
    // A parameter's processing values from its raw value, as the audio thread
    // derives them, into `c`.
    void deriveParameter(TrebleCoefficients& c, VstInt32 index, float value, double rate, float rawFirstOut) const;
    // Keeps the records' StereoMono slot equal to the shared value (stereo).
    void syncStereoMonoSlots() const;
    TrebleCoefficients displayCoefficients(VstInt32 index) const;

    const PluginBuild pluginBuild;
    float vuValue = 0.0f;
    TrebleProgram* programs = nullptr;
    std::atomic<int> secondInputConnected{-1};

    // The shared truth: raw values in program-slot order, as last set by any
    // thread, and the rate the coefficients are computed with (it changes
    // only at construction and at resume).
    SharedParameters<kNumParams> parameters;
    std::atomic<double> mappingRate{44100.0};
    PendingReset pendingReset;

    // Audio thread only: the coefficients and what they were derived from.
    TrebleCoefficients coef = {};
    float appliedValues[kNumParams] = {};
    uint32_t appliedChanges[kNumParams] = {};
    uint32_t appliedVersion = ~0u;
    double appliedRate = 0.0;
    TrebleDspState dspState;
};

// Test hook: makes the next constructions run without a program bank, as when
// no memory was available for it.
extern bool trebleFailBankAllocation;
