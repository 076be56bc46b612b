#include "treble/treble_effect.h"

#include <cstring>

#include "treble_dsp/treble_parameters.h"
#include "treble_dsp/treble_mapping.h"

using treble_params::kParameters;

bool trebleFailBankAllocation = false;

TrebleEffect::TrebleEffect(audioMasterCallback audioMaster, PluginBuild build)
    : ProductEffect(audioMaster, build, !trebleFailBankAllocation) {
    const bool stereo = build == PluginBuild::Stereo;
    editorOpen = 0;
    setNumInputs(stereo ? 2 : 1);
    setNumOutputs(stereo ? 2 : 1);
    setUniqueID(stereo ? fourCharCode("VrGL") : fourCharCode("VrGl"));
    canMono(true);
    canProcessReplacing(true);

    setMeterDelay();

    // Only the constructor checks the rate's range; later host rates are
    // taken as sent (see resume).
    if (getSampleRate() < 22050.0f || getSampleRate() > 192000.0f) sampleRate = 44100.0f;
    mappingRate.store(sampleRate);

    dspState.construct();

    secondInputConnected = stereo ? -1 : 0;

    if (programs.exists())
        for (int p = 0; p < kNumPrograms; ++p) programs.data()[p].setFresh(build);

    if (programs.exists()) treble_programs::loadFactoryBank(programs.data());

    // The defaults, which program 0 replaces; without a bank they stay and
    // the first take below derives every coefficient from them.
    {
        ParameterWrite write(parameters);
        for (int index = 0; index < kNumParams; ++index) {
            float value = treble_params::kParameters[index].defaultValue;
            if (index == treble_params::kStereoMono) value = stereo ? -1.0f : 1.0f;
            write.set(treble_params::kParameters[index].slot, value);
        }
    }
    if (programs.exists()) setProgram(0);

    suspend();
    // No other thread knows the instance yet: derive and reset right away.
    takeHostChanges();
}
TrebleEffect::~TrebleEffect() = default;

void TrebleEffect::setMeterDelay() {
    const VstInt32 latency = getOutputLatency();
    const VstInt32 block = updateBlockSize();
    int delay = 1;
    if (latency > 1 && block > 1) {
        // Show each block's meters when its audio is heard, about 30 % early.
        double blocks = static_cast<double>(latency) / block * 100.0 / 130.0;
        delay = blocks >= 255.0 ? 255 : static_cast<int>(blocks);
    }
    if (delay < 1) delay = 1;
    if (delay > 255) delay = 255;
    meters.restart(delay);
}

void TrebleEffect::pollMeters(float& overEnhanced, float& peakOver) {
    meters.read(overEnhanced, peakOver);
    if (pendingReset.pending()) overEnhanced = peakOver = 0.0f;
}

bool TrebleEffect::getEffectName(char* name) {
    std::strcpy(name, "Vorsa Glintor");
    return true;
}

bool TrebleEffect::getProductString(char* text) {
    std::strcpy(text, "The Vorsa treble enhancer & transient processing plug-in");
    return true;
}
