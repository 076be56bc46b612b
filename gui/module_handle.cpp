#include "gui/module_handle.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

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

bool moduleUnloadedByHost() { return false; }
#endif

#if defined(_WIN32)
namespace {
HINSTANCE loadedModuleHandle = nullptr;
bool unloadedByHost = false;
}  // namespace

// The loader's notifications: keep the handle, and note whether a detach is
// the host freeing the library (no reserved pointer) rather than the process
// ending; the editor windows' clean-up, which runs right after, needs to know.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) loadedModuleHandle = instance;
    if (reason == DLL_PROCESS_DETACH) unloadedByHost = reserved == nullptr;
    return TRUE;
}

bool moduleUnloadedByHost() { return unloadedByHost; }

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
