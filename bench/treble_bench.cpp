// Treble enhancer, driven through the built plug-ins as a host drives them:
// nanoseconds per frame at 44.1 kHz in blocks of 512, every stage on.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/plugin_dir.h"
#include "host/hosted_plugin.h"

namespace {

constexpr int kBlock = 512;
constexpr float kRate = 44100.0f;
constexpr int kSignalBlocks = 172;  // about two seconds, looped

// A deterministic music-like signal: a few detuned partials, a decaying
// percussive hit every quarter second, and a little hiss.
std::vector<float> musicSignal(int channels) {
    const int frames = kSignalBlocks * kBlock;
    std::vector<float> out(static_cast<size_t>(frames) * channels);
    uint32_t noise = 12345;
    for (int c = 0; c < channels; ++c) {
        for (int i = 0; i < frames; ++i) {
            const double t = i / static_cast<double>(kRate);
            const double detune = 1.0 + 0.002 * c;
            double v = 0.20 * std::sin(2 * M_PI * 220.0 * detune * t) + 0.12 * std::sin(2 * M_PI * 330.0 * t) +
                       0.08 * std::sin(2 * M_PI * 1760.0 * detune * t) + 0.04 * std::sin(2 * M_PI * 5274.0 * t);
            const double sinceHit = std::fmod(t, 0.25);
            noise = noise * 1664525u + 1013904223u;
            const double white = (static_cast<int32_t>(noise) / 2147483648.0);
            v += 0.4 * std::exp(-sinceHit * 40.0) * white + 0.01 * white;
            out[static_cast<size_t>(c) * frames + i] = static_cast<float>(v);
        }
    }
    return out;
}

vst_host::HostedPlugin loadAllStagesOn(const std::string& name) {
    std::string error;
    vst_host::HostedPlugin rig =
        vst_host::loadHostedPlugin(benchPluginPath(name), &error,
                                   [](vst_host::ScriptedHost& host) { host.recordRequests = false; });
    if (!rig) return rig;
    rig->startUp(kRate, kBlock);
    rig->setProgram(0);  // "mix1"
    // Every stage on: soft clipper, widener, exciter, transient shaper, hiss reducer.
    for (int index = 18; index <= 22; ++index) rig->setParameter(index, 1.0f);
    return rig;
}

// Automation: the music, with four parameters (Freq, Harmonics, Boost,
// Drive) moved once per block, each through its own slow ramp.
enum class Input { Music, Silence, Denormal, Automation };

// Denormal input: tiny values of both signs, far below the processing's own offset.
std::vector<float> denormalSignal(int channels) {
    std::vector<float> out(static_cast<size_t>(kSignalBlocks) * kBlock * channels);
    for (size_t i = 0; i < out.size(); ++i) out[i] = (i % 3 ? 1e-40f : -3e-41f);
    return out;
}

void runTreble(benchmark::State& state, const std::string& plugin, Input input) {
    vst_host::HostedPlugin rig = loadAllStagesOn(plugin);
    if (!rig) {
        state.SkipWithError(("cannot load " + plugin).c_str());
        return;
    }
    const int channels = rig.instance->numInputs();
    const std::vector<float> signal =
        input == Input::Music || input == Input::Automation ? musicSignal(channels)
        : input == Input::Denormal                          ? denormalSignal(channels)
                                   : std::vector<float>(static_cast<size_t>(kSignalBlocks) * kBlock * channels);
    vst_host::AudioBuffers out(channels, kBlock);
    std::vector<float*> in(static_cast<size_t>(channels));
    // The stereo build settles its mode on the first block; and a second of
    // audio brings the adaptive filters to their working range.
    int block = 0;
    auto pointInputs = [&] {
        for (int c = 0; c < channels; ++c)
            in[static_cast<size_t>(c)] =
                const_cast<float*>(signal.data()) + static_cast<size_t>(c) * kSignalBlocks * kBlock + block * kBlock;
        block = (block + 1) % kSignalBlocks;
    };
    for (int warm = 0; warm < 86; ++warm) {
        pointInputs();
        rig.instance->processReplacing(in.data(), out.pointers(), kBlock);
    }
    int step = 0;
    for (auto _ : state) {
        if (input == Input::Automation) {
            const int automated[] = {5, 6, 13, 16};
            for (int k = 0; k < 4; ++k) rig->setParameter(automated[k], ((step + 37 * k) % 200) / 200.0f);
            ++step;
        }
        pointInputs();
        rig.instance->processReplacing(in.data(), out.pointers(), kBlock);
        benchmark::DoNotOptimize(out.channel(0)[kBlock - 1]);
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    // Inverted rate of frames * 1e-9: seconds per (frame * 1e-9), that is ns per frame.
    state.counters["ns_per_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_GlintorStereoMusic(benchmark::State& state) { runTreble(state, "Vorsa_Glintor", Input::Music); }
void BM_GlintorStereoSilence(benchmark::State& state) { runTreble(state, "Vorsa_Glintor", Input::Silence); }
void BM_GlintorStereoDenormal(benchmark::State& state) { runTreble(state, "Vorsa_Glintor", Input::Denormal); }
void BM_GlintorStereoAutomation(benchmark::State& state) { runTreble(state, "Vorsa_Glintor", Input::Automation); }
void BM_GlintorMonoMusic(benchmark::State& state) { runTreble(state, "Vorsa_Glintor_Mono", Input::Music); }
void BM_GlintorMonoSilence(benchmark::State& state) { runTreble(state, "Vorsa_Glintor_Mono", Input::Silence); }
void BM_GlintorMonoDenormal(benchmark::State& state) { runTreble(state, "Vorsa_Glintor_Mono", Input::Denormal); }

BENCHMARK(BM_GlintorStereoMusic);
BENCHMARK(BM_GlintorStereoSilence);
BENCHMARK(BM_GlintorStereoAutomation);
BENCHMARK(BM_GlintorStereoDenormal);
BENCHMARK(BM_GlintorMonoMusic);
BENCHMARK(BM_GlintorMonoSilence);
BENCHMARK(BM_GlintorMonoDenormal);

}  // namespace

BENCHMARK_MAIN();
