// vorsa-render as a user runs it: exit codes, one-line errors, no partial files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/plugin_paths.h"
#include "tests/tools/cli_run.h"

namespace {

TEST(RenderCli, RendersTheDemoWithASummaryAndAPlot) {
    cli::TempFolder dir;
    const std::string out = dir / "demo.wav", plot = dir / "demo.png";
    cli::Run r = cli::render(std::string(TEST_DELAY_PLUGIN) + " " + out + " --plot " + plot);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(cli::contains(r.output, "Test Delay"));
    EXPECT_TRUE(cli::contains(r.output, "441000 frames at 44100 Hz, 2 channel(s)")) << r.output;
    EXPECT_TRUE(cli::contains(r.output, "output ch2"));
    EXPECT_TRUE(cli::contains(r.output, "real time"));
    EXPECT_FALSE(cli::contains(r.output, "[")) << "no progress bar when stderr is not a terminal";
    EXPECT_GT(std::filesystem::file_size(out), 441000u * 2 * 4);
    EXPECT_EQ(cli::readBytes(plot).substr(1, 3), "PNG");
}

TEST(RenderCli, BadInputGivesOneLineANonZeroExitAndNoFile) {
    cli::TempFolder dir;
    const std::string out = dir / "never.wav";
    const std::string text = dir / "text.wav";
    std::ofstream(text) << "this is not audio\n";
    const std::string plugin = TEST_DELAY_PLUGIN;
    struct Case {
        std::string arguments;
        std::string message;
    } cases[] = {
        {plugin + " /nonexistent/in.wav " + out, "does not exist"},
        {plugin + " " + text + " " + out, "not an audio file"},
        {"/nonexistent/plugin.so " + out, "cannot load"},
        {"/lib/x86_64-linux-gnu/libz.so.1 " + out, "not a VST 2 plug-in"},
        {plugin + " " + out + " --program nothing", "unknown program"},
        {plugin + " " + out + " --set volume=1", "unknown parameter"},
        {plugin + " " + out + " --set gain=lots", "is not a number"},
    };
    for (const Case& c : cases) {
        cli::Run r = cli::render(c.arguments);
        EXPECT_EQ(r.status, 1) << c.arguments;
        EXPECT_TRUE(cli::contains(r.output, c.message)) << r.output;
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1) << c.arguments;
    }
}

TEST(RenderCli, UsageErrorsExitWithTwo) {
    cli::TempFolder dir;
    cli::Run r = cli::render(test_support::pluginPath("Vorsa_Glintor") + " " + (dir / "x.wav") + " --block 0");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(cli::contains(r.output, "block size"));
    EXPECT_TRUE(cli::contains(r.output, "usage:"));
    EXPECT_EQ(cli::render("--help").status, 0);
}

}  // namespace
