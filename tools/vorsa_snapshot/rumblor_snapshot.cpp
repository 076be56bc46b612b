// vorsa-snapshot-rumblor: a picture of the bass editor.
#include <new>

#include "bass/bass_effect.h"
#include "bass_editor/bass_editor.h"
#include "tools/vorsa_snapshot/snapshot.h"

namespace {
AudioEffect* createRumblor(audioMasterCallback master, PluginBuild build) {
    bassEditorFactory = createBassEditor;
    return new (std::nothrow) BassEffect(master, build);
}
}  // namespace

int main(int argc, char** argv) { return runSnapshot(argc, argv, {"rumblor", createRumblor}); }
