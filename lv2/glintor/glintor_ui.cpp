// The Glintor bundle's UI library: the treble editor over the ports of the
// stereo and the mono build.
#include <memory>

#include "lv2/glintor/glintor_ports.h"
#include "lv2/lv2_ui.h"
#include "treble_dsp/treble_mapping.h"
#include "treble_dsp/treble_parameters.h"
#include "treble_editor/treble_editor.h"

namespace {

using namespace treble_params;

// The rate the effect's display values start from; the one value it changes,
// Freq's limit below fs / 2.75, lies above the knob's top at any usual rate.
constexpr double kDisplayRate = 44100.0;

float stereoMono(const float* v, PluginBuild build) {
    return build == PluginBuild::Mono ? 1.0f : (v[kStereoMono] >= 0.0f ? v[kStereoMono] : 0.0f);
}

// As the effect derives its display values: the processing value the
// parameter's table row names, from the treble mapping.
float effective(int index, const float* v, PluginBuild build) {
    if (index == kStereoMono) return stereoMono(v, build);
    const auto field = kParameters[index].effective;
    if (!field) return v[index];
    TrebleCoefficients c = {};
    c.bandQ = 1.0f;
    treble_mapping::applyParameter(c, index, v[index], kDisplayRate, v[kFirstOut]);
    return c.*field;
}

std::unique_ptr<GuiEditorBase> makeEditor(EditorHost& host) { return std::make_unique<TrebleEditor>(host); }

const lv2_ui::UiEntry kStereo = {PluginBuild::Stereo, glintor_lv2::kRules, kNumParams, glintor_lv2::kNumMeters,
                                 effective, stereoMono, makeEditor};
const lv2_ui::UiEntry kMono = {PluginBuild::Mono, glintor_lv2::kRules, kNumParams, glintor_lv2::kNumMeters,
                               effective, stereoMono, makeEditor};
const lv2_ui::Descriptor kDescriptors[] = {
    lv2_ui::makeDescriptor(kStereo, "https://vorsa-audio.example/plugins/glintor/ui"),
    lv2_ui::makeDescriptor(kMono, "https://vorsa-audio.example/plugins/glintor-mono/ui"),
};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index < 2 ? &kDescriptors[index].lv2 : nullptr;
}
