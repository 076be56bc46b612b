// The loaded module's identity, known from the moment the library is loaded:
// the entry point, the editors' window class and their bitmap resources need
// it, so it sits below both the shell and the toolkit.
#pragma once

// Process-wide handle of the loaded module (the library's load address on Linux,
// its HINSTANCE on Windows), set when the library is loaded. The editors name
// their window class after it and load their bitmaps from it.
void* moduleInstanceHandle();
// True once the host has unloaded the module while the process goes on (a
// FreeLibrary on Windows); false during a process exit and on Linux.
bool moduleUnloadedByHost();
