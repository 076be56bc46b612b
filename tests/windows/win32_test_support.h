// Windows-side helpers of the Wine tests: a host window of the test's own,
// message pumping, reading a window's pixels back and real mouse input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/gui_types.h"

namespace wine_test {

// A visible top-level window standing in for a host's editor window.
class HostWindow {
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HWND handle() const { return window; }
    // Our editor's child window (the first child), or null.
    HWND child() const { return GetWindow(window, GW_CHILD); }
    void destroy();

private:
    HWND window;
};

// Dispatches every pending message of this thread for at least `ms` milliseconds.
void pumpMessages(DWORD ms);

// The client-area pixels of `window`, read through a 32-bit DIB.
class WindowPixels {
public:
    explicit WindowPixels(HWND window);
    int width() const { return w; }
    int height() const { return h; }
    GuiColor at(int x, int y) const;
    // Writes a 24-bit BMP file (for looking at a failure, or comparing on Linux).
    bool writeBmp(const std::string& path) const;

private:
    int w = 0;
    int h = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down
};

// Plays a list of mouse steps (screen positions, left button held or not) as
// real input through SendInput, on a thread of its own, while this thread
// keeps dispatching messages; returns when all steps are played.
struct InputStep {
    POINT where;
    bool leftDown;
};
void playMouse(const std::vector<InputStep>& steps, DWORD msPerStep);

// A point of `window`'s client area in screen coordinates.
POINT screenPoint(HWND window, int x, int y);

}  // namespace wine_test
