// A treble effect composed with its editor as the modules compose it, on the
// headless backend, the recording host of the toolkit tests, and helpers to
// click, drag and read texts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glintor/glintor_vst2.h"
#include "gui/gui_frame.h"
#include "gui/headless/headless_platform.h"
#include "gui/value_display.h"
#include "treble/treble_effect.h"
#include "treble_editor/treble_editor.h"
#include "gui_test_support.h"

class TrebleEditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the effect (and its editor) for `build`; the previous one is closed.
    void make(PluginBuild build = PluginBuild::Stereo);
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // Opens the editor and runs the first idle (the first paint).
    void open();
    void idle() { dispatch(effEditIdle); }
    // A press at the first step, held through the others, released after the last.
    void drag(std::vector<MouseStep> steps);
    void click(int x, int y) { drag({{GuiPoint(x, y), ButtonLeft}}); }
    // The edit requests (begin, automate, end) the plug-in made of the host.
    std::vector<HostCall> editRequests() const;

    static std::string textOf(const ValueDisplay* field);
    // The window's pixels in an area, row by row, to compare before and after.
    std::vector<uint32_t> pixels(const GuiRect& area) const;

    TrebleEffect* effect = nullptr;
    TrebleEditor* editor = nullptr;
    HeadlessWindow* window = nullptr;
};

// Some non-null parent window for the headless backend.
void* parentWindow();
