// The bass enhancer's effect object: identity, parameters and their mapping,
// the program store, the processing with its meter rings, in both builds.
#pragma once

#include "bass_dsp/bass_block.h"
#include "bass_dsp/bass_lookup.h"
#include "common/dsp/dsp_path.h"
#include "bass_dsp/bass_parameters.h"
#include "bass/bass_program.h"
#include <atomic>

#include "shell/product_effect.h"

class BassEffect : public ProductEffect<BassProgram, bass_programs::kNumPrograms, bass_params::kNumParams> {
public:
    // The processing's delay rings.
    static constexpr int kRingSize = bass_dsp::kRingSize;

    BassEffect(audioMasterCallback audioMaster, PluginBuild build);
    ~BassEffect() override;

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

    // The derived value of a parameter, for the editor; 0 outside 0..8.
    float getEffectiveValue(VstInt32 index) const;

    // Editor thread: the values of the meter slot the editor shows (0 while
    // a reset is waiting for the next block).
    void readMeters(float& gain, float& overload) const;

    // The audio thread's step at the start of every block: takes the
    // parameters, the sample rate and any reset that other threads asked for.
    // Tests that stand in for the audio thread call it to inspect the result.
    void takeHostChanges();

    int getStereoMode() const { return stereoMode; }
    int getSampleRateInt() const { return sampleRateInt; }

    // The meter feed's rings and positions under this product's names.
    std::atomic<float> (&gainMeterRing)[kMeterRingSize] = meters.first;
    std::atomic<float> (&overloadRing)[kMeterRingSize] = meters.second;
    std::atomic<int>& meterWriteIndex = meters.writeIndex;
    std::atomic<int>& meterReadIndex = meters.readIndex;

protected:
    // Host side of a reset: the rate and the meter delay it will use, asked
    // of the host on the calling thread.
    void askForReset(int rate);
    int meterDelayFromHost();
    // Audio side: the processing reset at the given rate.
    void resetProcessing(int rate, int meterDelay);
    void resetAudioState();
    void fillAudioRings(float value);
    void settleStereoMode();
    // Host side of a parameter change: the raw value, its program slot and
    // the stereo/mono build rules. `value` is taken as it is.
    void storeParameter(ParameterWrite& write, VstInt32 index, float value) override;
    // Audio side: a parameter's effective values and filter coefficients,
    // and the states its change clears.
    void applyParameter(VstInt32 index, float value);
    // Keeps the records' stereo/mono slot equal to the shared value (stereo).
    void syncStereoMonoSlots() const override;

    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) override;

    // The rate every coefficient is to be computed with (it changes at
    // construction and at resume), and the rate and meter delay of the reset
    // asked for.
    std::atomic<int> mappingRate{44100};
    std::atomic<int> resetRate{44100};
    std::atomic<int> resetMeterDelay{1};

    // Audio thread only: effective values and the rate they were derived at.
    int appliedRate = 0;
    float gainLin = 1.0f;
    float mixAmount = 1.0f;
    float freqHz = 20.0f;
    float thresholdLin = 1.0f;
    float colourFactor = 1.0f;
    float colourNorm = 1.0f;
    float bassLin = 1.0f;
    float saturationOn = 1.0f;
    float processOn = 1.0f;
    float stereoValue = 1.0f;
    std::atomic<int> stereoMode{-1};
    int sampleRateInt = 44100;

    // Processing state. Index 0 is the left channel, 1 the right.
    BassLookup lookup;
    double bandCoef = 0.0;
    double shaperCoef = 0.0;
    double dcCoef = 0.0;
    double dcFeedback = 1.0;
    double splitState1[2] = {};
    double splitState2[2] = {};
    double shaperState[2] = {};
    double peakHold[2] = {};
    double harmonicState[2] = {};
    double dcState[2] = {};
    float envelope = 0.0f;
    int ringWriteIndex = kRingSize - 1;
    int ringReadIndex = 0;
    float ditherValue = 1e-12f;
    // Gain of the last processed sample: a block of no frames shows it again.
    float lastGain = 1.0f;
    // The delay rings and the stages' working buffers.
    bass_dsp::Workspace work;
    // The instruction-set path of this instance, fixed at construction.
    dsp_path::Path dspPath = dsp_path::choose();
};
