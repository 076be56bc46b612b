#include "gui/win32/win32_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "gui/win32/file_drop_target.h"
#include "gui/win32/win32_surface.h"
#include "gui/module_handle.h"

namespace {
HINSTANCE module() { return static_cast<HINSTANCE>(moduleInstanceHandle()); }
}  // namespace

// The module's window class and its live windows. When the host unloads the
// module with an editor still open, the windows are destroyed (or, on another
// thread, handed to the default procedure) and the class unregistered, so no
// message or drop ever reaches code that is gone.
class ModuleWindows {
public:
    ~ModuleWindows() {
        if (!moduleUnloadedByHost()) return;  // process exit: the system cleans up
        for (Win32Window* window : std::vector<Win32Window*>(live)) {
            HWND hwnd = window->window;
            if (!hwnd) continue;
            if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
                window->detach();
                DestroyWindow(hwnd);
            } else {
                SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
                SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
            }
        }
        if (users > 0) UnregisterClassA(name, module());
    }

    bool acquire(WNDPROC procedure) {
        if (users == 0) {
            // Named after the whole module handle: cutting it to 32 bits could
            // give two modules of one process the same class.
            std::snprintf(name, sizeof(name), "Plugin%08llx",
                          static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(module())));
            WNDCLASSA windowClass{};
            windowClass.style = CS_GLOBALCLASS;
            windowClass.lpfnWndProc = procedure;
            windowClass.hInstance = module();
            windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
            windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            windowClass.lpszClassName = name;
            if (!RegisterClassA(&windowClass)) return false;
        }
        ++users;
        return true;
    }

    void releaseClass() {
        if (users > 0 && --users == 0) {
            UnregisterClassA(name, module());
            name[0] = 0;
        }
    }

    void add(Win32Window* window) { live.push_back(window); }
    void remove(Win32Window* window) { live.erase(std::remove(live.begin(), live.end(), window), live.end()); }

    char name[32] = {};
    int users = 0;
    std::vector<Win32Window*> live;
};

namespace {
ModuleWindows windows;

// The frame's drawing surface outside a paint request: a window context for
// as long as the drawing lasts.
struct WindowDrawing : GdiSurface {
    WindowDrawing(HWND w, HDC d) : GdiSurface(d), window(w), dc(d) {}
    HWND window;
    HDC dc;
};
}  // namespace

const char* Win32Window::className() { return windows.name; }

int Win32Window::classUsers() { return windows.users; }

std::unique_ptr<Win32Window> Win32Window::create(HWND parent, int width, int height, WindowClient& client) {
    if (!parent || !IsWindow(parent) || width <= 0 || height <= 0) return nullptr;
    if (!windows.acquire(&Win32Window::windowProc)) return nullptr;
    HWND hwnd = CreateWindowExA(0, windows.name, "Window", WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent, nullptr,
                                module(), nullptr);
    if (!hwnd) {
        windows.releaseClass();
        return nullptr;
    }
    std::unique_ptr<Win32Window> window(new Win32Window(hwnd, client));
    // Pointer-sized user data: the 32-bit call would cut the pointer on 64-bit Windows.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window.get()));
    window->dropTarget = new FileDropTarget(hwnd, client);
    // Without OLE on this thread the editor still works, only not as a drop site.
    if (RegisterDragDrop(hwnd, window->dropTarget) != S_OK) {
        window->dropTarget->Release();
        window->dropTarget = nullptr;
    }
    return window;
}

Win32Window::Win32Window(HWND w, WindowClient& c) : window(w), client(c) { windows.add(this); }

Win32Window::~Win32Window() {
    if (window) {
        HWND hwnd = window;
        detach();
        DestroyWindow(hwnd);
    }
    windows.remove(this);
    windows.releaseClass();
}

void Win32Window::detach() {
    if (!window) return;
    if (dropTarget) {
        RevokeDragDrop(window);
        dropTarget->disconnect();
        dropTarget->Release();
        dropTarget = nullptr;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    window = nullptr;
}

DrawSurface* Win32Window::beginDrawing() {
    if (!window) return nullptr;
    HDC dc = GetDC(window);
    if (!dc) return nullptr;
    auto* drawing = new (std::nothrow) WindowDrawing(window, dc);
    if (!drawing) {
        ReleaseDC(window, dc);
        return nullptr;
    }
    return drawing;
}

void Win32Window::endDrawing(DrawSurface* surface) {
    if (!surface) return;
    auto* drawing = static_cast<WindowDrawing*>(surface);
    HWND hwnd = drawing->window;
    HDC dc = drawing->dc;
    delete drawing;
    ReleaseDC(hwnd, dc);
}

int Win32Window::buttonState() {
    auto down = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
    // The keys name physical buttons; with swapped buttons the primary one is the right.
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    int state = 0;
    if (down(swapped ? VK_RBUTTON : VK_LBUTTON)) state |= ButtonLeft;
    if (down(VK_MBUTTON)) state |= ButtonMiddle;
    if (down(swapped ? VK_LBUTTON : VK_RBUTTON)) state |= ButtonRight;
    if (down(VK_SHIFT)) state |= KeyShift;
    if (down(VK_CONTROL)) state |= KeyControl;
    if (down(VK_MENU)) state |= KeyAlt;
    return state;
}

GuiPoint Win32Window::cursorPosition() {
    POINT p{0, 0};
    if (!window || !GetCursorPos(&p)) return GuiPoint();
    ScreenToClient(window, &p);
    return GuiPoint(p.x, p.y);
}

void Win32Window::flushOnePaint() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

void Win32Window::paint(HDC dc) {
    GdiSurface surface(dc);
    client.paintWindow(surface);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window;
    switch (message) {
    case WM_PAINT: {
        RECT area;
        if (!GetUpdateRect(hwnd, &area, FALSE) || IsRectEmpty(&area)) return 0;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc) paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        // For hosts and tools that take a picture of the window (PrintWindow).
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        client.buttonPressed(GuiPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSEWHEEL:
        client.wheelTurned(static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA);
        return 0;
    case WM_DESTROY:
        // Destroyed with its parent: the frame closes; nothing here is touched again.
        detach();
        client.windowDestroyed();
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
