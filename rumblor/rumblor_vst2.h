// Rumblor's VST 2 glue: its editor's host over the bass effect, and the
// composition every Rumblor module, the snapshot tool and the tests share.
#pragma once

#include "bass/bass_effect.h"
#include "common/vst2/vst2_editor.h"
#include "shell/plugin_build.h"

// What the bass editor reads besides the parameters: the effective values and
// the gain needle with the overload light.
class RumblorEditorHost : public Vst2EditorHost {
public:
    explicit RumblorEditorHost(BassEffect& effect) : Vst2EditorHost(effect, &effect.editorOpen), bass(effect) {}

    float effectiveValue(int index) const override { return bass.getEffectiveValue(index); }
    float stereoMonoValue() const override { return bass.getEffectiveValue(bass_params::kStereoMono); }
    // The gain needle's value and the overload light.
    void readMeters(float* values, int count) override;

private:
    BassEffect& bass;
};

// Gives `effect` its editor; false when the editor cannot be made.
bool attachRumblorEditor(BassEffect& effect);
// The effect for `build` with its editor; null when either cannot be made.
AudioEffect* makeRumblor(audioMasterCallback audioMaster, PluginBuild build);
