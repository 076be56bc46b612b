#include "gui/gui_frame.h"

#include <new>

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"
#include "gui/gui_editor_base.h"

GuiFrame::GuiFrame(const GuiRect& r, void* parentWindow, GuiEditorBase* e)
    : GuiView(r), editor(e), parent(parentWindow) {
    frame = this;
    window = guiPlatform().createWindow(parentWindow, r.width(), r.height(), *this);
}

GuiFrame::~GuiFrame() {
    clearViews(true);
    setBackgroundBitmap(nullptr);
    window.reset();
    delete[] views;
}

void GuiFrame::draw(Canvas* canvas) {
    firstDraw = false;
    if (background) background->drawOpaque(canvas, GuiRect(0, 0, size.width(), size.height()), GuiPoint());
    for (int i = 0; i < count; ++i) {
        // A full paint must not count as the redraw a dirty view is waiting for.
        bool wasDirty = views[i]->isDirty();
        views[i]->draw(canvas);
        views[i]->setDirty(wasDirty);
    }
    if (modalView) modalView->draw(canvas);
}

void GuiFrame::mouse(Canvas* canvas, GuiPoint where) {
    if (textEntryView) {
        textEntryView->loseFocus();
        textEntryView = nullptr;
    }
    if (modalView) {
        if (modalView->bounds().contains(where)) modalView->mouse(canvas, where);
        return;
    }
    if (GuiView* view = viewUnder(where, true)) view->mouse(canvas, where);
}

bool GuiFrame::wheel(Canvas* canvas, GuiPoint where, float distance) {
    GuiView* view = viewUnder(where, false);
    return view ? view->wheel(canvas, where, distance) : false;
}

bool GuiFrame::acceptDrop(void* items, int itemCount, int type, GuiPoint where) {
    if (modalView || textEntryView) return false;
    for (int i = count - 1; i >= 0; --i) {
        GuiView* view = views[i];
        if (view->isClickable() && view->bounds().contains(where) && view->acceptDrop(items, itemCount, type, where))
            return true;
    }
    return false;
}

void GuiFrame::redrawIfDirty(Canvas* canvas) {
    if (!open) return;
    if (modalView) {
        modalView->redrawIfDirty(canvas);
    } else if (GuiView::isDirty()) {
        draw(canvas);
        GuiView::setDirty(false);
    } else {
        for (int i = 0; i < count; ++i) views[i]->redrawIfDirty(canvas);
    }
}

GuiView* GuiFrame::viewUnder(GuiPoint where, bool clickableOnly) const {
    for (int i = count - 1; i >= 0; --i) {
        GuiView* view = views[i];
        if ((!clickableOnly || view->isClickable()) && view->bounds().contains(where)) return view;
    }
    return nullptr;
}

bool GuiFrame::addView(GuiView* view) {
    if (!view) return false;
    if (count == capacity) {
        // Grown in steps of 10; a failed growth keeps the list as it was.
        GuiView** grown = new (std::nothrow) GuiView*[capacity + 10];
        if (!grown) return false;
        for (int i = 0; i < count; ++i) grown[i] = views[i];
        delete[] views;
        views = grown;
        capacity += 10;
    }
    views[count++] = view;
    view->setFrame(this);
    return true;
}

void GuiFrame::removeView(GuiView* view, bool releasing) {
    for (int i = 0; i < count; ++i) {
        if (views[i] != view) continue;
        for (int j = i; j + 1 < count; ++j) views[j] = views[j + 1];
        --count;
        if (modalView == view) modalView = nullptr;
        if (textEntryView == view) textEntryView = nullptr;
        view->setFrame(nullptr);
        if (releasing) view->release();
        return;
    }
}

void GuiFrame::clearViews(bool releasing) {
    modalView = nullptr;
    textEntryView = nullptr;
    while (count > 0) {
        GuiView* view = views[--count];
        view->setFrame(nullptr);
        if (releasing) view->release();
    }
}

bool GuiFrame::contains(GuiView* view) const {
    for (int i = 0; i < count; ++i)
        if (views[i] == view) return true;
    return false;
}

bool GuiFrame::setModal(GuiView* view) {
    if (view && modalView) return false;
    modalView = view;
    return true;
}

void GuiFrame::idle() {
    if (!isOpen() || firstDraw) return;
    Canvas canvas(this);
    if (canvas.isValid()) redrawIfDirty(&canvas);
}

void GuiFrame::drawView(GuiView* view) {
    if (!isOpen()) return;
    Canvas canvas(this);
    if (!canvas.isValid()) return;
    if (view)
        view->draw(&canvas);
    else
        draw(&canvas);
}

GuiPoint GuiFrame::cursorPosition() { return window ? window->cursorPosition() : GuiPoint(); }

void GuiFrame::beginGesture(int tag) {
    if (editor) editor->beginGesture(tag);
}

void GuiFrame::endGesture(int tag) {
    if (editor) editor->endGesture(tag);
}

void GuiFrame::processEvents() {
    if (window && open) window->processEvents();
}

void GuiFrame::paintWindow(DrawSurface& surface) {
    Canvas canvas(this, &surface);
    draw(&canvas);
}

void GuiFrame::buttonPressed(GuiPoint where) {
    Canvas canvas(this);
    if (canvas.isValid()) mouse(&canvas, where);
}

void GuiFrame::wheelTurned(float distance) {
    if (editor) editor->wheel(distance);
}

bool GuiFrame::itemsDropped(void* items, int itemCount, int type, GuiPoint where) {
    return acceptDrop(items, itemCount, type, where);
}

void GuiFrame::windowDestroyed() {
    open = false;
    parent = nullptr;
}
