#include "treble_editor_fixture.h"

std::vector<HostRequest> TrebleEditorTest::requests;

namespace {
VstIntPtr recordingHost(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/, void* /*ptr*/,
                        float opt) {
    TrebleEditorTest::requests.push_back({opcode, index, opt});
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterAutomate:
            return 1;
        default:
            return 0;
    }
}
}  // namespace

void* parentWindow() {
    static int parent;
    return &parent;
}

void TrebleEditorTest::SetUp() {
    headlessPlatform().reset();
    requests.clear();
    trebleEditorFactory = createTrebleEditor;
    make();
}

void TrebleEditorTest::TearDown() {
    if (effect) dispatch(effClose);
    trebleEditorFactory = nullptr;
    EXPECT_TRUE(headlessPlatform().windows().empty()) << "a window outlived its effect";
}

void TrebleEditorTest::make(PluginBuild build) {
    if (effect) dispatch(effClose);
    effect = new TrebleEffect(recordingHost, build);
    editor = dynamic_cast<TrebleEditor*>(effect->getEditor());
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

std::vector<HostRequest> TrebleEditorTest::editRequests() const {
    std::vector<HostRequest> out;
    for (const HostRequest& r : requests)
        if (r.opcode == audioMasterBeginEdit || r.opcode == audioMasterEndEdit || r.opcode == audioMasterAutomate)
            out.push_back(r);
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
