// The editor half of a plug-in: joins a frame to its EditorHost, answers the
// plug-in format's editor calls and paces redraws and host idles, also from
// inside mouse drags. Product editors derive from it, build their views in
// open and drop them in close. The format's glue owns the editor and hands it
// the host's calls and the effect's notifications.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/editor_host.h"
#include "gui/gui_types.h"

class GuiBitmap;
class GuiControl;
class GuiFrame;
class ValueDisplay;

class GuiEditorBase {
public:
    static constexpr int kMaxMeters = 4;
    static constexpr int kMaxParameters = 32;

    // `meterCount`: how many output values the host's readMeters gives this
    // editor (at most kMaxMeters).
    explicit GuiEditorBase(EditorHost& host, int meterCount = 0);
    virtual ~GuiEditorBase();

    GuiEditorBase(const GuiEditorBase&) = delete;
    GuiEditorBase& operator=(const GuiEditorBase&) = delete;

    // The window size the editor asks for; 0 x 0 when it has no picture.
    int width() const { return editorWidth; }
    int height() const { return editorHeight; }
    // Base part: a frame still open from an earlier open is closed first (so a
    // second open never leaves two windows), an update is requested and the
    // window stored. Answers false; products answer true once their frame is
    // built. parentWindow is an HWND on Windows and an X11 Window id on Linux.
    virtual bool open(void* parentWindow);
    // Deletes the frame and every view in it, the meter views too.
    virtual void close();
    virtual void idle();
    virtual void update() {}
    // Any thread may report changes (hosts set parameters from their audio
    // thread too); the views follow at the next idle, on the editor's thread.
    void postUpdate() { updateRequested = true; }
    void parameterChanged(int index, float value);
    // The processing cleared its meters: the meter views show them cleared.
    void resetMeters();
    // Gives the wheel to the last view under the cursor.
    virtual bool wheel(float distance);
    // Draws the whole frame in a fresh canvas.
    virtual void draw();

    // Idle pacing from inside a mouse-tracking loop.
    void pumpIdle();
    void beginGesture(int tag);
    void endGesture(int tag);

    // The knob mode is one value for the whole module.
    static int knobMode() { return knobDragMode; }
    static void setKnobMode(int mode) { knobDragMode = mode; }

    EditorHost& host() const { return editorHost; }
    // A parameter's control and value field, for tests and screenshots; null
    // while closed or where the parameter has none.
    GuiControl* control(int index) const { return validIndex(index) ? controls[index] : nullptr; }
    ValueDisplay* valueField(int index) const { return validIndex(index) ? valueFields[index] : nullptr; }
    GuiFrame* getFrame() const { return frame; }
    void* systemWindowHandle() const { return systemWindow; }
    bool updateIsRequested() const { return updateRequested; }

protected:
    // Makes the frame for the editor's size in `parentWindow` with
    // `background`; false (and no frame) without a parent window or when the
    // window cannot be made.
    bool createFrame(void* parentWindow, GuiBitmap* background);
    // Sets the size reported to the host.
    void setSize(int width, int height);
    // Editor thread, at idle: shows a parameter's new value in its views.
    // Shows the host's current value in the parameter's control and field.
    virtual void refreshParameter(int index);
    // A parameter's control, set to the host's value now and followed from then on.
    void placeControl(int index, GuiControl* control);
    // A parameter's value field: the effective value, or `scale` times the
    // normalised value (the source and scale of the parameter's field rule).
    void placeValueField(int index, ValueDisplay* field, bool normalised, float scale);
    // The number a parameter's value field shows.
    float fieldValue(int index) const;
    static bool validIndex(int index) { return index >= 0 && index < kMaxParameters; }
    // Refreshes the parameters reported since the last idle, then updates.
    void catchUp();
    // Makes `view` (a view of the frame, or null) show the host's meter
    // number `meter`, until the frame closes.
    void setMeterView(int meter, GuiControl* view);
    // Editor thread, at idle: reads every meter from the host, which counts
    // as the editor having seen them, and shows them in their views.
    void showMeters();

    EditorHost& editorHost;
    int editorWidth = 0;
    int editorHeight = 0;
    GuiFrame* frame = nullptr;
    void* systemWindow = nullptr;
    std::atomic<bool> updateRequested{false};
    std::atomic<uint32_t> changedParameters{0};  // bit i: parameter i changed
    const int meterCount;
    GuiControl* meterViews[kMaxMeters] = {};
    GuiControl* controls[kMaxParameters] = {};
    ValueDisplay* valueFields[kMaxParameters] = {};
    bool fieldNormalised[kMaxParameters] = {};
    float fieldScale[kMaxParameters] = {};
    bool inIdle = false;
    uint32_t lastIdleTicks;

private:
    static int knobDragMode;
};
