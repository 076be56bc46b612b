// The base of everything the frame draws: a rectangle in frame coordinates,
// a dirty flag, mouse and colour-key flags, an optional background bitmap and
// a reference count (the frame holds one reference per listed view).
#pragma once

#include "gui/gui_types.h"

class Canvas;
class GuiBitmap;
class GuiFrame;

class GuiView {
public:
    explicit GuiView(const GuiRect& size);

    GuiView(const GuiView&) = delete;
    GuiView& operator=(const GuiView&) = delete;

    virtual void draw(Canvas* canvas);
    virtual void mouse(Canvas* canvas, GuiPoint where);
    // Draws and clears the dirty state, only when dirty.
    virtual void redrawIfDirty(Canvas* canvas);
    // items: a list of names (type 0) or one text (type 1) of `count` bytes.
    virtual bool acceptDrop(void* items, int count, int type, GuiPoint where);
    virtual bool wheel(Canvas* canvas, GuiPoint where, float distance);
    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool state = true) { dirty = state; }
    virtual void setClickable(bool state) { clickable = state; }
    virtual bool isClickable() const { return clickable; }
    virtual void setColorKeyed(bool state) { colorKeyed = state; }
    virtual bool isColorKeyed() const { return colorKeyed; }
    virtual void setBounds(const GuiRect& r);
    virtual void release();
    virtual void retain() { ++refCount; }
    // Runs the editor's idle pacing from inside a mouse-tracking loop.
    virtual void pumpIdle();
    // Called when a text-entry view loses the focus to a click elsewhere.
    virtual void loseFocus() {}

    const GuiRect& bounds() const { return size; }
    GuiFrame* getFrame() const { return frame; }
    void setFrame(GuiFrame* f) { frame = f; }
    int referenceCount() const { return refCount; }
    // Retains the new bitmap and releases the old one.
    void setBackgroundBitmap(GuiBitmap* bitmap);
    GuiBitmap* backgroundBitmap() const { return background; }

protected:
    // Only release() deletes a view.
    virtual ~GuiView();

    GuiRect size;
    GuiFrame* frame = nullptr;
    bool dirty = false;
    bool clickable = true;
    bool colorKeyed = false;
    GuiBitmap* background = nullptr;

private:
    int refCount = 1;
};
