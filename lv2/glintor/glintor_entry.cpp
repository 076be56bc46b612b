// The Glintor bundle's plug-in library: the stereo and the mono build.
#include "lv2/glintor/glintor_lv2.h"
#include "lv2/lv2_instance.h"

namespace {
const lv2_plugin::BuildEntry kStereo = {&glintor_lv2::kProduct, PluginBuild::Stereo, glintor_lv2::adapt};
const lv2_plugin::BuildEntry kMono = {&glintor_lv2::kProduct, PluginBuild::Mono, glintor_lv2::adapt};
const lv2_plugin::Descriptor kDescriptors[] = {
    lv2_plugin::makeDescriptor(kStereo, "https://vorsa-audio.example/plugins/glintor"),
    lv2_plugin::makeDescriptor(kMono, "https://vorsa-audio.example/plugins/glintor-mono"),
};
}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < 2 ? &kDescriptors[index].lv2 : nullptr;
}
