// The editors as LV2 UIs. The editor talks to an EditorHost; here that host
// is made of the plug-in's ports alone: values arrive as port events and
// leave through the host's write function, so the host may run the UI in
// another process. Display values are derived in the UI from the product's
// mapping, never read from the instance.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/ui/ui.h>

#include "gui/editor_host.h"
#include "gui/gui_editor_base.h"
#include "lv2/port_spec.h"

namespace lv2_ui {

// What differs between the products' UIs, one per build.
struct UiEntry {
    PluginBuild build;
    const lv2_ports::PortRule* rules;  // one per parameter
    int numParams;
    int numMeters;
    // What the value fields show and the mode the editor follows, from the
    // normalised values of all parameters.
    float (*effectiveValue)(int index, const float* normalised, PluginBuild build);
    float (*stereoMonoValue)(const float* normalised, PluginBuild build);
    // May throw std::bad_alloc, which the UI's instantiate catches.
    std::unique_ptr<GuiEditorBase> (*makeEditor)(EditorHost& host);
};

// An LV2 UI descriptor that knows its build; the LV2 record comes first, so
// the descriptor the host passes back finds it.
struct Descriptor {
    LV2UI_Descriptor lv2;
    const UiEntry* entry;
};
// The descriptor of a build's UI; `uri` must outlive it.
Descriptor makeDescriptor(const UiEntry& entry, const char* uri);

// The editor's host over the plug-in's ports.
class PortHost : public EditorHost {
public:
    PortHost(const UiEntry& entry, LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch);

    float parameter(int index) const override;
    float effectiveValue(int index) const override;
    float stereoMonoValue() const override;
    // Edit gestures are the host's touch notifications where it offers them.
    void beginEdit(int index) override;
    void setParameter(int index, float value) override;
    void endEdit(int index) override;
    void readMeters(float* values, int count) override;
    // The host idles the UI itself.
    void hostIdle() override {}

    // A float port event: a control becomes normalised and reaches the
    // editor; a meter is kept for the editor's next read. Anything else (the
    // latency, other formats, NaN) is ignored.
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    void setEditor(GuiEditorBase* e) { editor = e; }

private:
    bool validParameter(int index) const { return index >= 0 && index < entry.numParams; }

    const UiEntry& entry;
    const lv2_ports::PortLayout portLayout;
    std::vector<lv2_ports::ControlPort> ports;
    std::vector<float> normalised;
    std::vector<float> meters;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch;
    GuiEditorBase* editor = nullptr;
};

}  // namespace lv2_ui
