// The LV2 plug-ins in a lilv host: every preset renders as the VST 2
// program of the same number does, the latency port tells the delay the
// audio really has, and values no host should send change nothing for the worse.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "lv2/glintor/glintor_lv2.h"
#include "lv2/rumblor/rumblor_lv2.h"
#include "shell/audio_effect.h"
#include "tests/hosting/hosting_support.h"
#include "tests/lv2/lv2_test_host.h"

namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 512;
const std::string kBase = "https://vorsa-audio.example/plugins/";

struct Build {
    std::string uri;
    const char* vst2;
};
const Build kBuilds[] = {{kBase + "glintor", "Vorsa_Glintor"},
                         {kBase + "glintor-mono", "Vorsa_Glintor_Mono"},
                         {kBase + "rumblor", "Vorsa_RUMBLOR"},
                         {kBase + "rumblor-mono", "Vorsa_RUMBLOR_Mono"}};

struct Difference {
    size_t count = 0;
    double largest = 0.0;
};

Difference compare(const std::vector<float>& a, const std::vector<float>& b) {
    Difference d;
    if (a.size() != b.size()) return {std::max(a.size(), b.size()), INFINITY};
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            ++d.count;
            d.largest = std::fmax(d.largest, std::fabs(static_cast<double>(a[i]) - b[i]));
        }
    return d;
}

std::vector<float> renderVst2(const char* plugin, int program, const std::vector<float>& input, int block = kBlock) {
    hosting::Render r(plugin);
    r->startUp(kRate, kBlock);
    r->setProgram(program);
    return r.run(input, block);
}

TEST(Lv2Bundles, LilvFindsTheFourPluginsAndEveryProgramAsAPreset) {
    lv2_test::World world;
    std::vector<std::string> expected;
    for (const Build& b : kBuilds) expected.push_back(b.uri);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(world.vorsaPlugins(), expected);
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.uri);
        hosting::Render vst2(b.vst2);
        const auto presets = world.presets(world.plugin(b.uri));
        ASSERT_EQ(static_cast<int>(presets.size()), vst2->numPrograms());
        for (int p = 0; p < vst2->numPrograms(); ++p) {
            vst2->setProgram(p);
            EXPECT_EQ(presets[static_cast<size_t>(p)].second, vst2->programName()) << presets[static_cast<size_t>(p)].first;
        }
    }
}

// The Turtle a host reads, against the products as built: every control
// port where the parameter is, with the parameter's name, the range and a
// default that is program 0's value.
TEST(Lv2Bundles, TheDescribedPortsAreTheProductsParameters) {
    lv2_test::World world;
    const struct {
        const lv2_ports::ProductInfo* product;
        PluginBuild build;
    } builds[] = {{&glintor_lv2::kProduct, PluginBuild::Stereo},
                  {&glintor_lv2::kProduct, PluginBuild::Mono},
                  {&rumblor_lv2::kProduct, PluginBuild::Stereo},
                  {&rumblor_lv2::kProduct, PluginBuild::Mono}};
    for (const auto& b : builds) {
        const std::string uri = lv2_ports::pluginUri(*b.product, b.build);
        SCOPED_TRACE(uri);
        const LilvPlugin* plugin = world.plugin(uri);
        ASSERT_NE(plugin, nullptr);
        const lv2_ports::PortLayout layout = lv2_ports::layout(*b.product, b.build);
        ASSERT_EQ(static_cast<int>(lilv_plugin_get_num_ports(plugin)), layout.total);
        std::vector<float> minimum(static_cast<size_t>(layout.total)), maximum(minimum.size()), defaults(minimum.size());
        lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
        std::unique_ptr<AudioEffectX> effect(b.product->create(b.build));
        const lv2_ports::ProductPorts ports = lv2_ports::describe(*b.product, b.build);
        for (int i = 0; i < b.product->numParams; ++i) {
            const lv2_ports::ControlPort& port = ports.controls[static_cast<size_t>(i)];
            const size_t index = static_cast<size_t>(layout.firstControl + i);
            const LilvPort* described = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(index));
            EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, described)), port.symbol.c_str());
            LilvNode* name = lilv_port_get_name(plugin, described);
            char parameterName[64] = {};
            effect->getParameterName(i, parameterName);
            const std::string expectedName = b.product->rules[i].name ? b.product->rules[i].name : parameterName;
            EXPECT_EQ(lilv_node_as_string(name), expectedName) << port.symbol;
            lilv_node_free(name);
            EXPECT_EQ(minimum[index], port.minimum) << port.symbol;
            EXPECT_EQ(maximum[index], port.maximum) << port.symbol;
            EXPECT_EQ(port.toNormalised(defaults[index]), effect->getParameter(i)) << port.symbol;
        }
        EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin), static_cast<uint32_t>(layout.latency));
    }
}

