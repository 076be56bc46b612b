#include "tests/windows/plugin_probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "host/plugin_report.h"

namespace plugin_probe {

std::string describe(vst_host::PluginInstance& plugin) {
    std::ostringstream out;
    vst_host::printPluginReport(plugin, out);
    const float values[] = {0.0f, 0.1f, 0.25f, 0.333f, 0.5f, 0.75f, 0.9f, 1.0f};
    out << "Displays by value:\n";
    for (int i = 0; i < plugin.numParams(); ++i) {
        float kept = plugin.getParameter(i);
        out << "  " << i;
        for (float v : values) {
            plugin.setParameter(i, v);
            out << " [" << plugin.parameterDisplay(i) << "]";
        }
        out << "\n";
        plugin.setParameter(i, kept);
    }
    out << "Displays by program:\n";
    for (int p = 0; p < plugin.numPrograms(); ++p) {
        plugin.setProgram(p);
        out << "  " << p << " " << plugin.programName() << ":";
        for (int i = 0; i < plugin.numParams(); ++i) out << " [" << plugin.parameterDisplay(i) << "]";
        out << "\n";
    }
    plugin.setProgram(0);
    return out.str();
}

std::vector<float> testSignal(int channel, int frames) {
    std::vector<float> signal(static_cast<size_t>(frames));
    uint32_t noiseState = 12345u + 977u * static_cast<uint32_t>(channel);
    for (int i = 0; i < frames; ++i) {
        noiseState = noiseState * 1664525u + 1013904223u;
        float noise = static_cast<float>(noiseState >> 8) * (1.0f / 8388608.0f) - 1.0f;
        // Triangles of about 110 Hz and 2.9 kHz at 44.1 kHz.
        float low = 1.0f - 4.0f * std::fabs(static_cast<float>(i % 400) / 400.0f - 0.5f);
        float high = 1.0f - 4.0f * std::fabs(static_cast<float>(i % 15) / 15.0f - 0.5f);
        // Bursts for the transient paths, quiet stretches for the hiss reducer,
        // a loud last quarter for the clippers.
        float burst = (i % 2048) < 256 ? 1.0f : 0.1f;
        float level = i < frames / 8 ? 0.02f : (i >= frames * 3 / 4 ? 2.5f : 1.0f);
        float mix = channel == 0 ? 0.4f * low + 0.2f * burst * high + 0.05f * noise
                                 : 0.3f * low - 0.25f * burst * high + 0.05f * noise;
        signal[static_cast<size_t>(i)] = level * mix;
    }
    return signal;
}

std::vector<float> processAllPrograms(vst_host::PluginInstance& plugin) {
    const int inputs = plugin.numInputs();
    const int outputs = plugin.numOutputs();
    std::vector<std::vector<float>> source;
    for (int c = 0; c < inputs; ++c) source.push_back(testSignal(c, kFramesPerProgram));

    std::vector<float> result;
    result.reserve(static_cast<size_t>(plugin.numPrograms()) * outputs * kFramesPerProgram);
    vst_host::AudioBuffers in(inputs, kBlockSize), out(outputs, kBlockSize);
    for (int p = 0; p < plugin.numPrograms(); ++p) {
        plugin.setProgram(p);
        plugin.suspend();
        plugin.resume();
        std::vector<std::vector<float>> programOut(static_cast<size_t>(outputs));
        for (int start = 0; start < kFramesPerProgram; start += kBlockSize) {
            for (int c = 0; c < inputs; ++c)
                std::memcpy(in.channel(c), source[static_cast<size_t>(c)].data() + start, kBlockSize * sizeof(float));
            out.fill(0.0f);
            plugin.processReplacing(in.pointers(), out.pointers(), kBlockSize);
            for (int c = 0; c < outputs; ++c)
                programOut[static_cast<size_t>(c)].insert(programOut[static_cast<size_t>(c)].end(), out.channel(c),
                                                          out.channel(c) + kBlockSize);
        }
        for (auto& channel : programOut) result.insert(result.end(), channel.begin(), channel.end());
    }

    // Every parameter swept over its range from program 0, one block per
    // value: the mapping from values to coefficients is then compared well
    // beyond the values the programs use.
    plugin.setProgram(0);
    plugin.suspend();
    plugin.resume();
    for (int c = 0; c < inputs; ++c)
        std::memcpy(in.channel(c), source[static_cast<size_t>(c)].data() + kFramesPerProgram / 2,
                    kBlockSize * sizeof(float));
    for (int i = 0; i < plugin.numParams(); ++i) {
        const float kept = plugin.getParameter(i);
        for (int step = 0; step <= kSweepSteps; ++step) {
            plugin.setParameter(i, static_cast<float>(step) / kSweepSteps);
            out.fill(0.0f);
            plugin.processReplacing(in.pointers(), out.pointers(), kBlockSize);
            for (int c = 0; c < outputs; ++c) result.insert(result.end(), out.channel(c), out.channel(c) + kBlockSize);
        }
        plugin.setParameter(i, kept);
    }
    return result;
}

Difference compare(const std::vector<float>& a, const std::vector<float>& b) {
    Difference d;
    d.compared = std::min(a.size(), b.size());
    for (size_t i = 0; i < d.compared; ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(float)) == 0) continue;
        if (d.differing++ == 0) d.firstAt = i;
        double gap = std::fabs(static_cast<double>(a[i]) - static_cast<double>(b[i]));
        if (std::isnan(gap)) gap = HUGE_VAL;  // a NaN on one side is as far off as it gets
        d.largest = std::max(d.largest, gap);
    }
    return d;
}

bool writeFile(const std::string& path, const void* data, size_t bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(data, 1, bytes, file) == bytes;
    return std::fclose(file) == 0 && written;
}

bool readFile(const std::string& path, std::string& contents) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    contents.clear();
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) contents.append(chunk, got);
    std::fclose(file);
    return true;
}

}  // namespace plugin_probe
