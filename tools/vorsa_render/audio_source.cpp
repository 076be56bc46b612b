#include "tools/vorsa_render/audio_source.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tools/vorsa_render/chunk_layout.h"

namespace render {

namespace {

// Data sizes this large are placeholders written by streaming writers that
// did not know the length; such a file declares no length.
constexpr unsigned long kUnknownDataSize = 0xFFFFFF00ul;

int bytesPerSample(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return 1;
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 0;  // compressed: the decoder tells the length
    }
}

std::optional<SampleFormat> nearestWritable(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_24: return SampleFormat::Int24;
    case SF_FORMAT_PCM_32: return SampleFormat::Int32;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE: return SampleFormat::Float32;
    default: return SampleFormat::Int16;  // 8-bit and companded formats gain nothing from more
    }
}

// The bytes of a file from `offset` to its end, as libsndfile's virtual I/O
// sees a file: how samples a header does not declare are read as raw audio.
struct FileTail {
    int fd = -1;
    sf_count_t offset = 0, length = 0, position = 0;

    static sf_count_t size(void* self) { return static_cast<FileTail*>(self)->length; }
    static sf_count_t seek(sf_count_t to, int whence, void* self) {
        FileTail& t = *static_cast<FileTail*>(self);
        t.position = std::clamp<sf_count_t>(whence == SEEK_SET ? to : whence == SEEK_CUR ? t.position + to : t.length + to,
                                            0, t.length);
        return t.position;
    }
    static sf_count_t read(void* buffer, sf_count_t count, void* self) {
        FileTail& t = *static_cast<FileTail*>(self);
        ssize_t n = pread(t.fd, buffer, static_cast<size_t>(std::min(count, t.length - t.position)), t.offset + t.position);
        if (n > 0) t.position += n;
        return n < 0 ? 0 : n;
    }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* self) { return static_cast<FileTail*>(self)->position; }
};

class SndfileSource : public AudioSource {
public:
    SndfileSource(SNDFILE* file, const SF_INFO& info, const std::string& name, std::unique_ptr<FileTail> tail = nullptr)
        : tail(std::move(tail)), file(file) {
        sourceName = name;
        sourceFormat.sampleRate = info.samplerate;
        sourceFormat.channels = info.channels;
        sourceFormat.sampleFormat = nearestWritable(info.format);
        const int bytes = bytesPerSample(info.format);
        const unsigned long dataBytes = static_cast<unsigned long>(info.frames) * bytes * info.channels;
        if (bytes == 0 || dataBytes < kUnknownDataSize) sourceFormat.frames = info.frames;
        declaredFrames = std::max(sourceFormat.frames, declaredInHeader(bytes * info.channels));
    }
    ~SndfileSource() override {
        sf_close(file);
        if (tail) ::close(tail->fd);
    }
    void setMetadata(AudioMetadata metadata) { sourceMetadata = std::move(metadata); }

    long read(float* buffer, long frames, std::string& error) override {
        sf_count_t got = sf_readf_float(file, buffer, frames);
        if (sf_error(file) != SF_ERR_NO_ERROR) {
            error = "input " + sourceName + " is damaged after frame " + std::to_string(framesRead) + " (" +
                    sf_strerror(file) + ")";
            return -1;
        }
        framesRead += got;
        // A short read is the end of the data: it must be where the file says.
        if (got < frames && declaredFrames >= 0 && framesRead < declaredFrames) {
            error = "input " + sourceName + " is truncated or damaged: " + std::to_string(declaredFrames) +
                    " frames expected, " + std::to_string(framesRead) + " read";
            return -1;
        }
        return got;
    }

private:
    // libsndfile quietly shortens a data chunk that runs past the end of the
    // file and notes the declared size in its log ("data : N (should be M)").
    long declaredInHeader(int bytesPerFrame) {
        if (bytesPerFrame <= 0) return -1;
        char log[8192] = {};
        sf_command(file, SFC_GET_LOG_INFO, log, sizeof(log));
        std::istringstream lines(log);
        std::string line;
        while (std::getline(lines, line)) {
            if ((line.rfind("data :", 0) != 0 && line.rfind("SSND :", 0) != 0) ||
                line.find("should be") == std::string::npos)
                continue;
            unsigned long declared = std::strtoul(line.c_str() + 6, nullptr, 10);
            if (declared >= kUnknownDataSize) return -1;
            return static_cast<long>(declared / static_cast<unsigned long>(bytesPerFrame));
        }
        return -1;
    }

    std::unique_ptr<FileTail> tail;
    SNDFILE* file;
    long declaredFrames = -1;
    long framesRead = 0;
};

class RawSource : public AudioSource {
public:
    RawSource(int fd, const RawLayout& layout, const std::string& name) : fd(fd) {
        sourceName = name;
        sourceFormat.sampleRate = layout.sampleRate;
        sourceFormat.channels = layout.channels;
        sourceFormat.sampleFormat = SampleFormat::Float32;
    }

