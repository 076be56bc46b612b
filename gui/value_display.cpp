#include "gui/value_display.h"

#include <cstdio>

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"

ValueDisplay::ValueDisplay(const GuiRect& r, GuiBitmap* bg, int displayStyle)
    : GuiControl(r, nullptr, 0, bg), style(displayStyle) {}

void ValueDisplay::setColor(GuiColor& target, GuiColor c) {
    if (!target.sameRgb(c)) setDirty(true);
    target = c;
}

void ValueDisplay::setAlignment(int a) {
    if (a != alignment) setDirty(true);
    alignment = a;
}

void ValueDisplay::setStyleBits(int bits) {
    if (bits != style) setDirty(true);
    style = bits;
}

void ValueDisplay::setFormatter(ValueFormatterWithData formatter, void* userData) {
    dataFormatter = formatter;
    formatterData = userData;
}

void ValueDisplay::formatText(char* text) const {
    text[0] = 0;
    if (dataFormatter)
        dataFormatter(value, text, formatterData);
    else if (plainFormatter)
        plainFormatter(value, text);
    else
        std::snprintf(text, kTextSize, "%2.2f", value);
    text[kTextSize - 1] = 0;
}

void ValueDisplay::draw(Canvas* canvas) {
    char text[kTextSize];
    formatText(text);
    if (style & kNoDrawStyle) {
        setDirty(false);
        return;
    }
    bool edges3d = style & (k3DIn | k3DOut);
    if (background) {
        background->draw(canvas, size, bgOffset, colorKeyed);
    } else if (!colorKeyed) {
        canvas->setBrushColor(backColor);
        canvas->fillRect(size);
        if (!edges3d) {
            canvas->setPenColor(frameColor);
            canvas->drawRect(size);
        }
    }
    if (edges3d) {
        bool inset = style & k3DIn;
        canvas->setPenColor(inset ? backColor : frameColor);
        canvas->moveTo(GuiPoint(size.left, size.bottom - 1));
        canvas->lineTo(GuiPoint(size.left, size.top));
        canvas->lineTo(GuiPoint(size.right, size.top));
        canvas->setPenColor(inset ? frameColor : backColor);
        canvas->moveTo(GuiPoint(size.right - 1, size.top + 1));
        canvas->lineTo(GuiPoint(size.right - 1, size.bottom - 1));
        canvas->lineTo(GuiPoint(size.left, size.bottom - 1));
    }
    if (!(style & kNoTextStyle)) {
        canvas->setFontId(fontId, 0);
        canvas->setBrushColor(backColor);
        if (style & kShadowText) {
            canvas->setTextColor(shadowColor);
            canvas->drawText(text, size.offsetBy(1, 1), !textTransparent, alignment);
        }
        canvas->setTextColor(fontColor);
        canvas->drawText(text, size, !textTransparent, alignment);
    }
    setDirty(false);
}
