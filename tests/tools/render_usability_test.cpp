// What users type: names, folders, switches, units and program names that
// must work as they are written, and long renders that must stay readable.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "tests/support/plugin_paths.h"
#include "tests/tools/cli_run.h"

namespace {

void writeFile(const std::string& path, int format, long frames) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file) << path << ": " << sf_strerror(nullptr);
    std::vector<float> audio = cli::testSignal(frames, 1).samples;
    sf_writef_float(file, audio.data(), frames);
    sf_close(file);
}

// Peak memory, in MB, of a render with a plot of `seconds` of stereo noise
// whose level changes every second, streamed into standard input.
long plotPeakMegabytes(const std::string& folder, long seconds) {
    const std::string command = "cd '" + folder + "' && " + VORSA_RENDER + " " + TEST_DELAY_PLUGIN +
                                " - out.wav --raw 44100:2 --plot plot.png --quiet";
    return cli::peakMegabytes(command, [seconds](FILE* pipe) {
        std::vector<float> second(2 * 44100);
        uint32_t state = 1;
        for (long s = 0; s < seconds; ++s) {
            for (float& v : second) {
                state = state * 1664525u + 1013904223u;
                v = static_cast<float>(((state >> 8) / 16777216.0 - 0.5) * ((s % 7) + 1) / 8.0);
            }
            if (fwrite(second.data(), sizeof(float), second.size(), pipe) != second.size()) break;
        }
    });
}

TEST(RenderUsability, WhatUsersTypeWorks) {
    cli::TempFolder dir;
    writeFile(dir / "take.w64", SF_FORMAT_W64 | SF_FORMAT_PCM_16, 3000);
    writeFile(dir / "take2.aifc", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 3000);
    writeFile(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 20000);
    const std::string built = std::string(TEST_PLUGIN_DIR) + "/";
    ASSERT_EQ(cli::shell("mkdir outd vi vst vst/vendor vst/vendor/tools && cp " + built + "Test_Echo.so vi/ && cp " +
                             built + "Test_Echo.so vst/vendor/tools/ && cp " + built + "Test_Echo.so ./-odd.so",
                         dir.path)
                  .status,
              0);
    const std::string render = std::string(VORSA_RENDER) + " ", info = std::string(VORSA_INFO) + " ";
    const std::string glintor = test_support::pluginPath("Vorsa_Glintor") + " ";
    const std::string vstPath = "VST_PATH=\"$PWD/vst\" HOME=\"$PWD\" ";
    struct Case {
        std::string command;
        int status;
        std::vector<std::string> messages;
    } cases[] = {
        // Formats the tool reads but does not write become WAV, and it says so.
        {render + TEST_DELAY_PLUGIN + " take.w64 take2.aifc --output-dir outd", 0,
         {"take.w64 is rendered into outd/take.wav", "take2.aifc is rendered into outd/take2.wav"}},
        // Switches take on/off whatever they display; units shown as 1:x are written 2x.
        {render + glintor + "--list --set Process=off --set ProcessHiss=false --set Saturation=on", 0,
         {"[Process]     [0.000000]", "[ProcessHiss] [0.000000]", "[Saturation]  [1.000000]"}},
        {render + glintor + "--list --set Boost=2", 1, {"written like Boost=1.414x"}},
        {render + glintor + "--list --set Boost=1.414x --set Boost=2x", 0, {"[Boost]       [2.000000]"}},
        // A program has one name: in --list, in vorsa-info, in the summary and for --program.
        {render + glintor + "--list --program \"Init 39\"", 0, {"   38  Init 39", "program \"Init 39\""}},
        {info + "--programs " + glintor, 0, {"   38  Init 39", "   47  Init 48"}},
        // Names as users give them: a folder here, a plug-in in a subfolder of
        // VST_PATH, a slip of letter case, a name after --.
        {info + "--identity vi", 0, {"== vi/Test_Echo.so", "Effect:   Test Echo"}},
        {vstPath + info + "--identity Test_Echo", 0, {"vst/vendor/tools/Test_Echo.so"}},
        {vstPath + render + "test_echo --list", 1, {"plug-in test_echo not found", "did you mean Test_Echo"}},
        {info + "--identity -- -odd.so", 0, {"Effect:   Test Echo"}},
        {render + "--quiet -- -odd.so in.wav -out.wav", 0, {}},
        {render + TEST_DELAY_PLUGIN + " in.wav outd", 1,
         {"output outd is a folder; name a file in it, or render into it with --output-dir outd"}},
        // The progress line on a terminal gives the time taken and the time left.
        {"script -qec '" + render + TEST_DELAY_PLUGIN + " in.wav progress.wav' /dev/null", 0, {"elapsed, 0:00 left"}},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // A read-only file system, where a private mount namespace can be had.
    if (cli::shell("unshare -rm true").status == 0)
        all.push_back({"mkdir ro && unshare -rm sh -c 'mount -t tmpfs tmpfs ro && cp in.wav ro/old.wav && "
                       "mount -o remount,ro ro && " + render + TEST_DELAY_PLUGIN + " in.wav ro/old.wav; " +
                       render + TEST_DELAY_PLUGIN + " in.wav ro/new.wav'",
                       1,
                       {"output ro/old.wav is on a read-only file system; it was left as it was",
                        "cannot create ro/new.wav (in ro/): the folder is on a read-only file system"}});
    for (const Case& c : all) {
        cli::Run r = cli::shell(c.command, dir.path);
        EXPECT_EQ(r.status, c.status) << c.command << "\n" << r.output;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
    }
    for (const char* written : {"outd/take.wav", "outd/take2.wav", "-out.wav", "progress.wav"})
        EXPECT_EQ(cli::readWav(dir / written).audio.channels, 1) << written;

    // The plot of a long render costs no more memory than that of a short one
    // (ten minutes of changing noise held 32 MB more when every 20 ms was kept).
    const long shortRun = plotPeakMegabytes(dir.path, 30), longRun = plotPeakMegabytes(dir.path, 600);
    EXPECT_LT(longRun, 255) << "the render failed";
    EXPECT_LT(longRun - shortRun, 8) << shortRun << " MB for 30 s, " << longRun << " MB for 10 minutes";
}

}  // namespace
