// Screenshots of a product's editor without a display: the effect is made in
// this process, its editor opened on the headless backend, optionally after
// some of the demo music went through it (so its meters show something), and
// the editor's window is written as a PNG. One program per product links that
// product's bitmaps; this is their shared part.
#pragma once

#include "shell/plugin_build.h"
#include "shell/vst2_abi.h"

class AudioEffect;

struct SnapshotProduct {
    const char* name;  // as in the program's usage line
    // The effect with its editor; null when it cannot be made.
    AudioEffect* (*create)(audioMasterCallback master, PluginBuild build);
};

// Parses the command line, makes the picture; the exit code of the program.
int runSnapshot(int argc, char** argv, const SnapshotProduct& product);
