// The Linux editor platform: a child window in the host's X11 window on a
// display connection of our own, drawn with Cairo into an off-screen image
// that is copied to the window. Events are read only when the editor idles
// or polls during a drag; no thread is started.
#pragma once

#include "gui/platform.h"

class X11Platform : public GuiPlatform {
public:
    // `parent` is the host's X11 Window id.
    std::unique_ptr<PlatformWindow> createWindow(void* parent, int width, int height, WindowClient& client) override;
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
    std::unique_ptr<PlatformImage> loadBitmap(int number) override;
    std::unique_ptr<PlatformImage> createMask(const PlatformImage& image, GuiColor key) override;
    std::unique_ptr<PlatformOffscreen> createOffscreen(PlatformWindow* window, int width, int height) override;
};
