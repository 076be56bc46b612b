#include "rumblor/rumblor_vst2.h"

#include <new>

#include "bass_editor/bass_editor.h"
#include "shell/plugin_entry.h"

void RumblorEditorHost::readMeters(float* values, int count) {
    float meters[BassEditor::kNumMeters] = {};
    bass.readMeters(meters[BassEditor::kGainMeter], meters[BassEditor::kOverloadMeter]);
    for (int i = 0; i < count; ++i) values[i] = i < BassEditor::kNumMeters ? meters[i] : 0.0f;
}

bool attachRumblorEditor(BassEffect& effect) { return attachEditor<BassEditor, RumblorEditorHost>(effect); }

AudioEffect* makeRumblor(audioMasterCallback audioMaster, PluginBuild build) {
    return withEditor(new (std::nothrow) BassEffect(audioMaster, build), attachRumblorEditor);
}
