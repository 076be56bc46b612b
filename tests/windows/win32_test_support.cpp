#include "tests/windows/win32_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

WindowPixels WindowPixels::fromBmp(const std::string& path) {
    WindowPixels picture;
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return picture;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    bool ok = std::fread(&file, sizeof(file), 1, in) == 1 && std::fread(&header, sizeof(header), 1, in) == 1 &&
              file.bfType == 0x4d42 && header.biBitCount == 24 && header.biWidth > 0 && header.biHeight > 0;
    if (ok) {
        const int w = header.biWidth, h = header.biHeight, rowBytes = (w * 3 + 3) / 4 * 4;
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
        picture.pixels.resize(size_t(w) * h);
        std::fseek(in, static_cast<long>(file.bfOffBits), SEEK_SET);
        for (int y = h - 1; y >= 0 && ok; --y) {
            ok = std::fread(row.data(), 1, row.size(), in) == row.size();
            for (int x = 0; x < w && ok; ++x)
                picture.pixels[size_t(y) * w + x] =
                    uint32_t(row[x * 3 + 2]) << 16 | uint32_t(row[x * 3 + 1]) << 8 | row[x * 3];
        }
        if (ok) {
            picture.w = w;
            picture.h = h;
        }
    }
    std::fclose(in);
    return picture;
}

double matchingTiles(const WindowPixels& a, const WindowPixels& b, int tile, int tolerance) {
    if (a.width() != b.width() || a.height() != b.height() || a.width() == 0) return 0.0;
    int tiles = 0, matching = 0;
    for (int top = 0; top < a.height(); top += tile) {
        for (int left = 0; left < a.width(); left += tile) {
            long sum[2][3] = {};
            for (int y = top; y < std::min(top + tile, a.height()); ++y)
                for (int x = left; x < std::min(left + tile, a.width()); ++x)
                    for (int k = 0; k < 2; ++k) {
                        GuiColor c = (k == 0 ? a : b).at(x, y);
                        sum[k][0] += c.red;
                        sum[k][1] += c.green;
                        sum[k][2] += c.blue;
                    }
            const long count = long(std::min(tile, a.height() - top)) * std::min(tile, a.width() - left);
            bool same = true;
            for (int channel = 0; channel < 3; ++channel)
                same = same && std::labs(sum[0][channel] - sum[1][channel]) <= tolerance * count;
            ++tiles;
            matching += same ? 1 : 0;
        }
    }
    return double(matching) / tiles;
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

MouseScript::~MouseScript() {
    if (down) send({steps.back().where, false});
}

void MouseScript::send(const InputStep& step) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Absolute coordinates run over 65536 units across the primary screen.
    input.mi.dx = ((step.where.x << 16) + screenW - 1) / screenW;
    input.mi.dy = ((step.where.y << 16) + screenH - 1) / screenH;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (step.leftDown != down) input.mi.dwFlags |= step.leftDown ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    down = step.leftDown;
    SendInput(1, &input, sizeof(input));
}

void MouseScript::next() {
    if (!done()) send(steps[played++]);
}

void MouseScript::run(DWORD timeoutMs) {
    while (!done()) {
        const bool press = steps[played].leftDown && !down;
        next();
        pumpMessages(20);
        if (press) break;
    }
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) pumpMessages(10);
    if (down) send({steps.back().where, false});
    pumpMessages(100);
}

}  // namespace wine_test
