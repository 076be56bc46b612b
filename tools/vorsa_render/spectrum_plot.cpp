#include "tools/vorsa_render/spectrum_plot.h"

#include <cairo.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cerrno>
#include <unistd.h>

#include "tools/vorsa_render/signal_stats.h"

namespace render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 1200;
constexpr int kHeight = 860;
constexpr int kFftSize = 16384;

struct Rgb {
    double r, g, b;
};
const Rgb kBackground{0.11, 0.12, 0.14};
const Rgb kPanel{0.15, 0.16, 0.19};
const Rgb kGrid{0.28, 0.30, 0.34};
const Rgb kText{0.86, 0.87, 0.89};
const Rgb kInputColour{0.35, 0.68, 0.95};
const Rgb kOutputColour{0.98, 0.60, 0.22};

void setColour(cairo_t* cr, const Rgb& c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

struct Panel {
    double x, y, w, h;      // plot area in pixels
    double x0, x1, y0, y1;  // data range
    bool logX;

    double px(double v) const {
        double t = logX ? (std::log10(v) - std::log10(x0)) / (std::log10(x1) - std::log10(x0)) : (v - x0) / (x1 - x0);
        return x + t * w;
    }
    double py(double v) const { return y + h - (std::clamp(v, y0, y1) - y0) / (y1 - y0) * h; }
};

void text(cairo_t* cr, double x, double y, const std::string& s, double size, double alignX = 0.0,
          bool bold = false) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, x - alignX * e.x_advance, y);
    cairo_show_text(cr, s.c_str());
}

void drawPanelFrame(cairo_t* cr, const Panel& p, const std::string& title, const std::string& xLabel,
                    const std::string& yLabel) {
    setColour(cr, kPanel);
    cairo_rectangle(cr, p.x, p.y, p.w, p.h);
    cairo_fill(cr);
    setColour(cr, kText);
    text(cr, p.x, p.y - 12, title, 16, 0.0, true);
    text(cr, p.x + p.w / 2, p.y + p.h + 42, xLabel, 13, 0.5);
    cairo_save(cr);
    cairo_translate(cr, p.x - 52, p.y + p.h / 2);
    cairo_rotate(cr, -kPi / 2);
    text(cr, 0, 0, yLabel, 13, 0.5);
    cairo_restore(cr);
}

void gridLine(cairo_t* cr, double x0, double y0, double x1, double y1) {
    setColour(cr, kGrid);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

void decibelGrid(cairo_t* cr, const Panel& p, double step) {
    for (double v = std::ceil(p.y0 / step) * step; v <= p.y1 + 1e-9; v += step) {
        gridLine(cr, p.x, p.py(v), p.x + p.w, p.py(v));
        setColour(cr, kText);
        char label[32];
        std::snprintf(label, sizeof(label), "%.0f", v);
        text(cr, p.x - 8, p.py(v) + 4, label, 11, 1.0);
    }
}

void curve(cairo_t* cr, const Panel& p, const std::vector<std::pair<double, double>>& points, const Rgb& colour,
           double width) {
    cairo_save(cr);
    cairo_rectangle(cr, p.x, p.y, p.w, p.h);
    cairo_clip(cr);
    setColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    bool first = true;
    for (const auto& [vx, vy] : points) {
        if (first)
            cairo_move_to(cr, p.px(vx), p.py(vy));
        else
            cairo_line_to(cr, p.px(vx), p.py(vy));
        first = false;
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Above the panel's top right corner, so that it never hides a curve.
void legend(cairo_t* cr, const Panel& p) {
    const std::pair<const char*, Rgb> entries[] = {{"input", kInputColour}, {"output", kOutputColour}};
    double x = p.x + p.w - 190;
    const double y = p.y - 17;
    for (const auto& [name, colour] : entries) {
        setColour(cr, colour);
        cairo_set_line_width(cr, 3.0);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + 28, y);
        cairo_stroke(cr);
        setColour(cr, kText);
        text(cr, x + 36, y + 5, name, 13);
        x += 100;
    }
}

// Smooths a spectrum over a sixth of an octave around every plotted point,
// so that the picture shows the tonal balance rather than single bins.
std::vector<std::pair<double, double>> smoothedPoints(const std::vector<double>& spectrumDb, double binHz,
                                                      double lowHz, double highHz) {
    std::vector<std::pair<double, double>> points;
    for (double hz = lowHz; hz <= highHz; hz *= std::pow(2.0, 1.0 / 48.0)) {
        // Sampled between bins too: at low frequencies a sixth of an octave
        // spans only a few bins, and stepping from bin to bin draws stairs.
        double power = 0.0;
        const int samples = 16;
        for (int j = 0; j < samples; ++j) {
            double position = hz * std::pow(2.0, (j / (samples - 1.0) - 0.5) / 6.0) / binHz;
            position = std::clamp(position, 1.0, static_cast<double>(spectrumDb.size() - 2));
            size_t k = static_cast<size_t>(position);
            double t = position - static_cast<double>(k);
            power += (1.0 - t) * std::pow(10.0, spectrumDb[k] / 10.0) + t * std::pow(10.0, spectrumDb[k + 1] / 10.0);
        }
        points.emplace_back(hz, 10.0 * std::log10(std::max(power / samples, 1e-30)));
    }
    return points;
}

}  // namespace

SpectrumAccumulator::SpectrumAccumulator(int channels, int fftSize)
    : channels(channels), fftSize(fftSize),
      history(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(fftSize), 0.0f)),
      window(static_cast<size_t>(fftSize)), power(static_cast<size_t>(fftSize / 2 + 1), 0.0) {
    for (int i = 0; i < fftSize; ++i) {
        window[static_cast<size_t>(i)] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * kPi * i / fftSize));
        windowSum += window[static_cast<size_t>(i)];
    }
    in = fftwf_alloc_real(static_cast<size_t>(fftSize));
    out = fftwf_alloc_complex(static_cast<size_t>(fftSize / 2 + 1));
    plan = fftwf_plan_dft_r2c_1d(fftSize, in, out, FFTW_ESTIMATE);
}

