#include "gui/gui_editor_base.h"

#include <new>

#include "gui/canvas.h"
#include "gui/gui_frame.h"
#include "gui/platform.h"
#include "shell/audio_effect.h"

int GuiEditorBase::knobDragMode = KnobCircular;

GuiEditorBase::GuiEditorBase(AudioEffect* e) : effect(e), lastIdleTicks(guiPlatform().tickCount()) {
    guiPlatform().editorCreated();
    if (effect) effect->setEditor(this);
}

GuiEditorBase::~GuiEditorBase() {
    delete frame;
    frame = nullptr;
    // Deleted by someone other than the effect: the effect must not keep a dangling editor.
    if (effect && effect->getEditor() == this) effect->setEditor(nullptr);
    guiPlatform().editorDestroyed();
}

VstIntPtr GuiEditorBase::getRect(ERect** r) {
    if (!r) return 0;
    *r = &rect;
    return 1;
}

VstIntPtr GuiEditorBase::open(void* parentWindow) {
    if (frame) close();
    postUpdate();
    systemWindow = parentWindow;
    return 0;
}

void GuiEditorBase::close() {
    delete frame;
    frame = nullptr;
    systemWindow = nullptr;
}

void GuiEditorBase::parameterChanged(VstInt32 index, float /*value*/) {
    if (index >= 0 && index < 32) changedParameters.fetch_or(1u << index);
    postUpdate();
}

void GuiEditorBase::catchUp() {
    const uint32_t changed = changedParameters.exchange(0);
    for (VstInt32 index = 0; index < 32; ++index)
        if (changed & (1u << index)) refreshParameter(index);
    if (updateRequested.exchange(false)) update();
}

void GuiEditorBase::idle() {
    if (inIdle) return;
    if (frame) frame->processEvents();
    catchUp();
    if (frame) frame->idle();
}

VstInt32 GuiEditorBase::setKnobDragMode(VstInt32 mode) {
    knobDragMode = mode;
    return 1;
}

bool GuiEditorBase::wheel(float distance) {
    if (!frame || !frame->isOpen()) return false;
    GuiPoint where = frame->cursorPosition();
    Canvas canvas(frame);
    if (!canvas.isValid()) return false;
    return frame->wheel(&canvas, where, distance);
}

void GuiEditorBase::draw() {
    if (frame) frame->drawView(nullptr);
}

void GuiEditorBase::pumpIdle() {
    GuiPlatform& platform = guiPlatform();
    inIdle = true;
    uint32_t now = platform.tickCount();
    catchUp();
    if (frame) frame->idle();
    // Unsigned differences keep the pacing right across the tick counter's wrap.
    if (now - lastIdleTicks < 100) {
        platform.sleep(10);
        now += 10;
        if (now - lastIdleTicks < 50) {
            inIdle = false;
            return;
        }
    }
    if (frame && frame->platformWindow()) frame->platformWindow()->flushOnePaint();
    if (effect) effect->masterIdle();
    lastIdleTicks = now;
    inIdle = false;
}

void GuiEditorBase::beginGesture(int tag) {
    if (effect) effect->beginEdit(tag);
}

void GuiEditorBase::endGesture(int tag) {
    if (effect) effect->endEdit(tag);
}

bool GuiEditorBase::createFrame(void* parentWindow, GuiBitmap* background) {
    if (frame) close();
    if (!parentWindow) return false;
    GuiRect size(0, 0, rect.right - rect.left, rect.bottom - rect.top);
    frame = new (std::nothrow) GuiFrame(size, parentWindow, this);
    if (!frame) return false;
    if (!frame->isOpen()) {
        delete frame;
        frame = nullptr;
        return false;
    }
    frame->setBackground(background);
    return true;
}

void GuiEditorBase::setRect(int width, int height) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(height);
    rect.right = static_cast<VstInt16>(width);
}