// A fresh instance per program, as a host loading a preset into a new slot.
TEST(Lv2Render, EveryPresetSoundsAsTheVst2Program) {
    lv2_test::World world;
    const std::vector<float> input = hosting::music(static_cast<int>(kRate), kRate);
    for (const Build& b : kBuilds) {
        const auto presets = world.presets(world.plugin(b.uri));
        for (size_t p = 0; p < presets.size(); ++p) {
            SCOPED_TRACE(presets[p].first + " " + presets[p].second);
            lv2_test::Instance lv2(world, b.uri, kRate);
            lv2.restorePreset(presets[p].first);
            const std::vector<float> ours = lv2.run(input, kBlock);
            const Difference d = compare(ours, renderVst2(b.vst2, static_cast<int>(p), input));
            EXPECT_EQ(d.count, 0u) << "largest difference " << d.largest;
        }
    }
}

// Each run is one block of the effect, as lv2apply's single frames are; runs
// longer than the instance's 2048-frame step are split into even lengths,
// which give the bits one long block gives.
TEST(Lv2Render, BlockSizesAreTheHostsAsInVst2) {
    lv2_test::World world;
    const std::vector<float> input = hosting::music(static_cast<int>(kRate / 2), kRate);
    const struct {
        int build;  // index into kBuilds
        int program;
        int block;
    } cases[] = {{0, 14, 1}, {0, 14, 333}, {0, 14, 5000}, {1, 22, 4098}, {2, 19, 1}, {3, 19, 4097}};
    for (const auto& c : cases) {
        const Build& b = kBuilds[c.build];
        SCOPED_TRACE(b.uri + " program " + std::to_string(c.program) + ", blocks of " + std::to_string(c.block));
        lv2_test::Instance lv2(world, b.uri, kRate);
        lv2.restorePreset(world.presets(world.plugin(b.uri))[static_cast<size_t>(c.program)].first);
        const Difference d = compare(lv2.run(input, c.block), renderVst2(b.vst2, c.program, input, c.block));
        EXPECT_EQ(d.count, 0u) << "largest difference " << d.largest;
    }
}

TEST(Lv2Render, DefaultsAreProgramZero) {
    lv2_test::World world;
    const std::vector<float> input = hosting::music(static_cast<int>(kRate / 2), kRate);
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.uri);
        lv2_test::Instance lv2(world, b.uri, kRate);
        EXPECT_EQ(compare(lv2.run(input, kBlock), renderVst2(b.vst2, 0, input)).count, 0u);
    }
}

