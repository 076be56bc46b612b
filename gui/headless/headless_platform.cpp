#include "gui/headless/headless_platform.h"

#include <algorithm>

namespace {
// Windows of a host show the button-face grey until something is drawn.
constexpr GuiColor kWindowGrey{212, 208, 200, 0};
}  // namespace

HeadlessPlatform& headlessPlatform() {
    static HeadlessPlatform platform;
    return platform;
}

GuiPlatform& guiPlatform() { return headlessPlatform(); }

HeadlessWindow::HeadlessWindow(HeadlessPlatform& p, void* parent, cairo_surface_t* image, WindowClient& c)
    : platform(p), parentWindow(parent), picture(image), client(c) {
    CairoSurface surface(picture);
    surface.fillPixels(GuiRect(0, 0, width(), height()), kWindowGrey);
    platform.liveWindows.push_back(this);
}

HeadlessWindow::~HeadlessWindow() {
    auto& list = platform.liveWindows;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    cairo_surface_destroy(picture);
}

int HeadlessWindow::width() const { return cairo_image_surface_get_width(picture); }

int HeadlessWindow::height() const { return cairo_image_surface_get_height(picture); }

DrawSurface* HeadlessWindow::beginDrawing() {
    if (platform.failDrawing || destroyed) return nullptr;
    auto* surface = new CairoSurface(picture);
    if (!surface->isValid()) {
        delete surface;
        return nullptr;
    }
    ++openDrawings;
    return surface;
}

void HeadlessWindow::endDrawing(DrawSurface* surface) {
    if (!surface) return;
    --openDrawings;
    delete surface;
}

int HeadlessWindow::buttonState() { return platform.mouseState(); }

GuiPoint HeadlessWindow::cursorPosition() { return platform.takeMouseStep(); }

void HeadlessWindow::paint() {
    paintPending = false;
    if (destroyed) return;
    CairoSurface surface(picture);
    if (!surface.isValid()) return;
    ++paints;
    client.paintWindow(surface);
}

void HeadlessWindow::processEvents() {
    if (paintPending) paint();
}

void HeadlessWindow::flushOnePaint() {
    if (paintPending) paint();
}

void HeadlessWindow::press() {
    platform.beginPress();
    client.buttonPressed(platform.mousePosition());
}

void HeadlessWindow::destroyBySystem() {
    if (destroyed) return;
    destroyed = true;
    client.windowDestroyed();
}

GuiColor HeadlessWindow::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return GuiColor{};
    cairo_surface_flush(picture);
    const unsigned char* row = cairo_image_surface_get_data(picture) + y * cairo_image_surface_get_stride(picture);
    uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
    return GuiColor{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 0};
}

bool HeadlessWindow::writePng(const std::string& path) const {
    return cairo_surface_write_to_png(picture, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::unique_ptr<PlatformWindow> HeadlessPlatform::createWindow(void* parent, int width, int height,
                                                               WindowClient& client) {
    if (!parent || failWindows || width <= 0 || height <= 0) return nullptr;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    return std::make_unique<HeadlessWindow>(*this, parent, image, client);
}

uint32_t HeadlessPlatform::tickCount() {
    uint32_t now = ticks;
    ticks += ticksPerRead;
    return now;
}

void HeadlessPlatform::sleep(uint32_t milliseconds) {
    ticks += milliseconds;
    ++sleeps;
}

std::unique_ptr<PlatformImage> HeadlessPlatform::loadBitmap(int number) {
    if (failBitmaps) return nullptr;
    return loadEmbeddedBitmap(number);
}

std::unique_ptr<PlatformImage> HeadlessPlatform::createMask(const PlatformImage& image, GuiColor key) {
    ++masks;
    return createCairoMask(image, key);
}

std::unique_ptr<PlatformOffscreen> HeadlessPlatform::createOffscreen(PlatformWindow* /*window*/, int width,
                                                                     int height) {
    if (failOffscreen) return nullptr;
    return createCairoOffscreen(width, height);
}

void HeadlessPlatform::scriptMouse(std::vector<MouseStep> steps) {
    script = std::move(steps);
    current = -1;
    exhausted = script.empty();
}

int HeadlessPlatform::mouseState() const {
    if (exhausted || script.empty()) return 0;
    return script[current < 0 ? 0 : size_t(current)].state;
}

GuiPoint HeadlessPlatform::mousePosition() const {
    if (script.empty()) return GuiPoint();
    if (current < 0) return script[0].where;
    return script[std::min(size_t(current), script.size() - 1)].where;
}

GuiPoint HeadlessPlatform::takeMouseStep() {
    if (script.empty()) return GuiPoint();
    if (size_t(current + 1) < script.size())
        ++current;
    else
        exhausted = true;  // past the script the mouse rests with its buttons up
    return mousePosition();
}

void HeadlessPlatform::reset() {
    script.clear();
    current = -1;
    exhausted = false;
    ticks = 0;
    ticksPerRead = 0;
    sleeps = 0;
    masks = 0;
    failWindows = failDrawing = failOffscreen = failBitmaps = false;
}
