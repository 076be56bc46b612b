#include "tools/vorsa_render/audio_format.h"

#include <algorithm>
#include <cctype>

namespace render {

const char kWritableExtensions[] = ".wav, .aif, .aiff, .flac";

std::optional<Container> containerForPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "wav") return Container::Wav;
    if (ext == "aif" || ext == "aiff") return Container::Aiff;
    if (ext == "flac") return Container::Flac;
    return std::nullopt;
}

std::optional<SampleFormat> parseSampleFormat(const std::string& text) {
    if (text == "16" || text == "int16") return SampleFormat::Int16;
    if (text == "24" || text == "int24") return SampleFormat::Int24;
    if (text == "32" || text == "int32") return SampleFormat::Int32;
    if (text == "float" || text == "float32") return SampleFormat::Float32;
    return std::nullopt;
}

std::string describe(SampleFormat format) {
    return format == SampleFormat::Float32 ? "32-bit float" : std::to_string(bitsOf(format)) + "-bit integer";
}

int bitsOf(SampleFormat format) {
    switch (format) {
    case SampleFormat::Int16: return 16;
    case SampleFormat::Int24: return 24;
    default: return 32;
    }
}

bool containerHolds(Container container, SampleFormat format) {
    return container != Container::Flac || format == SampleFormat::Int16 || format == SampleFormat::Int24;
}

}  // namespace render
