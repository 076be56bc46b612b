// Entry point of the treble enhancer's mono build.
#include <new>

#include "shell/plugin_entry.h"
#include "treble/treble_effect.h"
#include "treble_editor/treble_editor.h"

namespace {
AudioEffect* construct(audioMasterCallback audioMaster) {
#if defined(VORSA_WITH_EDITOR)
    trebleEditorFactory = createTrebleEditor;
#endif
    return new (std::nothrow) TrebleEffect(audioMaster, PluginBuild::Mono);
}
}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
