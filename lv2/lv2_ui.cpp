#include "lv2/lv2_ui.h"

#include <cmath>
#include <cstring>
#include <new>

#include "gui/gui_frame.h"

namespace lv2_ui {

PortHost::PortHost(const UiEntry& e, LV2UI_Write_Function w, LV2UI_Controller c, const LV2UI_Touch* t)
    : entry(e),
      portLayout(lv2_ports::layout(e.numParams, e.numMeters, e.build)),
      // Hosts send every control port once right after instantiation; until
      // then the editor shows zeros.
      normalised(static_cast<size_t>(e.numParams), 0.0f),
      meters(static_cast<size_t>(e.numMeters), 0.0f),
      write(w),
      controller(c),
      touch(t) {
    for (int i = 0; i < entry.numParams; ++i) ports.push_back(lv2_ports::conversionOf(entry.rules[i], i));
}

float PortHost::parameter(int index) const { return validParameter(index) ? normalised[index] : 0.0f; }

float PortHost::effectiveValue(int index) const {
    return validParameter(index) ? entry.effectiveValue(index, normalised.data(), entry.build) : 0.0f;
}

float PortHost::stereoMonoValue() const { return entry.stereoMonoValue(normalised.data(), entry.build); }

void PortHost::beginEdit(int index) {
    if (touch && validParameter(index)) touch->touch(touch->handle, portLayout.firstControl + index, true);
}

void PortHost::endEdit(int index) {
    if (touch && validParameter(index)) touch->touch(touch->handle, portLayout.firstControl + index, false);
}

// As the effect does for its editor: the value is stored, sent on and shown.
void PortHost::setParameter(int index, float value) {
    if (!validParameter(index) || std::isnan(value)) return;
    normalised[index] = value;
    const float portValue = ports[index].toPort(value);
    if (write) write(controller, portLayout.firstControl + index, sizeof portValue, 0, &portValue);
    if (editor) editor->parameterChanged(index, value);
}

void PortHost::readMeters(float* values, int count) {
    for (int i = 0; i < count; ++i) values[i] = i < entry.numMeters ? meters[i] : 0.0f;
}

void PortHost::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || !buffer) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    if (std::isnan(value)) return;
    const int p = static_cast<int>(port);
    if (p >= portLayout.firstControl && p < portLayout.latency) {
        const int index = p - portLayout.firstControl;
        normalised[index] = ports[index].toNormalised(value);
        if (editor) editor->parameterChanged(index, normalised[index]);
    } else if (p >= portLayout.firstMeter && p < portLayout.total) {
        meters[static_cast<size_t>(p - portLayout.firstMeter)] = value;
    }
}

namespace {

// One open UI: the editor over its port host, in the host's parent window.
struct Ui {
    PortHost host;
    std::unique_ptr<GuiEditorBase> editor;

    Ui(const UiEntry& entry, LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : host(entry, write, controller, touch) {}
    ~Ui() {
        // The editor refers to the host: it closes and goes first.
        if (editor) editor->close();
        host.setEditor(nullptr);
        editor.reset();
    }
};

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
    return nullptr;
}

// Null without a parent window or when the editor cannot open in it: a UI
// without a window has nothing to show.
LV2UI_Handle open(const UiEntry& entry, LV2UI_Write_Function write, LV2UI_Controller controller,
                  LV2UI_Widget* widget, const LV2_Feature* const* features) {
    void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
    if (!parent) return nullptr;
    auto touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));
    std::unique_ptr<Ui> ui(new Ui(entry, write, controller, touch));
    ui->editor = entry.makeEditor(ui->host);
    if (!ui->editor) return nullptr;
    ui->host.setEditor(ui->editor.get());
    if (!ui->editor->open(parent) || !ui->editor->getFrame() || !ui->editor->getFrame()->platformWindow())
        return nullptr;
    if (widget)
        *widget = reinterpret_cast<LV2UI_Widget>(ui->editor->getFrame()->platformWindow()->nativeId());
    if (auto resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize)))
        resize->ui_resize(resize->handle, ui->editor->width(), ui->editor->height());
    return ui.release();
}

// Null when memory runs out too: no exception crosses into the host.
LV2UI_Handle instantiate(const LV2UI_Descriptor* descriptor, const char* /*pluginUri*/, const char* /*bundlePath*/,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    try {
        return open(*reinterpret_cast<const Descriptor*>(descriptor)->entry, write, controller, widget, features);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) { delete static_cast<Ui*>(handle); }

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    static_cast<Ui*>(handle)->host.portEvent(port, size, format, buffer);
}

// The editor drains its window's events and redraws what changed.
int idle(LV2UI_Handle handle) {
    static_cast<Ui*>(handle)->editor->idle();
    return 0;
}

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdle : nullptr;
}

}  // namespace

Descriptor makeDescriptor(const UiEntry& entry, const char* uri) {
    return {{uri, instantiate, cleanup, portEvent, extensionData}, &entry};
}

}  // namespace lv2_ui
