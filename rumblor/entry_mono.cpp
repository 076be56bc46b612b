// Entry point of the bass enhancer's mono build.
#include "rumblor/rumblor_vst2.h"
#include "shell/plugin_entry.h"

namespace {
AudioEffect* construct(audioMasterCallback audioMaster) { return makeRumblor(audioMaster, PluginBuild::Mono); }
}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
