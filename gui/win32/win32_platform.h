// The Windows editor platform: a child window of the host's window drawn with
// GDI, bitmaps from the module's resources, OLE set up per editor.
#pragma once

#include "gui/platform.h"

class Win32Platform : public GuiPlatform {
public:
    // `parent` is the host's HWND.
    std::unique_ptr<PlatformWindow> createWindow(void* parent, int width, int height, WindowClient& client) override;
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
    std::unique_ptr<PlatformImage> loadBitmap(int number) override;
    std::unique_ptr<PlatformImage> createMask(const PlatformImage& image, GuiColor key) override;
    std::unique_ptr<PlatformOffscreen> createOffscreen(PlatformWindow* window, int width, int height) override;
    void editorCreated() override;
    void editorDestroyed() override;
};
