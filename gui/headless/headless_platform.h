// The platform without a display, for tests and screenshots: windows are
// Cairo images, the mouse follows a script and the clock only moves when
// told to (or by sleeping).
//
// The scripted mouse: scriptMouse() sets a list of steps (position plus
// GuiButtonState bits). Reading the cursor position is the poll that takes
// the next step; the button state is that of the step taken last. After the
// last step the buttons read as released, so every drag loop ends.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/cairo/cairo_drawing.h"
#include "gui/platform.h"

struct MouseStep {
    GuiPoint where;
    int state;
};

class HeadlessWindow : public PlatformWindow {
public:
    HeadlessWindow(class HeadlessPlatform& platform, void* parent, cairo_surface_t* image, WindowClient& client);
    ~HeadlessWindow() override;

    DrawSurface* beginDrawing() override;
    void endDrawing(DrawSurface* surface) override;
    int buttonState() override;
    GuiPoint cursorPosition() override;
    void processEvents() override;
    void flushOnePaint() override;

    // Test controls.
    void requestPaint() { paintPending = true; }
    bool isPaintPending() const { return paintPending; }
    // Delivers a press at the first step of the mouse script, which becomes the current step.
    void press();
    void turnWheel(float distance) { client.wheelTurned(distance); }
    bool drop(void* items, int count, int type, GuiPoint where) {
        return client.itemsDropped(items, count, type, where);
    }
    // As if the system destroyed the window together with its parent.
    void destroyBySystem();

    int width() const;
    int height() const;
    GuiColor pixel(int x, int y) const;
    cairo_surface_t* image() const { return picture; }
    bool writePng(const std::string& path) const;
    void* parent() const { return parentWindow; }
    int paintCount() const { return paints; }
    int drawingsInUse() const { return openDrawings; }

private:
    void paint();

    HeadlessPlatform& platform;
    void* parentWindow;
    cairo_surface_t* picture;
    WindowClient& client;
    bool paintPending = true;  // a new window asks to be painted, like a shown one
    bool destroyed = false;
    int paints = 0;
    int openDrawings = 0;
};

class HeadlessPlatform : public GuiPlatform {
public:
    std::unique_ptr<PlatformWindow> createWindow(void* parent, int width, int height, WindowClient& client) override;
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
    std::unique_ptr<PlatformImage> loadBitmap(int number) override;
    std::unique_ptr<PlatformImage> createMask(const PlatformImage& image, GuiColor key) override;
    std::unique_ptr<PlatformOffscreen> createOffscreen(PlatformWindow* window, int width, int height) override;

    // Mouse.
    void scriptMouse(std::vector<MouseStep> steps);
    int mouseState() const;
    GuiPoint mousePosition() const;
    GuiPoint takeMouseStep();
    void beginPress() {
        current = 0;
        exhausted = script.empty();
    }
    size_t mouseStepsTaken() const { return current < 0 ? 0 : size_t(current) + 1; }

    // Clock.
    void setTicks(uint32_t t) { ticks = t; }
    uint32_t ticksNow() const { return ticks; }
    // Added to the clock after every tickCount read (0: time stands still).
    void setTicksPerRead(uint32_t t) { ticksPerRead = t; }
    int sleepCount() const { return sleeps; }

    // Failures to simulate.
    bool failWindows = false;
    bool failDrawing = false;
    bool failOffscreen = false;
    bool failBitmaps = false;

    int masksMade() const { return masks; }
    const std::vector<HeadlessWindow*>& windows() const { return liveWindows; }
    HeadlessWindow* lastWindow() const { return liveWindows.empty() ? nullptr : liveWindows.back(); }

    // Back to the initial state (no script, clock at 0, no failures); windows stay.
    void reset();

private:
    friend class HeadlessWindow;
    std::vector<MouseStep> script;
    int current = -1;
    bool exhausted = false;
    uint32_t ticks = 0;
    uint32_t ticksPerRead = 0;
    int sleeps = 0;
    int masks = 0;
    std::vector<HeadlessWindow*> liveWindows;
};

HeadlessPlatform& headlessPlatform();
