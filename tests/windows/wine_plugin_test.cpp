// The four DLLs under Wine, through the host library built for Windows: each
// exports main, answers every text as its Linux build does and turns the test
// signal into the same samples.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/hosted_plugin.h"
#include "tests/windows/plugin_probe.h"
#include "tests/windows/wine_test_support.h"

namespace {

class WinePlugin : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        std::string error;
        plugin = vst_host::loadHostedPlugin(wine_test::pluginPath(GetParam()), &error);
        ASSERT_TRUE(plugin) << error;
        plugin->startUp(44100.0f, plugin_probe::kBlockSize);
    }
    vst_host::HostedPlugin plugin;
};

TEST_P(WinePlugin, LoadsThroughMainAlone) {
    EXPECT_EQ(plugin.module->entryName(), "main");
}

TEST_P(WinePlugin, TextsMatchTheLinuxBuild) {
    std::string expected;
    ASSERT_TRUE(plugin_probe::readFile(wine_test::referencePath(GetParam(), ".txt"), expected));
    std::string actual = plugin_probe::describe(*plugin.instance);
    if (actual == expected) return;
    // Show the first line that differs rather than two listings.
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    ADD_FAILURE() << "Linux: " << expected.substr(lineStart, expected.find('\n', at) - lineStart) << "\n"
                  << "Wine:  " << actual.substr(lineStart, actual.find('\n', at) - lineStart);
}

TEST_P(WinePlugin, AudioMatchesTheLinuxBuild) {
    std::string bytes;
    ASSERT_TRUE(plugin_probe::readFile(wine_test::referencePath(GetParam(), ".f32"), bytes));
    std::vector<float> expected(bytes.size() / sizeof(float));
    std::memcpy(expected.data(), bytes.data(), expected.size() * sizeof(float));
    std::vector<float> actual = plugin_probe::processAllPrograms(*plugin.instance);
    ASSERT_EQ(actual.size(), expected.size());

    plugin_probe::Difference d = plugin_probe::compare(actual, expected);
    std::printf("%s: %zu samples, %zu differ in their bits, largest difference %.3g\n", GetParam(), d.compared,
                d.differing, d.largest);
    // Same arithmetic on both platforms, powf included: the same bits.
    EXPECT_EQ(0u, d.differing) << "first difference at sample " << d.firstAt;
    EXPECT_LE(d.largest, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, WinePlugin, ::testing::ValuesIn(wine_test::kDeliverables),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
