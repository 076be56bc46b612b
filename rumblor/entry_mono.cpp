// Entry point of the bass enhancer's mono build.
#include <new>

#include "bass/bass_effect.h"
#include "bass_editor/bass_editor.h"
#include "shell/plugin_entry.h"

namespace {
AudioEffect* construct(audioMasterCallback audioMaster) {
    bassEditorFactory = createBassEditor;
    return new (std::nothrow) BassEffect(audioMaster, PluginBuild::Mono);
}
}  // namespace

VORSA_DEFINE_ENTRY_POINTS(construct)
