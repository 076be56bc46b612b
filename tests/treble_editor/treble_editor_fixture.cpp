#include "treble_editor_fixture.h"

#include "gui_test_support.h"

void* parentWindow() {
    static int parent;
    return &parent;
}

void TrebleEditorTest::SetUp() {
    headlessPlatform().reset();
    recordingHost() = RecordingHost();
    make();
}

void TrebleEditorTest::TearDown() {
    if (effect) dispatch(effClose);
    EXPECT_TRUE(headlessPlatform().windows().empty()) << "a window outlived its effect";
}

void TrebleEditorTest::make(PluginBuild build) {
    if (effect) dispatch(effClose);
    effect = static_cast<TrebleEffect*>(makeGlintor(recordingHostCallback, build));
    ASSERT_NE(effect, nullptr);
    editor = dynamic_cast<TrebleEditor*>(Vst2Editor::editorOf(*effect));
    ASSERT_NE(editor, nullptr);
    window = nullptr;
}

VstIntPtr TrebleEditorTest::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    AEffect* record = effect->getAeffect();
    const VstIntPtr answer = record->dispatcher(record, opcode, index, value, ptr, opt);
    if (opcode == effClose) effect = nullptr, editor = nullptr, window = nullptr;
    return answer;
}

void TrebleEditorTest::open() {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parentWindow()), 1);
    window = headlessPlatform().lastWindow();
    ASSERT_NE(window, nullptr);
    idle();
}

void TrebleEditorTest::drag(std::vector<MouseStep> steps) {
    headlessPlatform().scriptMouse(std::move(steps));
    window->press();
}

std::vector<HostCall> TrebleEditorTest::editRequests() const {
    std::vector<HostCall> out;
    for (const HostCall& call : recordingHost().calls)
        if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
            call.opcode == audioMasterAutomate)
            out.push_back(call);
    return out;
}

std::string TrebleEditorTest::textOf(const ValueDisplay* field) {
    if (!field) return "<no field>";
    char text[ValueDisplay::kTextSize];
    field->formatText(text);
    return text;
}

std::vector<uint32_t> TrebleEditorTest::pixels(const GuiRect& area) const {
    std::vector<uint32_t> out;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) out.push_back(window->pixel(x, y).rgb());
    return out;
}
