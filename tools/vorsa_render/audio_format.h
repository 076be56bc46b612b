// File containers and sample formats the render tool reads and writes.
#pragma once

#include <optional>
#include <string>

namespace render {

enum class Container { Wav, Aiff, Flac, Raw };
enum class SampleFormat { Int16, Int24, Int32, Float32 };

// The container an output name asks for by its extension; nothing for an
// extension the tool cannot write.
std::optional<Container> containerForPath(const std::string& path);
extern const char kWritableExtensions[];  // for messages: ".wav, .aif, .aiff, .flac"

// "int16", "16", "int24", "24", "int32", "32", "float"; nothing otherwise.
std::optional<SampleFormat> parseSampleFormat(const std::string& text);
std::string describe(SampleFormat format);  // "16-bit integer", ...
int bitsOf(SampleFormat format);

// FLAC holds 16- and 24-bit integers only.
bool containerHolds(Container container, SampleFormat format);

}  // namespace render
