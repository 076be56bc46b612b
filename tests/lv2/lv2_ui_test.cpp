// The Glintor UI library's entry points and its editor host over ports, on
// the headless backend: the parent window is required, the editor asks for
// its size, port values arrive normalised and edits leave in port units.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include <lv2/ui/ui.h>

#include "lv2/lv2_ui.h"
#include "treble_dsp/treble_parameters.h"

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index);

namespace {

using namespace treble_params;

// Stereo Glintor: 2 + 2 audio ports, then the controls, the latency and the meters.
constexpr uint32_t kFirstControl = 4;
constexpr uint32_t kLatencyPort = kFirstControl + kNumParams;
constexpr uint32_t kFirstMeter = kLatencyPort + 1;

struct Recorder {
    std::vector<std::pair<uint32_t, float>> writes;
    std::vector<std::pair<uint32_t, bool>> touches;
    std::vector<std::pair<int, int>> sizes;
};

void recordWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    ASSERT_EQ(size, sizeof(float));
    ASSERT_EQ(format, 0u);
    static_cast<Recorder*>(controller)->writes.push_back({port, *static_cast<const float*>(buffer)});
}

void recordTouch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    static_cast<Recorder*>(handle)->touches.push_back({port, grabbed});
}

int recordSize(LV2UI_Feature_Handle handle, int width, int height) {
    static_cast<Recorder*>(handle)->sizes.push_back({width, height});
    return 0;
}

const lv2_ui::UiEntry& entry(uint32_t index) {
    return *reinterpret_cast<const lv2_ui::Descriptor*>(lv2ui_descriptor(index))->entry;
}

void send(lv2_ui::PortHost& host, uint32_t port, float value) { host.portEvent(port, sizeof value, 0, &value); }

TEST(Lv2Ui, OpensOnlyInAParentWindowAtTheEditorsSize) {
    const LV2UI_Descriptor* ui = lv2ui_descriptor(0);
    ASSERT_NE(ui, nullptr);
    EXPECT_STREQ(ui->URI, "https://vorsa-audio.example/plugins/glintor/ui");
    EXPECT_STREQ(lv2ui_descriptor(1)->URI, "https://vorsa-audio.example/plugins/glintor-mono/ui");
    EXPECT_EQ(lv2ui_descriptor(2), nullptr);

    Recorder recorder;
    LV2UI_Widget widget = nullptr;
    const LV2_Feature* none[] = {nullptr};
    EXPECT_EQ(ui->instantiate(ui, "", "", recordWrite, &recorder, &widget, nullptr), nullptr);
    EXPECT_EQ(ui->instantiate(ui, "", "", recordWrite, &recorder, &widget, none), nullptr);

    // The headless backend takes any parent.
    int parentWindow = 0;
    LV2UI_Resize resize = {&recorder, recordSize};
    const LV2_Feature parent = {LV2_UI__parent, &parentWindow};
    const LV2_Feature resizing = {LV2_UI__resize, &resize};
    const LV2_Feature* features[] = {&parent, &resizing, nullptr};
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(ui->extension_data(LV2_UI__showInterface), nullptr);
    // Opened, idled, closed, and once more in the same library.
    for (int round = 0; round < 2; ++round) {
        LV2UI_Handle handle = ui->instantiate(ui, "", "", recordWrite, &recorder, &widget, features);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(idle->idle(handle), 0);
        const float freq = 4000.0f;
        ui->port_event(handle, kFirstControl + kFreq, sizeof freq, 0, &freq);
        EXPECT_EQ(idle->idle(handle), 0);
        ui->cleanup(handle);
    }
    EXPECT_EQ(recorder.sizes, (std::vector<std::pair<int, int>>{{622, 272}, {622, 272}}));
    // Showing values writes nothing back.
    EXPECT_TRUE(recorder.writes.empty());
}

