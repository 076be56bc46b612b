// A bass effect in either build, composed with its editor as the modules
// compose it, the editor open on the headless backend, driven through the
// effect's dispatcher as a host drives it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bass/bass_effect.h"
#include "bass_editor/bass_editor.h"
#include "gui/headless/headless_platform.h"
#include "gui/value_display.h"
#include "gui_test_support.h"
#include "rumblor/rumblor_vst2.h"

// The effect with its editor, for the recording host.
inline BassEffect* makeBassWithEditor(PluginBuild build) {
    return static_cast<BassEffect*>(makeRumblor(recordingHostCallback, build));
}

inline BassEditor* bassEditorOf(BassEffect* effect) {
    return dynamic_cast<BassEditor*>(Vst2Editor::editorOf(*effect));
}

class BassEditorFixture : public ::testing::TestWithParam<PluginBuild> {
protected:
    void SetUp() override {
        headlessPlatform().reset();
        recordingHost() = RecordingHost();
        effect = makeBassWithEditor(GetParam());
        ASSERT_NE(nullptr, effect);
        editor = bassEditorOf(effect);
        ASSERT_NE(nullptr, editor);
        ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
        window = headlessPlatform().lastWindow();
        ASSERT_NE(nullptr, window);
        idle();  // the first paint
    }

    void TearDown() override {
        if (effect) dispatch(effClose);
        EXPECT_TRUE(headlessPlatform().windows().empty()) << "a window outlived its effect";
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        AEffect* record = effect->getAeffect();
        VstIntPtr answer = record->dispatcher(record, opcode, index, value, ptr, opt);
        if (opcode == effClose) effect = nullptr;
        return answer;
    }

    void idle(int times = 1) {
        for (int i = 0; i < times; ++i) dispatch(effEditIdle);
    }

    // A press at `where` with the left button, released right after.
    void click(GuiPoint where) {
        headlessPlatform().scriptMouse({{where, ButtonLeft}});
        window->press();
    }

    void drag(std::vector<MouseStep> steps) {
        headlessPlatform().scriptMouse(std::move(steps));
        window->press();
    }

    // What the meter ring shows at the next idle.
    void setMeters(float gain, float overload) {
        effect->gainMeterRing[effect->meterReadIndex] = gain;
        effect->overloadRing[effect->meterReadIndex] = overload;
    }

    std::string fieldText(int tag) {
        char text[ValueDisplay::kTextSize] = {};
        ValueDisplay* field = editor->valueField(tag);
        if (field) field->formatText(text);
        return text;
    }

    BassEffect* effect = nullptr;
    BassEditor* editor = nullptr;
    HeadlessWindow* window = nullptr;
};

inline std::string buildName(const ::testing::TestParamInfo<PluginBuild>& info) {
    return info.param == PluginBuild::Stereo ? "Stereo" : "Mono";
}
