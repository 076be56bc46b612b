#include "glintor/glintor_vst2.h"

#include <new>

#include "shell/plugin_entry.h"
#include "treble_editor/treble_editor.h"

void GlintorEditorHost::readMeters(float* values, int count) {
    float meters[TrebleEditor::kNumMeters] = {};
    treble.pollMeters(meters[TrebleEditor::kOverEnhancedMeter], meters[TrebleEditor::kPeakOverMeter]);
    for (int i = 0; i < count; ++i) values[i] = i < TrebleEditor::kNumMeters ? meters[i] : 0.0f;
}

bool attachGlintorEditor(TrebleEffect& effect) { return attachEditor<TrebleEditor, GlintorEditorHost>(effect); }

AudioEffect* makeGlintor(audioMasterCallback audioMaster, PluginBuild build) {
    return withEditor(new (std::nothrow) TrebleEffect(audioMaster, build), attachGlintorEditor);
}
