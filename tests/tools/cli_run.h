// Running the built tools as a user does, in a temporary folder of each test's own.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "tools/vorsa_render/audio_data.h"

namespace cli {

struct Run {
    int status;          // exit status; 128 + signal when killed
    std::string output;  // standard output and error together
};

// Runs a shell command line (inside `folder` when given).
Run shell(const std::string& commandLine, const std::string& folder = "");
// vorsa-render with the given arguments, inside `folder`.
Run render(const std::string& arguments, const std::string& folder = "");

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

std::string readBytes(const std::string& path);

// Peak memory, in MB (at most 254; 255 when the command failed), of
// `command` while `feed` writes its standard input.
long peakMegabytes(const std::string& command, const std::function<void(FILE*)>& feed);
bool contains(const std::string& text, const std::string& part);

// WAV files through libsndfile itself, independent of the tool's own writer;
// `subformat` is a libsndfile subformat (SF_FORMAT_FLOAT, SF_FORMAT_PCM_16...).
void writeWav(const std::string& path, const render::AudioData& audio, int subformat);
struct WavFile {
    render::AudioData audio;
    int subformat = 0;  // 0 when the file could not be read
};
WavFile readWav(const std::string& path);

// `frames` of a stereo test signal at 44.1 kHz: two sines, the second channel
// quieter, so that channel mix-ups show.
render::AudioData testSignal(long frames, int channels = 2);

}  // namespace cli
