#include "tools/vorsa_render/audio_file.h"

#include "tools/vorsa_render/audio_source.h"
#include "tools/vorsa_render/audio_writer.h"

namespace render {

bool readAudioFile(const std::string& path, AudioData& audio, std::string& error) {
    std::unique_ptr<AudioSource> source = openAudioSource(path, std::nullopt, error);
    if (!source) return false;
    audio.sampleRate = source->format().sampleRate;
    audio.channels = source->format().channels;
    audio.samples.clear();
    std::vector<float> block(4096 * static_cast<size_t>(audio.channels));
    for (;;) {
        long got = source->read(block.data(), 4096, error);
        if (got < 0) return false;
        if (got == 0) return true;
        audio.samples.insert(audio.samples.end(), block.begin(), block.begin() + got * audio.channels);
    }
}

bool writeAudioFile(const std::string& path, const AudioData& audio, std::string& error) {
    std::optional<Container> container = containerForPath(path);
    if (!container) {
        error = "cannot tell the format of " + path + " from its name; use " + kWritableExtensions;
        return false;
    }
    std::unique_ptr<OutputFile> file = OutputFile::open(path, error);
    if (!file) return false;
    AudioWriter writer(*file, {*container, *container == Container::Flac ? SampleFormat::Int24 : SampleFormat::Float32});
    return writer.begin(audio.sampleRate, audio.channels, audio.frames(), audio.frames(), error) &&
           writer.write(audio.samples.data(), audio.frames(), error) && writer.finish(error) && file->commit(error);
}

}  // namespace render
