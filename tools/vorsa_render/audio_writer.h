// Writes rendered audio to an output file or stream in the chosen sample
// format, and tells what the conversion did: the peak, the samples that did
// not fit the format.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/vorsa_render/audio_format.h"
#include "tools/vorsa_render/audio_metadata.h"
#include "tools/vorsa_render/frame_sink.h"
#include "tools/vorsa_render/output_file.h"

namespace render {

struct OutputSpec {
    Container container = Container::Wav;
    SampleFormat format = SampleFormat::Float32;
};

class AudioWriter : public FrameSink {
public:
    // `metadata` (may be null) is carried into the file as far as its
    // container allows; droppedMetadata() names the rest.
    AudioWriter(OutputFile& file, const OutputSpec& spec, const AudioMetadata* metadata = nullptr);
    ~AudioWriter() override;
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    // `frames` is the length to come, or -1 when it is not known (a stream
    // header then says so); `maxFrames` bounds it, or is -1. A WAV whose
    // audio may outgrow a 32-bit header is written as RF64. False with a
    // reason naming the file.
    bool begin(int sampleRate, int channels, long frames, long maxFrames, std::string& error) override;
    // Refuses a non-finite sample: none is ever written into a file.
    bool write(const float* interleaved, long frames, std::string& error) override;
    bool finish(std::string& error);

    double peak() const { return peakValue; }
    long clippedSamples() const { return clipped; }      // integer formats: clamped to full scale
    long overFullScale() const { return overFull; }      // float: kept, but beyond what integers can hold
    long framesWritten() const { return written; }
    const std::vector<std::string>& droppedMetadata() const { return dropped; }
    // "WAV", "RF64", "AIFF"...: RF64 once the audio outgrows what a WAV
    // header can count (known only after finish() for a stream of unknown length).
    std::string containerName() const;

private:
    bool writeBytes(const void* data, size_t size, std::string& error);
    bool writeStreamHeader(long frames, std::string& error);
    void quantise(const float* interleaved, size_t count);

    uint64_t dataBytes(long frames) const;

    OutputFile& file;
    OutputSpec spec;
    const AudioMetadata* metadata;
    std::vector<std::string> dropped;
    enum class Header { Plain, Rf64, Rf64UnlessSmall } headerKind = Header::Plain;
    int sampleRate = 0;
    int channels = 0;
    SNDFILE* sndfile = nullptr;
    std::vector<int32_t> integers;  // left-justified, as libsndfile takes them
    std::vector<unsigned char> bytes;
    uint32_t ditherState = 0x9E3779B9u;
    double peakValue = 0.0;
    long clipped = 0;
    long overFull = 0;
    long written = 0;
};

}  // namespace render
