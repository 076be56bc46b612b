// A minimal effect, a recording host and a bare editor for driving the
// toolkit through the same calls a host and a product editor make; the editor
// is composed with the effect through the VST 2 glue, as the products' are.
#pragma once

#include <functional>
#include <vector>

#include "gui/gui_control.h"
#include "gui/gui_editor_base.h"
#include "common/vst2/vst2_editor.h"
#include "gui/gui_frame.h"
#include "shell/audio_effect.h"

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    float opt;
};

// What the plug-in asked of the host, across every effect in the test.
struct RecordingHost {
    std::vector<HostCall> calls;
    std::function<void()> onIdle;  // runs inside audioMasterIdle

    int count(VstInt32 opcode) const;
    // The opcodes among begin-edit, end-edit and automate, in order.
    std::vector<VstInt32> editOpcodes() const;
};

RecordingHost& recordingHost();
VstIntPtr recordingHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt);

class TestEffect : public AudioEffectX {
public:
    static constexpr int kParams = 8;
    explicit TestEffect(audioMasterCallback master = recordingHostCallback);

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;

    float values[kParams] = {};
    int setCount = 0;
};

// The test effect's values as the editor's host; it has no meters, and its
// display values are the normalised values.
class TestEditorHost : public Vst2EditorHost {
public:
    explicit TestEditorHost(AudioEffect& effect) : Vst2EditorHost(effect, nullptr) {}
    float effectiveValue(int index) const override { return parameter(index); }
    float stereoMonoValue() const override { return 0.0f; }
    void readMeters(float* values, int count) override;
};

// Opens a frame with the background bitmap 128 over its whole size; tests add
// their own views. Forwards control changes like a product editor.
class TestEditor : public GuiEditorBase, public ControlObserver {
public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 120;

    explicit TestEditor(EditorHost& host);
    ~TestEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    void controlChanged(Canvas* canvas, GuiControl* control) override;

    int changes = 0;
    int closes = 0;
    std::vector<float> reported;
    GuiBitmap* background;
};

// Gives `effect` a TestEditor as a product's entry gives its effect an
// editor; the effect owns it. Answers the new editor.
TestEditor* attachTestEditor(AudioEffect* effect);
// The TestEditor registered with `effect`; null when there is none.
TestEditor* testEditorOf(AudioEffect* effect);

// Some non-null parent window value for the headless backend.
void* fakeParentWindow();
