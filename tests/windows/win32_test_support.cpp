#include "tests/windows/win32_test_support.h"

#include <cstdio>
#include <thread>

namespace wine_test {

namespace {
const char* hostClass() {
    static const char* name = [] {
        WNDCLASSA host{};
        host.lpfnWndProc = DefWindowProcA;
        host.hInstance = GetModuleHandleA(nullptr);
        host.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        host.lpszClassName = "VorsaTestHost";
        RegisterClassA(&host);
        return "VorsaTestHost";
    }();
    return name;
}
}  // namespace

HostWindow::HostWindow(int width, int height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window = CreateWindowExA(0, hostClass(), "Vorsa test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                             40, 40, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(window);
    pumpMessages(50);
}

HostWindow::~HostWindow() { destroy(); }

void HostWindow::destroy() {
    if (window) DestroyWindow(window);
    window = nullptr;
}

void pumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

WindowPixels::WindowPixels(HWND window) {
    RECT client;
    if (!window || !GetClientRect(window, &client)) return;
    w = client.right;
    h = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    pixels.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + size_t(w) * h);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(window, windowDc);
}

GuiColor WindowPixels::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return GuiColor{0, 0, 0, 255};
    uint32_t p = pixels[size_t(y) * w + x];
    return GuiColor{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 0};
}

bool WindowPixels::writeBmp(const std::string& path) const {
    const int rowBytes = (w * 3 + 3) / 4 * 4;
    const uint32_t dataBytes = uint32_t(rowBytes) * h;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4d42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + dataBytes;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = dataBytes;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&header, sizeof(header), 1, out);
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            GuiColor c = at(x, y);
            row[size_t(x) * 3] = c.blue;
            row[size_t(x) * 3 + 1] = c.green;
            row[size_t(x) * 3 + 2] = c.red;
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

POINT screenPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

void playMouse(const std::vector<InputStep>& steps, DWORD msPerStep) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    volatile bool done = false;
    std::thread player([&] {
        bool down = false;
        for (const InputStep& step : steps) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            // Absolute coordinates run over 65536 units across the primary screen.
            input.mi.dx = ((step.where.x << 16) + screenW - 1) / screenW;
            input.mi.dy = ((step.where.y << 16) + screenH - 1) / screenH;
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            if (step.leftDown != down) input.mi.dwFlags |= step.leftDown ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
            down = step.leftDown;
            SendInput(1, &input, sizeof(input));
            Sleep(msPerStep);
        }
        done = true;
    });
    while (!done) pumpMessages(10);
    player.join();
    pumpMessages(100);
}

}  // namespace wine_test
