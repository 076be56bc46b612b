// Faders: a handle bitmap moving over a background between two positions,
// composed off-screen and copied to the window in one go. The vertical and
// horizontal kinds share everything but the axis.
#pragma once

#include "gui/gui_control.h"

// Style bits. Vertical: 0x20 handle at the top for 0, 0x40 dragging up
// increases. Horizontal: 0x8 handle at the left for 0, 0x10 dragging left increases.
enum GuiFaderStyle {
    kFaderLeftIsZero = 0x8,
    kFaderRightToLeft = 0x10,
    kFaderTopIsZero = 0x20,
    kFaderBottomToTop = 0x40
};

class GuiFader : public GuiControl {
public:
    ~GuiFader() override;

    void draw(Canvas* canvas) override;
    void mouse(Canvas* canvas, GuiPoint where) override;
    bool wheel(Canvas* canvas, GuiPoint where, float distance) override;

    virtual void setHandleKeyed(bool state) { handleKeyed = state; }
    virtual void setJumpToClick(bool state) { jumpToClick = state; }
    virtual bool jumpsToClick() const { return jumpToClick; }
    virtual void setHandleOrigin(GuiPoint origin) { handleOrigin = origin; }
    // Retains the new handle and releases the old one.
    virtual void setHandleBitmap(GuiBitmap* bitmap);
    virtual GuiBitmap* handleBitmap() const { return handle; }

    int getStyle() const { return style; }
    // Where the handle was last drawn along the axis, in frame coordinates.
    int lastHandlePosition() const { return lastHandlePos; }
    GuiPoint handleSize() const { return handleExtent; }

protected:
    GuiFader(bool vertical, const GuiRect& size, ControlObserver* listener, int tag, int startPosition, int endPosition,
             GuiBitmap* handle, GuiBitmap* background, GuiPoint backgroundOffset, int style);

private:
    // Handle position along the axis relative to the fader's rectangle.
    int handleOffset() const;
    int along(GuiPoint p) const { return vertical ? p.v : p.h; }
    int across(GuiPoint p) const { return vertical ? p.h : p.v; }
    int rectStart() const { return vertical ? size.top : size.left; }
    int rectAcrossStart() const { return vertical ? size.left : size.top; }
    int handleLength() const { return vertical ? handleExtent.v : handleExtent.h; }
    int handleThickness() const { return vertical ? handleExtent.h : handleExtent.v; }

    bool vertical;
    int startPos;
    int endPos;
    int style;
    GuiBitmap* handle = nullptr;
    GuiPoint bgOffset;
    GuiPoint handleOrigin;
    GuiPoint handleExtent{1, 1};
    bool handleKeyed = true;
    bool jumpToClick = true;
    int lastHandlePos;
};

class VerticalFader : public GuiFader {
public:
    VerticalFader(const GuiRect& size, ControlObserver* listener, int tag, int topPosition, int bottomPosition,
                  GuiBitmap* handle, GuiBitmap* background, GuiPoint backgroundOffset = GuiPoint(),
                  int style = kFaderBottomToTop)
        : GuiFader(true, size, listener, tag, topPosition, bottomPosition, handle, background, backgroundOffset,
                   style) {}
};

class HorizontalFader : public GuiFader {
public:
    HorizontalFader(const GuiRect& size, ControlObserver* listener, int tag, int leftPosition, int rightPosition,
                    GuiBitmap* handle, GuiBitmap* background, GuiPoint backgroundOffset = GuiPoint(),
                    int style = kFaderLeftIsZero)
        : GuiFader(false, size, listener, tag, leftPosition, rightPosition, handle, background, backgroundOffset,
                   style) {}
};
