#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tools/vorsa_render/audio_file.h"
#include "tools/vorsa_render/demo_input.h"
#include "tools/vorsa_render/render.h"
#include "tools/vorsa_render/signal_stats.h"
#include "tools/vorsa_render/spectrum_plot.h"

namespace {

render::AudioData ramp(int channels, long frames) {
    render::AudioData a;
    a.channels = channels;
    a.samples.resize(static_cast<size_t>(channels * frames));
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) a.at(i, c) = std::sin(0.01f * i + c) * 0.5f;
    return a;
}

TEST(DemoInput, TenSecondsOfStereoThatIsTheSameEveryTime) {
    render::AudioData a = render::makeDemoInput();
    render::AudioData b = render::makeDemoInput();
    EXPECT_EQ(a.channels, 2);
    EXPECT_EQ(a.sampleRate, 44100);
    EXPECT_EQ(a.frames(), 441000);
    EXPECT_EQ(a.samples, b.samples);
    std::vector<render::ChannelLevels> levels = render::measureLevels(a);
    for (const auto& l : levels) {
        EXPECT_LT(l.peak, 1.0);  // no clipping in the source
        EXPECT_GT(l.rms, 0.05);
    }
    // Left and right differ (pad spread, independent hiss).
    EXPECT_NE(a.at(1000, 0), a.at(1000, 1));
}

TEST(DemoInput, HasAHissFloorAndQuietPassages) {
    render::AudioData a = render::makeDemoInput();
    std::vector<double> spectrum = render::averagedSpectrum(a, 4096);
    const double binHz = 44100.0 / 4096;
    double bass = spectrum[static_cast<size_t>(60 / binHz)];
    double treble = spectrum[static_cast<size_t>(15000 / binHz)];
    EXPECT_GT(bass, treble + 25.0);   // music-like tilt
    EXPECT_GT(treble, -90.0);         // but a hiss floor up top
    std::vector<double> envelope = render::levelEnvelope(a, 0.05);
    double quietest = 0.0, loudest = -200.0;
    for (double v : envelope) {
        quietest = std::min(quietest, v);
        loudest = std::max(loudest, v);
    }
    EXPECT_GT(loudest - quietest, 15.0);  // dynamics for an upward compressor to work on
}

TEST(AudioFiles, RoundTripInEveryFormat) {
    render::AudioData a = ramp(2, 1000);
    a.sampleRate = 48000;
    for (const char* ext : {".wav", ".aiff", ".flac"}) {
        std::string path = ::testing::TempDir() + "/roundtrip" + ext;
        std::string error;
        ASSERT_TRUE(render::writeAudioFile(path, a, error)) << error;
        render::AudioData back;
        ASSERT_TRUE(render::readAudioFile(path, back, error)) << error;
        EXPECT_EQ(back.sampleRate, 48000);
        EXPECT_EQ(back.channels, 2);
        ASSERT_EQ(back.frames(), 1000);
        const double tolerance = std::string(ext) == ".flac" ? 1e-6 : 0.0;  // 24-bit
        for (long i = 0; i < 1000; i += 37) EXPECT_NEAR(back.at(i, 1), a.at(i, 1), tolerance) << ext;
        std::remove(path.c_str());
    }
    std::string error;
    EXPECT_FALSE(render::writeAudioFile(::testing::TempDir() + "/roundtrip", a, error));
    EXPECT_NE(error.find(".wav, .aif, .aiff, .flac"), std::string::npos) << error;
}

TEST(AudioFiles, FailuresLeaveNothingBehind) {
    render::AudioData a;
    std::string error;
    EXPECT_FALSE(render::readAudioFile("/nonexistent/x.wav", a, error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    render::AudioData b = ramp(1, 10);
    EXPECT_FALSE(render::writeAudioFile("/nonexistent/dir/out.wav", b, error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
}

struct Rendered {
    render::AudioData output;
    render::RenderReport report;
};

Rendered renderDelay(const render::AudioData& input, const render::RenderSettings& settings) {
    std::string error;
    auto module = vst_host::PluginModule::load(TEST_DELAY_PLUGIN, &error);
    EXPECT_TRUE(module) << error;
    Rendered r;
    EXPECT_TRUE(render::renderThroughPlugin(*module, input, settings, r.output, r.report, error)) << error;
    return r;
}

TEST(Render, ReportedDelayIsCompensatedAndTheTailKept) {
    render::AudioData input = ramp(1, 5000);
    render::RenderSettings settings;
    settings.blockSize = 333;  // not a divisor of anything involved
    Rendered r = renderDelay(input, settings);
    EXPECT_EQ(r.report.compensatedDelay, 100);
    EXPECT_EQ(r.report.instances, 1);
    ASSERT_EQ(r.output.frames(), 5000 + render::kUndeclaredDelayAllowance);
    for (long i = 0; i < 5000; ++i) ASSERT_EQ(r.output.at(i, 0), input.at(i, 0)) << i;
    for (long i = 5000; i < r.output.frames(); ++i) ASSERT_EQ(r.output.at(i, 0), 0.0f) << i;
}

TEST(Render, MonoPluginOnStereoFileRunsOneInstancePerChannel) {
    render::AudioData input = ramp(2, 3000);
    render::RenderSettings settings;
    settings.program = "quiet";  // by name, any letter case
    settings.settings.push_back({"gain", "1.0"});
    Rendered r = renderDelay(input, settings);
    EXPECT_EQ(r.report.instances, 2);
    EXPECT_EQ(r.report.programName, "Quiet");
    for (long i = 0; i < 3000; i += 7) {
        EXPECT_FLOAT_EQ(r.output.at(i, 0), 2.0f * input.at(i, 0));
        EXPECT_FLOAT_EQ(r.output.at(i, 1), 2.0f * input.at(i, 1));
    }
    settings.settings.clear();
    Rendered quiet = renderDelay(input, settings);
    EXPECT_FLOAT_EQ(quiet.output.at(100, 1), 0.5f * input.at(100, 1));
}

TEST(Render, UnknownNamesAndBadValuesAreRefused) {
    std::string error;
    auto module = vst_host::PluginModule::load(TEST_DELAY_PLUGIN, &error);
    ASSERT_TRUE(module);
    render::AudioData input = ramp(1, 100), output;
    render::RenderReport report;
    render::RenderSettings settings;
    settings.program = "nope";
    EXPECT_FALSE(render::renderThroughPlugin(*module, input, settings, output, report, error));
    EXPECT_NE(error.find("unknown program \"nope\""), std::string::npos);
    settings.program = "5";
    EXPECT_FALSE(render::renderThroughPlugin(*module, input, settings, output, report, error));
    settings.program.reset();
    settings.settings = {{"volume", "1"}};
    EXPECT_FALSE(render::renderThroughPlugin(*module, input, settings, output, report, error));
    EXPECT_NE(error.find("unknown parameter \"volume\""), std::string::npos);
    settings.settings = {{"0", "loud"}};
    EXPECT_FALSE(render::renderThroughPlugin(*module, input, settings, output, report, error));
    EXPECT_NE(error.find("is not a number"), std::string::npos);
    // Three channels into a one-channel plug-in become three instances, not an error.
    render::AudioData three = ramp(3, 100);
    settings.settings.clear();
    EXPECT_TRUE(render::renderThroughPlugin(*module, three, settings, output, report, error)) << error;
    EXPECT_EQ(report.instances, 3);
}

}  // namespace
