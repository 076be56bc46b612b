// What the effect base needs of an editor. The VST 2 glue (common/vst2)
// implements it over a toolkit editor; the shell knows nothing else about
// windows or drawing.
#pragma once

#include "shell/vst2_abi.h"

class EffectEditor {
public:
    virtual ~EffectEditor() = default;

    // Stores a pointer to the editor's own rectangle in *rect; answers 1.
    virtual VstIntPtr getRect(ERect** rect) = 0;
    // parentWindow is an HWND on Windows and an X11 Window id on Linux.
    virtual VstIntPtr open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
    // -1: key not handled.
    virtual VstInt32 keyDown(VstKeyCode& /*key*/) { return -1; }
    virtual VstInt32 keyUp(VstKeyCode& /*key*/) { return -1; }
    virtual VstInt32 setKnobDragMode(VstInt32 mode) = 0;

    // Notifications from the effect while the editor is open.
    virtual void postUpdate() = 0;
    virtual void parameterChanged(VstInt32 index, float value) = 0;
    virtual void resetMeters() {}
};
