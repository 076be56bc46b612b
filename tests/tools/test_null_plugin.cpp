// A plug-in whose entry point always answers null, as one that refuses to start.
#include "shell/plugin_entry.h"

namespace {
AudioEffect* refuse(audioMasterCallback) { return nullptr; }
}  // namespace

VORSA_DEFINE_ENTRY_POINTS(refuse)
