#include "gui/gui_fader.h"

#include "gui/gui_bitmap.h"
#include "gui/gui_frame.h"
#include "gui/offscreen_canvas.h"

GuiFader::GuiFader(bool isVertical, const GuiRect& r, ControlObserver* l, int t, int startPosition, int endPosition,
                   GuiBitmap* handleBitmap, GuiBitmap* bg, GuiPoint offset, int faderStyle)
    : GuiControl(r, l, t, bg),
      vertical(isVertical),
      startPos(startPosition),
      endPos(endPosition),
      style(faderStyle),
      bgOffset(offset) {
    setHandleBitmap(handleBitmap);
    lastHandlePos = rectStart() + handleOffset();
}

GuiFader::~GuiFader() {
    if (handle) handle->release();
}

void GuiFader::setHandleBitmap(GuiBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (handle) handle->release();
    handle = bitmap;
    handleExtent =
        (handle && handle->getWidth() > 0) ? GuiPoint(handle->getWidth(), handle->getHeight()) : GuiPoint(1, 1);
    setDirty(true);
}

int GuiFader::handleOffset() const {
    bool zeroAtStart = style & (vertical ? kFaderTopIsZero : kFaderLeftIsZero);
    float fraction = zeroAtStart ? value : 1.0f - value;
    int offset = static_cast<int>((endPos - startPos) * fraction) + along(handleOrigin);
    int least = startPos - rectStart();
    if (offset < least) offset = least;
    int most = endPos - rectStart();  // the handle's far edge stays within the travel
    if (offset > most) offset = most;
    return offset;
}

void GuiFader::draw(Canvas* canvas) {
    OffscreenCanvas picture(frame, size.width(), size.height(), kBlackColor);
    if (picture.isValid()) {
        GuiRect whole(0, 0, size.width(), size.height());
        if (background) background->draw(&picture, whole, bgOffset, colorKeyed);
        int offset = handleOffset();
        GuiRect handleRect =
            vertical ? GuiRect(handleOrigin.h, offset, handleOrigin.h + handleExtent.h, offset + handleExtent.v)
                     : GuiRect(offset, handleOrigin.v, offset + handleExtent.h, handleOrigin.v + handleExtent.v);
        if (handle) handle->draw(&picture, handleRect, GuiPoint(), handleKeyed);
        picture.copyTo(canvas, size);
        lastHandlePos = rectStart() + offset;
    }
    setDirty(false);
}

void GuiFader::mouse(Canvas* canvas, GuiPoint where) {
    if (!clickable) return;
    int state = canvas->buttonState();
    if (!(state & ButtonLeft)) return;
    if (handleDefaultClick(canvas, state)) return;
    if (state != ButtonLeft && state != (ButtonLeft | KeyShift)) return;

    int delta;
    if (jumpToClick) {
        // The handle centres on the pointer.
        delta = startPos + handleLength() / 2 - 1;
    } else {
        int a = across(where);
        int p = along(where);
        bool onHandle = a >= rectAcrossStart() && a <= rectAcrossStart() + handleThickness() && p >= lastHandlePos &&
                        p <= lastHandlePos + handleLength();
        if (!onHandle) return;
        delta = startPos + (p - lastHandlePos);
    }

    float travel = static_cast<float>(endPos - startPos);
    bool inverted = style & (vertical ? kFaderBottomToTop : kFaderRightToLeft);
    float base = value;
    bool wasFine = false;
    if (frame) frame->beginGesture(tag_);
    while (state == ButtonLeft || state == (ButtonLeft | KeyShift)) {
        bool fine = state & KeyShift;
        // The fine-mode anchor is the value at the moment Shift went down.
        if (fine && !wasFine) base = value;
        wasFine = fine;
        float v = travel != 0.0f ? (along(where) - delta) / travel : 0.0f;
        if (inverted) v = 1.0f - v;
        if (fine) v = base + (v - base) * 0.1f;
        value = v;
        clampValue();
        notifyIfDirty(canvas);
        where = canvas->pointerPosition();
        pumpIdle();
        state = canvas->buttonState();
    }
    if (frame) frame->endGesture(tag_);
}

bool GuiFader::wheel(Canvas* canvas, GuiPoint /*where*/, float distance) { return wheelStep(canvas, distance); }
