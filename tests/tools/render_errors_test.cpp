// vorsa-render and vorsa-info never crash and always say why: damaged
// plug-ins, names, formats, write failures and damaged input.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

#include "tests/support/plugin_paths.h"
#include "tests/tools/cli_run.h"

namespace {

TEST(RenderErrors, BrokenPluginsAreRefusedByNameInBothTools) {
    cli::TempFolder dir;
    const std::string plugins = TEST_PLUGIN_DIR;
    const std::pair<const char*, const char*> broken[] = {
        {"Test_Null_Entry.so", "the plug-in's entry point returned no effect"},
        {"Test_Bad_Magic.so", "the entry point returned a record that is not a VST 2 effect (wrong magic)"},
        {"Test_No_Dispatcher.so", "the effect record has no dispatcher"},
    };
    for (const auto& [file, reason] : broken) {
        const std::string path = plugins + "/" + file;
        for (const std::string& command : {std::string(VORSA_RENDER) + " " + path + " out.wav",
                                           std::string(VORSA_RENDER) + " " + path + " --list",
                                           std::string(VORSA_INFO) + " " + path}) {
            cli::Run r = cli::shell(command, dir.path);
            EXPECT_EQ(r.status, 1) << command << "\n" << r.output;  // not a signal
            EXPECT_TRUE(cli::contains(r.output, path + ": " + reason)) << r.output;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));
}

TEST(RenderErrors, MessagesSayWhatIsWrongAndWhere) {
    cli::TempFolder dir;
    render::AudioData input = cli::testSignal(2000);
    cli::writeWav(dir / "in.wav", input, SF_FORMAT_PCM_16);
    // Half the data of a file whose header promises 2000 frames.
    std::filesystem::copy_file(dir / "in.wav", dir / "cut.wav");
    std::filesystem::resize_file(dir / "cut.wav", std::filesystem::file_size(dir / "in.wav") - 4000);
    ASSERT_EQ(cli::shell("mkdir -p vst .vst && cp " + std::string(TEST_DELAY_PLUGIN) + " vst/ && cp " +
                             test_support::pluginPath("Vorsa_Glintor") + " .vst/",
                         dir.path)
                  .status,
              0);
    const std::string render = std::string(VORSA_RENDER) + " ", info = std::string(VORSA_INFO) + " ";
    const std::string env = "HOME=\"$PWD\" VST_PATH=\"$PWD/vst\" ";
    struct Case {
        std::string command;
        int status;
        std::vector<std::string> messages;
    } cases[] = {
        // Bare names come from VST_PATH and ~/.vst, never the loader's search path.
        {env + render + "Test_Delay_Mono in.wav bare.wav", 0, {"Test Delay"}},
        {env + info + "--programs Vorsa_Glintor", 0, {"Programs (48)", "acc guitar2"}},
        {env + render + "libz.so.1 --list", 1, {"plug-in libz.so.1 not found", "/usr/lib/vst, /usr/local/lib/vst"}},
        {render + TEST_DELAY_PLUGIN + " in.wav out.mp3", 1, {"use .wav, .aif, .aiff, .flac"}},
        {"ulimit -f 4; trap '' XFSZ; " + render + TEST_DELAY_PLUGIN + " in.wav big.wav", 1,
         {"cannot write big.wav: File too large"}},
        {render + TEST_DELAY_PLUGIN + " cut.wav out.wav", 1, {"cut.wav is truncated or damaged: 2000 frames expected, 1000 read"}},
        {render + "--version", 0, {"vorsa-render 1.0.0"}},
        {info + "--version", 0, {"vorsa-info 1.0.0"}},
        {info + "--help", 0, {"usage: vorsa-info", "--parameters"}},
        {info + "--bogus", 2, {"unknown option --bogus", "usage: vorsa-info"}},
    };
    for (const Case& c : cases) {
        cli::Run r = cli::shell(c.command, dir.path);
        EXPECT_EQ(r.status, c.status) << c.command << "\n" << r.output;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
    }
    EXPECT_FALSE(cli::contains(cli::shell(env + info + "--programs Vorsa_Glintor", dir.path).output, "Parameters ("));
    for (const char* never : {"out.mp3", "big.wav", "out.wav"}) EXPECT_FALSE(std::filesystem::exists(dir / never)) << never;
}

}  // namespace
