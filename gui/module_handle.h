// The loaded module's identity, known from the moment the library is loaded.
// The Windows backend names its window class after it, loads the bitmap
// resources from it and, when the host unloads the module, cleans up after
// the editors' windows.
#pragma once

// Process-wide handle of the loaded module (the library's load address on Linux,
// its HINSTANCE on Windows), set when the library is loaded. The editors name
// their window class after it and load their bitmaps from it.
void* moduleInstanceHandle();
// True once the host has unloaded the module while the process goes on (a
// FreeLibrary on Windows); false during a process exit and on Linux.
bool moduleUnloadedByHost();
