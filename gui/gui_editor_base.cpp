#include "gui/gui_editor_base.h"

#include <new>

#include "gui/canvas.h"
#include "gui/gui_control.h"
#include "gui/gui_frame.h"
#include "gui/platform.h"
#include "gui/value_display.h"

int GuiEditorBase::knobDragMode = KnobCircular;

GuiEditorBase::GuiEditorBase(EditorHost& h, int meters)
    : editorHost(h), meterCount(meters < 0 ? 0 : (meters > kMaxMeters ? kMaxMeters : meters)),
      lastIdleTicks(guiPlatform().tickCount()) {
    guiPlatform().editorCreated();
}

GuiEditorBase::~GuiEditorBase() {
    delete frame;
    frame = nullptr;
    guiPlatform().editorDestroyed();
}

bool GuiEditorBase::open(void* parentWindow) {
    if (frame) close();
    postUpdate();
    systemWindow = parentWindow;
    return false;
}

void GuiEditorBase::close() {
    delete frame;
    frame = nullptr;
    systemWindow = nullptr;
    for (GuiControl*& view : meterViews) view = nullptr;
    for (int i = 0; i < kMaxParameters; ++i) {
        controls[i] = nullptr;
        valueFields[i] = nullptr;
    }
}

void GuiEditorBase::placeControl(int index, GuiControl* control) {
    if (!control || !validIndex(index)) return;
    control->setValue(editorHost.parameter(index));
    controls[index] = control;
}

void GuiEditorBase::placeValueField(int index, ValueDisplay* field, bool normalised, float scale) {
    if (!validIndex(index)) return;
    fieldNormalised[index] = normalised;
    fieldScale[index] = scale;
    valueFields[index] = field;
    if (field) field->setValue(fieldValue(index));
}

float GuiEditorBase::fieldValue(int index) const {
    if (!validIndex(index)) return 0.0f;
    return fieldNormalised[index] ? editorHost.parameter(index) * fieldScale[index] : editorHost.effectiveValue(index);
}

void GuiEditorBase::refreshParameter(int index) {
    if (!frame || !validIndex(index)) return;
    if (controls[index]) controls[index]->setValue(editorHost.parameter(index));
    if (valueFields[index]) valueFields[index]->setValue(fieldValue(index));
    postUpdate();
}

void GuiEditorBase::setMeterView(int meter, GuiControl* view) {
    if (meter >= 0 && meter < meterCount) meterViews[meter] = view;
}

void GuiEditorBase::showMeters() {
    if (!frame || meterCount == 0) return;
    float values[kMaxMeters] = {};
    editorHost.readMeters(values, meterCount);
    for (int meter = 0; meter < meterCount; ++meter)
        if (meterViews[meter]) meterViews[meter]->setValue(values[meter]);
}

void GuiEditorBase::resetMeters() {
    for (int meter = 0; meter < meterCount; ++meter)
        if (meterViews[meter]) meterViews[meter]->setValue(0.0f);
    postUpdate();
}

void GuiEditorBase::parameterChanged(int index, float /*value*/) {
    if (validIndex(index)) changedParameters.fetch_or(1u << index);
    postUpdate();
}

void GuiEditorBase::catchUp() {
    const uint32_t changed = changedParameters.exchange(0);
    for (int index = 0; index < kMaxParameters; ++index)
        if (changed & (1u << index)) refreshParameter(index);
    if (updateRequested.exchange(false)) update();
}

void GuiEditorBase::idle() {
    if (inIdle) return;
    if (frame) frame->processEvents();
    catchUp();
    if (frame) frame->idle();
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
    editorHost.hostIdle();
    lastIdleTicks = now;
    inIdle = false;
}

void GuiEditorBase::beginGesture(int tag) {
    editorHost.beginEdit(tag);
}

void GuiEditorBase::endGesture(int tag) {
    editorHost.endEdit(tag);
}

bool GuiEditorBase::createFrame(void* parentWindow, GuiBitmap* background) {
    if (frame) close();
    if (!parentWindow) return false;
    GuiRect size(0, 0, editorWidth, editorHeight);
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

void GuiEditorBase::setSize(int width, int height) {
    editorWidth = width;
    editorHeight = height;
}
