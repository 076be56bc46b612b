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

// The client-area pixels of `window`, read through a 32-bit DIB, or those of
// a 24-bit BMP file.
class WindowPixels {
public:
    explicit WindowPixels(HWND window);
    // Empty (0 x 0) when the file cannot be read.
    static WindowPixels fromBmp(const std::string& path);
    int width() const { return w; }
    int height() const { return h; }
    GuiColor at(int x, int y) const;
    // Writes a 24-bit BMP file (for looking at a failure, or comparing on Linux).
    bool writeBmp(const std::string& path) const;

private:
    WindowPixels() = default;
    int w = 0;
    int h = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down
};

// The share of `tile` x `tile` squares whose mean colours differ by at most
// `tolerance` in every channel; 0 when the sizes differ.
double matchingTiles(const WindowPixels& a, const WindowPixels& b, int tile, int tolerance);

// Real mouse input through SendInput, played as a user would drag: the steps
// up to the press at once, then one step for each call of next(), which the
// test makes from the host's idle call (a drag loop gives the host its idle
// calls), so every move happens while the control tracks the mouse.
struct InputStep {
    POINT where;
    bool leftDown;
};

class MouseScript {
public:
    explicit MouseScript(std::vector<InputStep> steps) : steps(std::move(steps)) {}
    ~MouseScript();
    // Plays the steps up to the press, then dispatches messages until every
    // step is played or `timeoutMs` passed (then the button is let go).
    void run(DWORD timeoutMs = 5000);
    void next();
    bool done() const { return played >= steps.size(); }

private:
    void send(const InputStep& step);
    std::vector<InputStep> steps;
    size_t played = 0;
    bool down = false;
};

// A point of `window`'s client area in screen coordinates.
POINT screenPoint(HWND window, int x, int y);

}  // namespace wine_test
