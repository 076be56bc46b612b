// The editor half of a plug-in: joins a frame to the effect, answers the
// host's editor calls and paces redraws and host idles, also from inside
// mouse drags. Product editors derive from it, build their views in open and
// drop them in close.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/gui_types.h"
#include "shell/effect_editor.h"

class AudioEffect;
class GuiBitmap;
class GuiFrame;

class GuiEditorBase : public EffectEditor {
public:
    // Registers the editor with the effect, which then owns it.
    explicit GuiEditorBase(AudioEffect* effect);
    ~GuiEditorBase() override;

    VstIntPtr getRect(ERect** rect) override;
    // Base part: a frame still open from an earlier open is closed first (so a
    // second open never leaves two windows), an update is requested and the
    // window stored. Answers 0; products answer 1 once their frame is built.
    VstIntPtr open(void* parentWindow) override;
    // Deletes the frame and every view in it.
    void close() override;
    void idle() override;
    virtual void update() {}
    // Any thread may report changes (hosts set parameters from their audio
    // thread too); the views follow at the next idle, on the editor's thread.
    void postUpdate() override { updateRequested = true; }
    VstInt32 keyDown(VstKeyCode& /*key*/) override { return -1; }
    VstInt32 keyUp(VstKeyCode& /*key*/) override { return -1; }
    // Stores the module-wide knob mode; answers 1.
    VstInt32 setKnobDragMode(VstInt32 mode) override;
    // Gives the wheel to the last view under the cursor.
    virtual bool wheel(float distance);
    void parameterChanged(VstInt32 index, float value) override;
    // Draws the whole frame in a fresh canvas.
    virtual void draw();

    // Idle pacing from inside a mouse-tracking loop.
    void pumpIdle();
    void beginGesture(int tag);
    void endGesture(int tag);

    static int knobMode() { return knobDragMode; }
    static void setKnobMode(int mode) { knobDragMode = mode; }

    AudioEffect* getEffect() const { return effect; }
    GuiFrame* getFrame() const { return frame; }
    void* systemWindowHandle() const { return systemWindow; }
    bool updateIsRequested() const { return updateRequested; }

protected:
    // Makes the frame for `rect` in `parentWindow` with `background`; false
    // (and no frame) without a parent window or when the window cannot be made.
    bool createFrame(void* parentWindow, GuiBitmap* background);
    // Sets the rectangle reported to the host (all zero for a 0 x 0 size).
    void setRect(int width, int height);
    // Editor thread, at idle: shows a parameter's new value in its views.
    virtual void refreshParameter(VstInt32 /*index*/) {}
    // Refreshes the parameters reported since the last idle, then updates.
    void catchUp();

    AudioEffect* effect;
    ERect rect{0, 0, 0, 0};
    GuiFrame* frame = nullptr;
    void* systemWindow = nullptr;
    std::atomic<bool> updateRequested{false};
    std::atomic<uint32_t> changedParameters{0};  // bit i: parameter i changed
    bool inIdle = false;
    uint32_t lastIdleTicks;

private:
    static int knobDragMode;
};
