// Reading and writing audio files (WAV, AIFF, FLAC) through libsndfile.
#pragma once

#include <string>

#include "tools/vorsa_render/audio_data.h"

namespace render {

// False with a one-line reason when the file is missing, unreadable or not audio.
bool readAudioFile(const std::string& path, AudioData& audio, std::string& error);

// Writes the whole file or nothing: the data goes to a temporary file beside
// the target, which replaces the target only once it is complete. The format
// follows the extension: .aif/.aiff AIFF, .flac 24-bit FLAC, anything else
// 32-bit float WAV.
bool writeAudioFile(const std::string& path, const AudioData& audio, std::string& error);

}  // namespace render
