// vorsa-render as a user runs it: exit codes, one-line errors, no partial files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/support/plugin_paths.h"

namespace {

struct CliRun {
    int status;
    std::string output;  // stdout and stderr together
};

CliRun run(const std::string& arguments) {
    std::string command = std::string(VORSA_RENDER) + " " + arguments + " 2>&1";
    CliRun r{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n;
    while (pipe && (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) r.output.append(buffer, n);
    if (pipe) r.status = WEXITSTATUS(pclose(pipe));
    return r;
}

std::string temp(const std::string& name) { return ::testing::TempDir() + "/cli_" + name; }

TEST(RenderCli, RendersTheDemoWithASummaryAndAPlot) {
    const std::string out = temp("demo.wav"), plot = temp("demo.png");
    CliRun r = run(std::string(TEST_DELAY_PLUGIN) + " " + out + " --plot " + plot);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Test Delay"), std::string::npos);
    EXPECT_NE(r.output.find("441000 frames at 44100 Hz, 2 channel(s)"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("output ch2"), std::string::npos);
    EXPECT_NE(r.output.find("real time"), std::string::npos);
    EXPECT_EQ(r.output.find("["), std::string::npos) << "no progress bar when stderr is not a terminal";
    EXPECT_GT(std::filesystem::file_size(out), 441000u * 2 * 4);
    std::ifstream png(plot, std::ios::binary);
    char magic[4] = {};
    png.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

TEST(RenderCli, ListShowsIdentityParametersAndPrograms) {
    CliRun r = run(test_support::pluginPath("Vorsa_Glintor") + " --list");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Vorsa Glintor"), std::string::npos);
    EXPECT_NE(r.output.find("[ProcessHiss]"), std::string::npos);
    EXPECT_NE(r.output.find("harmonics4"), std::string::npos);
}

TEST(RenderCli, BadInputGivesOneLineANonZeroExitAndNoFile) {
    const std::string out = temp("never.wav");
    const std::string text = temp("text.wav");
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
        CliRun r = run(c.arguments);
        EXPECT_NE(r.status, 0) << c.arguments;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.arguments;
        EXPECT_FALSE(std::filesystem::exists(out + ".partial")) << c.arguments;
    }
}

TEST(RenderCli, EntryPointAnsweringNullIsReported) {
    const std::string out = temp("null.wav");
    CliRun r = run(std::string(TEST_NULL_PLUGIN) + " " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("entry point returned no effect"), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out));
    r = run(std::string(TEST_NULL_PLUGIN) + " --list");
    EXPECT_EQ(r.status, 1);
}

TEST(RenderCli, UsageErrorsExitWithTwo) {
    CliRun r = run(test_support::pluginPath("Vorsa_Glintor") + " " + temp("x.wav") + " --block 0");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("block size"), std::string::npos);
    EXPECT_NE(r.output.find("usage:"), std::string::npos);
    EXPECT_EQ(run("--help").status, 0);
}

}  // namespace
