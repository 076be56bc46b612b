// Entry point of the treble enhancer's stereo build.
#include <new>

#include "shell/plugin_entry.h"
#include "treble/treble_effect.h"

namespace {
AudioEffect* construct(audioMasterCallback audioMaster) {
    return new (std::nothrow) TrebleEffect(audioMaster, PluginBuild::Stereo);
}
}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
