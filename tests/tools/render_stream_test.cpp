// vorsa-render at scale: pipelines on standard input and output, several
// files in one run, bounded memory on a long stream.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tests/tools/cli_run.h"

namespace {

void expectSameStart(const render::AudioData& got, const render::AudioData& want, double tolerance,
                     const std::string& what) {
    ASSERT_EQ(got.channels, want.channels) << what;
    ASSERT_GE(got.frames(), want.frames()) << what;
    for (long i = 0; i < want.frames(); i += 13)
        for (int c = 0; c < want.channels; ++c) ASSERT_NEAR(got.at(i, c), want.at(i, c), tolerance) << what << " " << i;
}

TEST(RenderStream, PipelinesThroughStandardInputAndOutput) {
    cli::TempFolder dir;
    render::AudioData input = cli::testSignal(6000);
    cli::writeWav(dir / "in.wav", input, SF_FORMAT_FLOAT);
    cli::writeWav(dir / "in16.wav", input, SF_FORMAT_PCM_16);
    const std::string r = std::string(VORSA_RENDER) + " " + TEST_DELAY_PLUGIN;
    ASSERT_EQ(cli::shell("cat in.wav | " + r + " - - | cat > piped.wav", dir.path).status, 0);
    ASSERT_EQ(cli::shell(r + " in.wav - --raw 44100:2 --quiet | " + r + " - raw.wav --raw 44100:2", dir.path).status, 0);
    ASSERT_EQ(cli::shell(r + " in16.wav - --quiet | cat > piped16.wav", dir.path).status, 0);
    cli::WavFile piped = cli::readWav(dir / "piped.wav"), raw = cli::readWav(dir / "raw.wav"),
                 piped16 = cli::readWav(dir / "piped16.wav");
    EXPECT_EQ(piped.audio.frames(), 6000 + 256);
    expectSameStart(piped.audio, input, 0.0, "piped");
    EXPECT_EQ(raw.audio.frames(), 6000 + 2 * 256);  // two renders, two tails
    expectSameStart(raw.audio, input, 0.0, "raw");
    EXPECT_EQ(piped16.subformat, SF_FORMAT_PCM_16);
    expectSameStart(piped16.audio, input, 2.0 / 32768, "piped 16-bit");
    cli::Run terminal = cli::render(std::string(TEST_DELAY_PLUGIN) + " - out.wav < /dev/null", dir.path);
    EXPECT_EQ(terminal.status, 1);
}

TEST(RenderStream, SeveralInputsRenderIntoAFolderOneByOne) {
    cli::TempFolder dir;
    render::AudioData a = cli::testSignal(3000), b = cli::testSignal(5000, 1);
    cli::writeWav(dir / "a.wav", a, SF_FORMAT_FLOAT);
    cli::writeWav(dir / "b.wav", b, SF_FORMAT_FLOAT);
    std::filesystem::create_directories(dir / "sub");
    std::filesystem::copy_file(dir / "a.wav", dir / "sub/a.wav");
    const std::string plugin = std::string(TEST_DELAY_PLUGIN) + " ";
    cli::Run r = cli::render(plugin + "a.wav b.wav --output-dir out", dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(cli::contains(r.output, "output folder out does not exist")) << r.output;
    std::filesystem::create_directories(dir / "out");
    r = cli::render(plugin + "a.wav b.wav --output-dir out", dir.path);
    ASSERT_EQ(r.status, 0) << r.output;
    expectSameStart(cli::readWav(dir / "out/a.wav").audio, a, 0.0, "a");
    expectSameStart(cli::readWav(dir / "out/b.wav").audio, b, 0.0, "b");
    r = cli::render(plugin + "a.wav sub/a.wav --output-dir out", dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(cli::contains(r.output, "two inputs would be rendered into out/a.wav")) << r.output;
    r = cli::render(plugin + "a.wav --output-dir .", dir.path);
    EXPECT_TRUE(cli::contains(r.output, "is the same file as the input")) << r.output;
}

// Peak memory, in MB, of `command` fed `bytes` zero bytes on its standard input.
long peakMegabytes(const std::string& command, long bytes) {
    return cli::peakMegabytes(command, [bytes](FILE* pipe) {
        std::vector<char> zeros(1 << 20, 0);
        for (long left = bytes; left > 0; left -= static_cast<long>(zeros.size()))
            if (fwrite(zeros.data(), 1, std::min<size_t>(static_cast<size_t>(left), zeros.size()), pipe) == 0) break;
    });
}

TEST(RenderStream, MemoryStaysBoundedWhateverTheLength) {
    cli::TempFolder dir;
    // Ten minutes of stereo: 212 MB of input that a render held in memory
    // would need at least twice over.
    const long frames = 10L * 60 * 44100;
    const std::string command = "cd '" + dir.path + "' && " + VORSA_RENDER + " " + TEST_DELAY_PLUGIN +
                                " - - --raw 44100:2 --quiet | wc -c > bytes.txt";
    long megabytes = peakMegabytes(command, frames * 2 * 4);
    EXPECT_LT(megabytes, 64) << "255: the pipeline failed";
    EXPECT_EQ(std::stol(cli::readBytes(dir / "bytes.txt")), (frames + 256) * 2 * 4);
}

}  // namespace
