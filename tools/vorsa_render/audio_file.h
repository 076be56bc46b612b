// Whole audio files in memory, for small files and tests; the render itself
// streams through AudioSource and AudioWriter.
#pragma once

#include <string>

#include "tools/vorsa_render/audio_data.h"

namespace render {

// False with a one-line reason when the file is missing, unreadable, not
// audio, truncated or damaged.
bool readAudioFile(const std::string& path, AudioData& audio, std::string& error);

// Writes the whole file or nothing (see OutputFile). The container follows the
// extension (.wav, .aif/.aiff, .flac); samples are 32-bit float, 24-bit for FLAC.
bool writeAudioFile(const std::string& path, const AudioData& audio, std::string& error);

}  // namespace render
