// What the two products' effect objects have in common: the parameter values
// shared between threads, the program bank, the meter feed, the pending reset,
// and the host calls both answer alike (process calls, program names, pins,
// vendor, VU). Each product adds its own parameters' meaning, processing and
// identity.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

#include "shell/audio_effect.h"
#include "shell/effect_texts.h"
#include "shell/meter_feed.h"
#include "shell/plugin_build.h"
#include "shell/program_bank.h"
#include "shell/shared_parameters.h"

template <class Program, int NumPrograms, int NumParams>
class ProductEffect : public AudioEffectX {
public:
    static constexpr int kNumPrograms = NumPrograms;
    static constexpr int kNumParams = NumParams;
    static constexpr int kMeterRingSize = MeterFeed::kSize;

    ProductEffect(audioMasterCallback audioMaster, PluginBuild build, bool withBank)
        : AudioEffectX(audioMaster, NumPrograms, NumParams), pluginBuild(build), programs(withBank) {}

    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override {
        processBlock(inputs, outputs, sampleFrames, false);
    }
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override {
        processBlock(inputs, outputs, sampleFrames, true);
    }

    void setProgramName(char* name) override { programs.setName(curProgram, name); }
    void getProgramName(char* name) override { programs.currentName(curProgram, name); }
    bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) override {
        return programs.nameAt(index, text);
    }
    bool copyProgram(VstInt32 destination) override {
        syncStereoMonoSlots();
        return programs.copy(curProgram, destination);
    }

    float getVu() override {
        const float value = vuValue;
        vuValue = 0.0f;
        return value;
    }
    // Both builds describe a stereo pair, also the mono build with its single pins.
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override {
        return describeStereoPin(index, properties, "My %1d In");
    }
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override {
        return describeStereoPin(index, properties, "My %1d Out");
    }
    bool getVendorString(char* text) override {
        std::strcpy(text, "Vorsa");
        return true;
    }
    VstInt32 getVendorVersion() override { return 1; }

    PluginBuild build() const { return pluginBuild; }
    // The program records; in the stereo build the stereo/mono slot of every
    // record shows the mode the processing settled on.
    const Program* programRecords() const {
        syncStereoMonoSlots();
        return programs.data();
    }

    // Shared with the editor thread.
    std::atomic<int> editorOpen{0};
    MeterFeed meters;

protected:
    using ParameterWrite = typename SharedParameters<NumParams>::Write;

    // The processing of one block, for both process calls.
    virtual void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) = 0;
    // Writes the shared stereo/mono value into every record (stereo builds).
    virtual void syncStereoMonoSlots() const = 0;
    // Host side of a parameter change inside a write of `parameters`: the raw
    // value, its program slot and the product's own rules.
    virtual void storeParameter(ParameterWrite& write, VstInt32 index, float value) = 0;

    // Stores values[index] for every parameter with changed[index] set, in
    // `order`, as one write, as a program change stores its values.
    void storeChanged(const int (&order)[NumParams], const float* values, const bool* changed) {
        ParameterWrite write(parameters);
        for (int index : order)
            if (changed[index]) storeParameter(write, index, values[index]);
    }

    // Host side of a program change: selects `program` and stores its values
    // (by program slot into `values`) in `order` as one write, so the audio
    // thread takes all of it or none; storeParameter writes them back into
    // the record as it goes. False when there is nothing to store: an index
    // out of range, or no bank.
    template <class Row>
    bool storeProgram(VstInt32 program, const int (&order)[NumParams], const Row (&rows)[NumParams],
                      float (&values)[NumParams]) {
        if (!programs.valid(program)) return false;
        curProgram = program;
        if (!programs.exists()) return false;
        syncStereoMonoSlots();
        programs.copyValues(program, values);
        ParameterWrite write(parameters);
        for (int index : order) storeParameter(write, index, values[rows[index].slot]);
        return true;
    }

    // Audio thread: a consistent copy of the parameters when anything was
    // set since the last take (or `everything`); calls apply(index, value,
    // copy) for every parameter set since, in `order`. False when another
    // thread was writing: the block keeps what it had and tries again next time.
    template <class Row, class Apply>
    bool takeParameters(bool everything, const int (&order)[NumParams], const Row (&rows)[NumParams],
                        Apply apply) {
        if (!everything && parameters.version() == appliedVersion) return true;
        typename SharedParameters<NumParams>::Snapshot now;
        if (!parameters.snapshot(now)) return false;
        for (int index : order) {
            const int slot = rows[index].slot;
            appliedValues[slot] = now.values[slot];
            if (everything || now.changes[slot] != appliedChanges[slot]) apply(index, now.values[slot], now);
            appliedChanges[slot] = now.changes[slot];
        }
        appliedVersion = now.version;
        return true;
    }

    const PluginBuild pluginBuild;
    float vuValue = 0.0f;
    // Mutable: reading the records first writes the settled mode into them.
    mutable ProgramBank<Program, NumPrograms> programs;

    // The shared truth: raw values in program-slot order, as last set by any
    // thread; a reset asked for by another thread.
    SharedParameters<NumParams> parameters;
    PendingReset pendingReset;

    // Audio thread only: the raw values the coefficients were derived from.
    float appliedValues[NumParams] = {};
    uint32_t appliedChanges[NumParams] = {};
    uint32_t appliedVersion = ~0u;
};
