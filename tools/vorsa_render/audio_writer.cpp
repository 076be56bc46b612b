#include "tools/vorsa_render/audio_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace render {

namespace {

// A WAV or AIFF header counts its bytes in 32 bits. Past this much audio
// (room left for the metadata chunks) a WAV is written as RF64, and an AIFF
// is refused. VORSA_RENDER_RF64_ABOVE lowers the limit so that tests can
// check the switch without writing 4 GiB.
uint64_t headerLimit() {
    if (const char* text = std::getenv("VORSA_RENDER_RF64_ABOVE"); text && *text) {
        char* end = nullptr;
        const unsigned long long limit = std::strtoull(text, &end, 10);
        if (*end == 0) return limit;
    }
    return 0xFFFFFFFFull - (1u << 20);
}

int sndfileFormat(const OutputSpec& spec, bool rf64) {
    int container = spec.container == Container::Aiff ? SF_FORMAT_AIFF
                    : spec.container == Container::Flac ? SF_FORMAT_FLAC
                    : rf64                              ? SF_FORMAT_RF64
                                                        : SF_FORMAT_WAV;
    switch (spec.format) {
    case SampleFormat::Int16: return container | SF_FORMAT_PCM_16;
    case SampleFormat::Int24: return container | SF_FORMAT_PCM_24;
    case SampleFormat::Int32: return container | SF_FORMAT_PCM_32;
    default: return container | SF_FORMAT_FLOAT;
    }
}

// libsndfile says "System error : No space left on device."; the file name
// goes in front instead.
std::string sndfileReason(SNDFILE* file) {
    std::string reason = sf_strerror(file);
    const std::string prefix = "System error : ";
    if (reason.rfind(prefix, 0) == 0) reason = reason.substr(prefix.size());
    if (!reason.empty() && reason.back() == '.') reason.pop_back();
    return reason;
}

void putLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void putTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

AudioWriter::AudioWriter(OutputFile& file, const OutputSpec& spec, const AudioMetadata* metadata)
    : file(file), spec(spec), metadata(metadata) {
    if (spec.container == Container::Raw) this->spec.format = SampleFormat::Float32;
}

AudioWriter::~AudioWriter() {
    if (sndfile) sf_close(sndfile);
}

bool AudioWriter::begin(int rate, int channelCount, long frames, long maxFrames, std::string& error) {
    sampleRate = rate;
    channels = channelCount;
    if (!containerHolds(spec.container, spec.format)) {
        error = "FLAC holds 16- or 24-bit integers, not " + describe(spec.format) + " (" + file.path() + ")";
        return false;
    }
    if (spec.container == Container::Raw || file.isStream()) {
        if (metadata) dropped = describeMetadata(*metadata);
        if (spec.container == Container::Raw) return true;
    }
    if (file.isStream()) {
        if (spec.container != Container::Wav) {
            error = file.path() + " is a stream: it takes WAV or raw audio, not AIFF or FLAC";
            return false;
        }
        return writeStreamHeader(frames, error);
    }
    const long bound = frames >= 0 ? frames : maxFrames;
    if (spec.container == Container::Aiff && frames >= 0 && dataBytes(frames) > headerLimit()) {
        error = "cannot write " + file.path() + ": " + std::to_string(dataBytes(frames)) +
                " bytes of audio do not fit an AIFF file (4 GiB at most); name a .wav (written as RF64) or a .flac";
        return false;
    }
    if (spec.container == Container::Wav)
        headerKind = bound < 0 ? Header::Rf64UnlessSmall : dataBytes(bound) > headerLimit() ? Header::Rf64 : Header::Plain;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = sndfileFormat(spec, headerKind != Header::Plain);
    if (!sf_format_check(&info)) {
        error = "cannot write " + std::to_string(channels) + " channels at " + std::to_string(sampleRate) +
                " Hz as " + describe(spec.format) + " in " + file.path();
        return false;
    }
    sndfile = sf_open_fd(file.fd(), SFM_WRITE, &info, SF_FALSE);
    if (!sndfile) {
        error = "cannot write " + file.path() + ": " + sndfileReason(nullptr);
        return false;
    }
    // Of unknown length, the file starts as RF64 and libsndfile writes a
    // plain WAV header at the end if the audio turned out to fit.
    if (headerKind == Header::Rf64UnlessSmall) sf_command(sndfile, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    if (metadata)
        dropped = writeMetadata(sndfile, *metadata,
                                spec.container == Container::Aiff ||
                                    (spec.container == Container::Wav && headerKind == Header::Plain));
    return true;
}

uint64_t AudioWriter::dataBytes(long frames) const {
    return static_cast<uint64_t>(frames) * static_cast<uint64_t>(channels) * static_cast<uint64_t>(bitsOf(spec.format) / 8);
}

std::string AudioWriter::containerName() const {
    switch (spec.container) {
    case Container::Aiff: return "AIFF";
    case Container::Flac: return "FLAC";
    case Container::Raw: return "raw";
    default: break;
    }
    return headerKind == Header::Rf64 ? "RF64" : "WAV";
}

bool AudioWriter::writeStreamHeader(long frames, std::string& error) {
    const uint32_t bytesPerSample = static_cast<uint32_t>(bitsOf(spec.format) / 8);
    const uint32_t blockAlign = bytesPerSample * static_cast<uint32_t>(channels);
    const unsigned long audioBytes = static_cast<unsigned long>(std::max(frames, 0L)) * blockAlign;
    // A reader of a stream of unknown length takes the largest size as "until the end".
    const bool known = frames >= 0 && audioBytes <= 0xFFFFFFFFul - 36;
    std::vector<unsigned char> header;
    putTag(header, "RIFF");
    putLittleEndian(header, known ? static_cast<uint32_t>(36 + audioBytes) : 0xFFFFFFFFu, 4);
    putTag(header, "WAVE");
    putTag(header, "fmt ");
    putLittleEndian(header, 16, 4);
    putLittleEndian(header, spec.format == SampleFormat::Float32 ? 3 : 1, 2);
    putLittleEndian(header, static_cast<uint32_t>(channels), 2);
    putLittleEndian(header, static_cast<uint32_t>(sampleRate), 4);
    putLittleEndian(header, static_cast<uint32_t>(sampleRate) * blockAlign, 4);
    putLittleEndian(header, blockAlign, 2);
    putLittleEndian(header, bytesPerSample * 8, 2);
    putTag(header, "data");
    putLittleEndian(header, known ? static_cast<uint32_t>(audioBytes) : 0xFFFFFFFFu, 4);
    return writeBytes(header.data(), header.size(), error);
}

bool AudioWriter::writeBytes(const void* data, size_t size, std::string& error) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(file.fd(), p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = writeError(file.path(), errno);
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void AudioWriter::quantise(const float* interleaved, size_t count) {
    const int bits = bitsOf(spec.format);
    const double scale = std::ldexp(1.0, bits - 1);
    const int shift = 32 - bits;
    integers.resize(count);
    for (size_t i = 0; i < count; ++i) {
        double v = interleaved[i] * scale;
        if (spec.format == SampleFormat::Int16) {
            // Triangular dither of one step peak: the rounding error becomes
            // steady noise instead of distortion that follows the music.
            auto uniform = [this] {
                ditherState ^= ditherState << 13;
                ditherState ^= ditherState >> 17;
                ditherState ^= ditherState << 5;
                return ditherState * (1.0 / 4294967296.0) - 0.5;
            };
            v += uniform() + uniform();
        }
        v = std::nearbyint(v);
        if (v > scale - 1 || v < -scale) {
            ++clipped;
            v = std::clamp(v, -scale, scale - 1);
        }
        integers[i] = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(v)) << shift);
    }
}

bool AudioWriter::write(const float* interleaved, long frames, std::string& error) {
    const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(channels);
    for (size_t i = 0; i < count; ++i) {
        const float v = interleaved[i];
        if (!std::isfinite(v)) {
            error = "the rendered audio is not a finite number (NaN or infinity) at frame " +
                    std::to_string(written + static_cast<long>(i) / channels) + ", channel " +
                    std::to_string(i % static_cast<size_t>(channels) + 1) + "; " + file.path() + " was not written";
            return false;
        }
        const double magnitude = std::fabs(v);
        peakValue = std::max(peakValue, magnitude);
        if (magnitude > 1.0) ++overFull;
    }
    if (spec.container == Container::Aiff && sndfile && dataBytes(written + frames) > headerLimit()) {
        error = "cannot write " + file.path() + ": the audio outgrew what an AIFF file holds (4 GiB); name a .wav "
                "(written as RF64) or a .flac";
        return false;
    }
    const bool isFloat = spec.format == SampleFormat::Float32;
    if (!isFloat) quantise(interleaved, count);
    if (sndfile) {
        sf_count_t done = isFloat ? sf_writef_float(sndfile, interleaved, frames)
                                  : sf_writef_int(sndfile, integers.data(), frames);
        if (done != frames) {
            error = "cannot write " + file.path() + ": " + sndfileReason(sndfile);
            return false;
        }
    } else if (isFloat) {
        if (!writeBytes(interleaved, count * sizeof(float), error)) return false;
    } else {
        // Little-endian PCM of the format's width, from the top of each word.
        const int width = bitsOf(spec.format) / 8;
        bytes.resize(count * static_cast<size_t>(width));
        unsigned char* out = bytes.data();
        for (size_t i = 0; i < count; ++i) {
            const uint32_t word = static_cast<uint32_t>(integers[i]);
            for (int b = 0; b < width; ++b) *out++ = static_cast<unsigned char>(word >> (8 * (4 - width + b)));
        }
        if (!writeBytes(bytes.data(), bytes.size(), error)) return false;
    }
    written += frames;
    return true;
}

bool AudioWriter::finish(std::string& error) {
    if (!sndfile) return true;
    int status = sf_close(sndfile);
    sndfile = nullptr;
    if (status != 0) {
        error = "cannot write " + file.path() + ": " + sf_error_number(status);
        return false;
    }
    if (headerKind == Header::Rf64UnlessSmall) {
        char tag[4] = {};
        headerKind = pread(file.fd(), tag, 4, 0) == 4 && std::memcmp(tag, "RF64", 4) == 0 ? Header::Rf64 : Header::Plain;
    }
    return true;
}

}  // namespace render
