// The library's entry point logic, shared by every deliverable. Each deliverable
// has a tiny entry file that names its product's constructor and exports `main`.
#pragma once

#include "shell/audio_effect.h"

// Set by a product constructor that could not create its editor; read by the
// entry point right after construction.
extern bool editorCreationFailed;

// Allocates and constructs one effect; null when no memory is available.
using EffectConstructor = AudioEffect* (*)(audioMasterCallback audioMaster);

// Asks the host for its version, creates one effect and returns its record, or null.
AEffect* createEffectInstance(audioMasterCallback audioMaster, EffectConstructor construct);

// Process-wide handle of the loaded module (the library's load address on Linux,
// its HINSTANCE on Windows), set when the library is loaded. The editors name
// their window class after it and load their bitmaps from it.
void* moduleInstanceHandle();
// True once the host has unloaded the module while the process goes on (a
// FreeLibrary on Windows); false during a process exit and on Linux.
bool moduleUnloadedByHost();

// Exported symbol visibility for the entry files.
#if defined(_WIN32)
#define VORSA_EXPORT extern "C" __declspec(dllexport)
#else
#define VORSA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Defines the exported entry points of a deliverable: `main` under its assembler
// name (C++ reserves the name `main` for the program entry) and, on Linux, the
// same function as `VSTPluginMain` for hosts that look only for that name.
#define VORSA_DEFINE_MAIN_ENTRY(constructFunction)                                                \
    VORSA_EXPORT AEffect* vorsaMainEntry(audioMasterCallback audioMaster) __asm__("main");         \
    AEffect* vorsaMainEntry(audioMasterCallback audioMaster) {                                     \
        return createEffectInstance(audioMaster, constructFunction);                               \
    }
#if defined(_WIN32)
#define VORSA_DEFINE_ENTRY_POINTS(constructFunction) VORSA_DEFINE_MAIN_ENTRY(constructFunction)
#else
#define VORSA_DEFINE_ENTRY_POINTS(constructFunction)                                              \
    VORSA_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {                         \
        return createEffectInstance(audioMaster, constructFunction);                               \
    }                                                                                              \
    VORSA_DEFINE_MAIN_ENTRY(constructFunction)
#endif
