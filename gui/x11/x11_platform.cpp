#include "gui/x11/x11_platform.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <cstdint>
#include <ctime>

#include "gui/cairo/cairo_drawing.h"

namespace {

// X errors on our own connection (a parent window the host destroyed before
// closing the editor, a bad window id) must not reach the default handler,
// which ends the process. Errors of other connections go to the handler that
// was installed before.
Display* trappedDisplay = nullptr;
bool errorTrapped = false;
XErrorHandler previousHandler = nullptr;

int trapHandler(Display* display, XErrorEvent* event) {
    if (display == trappedDisplay) {
        errorTrapped = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, event) : 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) {
        trappedDisplay = display;
        errorTrapped = false;
        previousHandler = XSetErrorHandler(trapHandler);
    }
    ~ErrorTrap() {
        XSync(trappedDisplay, False);
        XSetErrorHandler(previousHandler);
        trappedDisplay = nullptr;
    }
    // Whether a request so far failed (waits for the server's answers).
    bool failed() {
        XSync(trappedDisplay, False);
        return errorTrapped;
    }
};

int buttonBits(unsigned int mask) {
    int state = 0;
    if (mask & Button1Mask) state |= ButtonLeft;
    if (mask & Button2Mask) state |= ButtonMiddle;
    if (mask & Button3Mask) state |= ButtonRight;
    if (mask & ShiftMask) state |= KeyShift;
    if (mask & ControlMask) state |= KeyControl;
    if (mask & Mod1Mask) state |= KeyAlt;
    return state;
}

class X11Window : public PlatformWindow {
public:
    X11Window(Display* d, Window w, int depth, Visual* visual, cairo_surface_t* image, WindowClient& c)
        : display(d), window(w), backBuffer(image), surface(image), client(c) {
        gc = XCreateGC(display, window, 0, nullptr);
        int width = cairo_image_surface_get_width(image);
        int height = cairo_image_surface_get_height(image);
        // The XImage shares the Cairo image's pixels (32-bit xRGB, native byte order).
        ximage = XCreateImage(display, visual, depth, ZPixmap, 0,
                              reinterpret_cast<char*>(cairo_image_surface_get_data(image)), width, height, 32,
                              cairo_image_surface_get_stride(image));
        if (ximage) {
            const uint16_t probe = 1;
            ximage->byte_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
            if (ximage->bits_per_pixel != 32) {
                ximage->data = nullptr;
                XDestroyImage(ximage);
                ximage = nullptr;
            }
        }
    }

    ~X11Window() override {
        // A DestroyNotify still in the queue means the window is already gone
        // with its parent. Nothing else is delivered any more.
        XSync(display, False);
        XEvent event;
        while (!destroyed && XCheckTypedWindowEvent(display, window, DestroyNotify, &event))
            if (event.xdestroywindow.window == window) destroyed = true;
        {
            ErrorTrap trap(display);
            if (!destroyed) XDestroyWindow(display, window);
            XFreeGC(display, gc);
        }
        if (ximage) {
            ximage->data = nullptr;  // the pixels belong to Cairo
            XDestroyImage(ximage);
        }
        cairo_surface_destroy(backBuffer);
        XCloseDisplay(display);
    }

    DrawSurface* beginDrawing() override {
        // Drawings nest (a drag's canvas, then idle canvases inside it); each
        // end shows whatever has been drawn so far.
        if (destroyed) return nullptr;
        return &surface;
    }

    void endDrawing(DrawSurface* /*drawn*/) override { present(); }

    int buttonState() override {
        Window root, child;
        int rootX, rootY, x, y;
        unsigned int mask = 0;
        if (destroyed || !XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask)) return 0;
        return buttonBits(mask);
    }

    GuiPoint cursorPosition() override {
        Window root, child;
        int rootX, rootY, x = 0, y = 0;
        unsigned int mask;
        if (destroyed || !XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask))
            return GuiPoint();
        return GuiPoint(x, y);
    }

    void processEvents() override {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            handle(event);
        }
    }

    void flushOnePaint() override {
        XEvent event;
        if (!destroyed && XCheckTypedWindowEvent(display, window, Expose, &event)) handle(event);
    }

    uintptr_t nativeId() const override { return window; }

