// The Rumblor bundle's plug-in library: the stereo and the mono build.
#include "lv2/rumblor/rumblor_lv2.h"
#include "lv2/lv2_instance.h"

namespace {
const lv2_plugin::BuildEntry kStereo = {&rumblor_lv2::kProduct, PluginBuild::Stereo, rumblor_lv2::adapt};
const lv2_plugin::BuildEntry kMono = {&rumblor_lv2::kProduct, PluginBuild::Mono, rumblor_lv2::adapt};
const lv2_plugin::Descriptor kDescriptors[] = {
    lv2_plugin::makeDescriptor(kStereo, "https://vorsa-audio.example/plugins/rumblor"),
    lv2_plugin::makeDescriptor(kMono, "https://vorsa-audio.example/plugins/rumblor-mono"),
};
}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < 2 ? &kDescriptors[index].lv2 : nullptr;
}
