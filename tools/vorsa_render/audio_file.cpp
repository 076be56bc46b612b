#include "tools/vorsa_render/audio_file.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace render {

namespace {

std::string lowerExtension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

int formatFor(const std::string& path) {
    const std::string ext = lowerExtension(path);
    if (ext == "aif" || ext == "aiff") return SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
    if (ext == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

}  // namespace

bool readAudioFile(const std::string& path, AudioData& audio, std::string& error) {
    if (access(path.c_str(), F_OK) != 0) {
        error = "input file " + path + " does not exist";
        return false;
    }
    if (access(path.c_str(), R_OK) != 0) {
        error = "input file " + path + " cannot be read";
        return false;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "input file " + path + " is not an audio file libsndfile can read (" + sf_strerror(nullptr) + ")";
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        error = "input file " + path + " has no audio channels";
        return false;
    }
    audio.sampleRate = info.samplerate;
    audio.channels = info.channels;
    audio.samples.assign(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels), 0.0f);
    sf_count_t got = sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    audio.samples.resize(static_cast<size_t>(got) * static_cast<size_t>(info.channels));
    return true;
}

bool writeAudioFile(const std::string& path, const AudioData& audio, std::string& error) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = formatFor(path);
    if (!sf_format_check(&info)) {
        error = "cannot write " + std::to_string(audio.channels) + " channels at " +
                std::to_string(audio.sampleRate) + " Hz as " + path;
        return false;
    }
    const std::string temporary = path + ".partial";
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot create output file " + path + " (" + sf_strerror(nullptr) + ")";
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);  // integer formats clip instead of wrapping
    sf_count_t frames = audio.frames();
    bool complete = sf_writef_float(file, audio.samples.data(), frames) == frames;
    complete = sf_close(file) == 0 && complete;
    if (!complete || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "could not write output file " + path;
        return false;
    }
    return true;
}

}  // namespace render
