// The Rumblor bundle's UI library: the bass editor over the ports of the
// stereo and the mono build.
#include <memory>

#include "bass_dsp/bass_mapping.h"
#include "bass_dsp/bass_parameters.h"
#include "bass_editor/bass_editor.h"
#include "lv2/lv2_ui.h"
#include "lv2/rumblor/rumblor_ports.h"

namespace {

float effective(int index, const float* v, PluginBuild build) {
    return bass_mapping::effectiveValue(index, v[index], build == PluginBuild::Mono);
}

// An undecided port value reads as stereo until the first block decides; the
// mono build's instance always decides mono, which its input port cannot
// tell the UI.
float stereoMono(const float* v, PluginBuild build) {
    return build == PluginBuild::Mono ? 0.0f : effective(bass_params::kStereoMono, v, build);
}

std::unique_ptr<GuiEditorBase> makeEditor(EditorHost& host) { return std::make_unique<BassEditor>(host); }

const lv2_ui::UiEntry kStereo = {PluginBuild::Stereo, rumblor_lv2::kRules, bass_params::kNumParams,
                                 rumblor_lv2::kNumMeters, effective, stereoMono, makeEditor};
const lv2_ui::UiEntry kMono = {PluginBuild::Mono, rumblor_lv2::kRules, bass_params::kNumParams,
                               rumblor_lv2::kNumMeters, effective, stereoMono, makeEditor};
const lv2_ui::Descriptor kDescriptors[] = {
    lv2_ui::makeDescriptor(kStereo, "https://vorsa-audio.example/plugins/rumblor/ui"),
    lv2_ui::makeDescriptor(kMono, "https://vorsa-audio.example/plugins/rumblor-mono/ui"),
};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index < 2 ? &kDescriptors[index].lv2 : nullptr;
}
