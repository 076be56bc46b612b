#include "gui/gui_view.h"

#include "gui/gui_bitmap.h"
#include "gui/gui_editor_base.h"
#include "gui/gui_frame.h"

GuiView::GuiView(const GuiRect& r) : size(r) {}

GuiView::~GuiView() {
    if (background) background->release();
}

void GuiView::draw(Canvas* canvas) {
    if (background) background->draw(canvas, size, GuiPoint(), colorKeyed);
    setDirty(false);
}

void GuiView::mouse(Canvas* /*canvas*/, GuiPoint /*where*/) {}

void GuiView::redrawIfDirty(Canvas* canvas) {
    if (isDirty()) {
        draw(canvas);
        setDirty(false);
    }
}

bool GuiView::acceptDrop(void* /*items*/, int /*count*/, int /*type*/, GuiPoint /*where*/) { return false; }

bool GuiView::wheel(Canvas* /*canvas*/, GuiPoint /*where*/, float /*distance*/) { return false; }

void GuiView::setBounds(const GuiRect& r) {
    size = r;
    setDirty(true);
}

void GuiView::release() {
    if (--refCount <= 0) delete this;
}

void GuiView::pumpIdle() {
    if (frame && frame->getEditor()) frame->getEditor()->pumpIdle();
}

void GuiView::setBackgroundBitmap(GuiBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (background) background->release();
    background = bitmap;
}
