// The base of every view that carries a value: a normalised value with its
// range and default, the tag (the effect's parameter index) and the observer
// told about user changes. Dirty means the value differs from the drawn one.
#pragma once

#include "gui/gui_view.h"

class GuiControl;

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    // Called by a control after the user changed it.
    virtual void controlChanged(Canvas* canvas, GuiControl* control) = 0;
};

class GuiControl : public GuiView {
public:
    GuiControl(const GuiRect& size, ControlObserver* listener, int tag, GuiBitmap* background);

    bool isDirty() const override;
    void setDirty(bool state = true) override;

    virtual void setValue(float v) { value = v; }
    virtual float getValue() const { return value; }
    virtual void setMinimum(float v) { vmin = v; }
    virtual float minimum() const { return vmin; }
    virtual void setMaximum(float v) { vmax = v; }
    virtual float maximum() const { return vmax; }
    virtual void setDrawnValue(float v) { drawnValue_ = v; }
    virtual float drawnValue() const { return drawnValue_; }
    virtual void setDefault(float v) { defaultValue_ = v; }
    virtual float defaultValue() const { return defaultValue_; }
    virtual void setTag(int t) { tag_ = t; }
    virtual int tag() const { return tag_; }
    // Retains the new bitmap and releases the old one.
    virtual void setBackground(GuiBitmap* bitmap) { setBackgroundBitmap(bitmap); }
    virtual GuiBitmap* getBackground() const { return background; }
    virtual void setWheelIncrement(float v) { wheelIncrement_ = v; }
    virtual float wheelIncrement() const { return wheelIncrement_; }
    virtual void setListener(ControlObserver* l) { listener = l; }
    virtual ControlObserver* getListener() const { return listener; }
    virtual void clampValue();

protected:
    // Tells the listener, but only about a change not yet drawn.
    void notifyIfDirty(Canvas* canvas);
    // Mouse entry rule of knobs and faders: exactly left button + Control
    // sets the default value. True when it did.
    bool handleDefaultClick(Canvas* canvas, int state);
    // Wheel rule of knobs and faders.
    bool wheelStep(Canvas* canvas, float distance);

    ControlObserver* listener;
    int tag_;
    float value = 0.0f;
    // 1 at construction, so a new control starts dirty.
    float drawnValue_ = 1.0f;
    float defaultValue_ = 0.5f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float wheelIncrement_ = 0.1f;
};
