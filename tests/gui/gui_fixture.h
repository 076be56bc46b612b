// An effect with an open test editor on the headless backend, a clean
// platform (no mouse script, clock at 0) and a clean host record per test.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"
#include "gui/headless/headless_platform.h"
#include "gui_test_support.h"

class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override {
        headlessPlatform().reset();
        recordingHost() = RecordingHost();
        GuiEditorBase::setKnobMode(KnobCircular);
        effect = new TestEffect();
        editor = attachTestEditor(effect);
        ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
        frame = editor->getFrame();
        window = headlessPlatform().lastWindow();
        ASSERT_NE(nullptr, frame);
        ASSERT_NE(nullptr, window);
        dispatch(effEditIdle);  // the first paint
    }

    void TearDown() override {
        if (effect) dispatch(effClose);
        recordingHost().onIdle = nullptr;
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        AEffect* record = effect->getAeffect();
        VstIntPtr answer = record->dispatcher(record, opcode, index, value, ptr, opt);
        if (opcode == effClose) effect = nullptr;
        return answer;
    }

    // Scripts the mouse and presses at the first step, as a click in the window would.
    void drag(std::vector<MouseStep> steps) {
        headlessPlatform().scriptMouse(std::move(steps));
        window->press();
    }

    template <class View>
    View* add(View* view) {
        frame->addView(view);
        return view;
    }

    TestEffect* effect = nullptr;
    TestEditor* editor = nullptr;
    GuiFrame* frame = nullptr;
    HeadlessWindow* window = nullptr;
};

inline bool sameColor(GuiColor a, GuiColor b) { return a.sameRgb(b); }

inline GuiColor rgb(int r, int g, int b) { return GuiColor{uint8_t(r), uint8_t(g), uint8_t(b), 0}; }

// The colour the test background (bitmap 128) has at (x, y).
inline GuiColor backgroundAt(int x, int y) { return rgb(x, y * 2, 90); }
