#include "gui/win32/win32_surface.h"

#include <cstring>

namespace {

COLORREF colorRef(GuiColor c) { return RGB(c.red, c.green, c.blue); }

// A memory context holding a bitmap for the length of one copy.
class SourceContext {
public:
    SourceContext(HDC compatibleWith, HBITMAP bitmap, HDC alreadySelectedIn = nullptr) {
        if (alreadySelectedIn) {
            dc = alreadySelectedIn;
            return;
        }
        dc = CreateCompatibleDC(compatibleWith);
        owned = dc != nullptr;
        if (owned) previous = SelectObject(dc, bitmap);
    }
    ~SourceContext() {
        if (!owned) return;
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    SourceContext(const SourceContext&) = delete;
    SourceContext& operator=(const SourceContext&) = delete;
    HDC get() const { return dc; }

private:
    HDC dc = nullptr;
    bool owned = false;
    HGDIOBJ previous = nullptr;
};

}  // namespace

GdiImage::GdiImage(HBITMAP b, bool o, HDC s) : bitmap(b), owned(o), selectedIn(s) {
    BITMAP info;
    if (bitmap && GetObjectA(bitmap, sizeof(info), &info)) size = SIZE{info.bmWidth, info.bmHeight};
}

GdiImage::~GdiImage() {
    if (owned && bitmap) DeleteObject(bitmap);
}

GdiMask::GdiMask(HBITMAP m, HBITMAP c, int width, int height) : mask(m), cutOut(c), w(width), h(height) {}

GdiMask::~GdiMask() {
    DeleteObject(mask);
    DeleteObject(cutOut);
}

GdiSurface::GdiSurface(HDC d) : dc(d) {
    originalPen = GetCurrentObject(dc, OBJ_PEN);
    originalFont = GetCurrentObject(dc, OBJ_FONT);
    SetBkMode(dc, TRANSPARENT);
}

GdiSurface::~GdiSurface() {
    SelectObject(dc, originalPen);
    SelectObject(dc, originalFont);
    if (pen) DeleteObject(pen);
    if (brush) DeleteObject(brush);
    if (font) DeleteObject(font);
}

void GdiSurface::usePen(GuiColor color, int width, bool dotted) {
    if (pen && color.sameRgb(penColor) && width == penWidth && dotted == penDotted) return;
    LOGPEN style{};
    style.lopnStyle = dotted ? PS_DOT : PS_SOLID;
    style.lopnWidth.x = width;
    style.lopnColor = colorRef(color);
    HPEN made = CreatePenIndirect(&style);
    if (!made) return;
    SelectObject(dc, made);
    if (pen) DeleteObject(pen);
    pen = made;
    penColor = color;
    penWidth = width;
    penDotted = dotted;
}

void GdiSurface::drawLine(GuiPoint from, GuiPoint to, GuiColor color, int width, bool dotted) {
    usePen(color, width, dotted);
    MoveToEx(dc, from.h, from.v, nullptr);
    LineTo(dc, to.h, to.v);
}

void GdiSurface::fillPixels(const GuiRect& area, GuiColor color) {
    if (!brush || !color.sameRgb(brushColor)) {
        HBRUSH made = CreateSolidBrush(colorRef(color));
        if (!made) return;
        if (brush) DeleteObject(brush);
        brush = made;
        brushColor = color;
    }
    RECT r{area.left, area.top, area.right, area.bottom};
    FillRect(dc, &r, brush);
}

void GdiSurface::useFont(const GuiFont& wanted) {
    if (font && wanted.size == fontKey.size && wanted.weight == fontKey.weight &&
        std::strcmp(wanted.face, fontKey.face) == 0)
        return;
    const bool symbol = std::strcmp(wanted.face, "Symbol") == 0;
    LOGFONTA description{};
    description.lfHeight = -wanted.size;
    description.lfWeight = wanted.weight;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = VARIABLE_PITCH | (symbol ? FF_DECORATIVE : FF_SWISS);
    lstrcpynA(description.lfFaceName, wanted.face, LF_FACESIZE);
    HFONT made = CreateFontIndirectA(&description);
    if (!made) return;
    SelectObject(dc, made);
    if (font) DeleteObject(font);
    font = made;
    fontKey = wanted;
}

void GdiSurface::drawText(const char* text, const GuiRect& area, const GuiFont& wanted, GuiColor textColor,
                          bool opaque, GuiColor backColor, int align) {
    useFont(wanted);
    SetTextColor(dc, colorRef(textColor));
    SetBkColor(dc, colorRef(backColor));
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    UINT format = DT_VCENTER | DT_SINGLELINE;
    format |= align == AlignCenter ? DT_CENTER : (align == AlignRight ? DT_RIGHT : DT_LEFT);
    RECT r{area.left, area.top, area.right, area.bottom};
    DrawTextA(dc, text, -1, &r, format);
    SetBkMode(dc, TRANSPARENT);
}

void GdiSurface::drawImage(const PlatformImage& image, const GuiRect& destination, GuiPoint source) {
    const auto& picture = static_cast<const GdiImage&>(image);
    SourceContext from(dc, picture.handle(), picture.ownContext());
    if (!from.get()) return;
    BitBlt(dc, destination.left, destination.top, destination.width(), destination.height(), from.get(), source.h,
           source.v, SRCCOPY);
}

void GdiSurface::drawImageMasked(const PlatformImage& /*image*/, const PlatformImage& maskImage,
                                 const GuiRect& destination, GuiPoint source) {
    const auto& mask = static_cast<const GdiMask&>(maskImage);
    SourceContext maskContext(dc, mask.maskHandle());
    SourceContext cutOutContext(dc, mask.cutOutHandle());
    if (!maskContext.get() || !cutOutContext.get()) return;
    // A 1-bit source turns 1 into the background colour and 0 into the text colour.
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const int w = destination.width(), h = destination.height();
    BitBlt(dc, destination.left, destination.top, w, h, maskContext.get(), source.h, source.v, SRCAND);
    BitBlt(dc, destination.left, destination.top, w, h, cutOutContext.get(), source.h, source.v, SRCPAINT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

std::unique_ptr<GdiOffscreen> GdiOffscreen::create(HDC reference, int width, int height) {
    HDC memory = CreateCompatibleDC(reference);
    if (!memory) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(reference, width, height);
    if (!bitmap) {
        DeleteDC(memory);
        return nullptr;
    }
    return std::unique_ptr<GdiOffscreen>(new GdiOffscreen(memory, bitmap));
}

GdiOffscreen::GdiOffscreen(HDC m, HBITMAP bitmap) : memory(m) {
    previous = SelectObject(memory, bitmap);
    picture = std::make_unique<GdiImage>(bitmap, false, memory);
    drawing = std::make_unique<GdiSurface>(memory);
}

GdiOffscreen::~GdiOffscreen() {
    drawing.reset();
    HGDIOBJ bitmap = SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

std::unique_ptr<PlatformImage> loadResourceBitmap(HINSTANCE module, int number) {
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(number));
    if (!bitmap) return nullptr;
    return std::make_unique<GdiImage>(bitmap, true);
}

std::unique_ptr<PlatformImage> createGdiMask(const PlatformImage& image, GuiColor key) {
    const auto& picture = static_cast<const GdiImage&>(image);
    const int w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0) return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP cutOut = CreateCompatibleBitmap(screen, w, h);
    bool made = false;
    if (mask && cutOut) {
        SourceContext from(screen, picture.handle(), picture.ownContext());
        SourceContext maskContext(screen, mask);
        SourceContext cutOutContext(screen, cutOut);
        if (from.get() && maskContext.get() && cutOutContext.get()) {
            // Colour to 1-bit: pixels of the source's background colour become 1.
            COLORREF oldBack = SetBkColor(from.get(), RGB(key.red, key.green, key.blue));
            BitBlt(maskContext.get(), 0, 0, w, h, from.get(), 0, 0, SRCCOPY);
            SetBkColor(from.get(), oldBack);
            // The copy with the key pixels black: picture AND NOT mask.
            BitBlt(cutOutContext.get(), 0, 0, w, h, from.get(), 0, 0, SRCCOPY);
            SetBkColor(cutOutContext.get(), RGB(255, 255, 255));
            SetTextColor(cutOutContext.get(), RGB(0, 0, 0));
            const DWORD sourceAndNotMask = 0x00220326;  // DSna
            BitBlt(cutOutContext.get(), 0, 0, w, h, maskContext.get(), 0, 0, sourceAndNotMask);
            made = true;
        }
    }
    ReleaseDC(nullptr, screen);
    if (!made) {
        if (mask) DeleteObject(mask);
        if (cutOut) DeleteObject(cutOut);
        return nullptr;
    }
    return std::make_unique<GdiMask>(mask, cutOut, w, h);
}
