#include "gui/canvas.h"

#include "gui/gui_frame.h"
#include "gui/platform.h"

namespace {
const GuiFont kFontTable[kNumFonts] = {
    {"Arial", 12, 700}, {"Arial", 18, 400}, {"Arial", 14, 400}, {"Arial", 12, 400},
    {"Arial", 11, 400}, {"Arial", 10, 400}, {"Arial", 9, 400},  {"Symbol", 13, 400},
};
}  // namespace

const GuiFont& guiFont(int id) { return kFontTable[(id < 0 || id >= kNumFonts) ? FontSystem : id]; }

Canvas::Canvas(GuiFrame* f) : frame(f) {
    window = frame ? frame->platformWindow() : nullptr;
    if (window) {
        surface = window->beginDrawing();
        ownsSurface = surface != nullptr;
    }
    clipRect = frame ? frame->bounds() : GuiRect(0, 0, 1000, 1000);
}

Canvas::Canvas(GuiFrame* f, DrawSurface* s) : frame(f), surface(s) {
    window = frame ? frame->platformWindow() : nullptr;
    clipRect = frame ? frame->bounds() : GuiRect(0, 0, 1000, 1000);
}

Canvas::~Canvas() {
    if (ownsSurface && window) window->endDrawing(surface);
}

void Canvas::moveTo(GuiPoint p) { penPosition = GuiPoint(p.h + offset.h, p.v + offset.v); }

void Canvas::lineTo(GuiPoint p) {
    GuiPoint to(p.h + offset.h, p.v + offset.v);
    if (surface) surface->drawLine(penPosition, to, frameColor, lineWidth, lineStyle == LineDotted);
    penPosition = to;
}

void Canvas::drawRect(const GuiRect& r) {
    moveTo(GuiPoint(r.left, r.top));
    lineTo(GuiPoint(r.right, r.top));
    lineTo(GuiPoint(r.right, r.bottom));
    lineTo(GuiPoint(r.left, r.bottom));
    lineTo(GuiPoint(r.left, r.top));
}

void Canvas::fillRect(const GuiRect& r) {
    if (!surface) return;
    GuiRect area(r.left + 1, r.top + 1, r.right, r.bottom);
    surface->fillPixels(area.offset(offset.h, offset.v), fillColor);
}

void Canvas::setFontId(int id, int size) {
    if (id < 0 || id >= kNumFonts) id = FontSystem;
    currentFontId = id;
    currentFontSize = size == 0 ? guiFont(id).size : size;
}

void Canvas::drawText(const char* text, const GuiRect& r, bool opaque, int align) {
    if (!surface || !text) return;
    GuiRect area = r.offsetBy(offset.h, offset.v);
    if (align != AlignCenter && align != AlignRight) {
        align = AlignLeft;
        area.left += 1;
    }
    GuiFont font = guiFont(currentFontId);
    font.size = currentFontSize;
    surface->drawText(text, area, font, fontColor, opaque, fillColor, align);
}

int Canvas::buttonState() const { return window ? window->buttonState() : 0; }

GuiPoint Canvas::pointerPosition() const { return window ? window->cursorPosition() : GuiPoint(); }
