// vorsa-snapshot-glintor: a picture of the treble editor.
#include <new>

#include "tools/vorsa_snapshot/snapshot.h"
#include "treble/treble_effect.h"
#include "treble_editor/treble_editor.h"

namespace {
AudioEffect* createGlintor(audioMasterCallback master, PluginBuild build) {
    trebleEditorFactory = createTrebleEditor;
    return new (std::nothrow) TrebleEffect(master, build);
}
}  // namespace

int main(int argc, char** argv) { return runSnapshot(argc, argv, {"glintor", createGlintor}); }
