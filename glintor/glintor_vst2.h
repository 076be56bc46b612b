// Glintor's VST 2 glue: its editor's host over the treble effect, and the
// composition every Glintor module, the snapshot tool and the tests share.
#pragma once

#include "common/vst2/vst2_editor.h"
#include "shell/plugin_build.h"
#include "treble/treble_effect.h"

// What the treble editor reads besides the parameters: the display values,
// the mode the processing decided and the two overload meters.
class GlintorEditorHost : public Vst2EditorHost {
public:
    explicit GlintorEditorHost(TrebleEffect& effect) : Vst2EditorHost(effect, &effect.editorOpen), treble(effect) {}

    float effectiveValue(int index) const override { return treble.getEffectiveValue(index); }
    float stereoMonoValue() const override { return treble.stereoMonoEffective(); }
    // Over-enhanced and peak-over; marks the meters as polled.
    void readMeters(float* values, int count) override;

private:
    TrebleEffect& treble;
};

// Gives `effect` its editor; false when the editor cannot be made.
bool attachGlintorEditor(TrebleEffect& effect);
// The effect for `build` with its editor; null when either cannot be made.
AudioEffect* makeGlintor(audioMasterCallback audioMaster, PluginBuild build);