SpectrumAccumulator::~SpectrumAccumulator() {
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}

void SpectrumAccumulator::add(const float* interleaved, long frames) {
    const long hop = fftSize / 2;
    for (long i = 0; i < frames; ++i) {
        // History is a sliding window kept in order; a shift per hop keeps
        // the copy cost at one frame per frame.
        if (filled == fftSize) {
            for (auto& h : history) std::copy(h.begin() + hop, h.end(), h.begin());
            filled -= hop;
        }
        for (int c = 0; c < channels; ++c) history[static_cast<size_t>(c)][static_cast<size_t>(filled)] = interleaved[i * channels + c];
        ++filled;
        ++sinceLast;
        if (filled == fftSize && (analysed == 0 || sinceLast >= hop)) {
            analyse(fftSize);
            sinceLast = 0;
        }
    }
}

void SpectrumAccumulator::analyse(long validFrames) {
    for (int c = 0; c < channels; ++c) {
        const std::vector<float>& h = history[static_cast<size_t>(c)];
        for (int i = 0; i < fftSize; ++i) in[i] = i < validFrames ? h[static_cast<size_t>(i)] * window[static_cast<size_t>(i)] : 0.0f;
        fftwf_execute(plan);
        for (size_t k = 0; k < power.size(); ++k) {
            // Scaled so that a full-scale sine reads about 0 dB.
            double re = out[k][0] * 2.0 / windowSum, im = out[k][1] * 2.0 / windowSum;
            power[k] += re * re + im * im;
        }
        ++analysed;
    }
}

std::vector<double> SpectrumAccumulator::spectrumDb() {
    if (analysed == 0 && filled > 0) analyse(filled);
    std::vector<double> db(power.size());
    for (size_t k = 0; k < power.size(); ++k)
        db[k] = 10.0 * std::log10(std::max(power[k] / std::max<long>(analysed, 1), 1e-30));
    return db;
}

std::vector<double> averagedSpectrum(const AudioData& audio, int fftSize) {
    SpectrumAccumulator spectrum(audio.channels, fftSize);
    spectrum.add(audio.samples.data(), audio.frames());
    return spectrum.spectrumDb();
}

namespace {

constexpr double kEnvelopeSeconds = 0.02;
// About two values per pixel of the level panel, whatever the length.
constexpr size_t kEnvelopeValues = 2048;

// A step for the time axis that leaves room for every label: at most about
// a dozen of them, at 1, 2, 5, 10, 15 or 30 seconds, or whole minutes.
double timeStep(double seconds) {
    for (double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0, 3600.0})
        if (seconds / step <= 12.0) return step;
    return 7200.0;
}

std::string timeLabel(double t, double step) {
    char label[32];
    if (step < 1.0)
        std::snprintf(label, sizeof(label), "%.1f", t);
    else if (step < 60.0 && t < 60.0)
        std::snprintf(label, sizeof(label), "%.0f", t);
    else if (t < 3600.0)
        std::snprintf(label, sizeof(label), "%d:%02d", static_cast<int>(t) / 60, static_cast<int>(t) % 60);
    else
        std::snprintf(label, sizeof(label), "%d:%02d:%02d", static_cast<int>(t) / 3600, static_cast<int>(t) / 60 % 60,
                      static_cast<int>(t) % 60);
    return label;
}

cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length) {
    auto* file = static_cast<std::pair<OutputFile*, int>*>(closure);
    while (length > 0) {
        ssize_t n = ::write(file->first->fd(), data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            file->second = errno;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        data += n;
        length -= static_cast<unsigned int>(n);
    }
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

PlotRecorder::PlotRecorder(int sampleRate, int channels, int outputChannels)
    : sampleRate(sampleRate), inSpectrum(channels, kFftSize), outSpectrum(outputChannels, kFftSize),
      inEnvelope(channels, static_cast<long>(kEnvelopeSeconds * sampleRate), kEnvelopeValues),
      outEnvelope(outputChannels, static_cast<long>(kEnvelopeSeconds * sampleRate), kEnvelopeValues) {}

void PlotRecorder::addInput(const float* interleaved, long frames) {
    inSpectrum.add(interleaved, frames);
    inEnvelope.add(interleaved, frames);
    inFrames += frames;
}

void PlotRecorder::addOutput(const float* interleaved, long frames) {
    outSpectrum.add(interleaved, frames);
    outEnvelope.add(interleaved, frames);
    outFrames += frames;
}

bool PlotRecorder::draw(OutputFile& file, const std::string& title, std::string& error) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    setColour(cr, kBackground);
    cairo_paint(cr);
    setColour(cr, kText);
    text(cr, 40, 40, title, 20, 0.0, true);

    // Spectra.
    const double nyquist = sampleRate / 2.0;
    const double binHz = static_cast<double>(sampleRate) / kFftSize;
    auto inPoints = smoothedPoints(inSpectrum.spectrumDb(), binHz, 20.0, nyquist * 0.99);
    auto outPoints = smoothedPoints(outSpectrum.spectrumDb(), binHz, 20.0, nyquist * 0.99);
    double top = -200.0;
    for (const auto& pts : {inPoints, outPoints})
        for (const auto& point : pts) top = std::max(top, point.second);
    top = std::ceil(top / 10.0) * 10.0 + 5.0;
    Panel spectrum{90, 100, kWidth - 130.0, 400, 20.0, nyquist, top - 110.0, top, true};
    drawPanelFrame(cr, spectrum, "Average spectrum", "Frequency (Hz)", "Level (dB)");
    for (double decade = 10.0; decade <= nyquist; decade *= 10.0)
        for (int m = 1; m <= 9; ++m) {
            double hz = decade * m;
            if (hz < 20.0 || hz > nyquist) continue;
            gridLine(cr, spectrum.px(hz), spectrum.y, spectrum.px(hz), spectrum.y + spectrum.h);
            if (m == 1 || m == 2 || m == 5) {
                setColour(cr, kText);
                char label[32];
                std::snprintf(label, sizeof(label), hz >= 1000 ? "%.0fk" : "%.0f", hz >= 1000 ? hz / 1000 : hz);
                text(cr, spectrum.px(hz), spectrum.y + spectrum.h + 18, label, 11, 0.5);
            }
        }
    decibelGrid(cr, spectrum, 10.0);
    curve(cr, spectrum, inPoints, kInputColour, 3.5);  // wider, so an unchanged band still shows it
    curve(cr, spectrum, outPoints, kOutputColour, 1.6);
    legend(cr, spectrum);

    // Level envelopes.
    auto toPoints = [&](const EnvelopeMeter& meter) {
        std::vector<std::pair<double, double>> points;
        std::vector<double> env = meter.envelope();
        const double window = static_cast<double>(meter.windowFrames()) / sampleRate;
        for (size_t i = 0; i < env.size(); ++i) points.emplace_back((i + 0.5) * window, env[i]);
        return points;
    };
    const double seconds = std::max(inFrames, outFrames) / static_cast<double>(sampleRate);
    Panel level{90, 590, kWidth - 130.0, 200, 0.0, std::max(seconds, 0.1), -80.0, 0.0, false};
    const double window = static_cast<double>(std::max(inEnvelope.windowFrames(), outEnvelope.windowFrames())) / sampleRate;
    char heading[64];
    if (window < 1.0)
        std::snprintf(heading, sizeof(heading), "Level over time (%.0f ms RMS)", window * 1000.0);
    else
        std::snprintf(heading, sizeof(heading), "Level over time (%.1f s RMS)", window);
    const double step = timeStep(seconds);
    drawPanelFrame(cr, level, heading, step >= 60.0 || seconds >= 60.0 ? "Time (m:ss)" : "Time (s)", "Level (dBFS)");
    for (long k = 0; k * step <= seconds + 1e-9; ++k) {
        const double t = static_cast<double>(k) * step;
        gridLine(cr, level.px(t), level.y, level.px(t), level.y + level.h);
        setColour(cr, kText);
        text(cr, level.px(t), level.y + level.h + 18, timeLabel(t, step), 11, 0.5);
    }
    decibelGrid(cr, level, 20.0);
    curve(cr, level, toPoints(inEnvelope), kInputColour, 3.0);
    curve(cr, level, toPoints(outEnvelope), kOutputColour, 1.4);
    legend(cr, level);

    cairo_destroy(cr);
    std::pair<OutputFile*, int> closure{&file, 0};
    cairo_status_t status = cairo_surface_write_to_png_stream(surface, writeToFile, &closure);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = closure.second ? writeError(file.path(), closure.second)
                               : "cannot write plot " + file.path() + " (" + cairo_status_to_string(status) + ")";
        return false;
    }
    return true;
}

}  // namespace render
