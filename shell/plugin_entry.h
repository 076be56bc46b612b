// The library's entry point logic, shared by every deliverable. Each deliverable
// has a tiny entry file that names its product's constructor and exports `main`.
#pragma once

#include "shell/audio_effect.h"

// Allocates and constructs one effect; null when no memory is available.
using EffectConstructor = AudioEffect* (*)(audioMasterCallback audioMaster);

// Asks the host for its version, creates one effect and returns its record, or null.
AEffect* createEffectInstance(audioMasterCallback audioMaster, EffectConstructor construct);

// The entry's second step: gives a new effect (null: none could be made) its
// editor through `attach`. An effect whose editor cannot be made is discarded,
// so a host never gets a plug-in that lacks the editor it announces.
template <class Effect>
AudioEffect* withEditor(Effect* effect, bool (*attach)(Effect& effect)) {
    if (effect && !attach(*effect)) {
        delete effect;
        return nullptr;
    }
    return effect;
}

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
