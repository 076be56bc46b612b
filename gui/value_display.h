// A text field: a value formatted into text over a background picture or a
// filled box, optionally with 3-D edges and a shadowed text.
#pragma once

#include "gui/gui_control.h"

enum GuiDisplayStyle { kShadowText = 0x4, k3DIn = 0x80, k3DOut = 0x100, kNoTextStyle = 0x800, kNoDrawStyle = 0x1000 };

// Formatters write at most 255 characters and a terminating zero into `text`.
using ValueFormatter = void (*)(float value, char* text);
using ValueFormatterWithData = void (*)(float value, char* text, void* userData);

class ValueDisplay : public GuiControl {
public:
    static constexpr int kTextSize = 256;

    ValueDisplay(const GuiRect& size, GuiBitmap* background = nullptr, int style = 0);

    void draw(Canvas* canvas) override;
    // Displays take no mouse input.
    void mouse(Canvas* /*canvas*/, GuiPoint /*where*/) override {}

    virtual void setFontId(int id) { fontId = id; }
    // Each colour setter marks the display dirty only when red, green or blue change.
    virtual void setTextColor(GuiColor c) { setColor(fontColor, c); }
    virtual void setFillColor(GuiColor c) { setColor(backColor, c); }
    virtual void setEdgeColor(GuiColor c) { setColor(frameColor, c); }
    virtual void setShadowColor(GuiColor c) { setColor(shadowColor, c); }
    virtual void setAlignment(int a);
    virtual void setBackgroundOrigin(GuiPoint origin) { bgOffset = origin; }
    virtual void setFormatter(ValueFormatterWithData formatter, void* userData);
    virtual void setFormatter(ValueFormatter formatter) { plainFormatter = formatter; }
    virtual void setStyleBits(int bits);
    virtual int styleBits() const { return style; }
    virtual void setTextTransparent(bool state) { textTransparent = state; }
    virtual bool isTextTransparent() const { return textTransparent; }

    // The text the display shows for its current value.
    void formatText(char* text) const;

private:
    void setColor(GuiColor& target, GuiColor c);

    int style;
    int fontId = FontNormal;
    GuiColor fontColor = kWhiteColor;
    GuiColor backColor = kBlackColor;
    GuiColor frameColor = kBlackColor;
    GuiColor shadowColor = kRedColor;
    int alignment = AlignCenter;
    bool textTransparent = true;
    GuiPoint bgOffset;
    ValueFormatter plainFormatter = nullptr;
    ValueFormatterWithData dataFormatter = nullptr;
    void* formatterData = nullptr;
};