private:
    void handle(const XEvent& event) {
        if (event.xany.window != window) return;
        switch (event.type) {
            case Expose:
                // Paint once the last rectangle of a series has arrived.
                if (event.xexpose.count == 0 && !destroyed) paint();
                break;
            case ButtonPress:
                if (destroyed) break;
                if (event.xbutton.button == Button4 || event.xbutton.button == Button5)
                    client.wheelTurned(event.xbutton.button == Button4 ? 1.0f : -1.0f);
                else if (event.xbutton.button <= Button3)
                    client.buttonPressed(GuiPoint(event.xbutton.x, event.xbutton.y));
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == window && !destroyed) {
                    destroyed = true;
                    client.windowDestroyed();
                }
                break;
            default:
                break;
        }
    }

    void paint() {
        client.paintWindow(surface);
        present(true);
    }

    // Copies what was drawn (or everything) from the image to the window.
    void present(bool everything = false) {
        if (destroyed || !ximage) return;
        GuiRect area = everything ? GuiRect(0, 0, ximage->width, ximage->height) : surface.damage();
        if (!everything && !surface.hasDamage()) return;
        cairo_surface_flush(backBuffer);
        XPutImage(display, window, gc, ximage, area.left, area.top, area.left, area.top, area.width(), area.height());
        XFlush(display);
        surface.resetDamage();
    }

    Display* display;
    Window window;
    GC gc;
    XImage* ximage = nullptr;
    cairo_surface_t* backBuffer;
    CairoSurface surface;
    WindowClient& client;
    bool destroyed = false;
};

}  // namespace

GuiPlatform& guiPlatform() {
    static X11Platform platform;
    return platform;
}

std::unique_ptr<PlatformWindow> X11Platform::createWindow(void* parent, int width, int height, WindowClient& client) {
    if (!parent || width <= 0 || height <= 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    Window parentWindow = static_cast<Window>(reinterpret_cast<uintptr_t>(parent));

    Window window = 0;
    XWindowAttributes parentAttributes;
    bool made = false;
    {
        ErrorTrap trap(display);
        if (XGetWindowAttributes(display, parentWindow, &parentAttributes) && !trap.failed()) {
            XSetWindowAttributes attributes;
            attributes.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask;
            attributes.background_pixmap = None;
            window = XCreateWindow(display, parentWindow, 0, 0, width, height, 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
            made = !trap.failed();
        }
    }
    cairo_surface_t* image = made ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height) : nullptr;
    if (!made || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        if (image) cairo_surface_destroy(image);
        if (made) {
            ErrorTrap trap(display);
            XDestroyWindow(display, window);
        }
        XCloseDisplay(display);
        return nullptr;
    }

    // Embedding hosts show the child only when it says it wants to be mapped.
    Atom xembedInfo = XInternAtom(display, "_XEMBED_INFO", False);
    long info[2] = {0 /* version */, 1 /* XEMBED_MAPPED */};
    XChangeProperty(display, window, xembedInfo, xembedInfo, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(info), 2);
    // The picture has one size: an embedding host that lays out a wider or
    // taller box (a plug-in window whose toolbar is wider than a small editor)
    // reads these hints and centres the editor instead of stretching its window
    // over undrawn space.
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
    XStoreName(display, window, "Window");
    XMapWindow(display, window);
    XFlush(display);
    return std::make_unique<X11Window>(display, window, parentAttributes.depth, parentAttributes.visual, image, client);
}

uint32_t X11Platform::tickCount() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

void X11Platform::sleep(uint32_t milliseconds) {
    timespec pause{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

std::unique_ptr<PlatformImage> X11Platform::loadBitmap(int number) { return loadEmbeddedBitmap(number); }

std::unique_ptr<PlatformImage> X11Platform::createMask(const PlatformImage& image, GuiColor key) {
    return createCairoMask(image, key);
}

std::unique_ptr<PlatformOffscreen> X11Platform::createOffscreen(PlatformWindow* /*window*/, int width, int height) {
    return createCairoOffscreen(width, height);
}
