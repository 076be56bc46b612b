#include "gui_test_support.h"

#include "gui/gui_bitmap.h"

RecordingHost& recordingHost() {
    static RecordingHost host;
    return host;
}

int RecordingHost::count(VstInt32 opcode) const {
    int n = 0;
    for (const HostCall& call : calls)
        if (call.opcode == opcode) ++n;
    return n;
}

std::vector<VstInt32> RecordingHost::editOpcodes() const {
    std::vector<VstInt32> out;
    for (const HostCall& call : calls)
        if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
            call.opcode == audioMasterAutomate)
            out.push_back(call.opcode);
    return out;
}

VstIntPtr recordingHostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                                void* /*ptr*/, float opt) {
    RecordingHost& host = recordingHost();
    host.calls.push_back({opcode, index, opt});
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterAutomate:
            return 1;
        case audioMasterIdle:
            if (host.onIdle) host.onIdle();
            return 1;
        default:
            return 0;
    }
}

TestEffect::TestEffect(audioMasterCallback master) : AudioEffectX(master, 1, kParams) {}

void TestEffect::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kParams) return;
    values[index] = value;
    ++setCount;
    if (editor) editor->parameterChanged(index, value);
}

float TestEffect::getParameter(VstInt32 index) { return index >= 0 && index < kParams ? values[index] : 0.0f; }

void TestEditorHost::readMeters(float* values, int count) {
    for (int i = 0; i < count; ++i) values[i] = 0.0f;
}

TestEditor::TestEditor(EditorHost& host) : GuiEditorBase(host), background(new GuiBitmap(128)) {
    setSize(kWidth, kHeight);
}

TestEditor::~TestEditor() {
    // The frame holds its own reference; this one is the editor's.
    delete frame;
    frame = nullptr;
    background->release();
}

bool TestEditor::open(void* parentWindow) {
    GuiEditorBase::open(parentWindow);
    return createFrame(parentWindow, background);
}

void TestEditor::close() {
    ++closes;
    GuiEditorBase::close();
}

void TestEditor::controlChanged(Canvas* canvas, GuiControl* control) {
    ++changes;
    reported.push_back(control->getValue());
    if (control->tag() >= 0 && control->tag() < TestEffect::kParams)
        editorHost.setParameter(control->tag(), control->getValue());
    control->redrawIfDirty(canvas);
}

TestEditor* attachTestEditor(AudioEffect* effect) {
    attachEditor<TestEditor, TestEditorHost>(*effect);
    return testEditorOf(effect);
}

TestEditor* testEditorOf(AudioEffect* effect) { return dynamic_cast<TestEditor*>(Vst2Editor::editorOf(*effect)); }

void* fakeParentWindow() {
    static int parent;
    return &parent;
}
