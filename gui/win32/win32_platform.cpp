#include "gui/win32/win32_platform.h"

#include <ole2.h>
#include <windows.h>

#include "gui/win32/win32_surface.h"
#include "gui/win32/win32_window.h"
#include "gui/module_handle.h"

GuiPlatform& guiPlatform() {
    static Win32Platform platform;
    return platform;
}

std::unique_ptr<PlatformWindow> Win32Platform::createWindow(void* parent, int width, int height,
                                                            WindowClient& client) {
    return Win32Window::create(static_cast<HWND>(parent), width, height, client);
}

uint32_t Win32Platform::tickCount() { return GetTickCount(); }

void Win32Platform::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

std::unique_ptr<PlatformImage> Win32Platform::loadBitmap(int number) {
    return loadResourceBitmap(static_cast<HINSTANCE>(moduleInstanceHandle()), number);
}

std::unique_ptr<PlatformImage> Win32Platform::createMask(const PlatformImage& image, GuiColor key) {
    return createGdiMask(image, key);
}

std::unique_ptr<PlatformOffscreen> Win32Platform::createOffscreen(PlatformWindow* window, int width, int height) {
    HWND hwnd = window ? static_cast<Win32Window*>(window)->handle() : nullptr;
    HDC reference = GetDC(hwnd);  // the screen's context without a window
    if (!reference) return nullptr;
    std::unique_ptr<PlatformOffscreen> picture = GdiOffscreen::create(reference, width, height);
    ReleaseDC(hwnd, reference);
    return picture;
}

void Win32Platform::editorCreated() { OleInitialize(nullptr); }

void Win32Platform::editorDestroyed() { OleUninitialize(); }
