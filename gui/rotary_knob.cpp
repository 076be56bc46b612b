#include "gui/rotary_knob.h"

#include <cmath>

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"
#include "gui/gui_editor_base.h"
#include "gui/gui_frame.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;

int insetFor(const GuiBitmap* bitmap) { return static_cast<int>(bitmap->getWidth() * 0.5 + 2.5); }
}  // namespace

RotaryKnob::RotaryKnob(const GuiRect& r, ControlObserver* l, int t, GuiBitmap* bg, GuiBitmap* pointerBitmap,
                       GuiPoint offset)
    : GuiControl(r, l, t, bg), bgOffset(offset), radius(r.width() * 0.5f) {
    if (pointerBitmap) {
        pointerBitmap->retain();
        pointer = pointerBitmap;
        pointerInset = insetFor(pointer);
    }
    computeCoefficients();
}

RotaryKnob::~RotaryKnob() {
    if (pointer) pointer->release();
}

void RotaryKnob::computeCoefficients() {
    valuePerRadian = (vmax - vmin) / rangeAngle;
    valueOffset = vmin - valuePerRadian * startAngle;
    halfDeadZone = static_cast<float>((kTwoPi - std::fabs(rangeAngle)) * 0.5);
    setDirty(true);
}

void RotaryKnob::setMinimum(float v) {
    GuiControl::setMinimum(v);
    computeCoefficients();
}

void RotaryKnob::setMaximum(float v) {
    GuiControl::setMaximum(v);
    computeCoefficients();
}

void RotaryKnob::setSweepStart(float radians) {
    startAngle = radians;
    computeCoefficients();
}

void RotaryKnob::setSweep(float radians) {
    rangeAngle = radians;
    computeCoefficients();
}

void RotaryKnob::setPointerBitmap(GuiBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (pointer) pointer->release();
    pointer = bitmap;
    if (pointer) pointerInset = insetFor(pointer);
    setDirty(true);
}

GuiPoint RotaryKnob::pointForValue() const {
    double alpha = (value - valueOffset) / valuePerRadian;
    // An empty range or sweep has no angle per value: the pointer rests at the start.
    if (!std::isfinite(alpha)) alpha = startAngle;
    double reach = radius - pointerInset;
    return GuiPoint(static_cast<int>(radius + std::cos(alpha) * reach + 0.5),
                    static_cast<int>(radius - std::sin(alpha) * reach + 0.5));
}

float RotaryKnob::valueAtPoint(GuiPoint p) const {
    double angle = std::atan2(radius - p.v, p.h - radius);
    if (angle < 0) angle += kTwoPi;
    double range = std::fabs(rangeAngle);
    if (range <= 0.0) return vmin;
    // Distance from the start angle, measured in the sweep's own direction.
    double along = rangeAngle < 0 ? startAngle - angle : angle - startAngle;
    along = std::fmod(along, kTwoPi);
    if (along < 0) along += kTwoPi;
    if (along > range) {
        // The unswept part snaps to the nearer end, split at its middle.
        return along - range < halfDeadZone ? vmax : vmin;
    }
    return static_cast<float>(vmin + (vmax - vmin) * along / range);
}

void RotaryKnob::draw(Canvas* canvas) {
    if (background) background->draw(canvas, size, bgOffset, colorKeyed);
    paintPointer(canvas);
    setDirty(false);
}

void RotaryKnob::paintPointer(Canvas* canvas) {
    GuiPoint tip = pointForValue();
    if (pointer) {
        int w = pointer->getWidth();
        int h = pointer->getHeight();
        int left = size.left + tip.h - w / 2;
        int top = size.top + tip.v - h / 2;
        pointer->drawKeyed(canvas, GuiRect(left, top, left + w, top + h), GuiPoint());
        return;
    }
    GuiPoint centre(size.left + size.width() / 2 - 1, size.top + size.height() / 2);
    GuiPoint end(size.left + tip.h - 1, size.top + tip.v);
    canvas->setPenColor(pointerShadowColor);
    canvas->moveTo(centre);
    canvas->lineTo(end);
    canvas->setPenColor(pointerColor);
    canvas->moveTo(GuiPoint(centre.h + 1, centre.v - 1));
    canvas->lineTo(GuiPoint(end.h + 1, end.v - 1));
}

void RotaryKnob::mouse(Canvas* canvas, GuiPoint where) {
    if (!clickable) return;
    int state = canvas->buttonState();
    if (!(state & ButtonLeft)) return;
    if (handleDefaultClick(canvas, state)) return;

    bool linear = GuiEditorBase::knobMode() == KnobLinear;
    if (state & KeyAlt) linear = !linear;
    if (frame) frame->beginGesture(tag_);
    if (linear)
        trackLinear(canvas, where, state);
    else
        trackCircular(canvas, where);
    if (frame) frame->endGesture(tag_);
}

void RotaryKnob::trackLinear(Canvas* canvas, GuiPoint where, int state) {
    const GuiPoint press = where;
    float range = vmax - vmin;
    float coefficient = range / ((state & KeyShift) ? 300.0f : 200.0f);
    float valueAtPress = value;
    int oldState = state;
    do {
        int diff = (where.h - press.h) + (press.v - where.v);
        if (state != oldState) {
            // Keep the value where it is when the speed changes.
            float newCoefficient = range / ((state & KeyShift) ? 300.0f : 100.0f);
            valueAtPress += (coefficient - newCoefficient) * diff;
            coefficient = newCoefficient;
            oldState = state;
        }
        value = valueAtPress + diff * coefficient;
        clampValue();
        notifyIfDirty(canvas);
        where = canvas->pointerPosition();
        pumpIdle();
        state = canvas->buttonState();
    } while (state & ButtonLeft);
}

void RotaryKnob::trackCircular(Canvas* canvas, GuiPoint where) {
    float half = (vmax - vmin) * 0.5f;
    float old = valueAtPoint(GuiPoint(where.h - size.left, where.v - size.top));
    int state;
    do {
        float v = valueAtPoint(GuiPoint(where.h - size.left, where.v - size.top));
        // A jump of more than half the range crossed the dead zone: stay at the end it came from.
        if (old - v > half) {
            value = vmax;
        } else if (v - old > half) {
            value = vmin;
        } else {
            value = v;
            old = v;
        }
        clampValue();
        notifyIfDirty(canvas);
        where = canvas->pointerPosition();
        pumpIdle();
        state = canvas->buttonState();
    } while (state & ButtonLeft);
}

bool RotaryKnob::wheel(Canvas* canvas, GuiPoint /*where*/, float distance) { return wheelStep(canvas, distance); }
