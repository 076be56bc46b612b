#include "tests/tools/cli_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cli {

Run shell(const std::string& commandLine, const std::string& folder) {
    std::string command = folder.empty() ? commandLine : "cd '" + folder + "' || exit 99; " + commandLine;
    command = "( " + command + " ) 2>&1";
    Run r{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) r.output.append(buffer, n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

Run render(const std::string& arguments, const std::string& folder) {
    return shell(std::string(VORSA_RENDER) + " " + arguments, folder);
}

TempFolder::TempFolder() {
    std::string pattern = ::testing::TempDir() + "/vorsa_tools_XXXXXX";
    path = mkdtemp(pattern.data()) ? pattern : "";
    EXPECT_FALSE(path.empty());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void writeWav(const std::string& path, const render::AudioData& audio, int subformat) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | subformat;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file) << path << ": " << sf_strerror(nullptr);
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    EXPECT_EQ(sf_writef_float(file, audio.samples.data(), audio.frames()), audio.frames());
    sf_close(file);
}

WavFile readWav(const std::string& path) {
    WavFile wav;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return wav;
    wav.subformat = info.format & SF_FORMAT_SUBMASK;
    wav.audio.sampleRate = info.samplerate;
    wav.audio.channels = info.channels;
    wav.audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, wav.audio.samples.data(), info.frames);
    sf_close(file);
    return wav;
}

render::AudioData testSignal(long frames, int channels) {
    render::AudioData a;
    a.channels = channels;
    a.samples.resize(static_cast<size_t>(frames * channels));
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            a.at(i, c) = static_cast<float>(std::sin(0.013 * (c + 1) * i) * (0.5 - 0.2 * c));
    return a;
}

long peakMegabytes(const std::string& command, const std::function<void(FILE*)>& feed) {
    const pid_t child = fork();
    if (child == 0) {
        // A child of its own, so that only this pipeline's processes count.
        FILE* pipe = popen(command.c_str(), "w");
        if (pipe) feed(pipe);
        const int status = pipe ? pclose(pipe) : -1;
        struct rusage usage;
        getrusage(RUSAGE_CHILDREN, &usage);
        _exit(status != 0 ? 255 : static_cast<int>(std::min<long>(usage.ru_maxrss / 1024, 254)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

}  // namespace cli
