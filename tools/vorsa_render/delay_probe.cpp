#include "tools/vorsa_render/delay_probe.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

namespace render {

namespace {

constexpr long kBurstFrames = 16384;
// Below this normalised correlation the output is not the input, delayed.
constexpr double kMinimumCorrelation = 0.2;

// Circular cross-correlation of `out` against `in` through the FFT; entry k
// is the sum over t of out[t + k] * in[t].
std::vector<double> crossCorrelation(const std::vector<float>& in, const std::vector<float>& out, size_t size) {
    std::vector<double> a(size, 0.0), b(size, 0.0), r(size);
    std::copy(in.begin(), in.end(), a.begin());
    std::copy(out.begin(), out.end(), b.begin());
    std::vector<std::complex<double>> fa(size / 2 + 1), fb(size / 2 + 1);
    auto forward = [&](std::vector<double>& x, std::vector<std::complex<double>>& fx) {
        fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(size), x.data(),
                                              reinterpret_cast<fftw_complex*>(fx.data()), FFTW_ESTIMATE);
        fftw_execute(plan);
        fftw_destroy_plan(plan);
    };
    forward(a, fa);
    forward(b, fb);
    for (size_t k = 0; k < fa.size(); ++k) fb[k] *= std::conj(fa[k]);
    fftw_plan back = fftw_plan_dft_c2r_1d(static_cast<int>(size), reinterpret_cast<fftw_complex*>(fb.data()),
                                          r.data(), FFTW_ESTIMATE);
    fftw_execute(back);
    fftw_destroy_plan(back);
    for (double& v : r) v /= static_cast<double>(size);
    return r;
}

}  // namespace

std::optional<long> measureDelay(Voice& voice, int blockSize, long maxLag, std::string& why) {
    vst_host::PluginInstance& plugin = *voice.plugin;
    const int pins = static_cast<int>(voice.fileChannels.size());
    const long total = kBurstFrames + maxLag;

    // Independent noise on every pin, so that a channel swap cannot pass for a delay.
    std::vector<std::vector<float>> in(static_cast<size_t>(pins), std::vector<float>(kBurstFrames));
    uint32_t state = 0x2545F491u;
    for (auto& channel : in)
        for (float& v : channel) {
            state = state * 1664525u + 1013904223u;
            v = static_cast<float>(static_cast<int32_t>(state) / 4294967296.0);  // +-0.5
        }
    std::vector<std::vector<float>> out(static_cast<size_t>(pins), std::vector<float>(static_cast<size_t>(total)));

    vst_host::AudioBuffers inBuffers(std::max(plugin.numInputs(), 1), blockSize);
    vst_host::AudioBuffers outBuffers(std::max(plugin.numOutputs(), 1), blockSize);
    for (long start = 0; start < total; start += blockSize) {
        const int frames = static_cast<int>(std::min<long>(blockSize, total - start));
        inBuffers.fill(0.0f);
        outBuffers.fill(0.0f);
        for (int p = 0; p < pins && p < inBuffers.channels(); ++p)
            for (int i = 0; i < frames && start + i < kBurstFrames; ++i)
                inBuffers.channel(p)[i] = in[static_cast<size_t>(p)][static_cast<size_t>(start + i)];
        if (plugin.flags() & effFlagsCanReplacing && plugin.effect()->processReplacing)
            plugin.processReplacing(inBuffers.pointers(), outBuffers.pointers(), frames);
        else
            plugin.process(inBuffers.pointers(), outBuffers.pointers(), frames);
        for (int p = 0; p < pins && p < outBuffers.channels(); ++p)
            std::copy_n(outBuffers.channel(p), frames, out[static_cast<size_t>(p)].begin() + start);
    }

    size_t size = 1;
    while (size < static_cast<size_t>(total + kBurstFrames)) size *= 2;
    std::vector<double> combined(static_cast<size_t>(maxLag) + 1, 0.0);
    std::vector<std::vector<double>> perPin;
    for (int p = 0; p < pins; ++p) {
        perPin.push_back(crossCorrelation(in[static_cast<size_t>(p)], out[static_cast<size_t>(p)], size));
        for (long lag = 0; lag <= maxLag; ++lag) combined[static_cast<size_t>(lag)] += perPin.back()[static_cast<size_t>(lag)] * perPin.back()[static_cast<size_t>(lag)];
    }
    const long lag = std::max_element(combined.begin(), combined.end()) - combined.begin();

    double best = 0.0;
    for (int p = 0; p < pins; ++p) {
        double energyIn = 0.0, energyOut = 0.0;
        for (float v : in[static_cast<size_t>(p)]) energyIn += static_cast<double>(v) * v;
        for (float v : out[static_cast<size_t>(p)]) energyOut += static_cast<double>(v) * v;
        if (energyOut > 0.0)
            best = std::max(best, std::fabs(perPin[static_cast<size_t>(p)][static_cast<size_t>(lag)]) /
                                      std::sqrt(energyIn * energyOut));
    }
    if (best < kMinimumCorrelation) {
        why = "the output does not follow a noise burst closely enough to measure its delay";
        return std::nullopt;
    }
    return lag;
}

}  // namespace render