TEST(Lv2Ui, PortValuesArriveNormalisedAndEditsLeaveInPortUnits) {
    Recorder recorder;
    LV2UI_Touch touch = {&recorder, recordTouch};
    lv2_ui::PortHost host(entry(0), recordWrite, &recorder, &touch);

    // Freq is 500 x 32^v Hz: 8000 Hz is 0.8, and its field shows 8000 Hz.
    send(host, kFirstControl + kFreq, 8000.0f);
    EXPECT_NEAR(host.parameter(kFreq), 0.8f, 1e-6f);
    EXPECT_NEAR(host.effectiveValue(kFreq), 8000.0f, 0.01f);
    // Normalised ports pass as they are.
    send(host, kFirstControl + kNoiseAtten, 0.18f);
    EXPECT_EQ(host.parameter(kNoiseAtten), 0.18f);

    // NaN, other formats and sizes, the latency and unknown ports change nothing.
    send(host, kFirstControl + kFreq, std::numeric_limits<float>::quiet_NaN());
    const double wide = 2000.0;
    host.portEvent(kFirstControl + kFreq, sizeof wide, 0, &wide);
    const float value = 2000.0f;
    host.portEvent(kFirstControl + kFreq, sizeof value, 7, &value);
    host.portEvent(kFirstControl + kFreq, sizeof value, 0, nullptr);
    send(host, kLatencyPort, 255.0f);
    send(host, 1000, 1.0f);
    EXPECT_NEAR(host.parameter(kFreq), 0.8f, 1e-6f);

    // The meters come from their output ports.
    send(host, kFirstMeter + 1, 1.0f);
    float meters[3] = {-1.0f, -1.0f, -1.0f};
    host.readMeters(meters, 3);
    EXPECT_EQ(meters[0], 0.0f);
    EXPECT_EQ(meters[1], 1.0f);
    EXPECT_EQ(meters[2], 0.0f);

    // A knob gesture: touch, the value in Hz, release.
    host.beginEdit(kFreq);
    host.setParameter(kFreq, 0.5f);
    host.endEdit(kFreq);
    ASSERT_EQ(recorder.writes.size(), 1u);
    EXPECT_EQ(recorder.writes[0].first, kFirstControl + kFreq);
    EXPECT_NEAR(recorder.writes[0].second, 500.0f * std::sqrt(32.0f), 0.01f);
    EXPECT_EQ(host.parameter(kFreq), 0.5f);
    EXPECT_EQ(recorder.touches,
              (std::vector<std::pair<uint32_t, bool>>{{kFirstControl + kFreq, true}, {kFirstControl + kFreq, false}}));

    // Indices outside the product and NaN edits go nowhere.
    host.setParameter(-1, 0.5f);
    host.setParameter(kNumParams, 0.5f);
    host.setParameter(kFreq, std::numeric_limits<float>::quiet_NaN());
    host.beginEdit(kNumParams);
    EXPECT_EQ(recorder.writes.size(), 1u);
    EXPECT_EQ(recorder.touches.size(), 2u);
}

TEST(Lv2Ui, WithoutTouchGesturesAreSilentAndTheMonoBuildShowsMono) {
    Recorder recorder;
    lv2_ui::PortHost mono(entry(1), recordWrite, &recorder, nullptr);
    mono.beginEdit(kMix);
    mono.setParameter(kMix, 0.25f);
    mono.endEdit(kMix);
    // Mono: one audio port each way before the controls.
    ASSERT_EQ(recorder.writes.size(), 1u);
    EXPECT_EQ(recorder.writes[0], (std::pair<uint32_t, float>{2 + kMix, 0.25f}));
    // The mono instance always runs mono, whatever its input port holds.
    for (float port : {-1.0f, 0.0f}) {
        send(mono, 2 + kStereoMono, port);
        EXPECT_EQ(mono.stereoMonoValue(), 1.0f);
    }
    lv2_ui::PortHost stereo(entry(0), recordWrite, &recorder, nullptr);
    send(stereo, kFirstControl + kStereoMono, -1.0f);
    EXPECT_EQ(stereo.stereoMonoValue(), 0.0f);  // undecided runs stereo
    send(stereo, kFirstControl + kStereoMono, 1.0f);
    EXPECT_EQ(stereo.stereoMonoValue(), 1.0f);
}

}  // namespace
