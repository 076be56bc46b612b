// The treble enhancer's effect object: identity, parameters, program bank and
// the meter rings shared with the editor.
#pragma once

#include <atomic>

#include "shell/product_effect.h"
#include "treble/treble_program.h"
#include "treble_dsp/treble_coefficients.h"
#include "treble_dsp/treble_parameters.h"
#include "treble_dsp/treble_dsp_state.h"

class TrebleEffect : public ProductEffect<TrebleProgram, treble_programs::kNumPrograms, treble_params::kNumParams> {
public:
    TrebleEffect(audioMasterCallback audioMaster, PluginBuild build);
    ~TrebleEffect() override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    void suspend() override;
    void resume() override;
    bool getEffectName(char* name) override;
    bool getProductString(char* text) override;

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

    // The coefficients the next block runs with (takes the host's changes
    // first: only for the audio thread or a test standing in for it).
    const TrebleCoefficients& coefficients() {
        takeHostChanges();
        return coef;
    }
    int getSecondInputConnected() const { return secondInputConnected; }
    const TrebleDspState& processingState() const { return dspState; }

    // The meter feed's rings and positions under this product's names.
    std::atomic<int>& editorPolled = meters.polled;
    std::atomic<float> (&overEnhanceRing)[kMeterRingSize] = meters.first;
    std::atomic<float> (&peakOverRing)[kMeterRingSize] = meters.second;
    std::atomic<int>& meterWriteIndex = meters.writeIndex;
    std::atomic<int>& meterReadIndex = meters.readIndex;

protected:
    void setMeterDelay();
    // The process driver: mode, kernel or bypass, then the meters.
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) override;
    bool settleStereoMode();
    void bypass(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing, bool stereo);
    void writeMeters(float overFlag, float sideCount, VstInt32 sampleFrames);
    void notifyEditor(VstInt32 index, float value);
    // Host side of a parameter change, inside a write of `parameters`: the
    // raw value, its program slot, the ProcessEnh refusal and the StereoMono
    // build rules. `value` is taken as it is.
    void storeParameter(ParameterWrite& write, VstInt32 index, float value) override;
    // A parameter's processing values from its raw value, as the audio thread
    // derives them, into `c`.
    void deriveParameter(TrebleCoefficients& c, VstInt32 index, float value, double rate, float rawFirstOut) const;
    // Keeps the records' StereoMono slot equal to the shared value (stereo).
    void syncStereoMonoSlots() const override;
    TrebleCoefficients displayCoefficients(VstInt32 index) const;
    float getRaw(VstInt32 index) const;

    std::atomic<int> secondInputConnected{-1};

    // The rate the coefficients are computed with: it changes only at
    // construction and at resume.
    std::atomic<double> mappingRate{44100.0};

    // Audio thread only: the coefficients and the rate they were derived at.
    TrebleCoefficients coef = {};
    double appliedRate = 0.0;
    TrebleDspState dspState;
};

// Test hook: makes the next constructions run without a program bank, as when
// no memory was available for it.
extern bool trebleFailBankAllocation;
