#include "shell/plugin_entry.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

bool editorCreationFailed = false;

AEffect* createEffectInstance(audioMasterCallback audioMaster, EffectConstructor construct) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    editorCreationFailed = false;
    AudioEffect* effect = construct(audioMaster);
    if (!effect) return nullptr;
    if (editorCreationFailed) {
        delete effect;
        return nullptr;
    }
    return effect->getAeffect();
}

#if !defined(_WIN32)
namespace {
void* loadedModuleHandle = nullptr;

// Runs when the library is loaded, as the operating system's start-up notification would.
__attribute__((constructor)) void storeModuleHandle() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&storeModuleHandle), &info) != 0) loadedModuleHandle = info.dli_fbase;
}
}  // namespace

void* moduleInstanceHandle() { return loadedModuleHandle; }
#endif
