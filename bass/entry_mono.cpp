// Entry point of the bass enhancer's mono build.
#include <new>

#include "bass/bass_effect.h"
#ifdef VORSA_WITH_EDITOR
#include "bass_editor/bass_editor.h"
#endif
#include "shell/plugin_entry.h"

namespace {
AudioEffect* construct(audioMasterCallback audioMaster) {
#ifdef VORSA_WITH_EDITOR
    bassEditorFactory = createBassEditor;
#endif
    return new (std::nothrow) BassEffect(audioMaster, PluginBuild::Mono);
}
}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
