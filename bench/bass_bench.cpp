// Time per frame of the bass plug-in as a host drives it: 44.1 kHz, blocks of
// 512, processing and saturation on, on a music-like signal and on digital
// silence; stereo build in stereo mode and mono build.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/plugin_dir.h"
#include "host/hosted_plugin.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 512;
constexpr int kSignalBlocks = 172;  // about two seconds, cycled

// A bass line stepping through four notes, a chord above it, and some noise;
// the same every run.
std::vector<float> musicLikeSignal(int channel) {
    const double notes[4] = {41.2, 55.0, 61.7, 49.0};
    std::vector<float> signal(static_cast<size_t>(kSignalBlocks) * kBlock);
    uint32_t noise = 12345u + static_cast<uint32_t>(channel);
    const double twoPi = 6.283185307179586;
    double bassPhase = 0.0;
    for (size_t n = 0; n < signal.size(); ++n) {
        const double t = n / static_cast<double>(kRate);
        const double note = notes[(n / 11025) % 4];
        bassPhase += twoPi * note / kRate;
        noise = noise * 1664525u + 1013904223u;
        const double white = (static_cast<double>(noise >> 8) / 8388608.0) - 1.0;
        double v = 0.45 * std::sin(bassPhase) + 0.12 * std::sin(2.0 * bassPhase + 0.3 * channel) +
                   0.08 * std::sin(twoPi * 220.0 * t) + 0.06 * std::sin(twoPi * 329.6 * t + channel) +
                   0.04 * std::sin(twoPi * 1318.5 * t) + 0.02 * white;
        // A slow swell so the envelope and the raised gain keep moving.
        v *= 0.55 + 0.45 * std::sin(twoPi * 0.7 * t);
        signal[n] = static_cast<float>(v);
    }
    return signal;
}

vst_host::HostedPlugin loadRig(const char* name, bool stereo) {
    std::string error;
    vst_host::HostedPlugin rig = vst_host::loadHostedPlugin(
        benchPluginPath(name), &error,
        [](vst_host::ScriptedHost& host) { host.recordRequests = false; });
    if (!rig) return rig;
    rig->startUp(kRate, kBlock);
    rig->setProgram(10);
    rig->setParameter(0, 1.0f);  // process
    rig->setParameter(7, 1.0f);  // saturation
    if (stereo) rig->setParameter(8, 1.0f);
    return rig;
}

// automate: gain, freq, threshold and colour move once per block, each
// through its own slow ramp, as automation in a host moves them.
void runBass(benchmark::State& state, const char* name, bool stereo, bool silence, bool automate = false) {
    vst_host::HostedPlugin rig = loadRig(name, stereo);
    if (!rig) {
        state.SkipWithError("plug-in not built or not loadable");
        return;
    }
    const int channels = stereo ? 2 : 1;
    std::vector<std::vector<float>> source;
    for (int c = 0; c < channels; ++c)
        source.push_back(silence ? std::vector<float>(static_cast<size_t>(kSignalBlocks) * kBlock, 0.0f)
                                 : musicLikeSignal(c));
    vst_host::AudioBuffers out(channels, kBlock);
    std::vector<float*> in(static_cast<size_t>(channels));

    int block = 0;
    int step = 0;
    for (auto _ : state) {
        if (automate) {
            const int automated[] = {1, 3, 4, 5};
            for (int k = 0; k < 4; ++k) rig->setParameter(automated[k], ((step + 37 * k) % 200) / 200.0f);
            ++step;
        }
        for (int c = 0; c < channels; ++c) in[static_cast<size_t>(c)] = source[static_cast<size_t>(c)].data() + block * kBlock;
        rig.instance->processReplacing(in.data(), out.pointers(), kBlock);
        benchmark::DoNotOptimize(out.channel(0)[kBlock - 1]);
        block = (block + 1) % kSignalBlocks;
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    state.counters["time_per_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_RumblorStereoMusic(benchmark::State& s) { runBass(s, "Vorsa_RUMBLOR", true, false); }
void BM_RumblorStereoSilence(benchmark::State& s) { runBass(s, "Vorsa_RUMBLOR", true, true); }
void BM_RumblorStereoAutomation(benchmark::State& s) { runBass(s, "Vorsa_RUMBLOR", true, false, true); }
void BM_RumblorMonoMusic(benchmark::State& s) { runBass(s, "Vorsa_RUMBLOR_Mono", false, false); }
void BM_RumblorMonoSilence(benchmark::State& s) { runBass(s, "Vorsa_RUMBLOR_Mono", false, true); }

BENCHMARK(BM_RumblorStereoMusic);
BENCHMARK(BM_RumblorStereoSilence);
BENCHMARK(BM_RumblorStereoAutomation);
BENCHMARK(BM_RumblorMonoMusic);
BENCHMARK(BM_RumblorMonoSilence);

// Prints ns per frame and the silence/music ratios after the usual table.
class FrameTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            const double ns = run.GetAdjustedCPUTime() / static_cast<double>(kBlock);
            nsPerFrame[run.benchmark_name()] = ns;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n");
        for (const auto& entry : nsPerFrame) std::printf("%-28s %7.2f ns/frame\n", entry.first.c_str(), entry.second);
        ratio("BM_RumblorStereoSilence", "BM_RumblorStereoMusic");
        ratio("BM_RumblorStereoAutomation", "BM_RumblorStereoMusic");
        ratio("BM_RumblorMonoSilence", "BM_RumblorMonoMusic");
    }

private:
    void ratio(const std::string& silence, const std::string& music) {
        // Plain runs, or the medians when repetitions were asked for.
        for (const char* suffix : {"", "_median"}) {
            const std::string s = silence + suffix, m = music + suffix;
            if (nsPerFrame.count(s) && nsPerFrame.count(m))
                std::printf("%s / %s = %.2f\n", s.c_str(), m.c_str(), nsPerFrame[s] / nsPerFrame[m]);
        }
    }
    std::map<std::string, double> nsPerFrame;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    FrameTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
