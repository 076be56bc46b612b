// The one interface through which the toolkit reaches the operating system:
// windows and their paint and press events, the live mouse and modifier state,
// the cursor, ticks and sleep, drawing surfaces, off-screen pictures and the
// module's bitmap resources. Each backend (headless, x11, later win32)
// implements it; nothing outside the backends includes a system header.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/gui_types.h"

// A picture owned by the platform: a loaded resource, a mask or the pixels of
// an off-screen surface.
class PlatformImage {
public:
    virtual ~PlatformImage() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// Where drawing lands. Every call carries all of its state, so a surface never
// has pen, brush or font selections of its own to restore.
class DrawSurface {
public:
    virtual ~DrawSurface() = default;
    // A line from `from` towards `to`; as with GDI, the end point itself is not drawn.
    virtual void drawLine(GuiPoint from, GuiPoint to, GuiColor color, int width, bool dotted) = 0;
    // Fills exactly the pixels left <= x < right, top <= y < bottom.
    virtual void fillPixels(const GuiRect& area, GuiColor color) = 0;
    // One line of text, vertically centred in `area`, aligned by `align`
    // (GuiTextAlign). Opaque text gets `backColor` behind its glyphs.
    virtual void drawText(const char* text, const GuiRect& area, const GuiFont& font, GuiColor textColor, bool opaque,
                          GuiColor backColor, int align) = 0;
    // Copies destination-sized pixels of `image`, starting at `source`, to the
    // destination's top-left.
    virtual void drawImage(const PlatformImage& image, const GuiRect& destination, GuiPoint source) = 0;
    // As drawImage, but where `mask` (made by GuiPlatform::createMask) marks the
    // colour key, the surface keeps its pixels. `image` is not modified.
    virtual void drawImageMasked(const PlatformImage& image, const PlatformImage& mask, const GuiRect& destination,
                                 GuiPoint source) = 0;
};

// A picture that can be drawn into and then copied elsewhere.
class PlatformOffscreen {
public:
    virtual ~PlatformOffscreen() = default;
    virtual DrawSurface& surface() = 0;
    virtual const PlatformImage& image() const = 0;
};

// What a window reports to its owner (the frame).
class WindowClient {
public:
    virtual ~WindowClient() = default;
    // The window needs its whole content drawn onto `surface`.
    virtual void paintWindow(DrawSurface& surface) = 0;
    // A mouse button went down at `where` (window coordinates). Tracking after
    // the press is done by polling buttonState and cursorPosition.
    virtual void buttonPressed(GuiPoint where) = 0;
    // The wheel turned by `distance` notches (positive: away from the user).
    virtual void wheelTurned(float distance) = 0;
    // Files (type 0: `count` names in `items`) or text (type 1: one text of
    // `count` bytes) were dropped at `where`; true when a view took them.
    virtual bool itemsDropped(void* items, int count, int type, GuiPoint where) = 0;
    // The system destroyed the window (for instance with its parent).
    virtual void windowDestroyed() = 0;
};

class PlatformWindow {
public:
    // Destroys the window and releases everything it holds.
    virtual ~PlatformWindow() = default;
    // A surface for drawing outside a paint request; null when none can be had.
    virtual DrawSurface* beginDrawing() = 0;
    // Shows what was drawn on a surface from beginDrawing and gives it back.
    virtual void endDrawing(DrawSurface* surface) = 0;
    // The live GuiButtonState bits.
    virtual int buttonState() = 0;
    // The live cursor position in window coordinates.
    virtual GuiPoint cursorPosition() = 0;
    // Delivers every pending window event to the client.
    virtual void processEvents() = 0;
    // Delivers at most one pending paint request (used inside mouse drags).
    virtual void flushOnePaint() = 0;
    // The system's id of the window (an X11 Window), for hosts that embed it; 0 where it has none.
    virtual uintptr_t nativeId() const { return 0; }
};

class GuiPlatform {
public:
    virtual ~GuiPlatform() = default;
    // A child window of `parent` at (0,0) with the given size, reporting to
    // `client`; null when it cannot be made (no parent, no display, ...).
    virtual std::unique_ptr<PlatformWindow> createWindow(void* parent, int width, int height, WindowClient& client) = 0;
    // Milliseconds since some fixed moment; wraps like GetTickCount.
    virtual uint32_t tickCount() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
    // The module's bitmap resource with this number; null when there is none.
    virtual std::unique_ptr<PlatformImage> loadBitmap(int number) = 0;
    // A mask marking the pixels of `image` that have exactly the colour `key`.
    virtual std::unique_ptr<PlatformImage> createMask(const PlatformImage& image, GuiColor key) = 0;
    // A picture of the given size for composing before a copy to `window`
    // (which may be null); null when it cannot be made.
    virtual std::unique_ptr<PlatformOffscreen> createOffscreen(PlatformWindow* window, int width, int height) = 0;
    // Per-editor set-up and tear-down of system services (OLE on Windows).
    virtual void editorCreated() {}
    virtual void editorDestroyed() {}
};

// The platform this module was linked with (defined by the backend library).
GuiPlatform& guiPlatform();
