// The editor's child window on Windows: one window class per module, named
// after the module handle, registered by the first window and unregistered by
// the last; paint, press and wheel messages go to the window's client.
#pragma once

#include <windows.h>

#include "gui/platform.h"

class FileDropTarget;

class Win32Window : public PlatformWindow {
public:
    // Null when `parent` is not a window or the window cannot be made.
    static std::unique_ptr<Win32Window> create(HWND parent, int width, int height, WindowClient& client);
    ~Win32Window() override;

    DrawSurface* beginDrawing() override;
    void endDrawing(DrawSurface* surface) override;
    int buttonState() override;
    GuiPoint cursorPosition() override;
    // The host's message loop delivers the messages; nothing to drain here.
    void processEvents() override {}
    void flushOnePaint() override;

    HWND handle() const { return window; }
    WindowClient& windowClient() const { return client; }
    bool isAlive() const { return window != nullptr; }

    // The window class of this module while any window uses it ("" otherwise).
    static const char* className();
    static int classUsers();

private:
    Win32Window(HWND window, WindowClient& client);
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc);
    // Revokes the drop target and forgets the window (it is being destroyed).
    void detach();

    HWND window;
    WindowClient& client;
    FileDropTarget* dropTarget = nullptr;
    friend class ModuleWindows;
};