    long read(float* buffer, long frames, std::string& error) override {
        const size_t frameBytes = sizeof(float) * static_cast<size_t>(sourceFormat.channels);
        char* bytes = reinterpret_cast<char*>(buffer);
        size_t wanted = frameBytes * static_cast<size_t>(frames), have = 0;
        while (have < wanted) {
            ssize_t n = ::read(fd, bytes + have, wanted - have);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error = "cannot read " + sourceName + ": " + std::strerror(errno);
                return -1;
            }
            if (n == 0) break;
            have += static_cast<size_t>(n);
        }
        if (have % frameBytes != 0) {
            error = "input " + sourceName + " ends in the middle of a frame (" + std::to_string(have % frameBytes) +
                    " stray bytes)";
            return -1;
        }
        return static_cast<long>(have / frameBytes);
    }

private:
    int fd;
};

class MemorySource : public AudioSource {
public:
    MemorySource(const AudioData& audio, const std::string& name) : audio(audio) {
        sourceName = name;
        sourceFormat.sampleRate = audio.sampleRate;
        sourceFormat.channels = audio.channels;
        sourceFormat.frames = audio.frames();
    }

    long read(float* buffer, long frames, std::string&) override {
        long n = std::min(frames, audio.frames() - position);
        std::copy_n(audio.samples.begin() + position * audio.channels, n * audio.channels, buffer);
        position += n;
        return n;
    }

private:
    const AudioData& audio;
    long position = 0;
};

// Opens the sample data of `layout` up to the end of the file as raw audio
// in the format the header gives.
std::unique_ptr<SndfileSource> openToTheEnd(const std::string& path, const SF_INFO& header, const ChunkLayout& layout,
                                            std::string& error) {
    auto tail = std::make_unique<FileTail>();
    tail->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    tail->offset = static_cast<sf_count_t>(layout.audioOffset);
    tail->length = static_cast<sf_count_t>(layout.fileSize - layout.audioOffset);
    const bool aiff = (header.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_AIFF;
    SF_INFO info{};
    info.samplerate = header.samplerate;
    info.channels = header.channels;
    info.format = SF_FORMAT_RAW | (header.format & SF_FORMAT_SUBMASK) | (aiff ? SF_ENDIAN_BIG : SF_ENDIAN_LITTLE);
    static SF_VIRTUAL_IO io{FileTail::size, FileTail::seek, FileTail::read, FileTail::write, FileTail::tell};
    SNDFILE* file = tail->fd < 0 ? nullptr : sf_open_virtual(&io, SFM_READ, &info, tail.get());
    if (!file) {
        if (tail->fd >= 0) ::close(tail->fd);
        error = "cannot read " + path + " to its end: " + sf_strerror(nullptr);
        return nullptr;
    }
    return std::make_unique<SndfileSource>(file, info, path, std::move(tail));
}

}  // namespace

std::unique_ptr<AudioSource> openAudioSource(const std::string& path, const std::optional<RawLayout>& raw,
                                             std::string& error, bool recover) {
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "(standard input)" : path;
    if (standardInput && raw) return std::make_unique<RawSource>(STDIN_FILENO, *raw, name);
    if (standardInput && isatty(STDIN_FILENO)) {
        error = "standard input is a terminal; pipe audio into it";
        return nullptr;
    }
    if (!standardInput && access(path.c_str(), F_OK) != 0) {
        error = "input file " + path + " does not exist";
        return nullptr;
    }
    if (!standardInput && access(path.c_str(), R_OK) != 0) {
        error = "input file " + path + " cannot be read";
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = standardInput ? sf_open_fd(STDIN_FILENO, SFM_READ, &info, SF_FALSE)
                                  : sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "input " + name + " is not an audio file libsndfile can read (" + sf_strerror(nullptr) + ")" +
                (standardInput ? "; raw float needs --raw RATE:CHANNELS" : "");
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        error = "input " + name + " has no audio channels";
        return nullptr;
    }
    const ChunkLayout layout = standardInput ? ChunkLayout{} : readChunkLayout(path);
    AudioMetadata metadata = readMetadata(file, layout);
    // Audio past the declared data, beyond a tenth of a second of it: the
    // header was never finished. Reading only what it declares would lose it.
    const long frameBytes = static_cast<long>(bytesPerSample(info.format)) * info.channels;
    if (layout.audioChunk >= 0 && frameBytes > 0 &&
        layout.strayBytes >= static_cast<uint64_t>(frameBytes) * static_cast<uint64_t>(info.samplerate / 10 + 1)) {
        const long declared = static_cast<long>(layout.audioBytes / static_cast<uint64_t>(frameBytes));
        const long inFile = static_cast<long>((layout.fileSize - layout.audioOffset) / static_cast<uint64_t>(frameBytes));
        if (!recover) {
            sf_close(file);
            error = "input " + path + " declares " + std::to_string(declared) + " frames of audio but holds about " +
                    std::to_string(inFile) + " (" + std::to_string(layout.strayBytes) +
                    " bytes after its last chunk): its header was never finished, as when a recorder stops "
                    "before closing the file; --recover reads the audio to the end of the file";
            return nullptr;
        }
        const SF_INFO header = info;
        sf_close(file);
        std::unique_ptr<SndfileSource> source = openToTheEnd(path, header, layout, error);
        if (!source) return nullptr;
        source->setMetadata(std::move(metadata));
        return source;
    }
    auto source = std::make_unique<SndfileSource>(file, info, name);
    source->setMetadata(std::move(metadata));
    return source;
}

std::unique_ptr<AudioSource> memorySource(const AudioData& audio, const std::string& name) {
    return std::make_unique<MemorySource>(audio, name);
}

}  // namespace render
