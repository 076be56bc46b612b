#include <gtest/gtest.h>

#include <vector>

#include "tools/vorsa_render/render_options.h"

namespace {

bool parse(std::vector<const char*> args, render::RenderOptions& options, std::string& error) {
    args.insert(args.begin(), "vorsa-render");
    return render::parseRenderOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RenderOptions, PositionalFilesWithAndWithoutInput) {
    render::RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"p.so", "in.wav", "out.wav"}, o, error)) << error;
    EXPECT_EQ(o.plugin, "p.so");
    ASSERT_EQ(o.inputs.size(), 1u);
    EXPECT_EQ(o.inputs[0], "in.wav");
    EXPECT_EQ(o.output, "out.wav");
    render::RenderOptions demo;
    ASSERT_TRUE(parse({"p.so", "out.flac", "--quiet"}, demo, error)) << error;
    EXPECT_TRUE(demo.inputs.empty());
    EXPECT_EQ(demo.output, "out.flac");
    EXPECT_TRUE(demo.quiet);
    EXPECT_EQ(demo.settings.blockSize, 512);
}

TEST(RenderOptions, ProgramSetsBlockAndPlot) {
    render::RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--program", "mix3", "p.so", "--set", "Freq=0.25", "out.wav", "--set", "3=1", "--block",
                       "64", "--plot", "x.png"},
                      o, error))
        << error;
    EXPECT_EQ(o.settings.program.value_or(""), "mix3");
    ASSERT_EQ(o.settings.settings.size(), 2u);
    EXPECT_EQ(o.settings.settings[0].parameter, "Freq");
    EXPECT_EQ(o.settings.settings[0].value, "0.25");
    EXPECT_EQ(o.settings.settings[1].parameter, "3");
    EXPECT_EQ(o.settings.blockSize, 64);
    EXPECT_EQ(o.plot.value_or(""), "x.png");
    render::RenderOptions list;
    ASSERT_TRUE(parse({"p.so", "--list"}, list, error));
    EXPECT_TRUE(list.list);
}

TEST(RenderOptions, UnusableCommandLinesSayWhy) {
    struct Case {
        std::vector<const char*> args;
        const char* expected;
    } cases[] = {
        {{}, "no plug-in given"},
        {{"p.so"}, "no output file given"},
        {{"p.so", "a", "b", "c"}, "too many file names"},
        {{"p.so", "o.wav", "--block", "0"}, "block size"},
        {{"p.so", "o.wav", "--block", "12x"}, "block size"},
        {{"p.so", "o.wav", "--set", "novalue"}, "PARAM=VALUE"},
        {{"p.so", "o.wav", "--program"}, "needs"},
        {{"p.so", "o.wav", "--frobnicate"}, "unknown option"},
        {{"p.so", "o.wav", "--list"}, "only the plug-in"},
        {{"p.so", "i.wav", "o.wav", "--raw", "44100:2"}, "give - as INPUT or OUTPUT"},
        {{"p.so", "-", "o.wav", "--raw", "44100"}, "RATE:CHANNELS"},
        {{"p.so", "o.wav", "--plot", "o.wav"}, "must end in .png"},
        {{"p.so", "--format", "float", "--bits", "12", "o.wav"}, "--bits takes 16, 24 or 32"},
    };
    for (const Case& c : cases) {
        render::RenderOptions o;
        std::string error;
        EXPECT_FALSE(parse(c.args, o, error));
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

TEST(RenderOptions, ValuesMustBeFiniteNumbers) {
    EXPECT_EQ(render::parseValue("0.5").value_or(-1), 0.5f);
    EXPECT_EQ(render::parseValue("-1").value_or(0), -1.0f);
    EXPECT_EQ(render::parseValue("1e-3").value_or(0), 0.001f);
    for (const char* bad : {"", "abc", "0.5x", "nan", "inf", " "}) EXPECT_FALSE(render::parseValue(bad)) << bad;
}

}  // namespace
