// A run of vorsa-render never loses or damages a file: refused and failed runs
// leave every file as it was, and special outputs are written through.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <map>

#include "tests/tools/cli_run.h"

namespace {

struct Entry {
    mode_t mode;
    std::string content;  // the bytes, or where a link points
    bool operator==(const Entry& o) const { return mode == o.mode && content == o.content; }
};

std::map<std::string, Entry> snapshot(const std::string& folder) {
    std::map<std::string, Entry> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        struct stat st;
        const std::string path = entry.path().string();
        lstat(path.c_str(), &st);
        files[entry.path().filename().string()] = {
            st.st_mode, S_ISLNK(st.st_mode) ? std::filesystem::read_symlink(path).string()
                        : S_ISREG(st.st_mode) ? cli::readBytes(path) : ""};
    }
    return files;
}

TEST(RenderSafety, RefusedOrFailedRunsLeaveEveryFileAsItWas) {
    cli::TempFolder dir;
    render::AudioData input = cli::testSignal(4410);
    input.sampleRate = 44100;
    cli::writeWav(dir / "in.wav", input, SF_FORMAT_PCM_16);
    cli::writeWav(dir / "old.wav", cli::testSignal(100), SF_FORMAT_FLOAT);
    input.at(300, 1) = NAN;
    cli::writeWav(dir / "nan.wav", input, SF_FORMAT_FLOAT);
    ASSERT_EQ(cli::shell("cp " + std::string(TEST_DELAY_PLUGIN) + " plug.so && printf old > old.png && "
                         "ln -s in.wav alias.wav && ln -s in.wav alias.png && ln in.wav hard.wav",
                         dir.path)
                  .status,
              0);
    struct Case {
        std::string arguments;
        int status;
        std::vector<std::string> messages;
    } cases[] = {
        // OUTPUT forgotten: the existing file is not replaced by the demo.
        {"plug.so in.wav", 2, {"in.wav exists", "--demo", "usage:"}},
        {"plug.so in.wav old.wav --plot alias.png", 1, {"plot alias.png is the same file as the input"}},
        {"plug.so in.wav old.wav --plot --quiet", 2, {"--plot needs a PNG file name"}},
        {"plug.so in.wav hard.wav", 1, {"output hard.wav is the same file as the input"}},
        {"plug.so alias.wav in.wav", 1, {"output in.wav is the same file as the input alias.wav"}},
        {"plug.so in.wav plug.so", 1, {"output plug.so is the same file as the plug-in"}},
        {"plug.so in.wav old.png --plot old.png", 1, {"plot old.png is the same file as the output"}},
        {"plug.so in.wav old.wav --plot old.png", 1, {"not a finite number", "nan.wav"}},
        // The plot fails after the render: the output existed before and stays.
        {"plug.so in.wav old.wav --plot old.png", 1, {"cannot write old.png: File too large"}},
    };
    cases[7].arguments = "plug.so nan.wav old.wav --plot old.png";
    cases[7].messages.push_back("frame 300 (0.007 s), channel 2");
    cases[8].arguments = "ulimit -f 80; trap '' XFSZ; " + std::string(VORSA_RENDER) + " " + cases[8].arguments;
    const auto before = snapshot(dir.path);
    for (const Case& c : cases) {
        cli::Run r = c.arguments.rfind("ulimit", 0) == 0 ? cli::shell(c.arguments, dir.path)
                                                         : cli::render(c.arguments, dir.path);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.output;
        for (const std::string& m : c.messages) EXPECT_TRUE(cli::contains(r.output, m)) << m << "\n" << r.output;
        EXPECT_TRUE(snapshot(dir.path) == before) << "files changed by: " << c.arguments;
    }
}

TEST(RenderSafety, SpecialOutputsAreWrittenThroughNotReplaced) {
    cli::TempFolder dir;
    render::AudioData input = cli::testSignal(3000);
    cli::writeWav(dir / "in.wav", input, SF_FORMAT_FLOAT);
    cli::writeWav(dir / "target.wav", cli::testSignal(10), SF_FORMAT_FLOAT);
    ASSERT_EQ(cli::shell("mkfifo fifo.wav && ln -s target.wav link.wav && chmod 604 target.wav", dir.path).status, 0);

    const std::string render = std::string(VORSA_RENDER) + " " + TEST_DELAY_PLUGIN + " in.wav ";
    cli::Run r = cli::shell("timeout 60 cat fifo.wav > got.wav & " + render + "fifo.wav --quiet; status=$?; wait; exit $status",
                            dir.path);
    ASSERT_EQ(r.status, 0) << r.output;
    r = cli::shell(render + "link.wav --quiet", dir.path);
    ASSERT_EQ(r.status, 0) << r.output;

    struct stat st;
    ASSERT_EQ(lstat((dir / "fifo.wav").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(lstat((dir / "link.wav").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat((dir / "target.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
    for (const char* written : {"got.wav", "target.wav"}) {
        cli::WavFile wav = cli::readWav(dir / written);
        ASSERT_EQ(wav.audio.frames(), 3000 + 256) << written;
        for (long i = 0; i < 3000; i += 101) ASSERT_EQ(wav.audio.at(i, 1), input.at(i, 1)) << written << " " << i;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 5) << "no temporary file left";
}

}  // namespace