// The lag at which the output best matches the input.
int measuredDelay(const std::vector<float>& input, const std::vector<float>& output, int channels) {
    const size_t frames = output.size() / static_cast<size_t>(channels);
    int best = 0;
    double bestScore = -INFINITY;
    for (int lag = 0; lag <= 600; ++lag) {
        double score = 0.0;
        for (size_t i = static_cast<size_t>(lag); i < frames; ++i)
            score += static_cast<double>(output[i * static_cast<size_t>(channels)]) * input[2 * (i - static_cast<size_t>(lag))];
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

// Independent white noise on both channels, so that only the true lag matches.
std::vector<float> noise(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    uint32_t state = 0x2545F491u;
    for (float& v : out) {
        state = state * 1664525u + 1013904223u;
        v = static_cast<float>(static_cast<int32_t>(state) / 8589934592.0);  // +-0.25
    }
    return out;
}

TEST(Lv2Latency, TheLatencyPortTellsTheRealDelay) {
    lv2_test::World world;
    const std::vector<float> input = noise(static_cast<int>(kRate / 2));
    struct Case {
        std::string uri;
        const char* port;  // set to `value`; null: the defaults
        float value;
        int expected;
    } cases[] = {
        {kBase + "glintor", nullptr, 0.0f, 255},
        {kBase + "glintor", "process_hiss", 0.0f, 0},
        {kBase + "glintor", "process", 0.0f, 0},
        {kBase + "glintor-mono", nullptr, 0.0f, 255},
        {kBase + "glintor-mono", "process_hiss", 0.0f, 0},
        {kBase + "rumblor", nullptr, 0.0f, 255},
        {kBase + "rumblor", "process", 0.0f, 255},
        {kBase + "rumblor-mono", nullptr, 0.0f, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri + " " + (c.port ? c.port : "defaults"));
        lv2_test::Instance lv2(world, c.uri, kRate);
        if (c.port) lv2.control(c.port) = c.value;
        const std::vector<float> output = lv2.run(input, kBlock);
        EXPECT_EQ(lv2.control("latency"), static_cast<float>(c.expected));
        EXPECT_EQ(measuredDelay(input, output, lv2.audioOutputs()), c.expected);
    }
}

// Values no host should send: held at the port's range, NaN ignored,
// unconnected buffers read as silence or written nowhere, empty runs.
TEST(Lv2BadInput, OutOfRangeNanNullAndEmptyRunsAreHarmless) {
    lv2_test::World world;
    const std::vector<float> input = hosting::music(static_cast<int>(kRate / 4), kRate);
    struct Case {
        std::string uri;
        const char* port;
        float sent;
        float same;  // the render equals one with this value
    } cases[] = {
        {kBase + "glintor", "thresh", 1e9f, 1.0f},
        {kBase + "glintor", "freq", -5.0f, 500.0f},
        {kBase + "glintor", "drive", std::numeric_limits<float>::infinity(), 1.16f},
        {kBase + "rumblor", "gain", -1e9f, -12.0f},
        {kBase + "rumblor", "freq", 1e9f, 600.0f},
        {kBase + "rumblor-mono", "colour", 250.0f, 100.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri + " " + c.port);
        lv2_test::Instance sent(world, c.uri, kRate), same(world, c.uri, kRate);
        sent.control(c.port) = c.sent;
        same.control(c.port) = c.same;
        EXPECT_EQ(compare(sent.run(input, kBlock), same.run(input, kBlock)).count, 0u);
    }
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.uri);
        lv2_test::Instance nan(world, b.uri, kRate), plain(world, b.uri, kRate);
        nan.run(input, kBlock);
        plain.run(input, kBlock);
        nan.control("freq") = std::numeric_limits<float>::quiet_NaN();
        nan.control("mix") = std::numeric_limits<float>::quiet_NaN();
        EXPECT_EQ(compare(nan.run(input, kBlock), plain.run(input, kBlock)).count, 0u);

        lv2_test::Instance empty(world, b.uri, kRate);
        empty.control("latency") = -1.0f;
        empty.runFrames(0);
        EXPECT_EQ(empty.control("latency"), 255.0f);
        // Outputs sharing their inputs' buffers: the same sound.
        lv2_test::Instance inPlace(world, b.uri, kRate), separate(world, b.uri, kRate);
        EXPECT_EQ(compare(inPlace.runInPlace(input, kBlock), separate.run(input, kBlock)).count, 0u);

        // Empty runs between the blocks change nothing in the sound.
        lv2_test::Instance gaps(world, b.uri, kRate), noGaps(world, b.uri, kRate);
        std::vector<float> withGaps;
        for (size_t start = 0; start < input.size(); start += 2 * kBlock) {
            const std::vector<float> block(input.begin() + static_cast<long>(start),
                                           input.begin() + static_cast<long>(std::min(input.size(), start + 2 * kBlock)));
            const std::vector<float> out = gaps.run(block, kBlock);
            withGaps.insert(withGaps.end(), out.begin(), out.end());
            gaps.runFrames(0);
        }
        EXPECT_EQ(compare(withGaps, noGaps.run(input, kBlock)).count, 0u);

        if (b.uri.find("glintor") != std::string::npos) {
            // An empty run takes the controls too: the latency follows at once.
            empty.control("process_hiss") = 0.0f;
            empty.runFrames(0);
            EXPECT_EQ(empty.control("latency"), 0.0f);
        }

        lv2_test::Instance unconnected(world, b.uri, kRate);
        unconnected.run(input, kBlock);  // sizes the buffers
        unconnected.disconnect(b.uri.find("mono") == std::string::npos ? "in_r" : "in");
        unconnected.disconnect(b.uri.find("mono") == std::string::npos ? "out_l" : "out");
        unconnected.runFrames(kBlock);
    }
}

}  // namespace
