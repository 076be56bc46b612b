// The before/after picture: averaged spectra of input and output on a
// logarithmic frequency axis, and their level envelopes over time, gathered
// while the audio streams past.
#pragma once

#include <fftw3.h>

#include <string>
#include <vector>

#include "tools/vorsa_render/audio_data.h"
#include "tools/vorsa_render/output_file.h"
#include "tools/vorsa_render/signal_stats.h"

namespace render {

// Averaged power spectrum in dB (Hann window, half-overlapping frames, all
// channels together); bin k is at k * sampleRate / fftSize Hz. Audio shorter
// than one frame is zero-padded.
class SpectrumAccumulator {
public:
    SpectrumAccumulator(int channels, int fftSize);
    ~SpectrumAccumulator();
    SpectrumAccumulator(const SpectrumAccumulator&) = delete;
    SpectrumAccumulator& operator=(const SpectrumAccumulator&) = delete;

    void add(const float* interleaved, long frames);
    std::vector<double> spectrumDb();

private:
    void analyse(long validFrames);

    int channels, fftSize;
    std::vector<std::vector<float>> history;  // the last fftSize frames of every channel
    long filled = 0;                          // frames in history
    long sinceLast = 0;                       // frames since the last analysed frame
    long analysed = 0;
    std::vector<float> window;
    double windowSum = 0.0;
    std::vector<double> power;
    float* in;
    fftwf_complex* out;
    fftwf_plan plan;
};

std::vector<double> averagedSpectrum(const AudioData& audio, int fftSize);

// Everything the picture needs, gathered block by block.
class PlotRecorder {
public:
    PlotRecorder(int sampleRate, int channels, int outputChannels);
    void addInput(const float* interleaved, long frames);
    void addOutput(const float* interleaved, long frames);
    // Draws the PNG into `file`; false with a reason naming it.
    bool draw(OutputFile& file, const std::string& title, std::string& error);

private:
    int sampleRate;
    SpectrumAccumulator inSpectrum, outSpectrum;
    EnvelopeMeter inEnvelope, outEnvelope;
    long inFrames = 0, outFrames = 0;
};

}  // namespace render
