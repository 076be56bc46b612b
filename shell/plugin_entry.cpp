#include "shell/plugin_entry.h"

#if defined(_WIN32)
#include <windows.h>
#else
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

#if defined(_WIN32)
namespace {
HINSTANCE loadedModuleHandle = nullptr;
}  // namespace

// The loader's start-up notification: keep the handle, nothing else.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) loadedModuleHandle = instance;
    return TRUE;
}

void* moduleInstanceHandle() {
    // A program (a test linking the toolkit directly) gets no DllMain call:
    // take the module that holds this code.
    if (!loadedModuleHandle) {
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&loadedModuleHandle), &loadedModuleHandle);
    }
    return loadedModuleHandle;
}
#endif
