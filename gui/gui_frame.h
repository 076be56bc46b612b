// The editor's child window: a flat list of views drawn in order over a
// background bitmap, at most one modal view, hit testing from the last view
// added to the first, and incremental redraws of dirty views at idle.
#pragma once

#include <memory>

#include "gui/gui_view.h"
#include "gui/platform.h"

class GuiEditorBase;

class GuiFrame : public GuiView, private WindowClient {
public:
    // Creates the child window in `parentWindow`; isOpen() tells whether that worked.
    GuiFrame(const GuiRect& size, void* parentWindow, GuiEditorBase* editor);
    // Frames are owned by their editor and deleted directly.
    ~GuiFrame() override;

    void draw(Canvas* canvas) override;
    void mouse(Canvas* canvas, GuiPoint where) override;
    void redrawIfDirty(Canvas* canvas) override;
    bool acceptDrop(void* items, int count, int type, GuiPoint where) override;
    bool wheel(Canvas* canvas, GuiPoint where, float distance) override;

    // Appends the view (the frame takes over the caller's reference); false
    // when the list cannot grow, and then the view stays unlisted.
    virtual bool addView(GuiView* view);
    virtual void removeView(GuiView* view, bool releasing = true);
    virtual void clearViews(bool releasing = true);
    virtual bool contains(GuiView* view) const;

    // Succeeds only while no modal view is set, or when clearing it (null).
    bool setModal(GuiView* view);
    GuiView* getModal() const { return modalView; }
    void setTextEntry(GuiView* view) { textEntryView = view; }
    GuiView* getTextEntry() const { return textEntryView; }
    // Retains the new bitmap and releases the old one.
    void setBackground(GuiBitmap* bitmap) { setBackgroundBitmap(bitmap); }
    void idle();
    // Draws one view, or the whole frame when `view` is null, in a fresh canvas.
    void drawView(GuiView* view);
    GuiPoint cursorPosition();
    void beginGesture(int tag);
    void endGesture(int tag);
    // Delivers pending window events (paint requests, presses).
    void processEvents();

    bool isOpen() const { return open && window != nullptr; }
    bool firstDrawPending() const { return firstDraw; }
    int viewCount() const { return count; }
    GuiView* viewAt(int index) const { return index >= 0 && index < count ? views[index] : nullptr; }
    GuiEditorBase* getEditor() const { return editor; }
    PlatformWindow* platformWindow() const { return window.get(); }
    void* parentWindow() const { return parent; }

private:
    void paintWindow(DrawSurface& surface) override;
    void buttonPressed(GuiPoint where) override;
    void wheelTurned(float distance) override;
    bool itemsDropped(void* items, int count, int type, GuiPoint where) override;
    void windowDestroyed() override;
    // The last view in the list whose rectangle contains `where`.
    GuiView* viewUnder(GuiPoint where, bool clickableOnly) const;

    GuiEditorBase* editor;
    void* parent;
    std::unique_ptr<PlatformWindow> window;
    GuiView** views = nullptr;
    int count = 0;
    int capacity = 0;
    GuiView* modalView = nullptr;
    GuiView* textEntryView = nullptr;
    bool firstDraw = true;
    bool open = true;
};
