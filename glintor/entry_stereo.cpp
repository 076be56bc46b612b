// Entry point of the treble enhancer's stereo build.
#include <new>

#include "shell/plugin_entry.h"
#include "treble/treble_effect.h"
#if defined(VORSA_WITH_EDITOR)
#include "glintor/glintor_vst2.h"
#endif

namespace {
AudioEffect* construct(audioMasterCallback audioMaster) {
#if defined(VORSA_WITH_EDITOR)
    return makeGlintor(audioMaster, PluginBuild::Stereo);
#else
    return new (std::nothrow) TrebleEffect(audioMaster, PluginBuild::Stereo);
#endif
}
}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
