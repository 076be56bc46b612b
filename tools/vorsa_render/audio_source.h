// Where the audio to render comes from, read block by block so that a file of
// any length passes through a few blocks of memory.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tools/vorsa_render/audio_data.h"
#include "tools/vorsa_render/audio_format.h"
#include "tools/vorsa_render/audio_metadata.h"

namespace render {

struct SourceFormat {
    int sampleRate = 44100;
    int channels = 0;
    long frames = -1;                         // -1: not known before the end (a stream)
    std::optional<SampleFormat> sampleFormat; // the nearest writable format; none for the demo
};

// The layout of raw 32-bit float audio, which carries no header.
struct RawLayout {
    int sampleRate = 0;
    int channels = 0;
};

class AudioSource {
public:
    virtual ~AudioSource() = default;
    const SourceFormat& format() const { return sourceFormat; }
    const std::string& name() const { return sourceName; }
    const AudioMetadata& metadata() const { return sourceMetadata; }
    // Up to `frames` interleaved frames into `buffer`; the count read, 0 at
    // the end, -1 with a reason in `error` (unreadable, truncated or damaged
    // data: an end before the length the file declares is an error).
    virtual long read(float* buffer, long frames, std::string& error) = 0;

protected:
    SourceFormat sourceFormat;
    std::string sourceName;
    AudioMetadata sourceMetadata;
};

// A file libsndfile reads (WAV, RF64, W64, AIFF, FLAC...); "-" reads standard
// input (WAV, or raw float with `raw`). Null with a reason naming the file.
// A WAV or AIFF holding far more audio than its header declares (a recorder
// that never closed it) is refused, unless `recover` says to read the
// samples to the end of the file.
std::unique_ptr<AudioSource> openAudioSource(const std::string& path, const std::optional<RawLayout>& raw,
                                             std::string& error, bool recover = false);

// Audio already in memory (the demo music, tests), read without copying it.
std::unique_ptr<AudioSource> memorySource(const AudioData& audio, const std::string& name);

}  // namespace render
