// The output of every program of every deliverable, in each channel layout,
// on one fixed test signal, reduced to a hash and compared with the recorded
// table. Any change to the arithmetic of the audio path, however small,
// changes a hash; reorganising the code for speed must not.
//
// The signal takes the paths that are easy to break when loops are split or
// vectorised: music with sharp transients, digital silence, a loud part past
// the clipper, a sample-rate change, per-block automation of several
// parameters, non-finite input and the recovery after it, block sizes from 0
// to 4097, unaligned host buffers, and accumulating as well as replacing
// process calls.
//
// Each program has two hashes: the part at 44.1 kHz, where hosts and users
// expect the sound never to change, and everything after the change to 96 kHz.
//
// VORSA_GOLDEN_RECORD=1 rewrites the table from the current build instead of
// comparing (only for a deliberate change of sound).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/golden/dsp_paths.h"
#include "tests/support/plugin_paths.h"

namespace {

struct Layout {
    const char* plugin;
    const char* name;
    bool secondInputConnected;
    std::vector<int> automated;  // parameters moved once per block in the automation part
};

const std::vector<Layout>& layouts() {
    static const std::vector<Layout> all = {
        {"Vorsa_Glintor", "stereo", true, {1, 2, 3, 5, 6, 8, 12, 13, 15, 16}},
        {"Vorsa_Glintor", "mono-in-stereo-build", false, {1, 2, 3, 5, 6, 8, 12, 13, 15, 16}},
        {"Vorsa_Glintor_Mono", "mono", true, {1, 2, 3, 5, 6, 8, 12, 13, 15, 16}},
        {"Vorsa_RUMBLOR", "stereo", true, {1, 2, 3, 4, 5, 6}},
        {"Vorsa_RUMBLOR", "mono-in-stereo-build", false, {1, 2, 3, 4, 5, 6}},
        {"Vorsa_RUMBLOR_Mono", "mono", true, {1, 2, 3, 4, 5, 6}},
    };
    return all;
}

// Deterministic noise and waveforms from integer and basic float arithmetic
// only, so that the signal itself is the same on every machine.
struct Noise {
    uint32_t state;
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(static_cast<int32_t>(state)) * (1.0f / 2147483648.0f);
    }
};

// A sine-like parabola for a phase in [0, 1).
float parabolicWave(float phase) {
    const float x = 2.0f * phase - 1.0f;
    return 4.0f * x * (1.0f - std::fabs(x)) * -1.0f;
}

struct Oscillator {
    uint32_t phase = 0, step;
    explicit Oscillator(double hz, double rate) : step(static_cast<uint32_t>(hz / rate * 4294967296.0)) {}
    float next() {
        phase += step;
        return parabolicWave(static_cast<float>(phase >> 8) * (1.0f / 16777216.0f));
    }
};

// Music-like material: a bass line, a bright partial, a hit every fifth of a
// second and a hiss floor. Stereo channels differ slightly.
std::vector<float> music(int channel, int frames, double rate, float gain, uint32_t seed) {
    std::vector<float> out(static_cast<size_t>(frames));
    Oscillator bass(55.0 + channel, rate), mid(440.0, rate), top(5200.0 + 30 * channel, rate);
    Noise noise{seed + static_cast<uint32_t>(channel)};
    const int hitEvery = static_cast<int>(rate / 5);
    float hit = 0.0f;
    for (int i = 0; i < frames; ++i) {
        if (i % hitEvery == 0) hit = 0.9f;
        hit *= 0.9985f;
        const float white = noise.next();
        out[static_cast<size_t>(i)] =
            gain * (0.35f * bass.next() + 0.15f * mid.next() + 0.05f * top.next() + hit * white + 0.01f * white);
    }
    return out;
}

// One step of the script: a run of frames at the current rate, or an event.
struct Part {
    enum Kind { Audio, RateChange, NonFinite } kind;
    std::vector<float> channels[2];  // Audio: the frames of each channel
    bool automate = false;
    double rate = 0.0;  // RateChange
};

std::vector<Part> script() {
    auto audio = [](std::vector<float> l, std::vector<float> r, bool automate = false) {
        Part p{Part::Audio, {std::move(l), std::move(r)}, automate, 0.0};
        return p;
    };
    std::vector<Part> parts;
    const double a = 44100.0, b = 96000.0;
    parts.push_back(audio(music(0, 30000, a, 0.5f, 1), music(1, 30000, a, 0.5f, 1)));
    parts.push_back(audio(std::vector<float>(13000, 0.0f), std::vector<float>(13000, 0.0f)));
    parts.push_back(audio(music(0, 22000, a, 6.0f, 2), music(1, 22000, a, 6.0f, 2)));
    parts.push_back({Part::RateChange, {}, false, b});
    parts.push_back(audio(music(0, 70000, b, 0.7f, 3), music(1, 70000, b, 0.7f, 3), true));
    parts.push_back({Part::NonFinite, {}, false, 0.0});
    parts.push_back(audio(music(0, 30000, b, 0.5f, 4), music(1, 30000, b, 0.5f, 4)));
    return parts;
}

constexpr int kBlockSizes[] = {512, 1, 63, 65, 4097, 0, 512, 256, 7, 128};
constexpr int kMaxBlock = 4097;

struct Hash {
    uint64_t value = 1469598103934665603ull;  // 64-bit FNV-1a
    void add(float sample) {
        uint32_t bits;
        std::memcpy(&bits, &sample, sizeof bits);
        // A NaN's payload is whatever operand the processor picked, not sound.
        if (sample != sample) bits = 0x7fc00000u;
        for (int i = 0; i < 4; ++i) {
            value ^= (bits >> (8 * i)) & 0xffu;
            value *= 1099511628211ull;
        }
    }
};

// The hashes of one render: before the first rate change, and after it.
struct Hashes {
    uint64_t atFirstRate = 0, afterRateChange = 0;
};

// Renders the whole script through one fresh instance on one program.
Hashes render(const Layout& layout, int program, const std::vector<Part>& parts) {
    const bool secondInput = layout.secondInputConnected;
    test_support::LoadedPlugin rig = test_support::loadPlugin(layout.plugin);
    rig.host->setInputConnected(1, secondInput);
    rig->startUp(44100.0f, kMaxBlock);
    rig->setProgram(program);
    const int inputs = rig->numInputs(), outputs = rig->numOutputs();

    // Room for a block at any of four offsets, so that buffers arrive unaligned.
    std::vector<std::vector<float>> inStore(2, std::vector<float>(kMaxBlock + 4));
    std::vector<std::vector<float>> outStore(2, std::vector<float>(kMaxBlock + 4));
    float* in[2];
    float* out[2];
    Hash hash, first;
    bool rateChanged = false;
    int block = 0;
    for (const Part& part : parts) {
        if (part.kind == Part::RateChange) {
            if (!rateChanged) first = hash;
            rateChanged = true;
            hash = Hash();
            rig->suspend();
            rig->setSampleRate(static_cast<float>(part.rate));
            rig->resume();
            continue;
        }
        std::vector<float> frames[2];
        if (part.kind == Part::NonFinite) {
            // One block with a NaN and an infinity among ordinary samples.
            for (auto& f : frames) f.assign(300, 0.1f);
            frames[0][17] = std::nanf("");
            frames[1][200] = INFINITY;
            frames[0][250] = -INFINITY;
        }
        const std::vector<float>* source = part.kind == Part::NonFinite ? frames : part.channels;
        const int total = static_cast<int>(source[0].size());
        for (int done = 0; done < total; ++block) {
            int n = kBlockSizes[block % (sizeof kBlockSizes / sizeof kBlockSizes[0])];
            if (n > total - done) n = total - done;
            const int offset = block % 4;
            for (int c = 0; c < 2; ++c) {
                in[c] = inStore[static_cast<size_t>(c)].data() + offset;
                out[c] = outStore[static_cast<size_t>(c)].data() + (3 - offset);
                std::memcpy(in[c], source[c].data() + done, sizeof(float) * static_cast<size_t>(n));
            }
            // A mono signal in a stereo build with one input carries only the left channel.
            if (inputs == 1) in[1] = nullptr;
            if (part.automate) {
                for (size_t k = 0; k < layout.automated.size(); ++k) {
                    const int step = (block + static_cast<int>(k) * 7) % 40;
                    rig->setParameter(layout.automated[k], static_cast<float>(step < 20 ? step : 40 - step) / 20.0f);
                }
            }
            const bool accumulate = block % 7 == 3;
            for (int c = 0; c < outputs; ++c)
                for (int i = 0; i < n; ++i) out[c][i] = accumulate ? 0.125f : -99.0f;
            if (accumulate)
                rig->process(in, out, n);
            else
                rig->processReplacing(in, out, n);
            for (int c = 0; c < outputs; ++c)
                for (int i = 0; i < n; ++i) hash.add(out[c][i]);
            done += n;
        }
    }
    if (!rateChanged) first = hash;
    return {first.value, rateChanged ? hash.value : 0};
}

std::string keyOf(const Layout& layout, int program) {
    std::ostringstream key;
    key << layout.plugin << ' ' << layout.name << ' ' << program;
    return key.str();
}

std::map<std::string, Hashes> readTable(const std::string& path) {
    std::map<std::string, Hashes> table;
    std::ifstream file(path);
    std::string plugin, name;
    int program;
    std::string first, after;
    while (file >> plugin >> name >> program >> first >> after) {
        std::ostringstream key;
        key << plugin << ' ' << name << ' ' << program;
        table[key.str()] = {std::stoull(first, nullptr, 16), std::stoull(after, nullptr, 16)};
    }
    return table;
}

TEST(GoldenOutput, EveryProgramOfEveryDeliverableOnEveryDspPath) {
    const std::string tablePath = VORSA_GOLDEN_TABLE;
    const bool record = std::getenv("VORSA_GOLDEN_RECORD") != nullptr;
    const std::map<std::string, Hashes> expected = record ? std::map<std::string, Hashes>() : readTable(tablePath);
    if (!record) {
        ASSERT_FALSE(expected.empty()) << "no recorded table at " << tablePath;
    }
    const std::vector<Part> parts = script();

    std::map<std::string, Hashes> recorded;
    for (const std::string& path : dsp_paths::runnable()) {
        SCOPED_TRACE("dsp path " + path);
        dsp_paths::Forced forced(path);
        for (const Layout& layout : layouts()) {
            const int programs = test_support::loadPlugin(layout.plugin)->numPrograms();
            for (int program = 0; program < programs; ++program) {
                const std::string key = keyOf(layout, program);
                const Hashes hash = render(layout, program, parts);
                if (record) {
                    recorded[key] = hash;
                    continue;
                }
                const auto found = expected.find(key);
                ASSERT_NE(found, expected.end()) << "no recorded hash for " << key;
                EXPECT_EQ(found->second.atFirstRate, hash.atFirstRate) << key << " sounds different at 44.1 kHz";
                EXPECT_EQ(found->second.afterRateChange, hash.afterRateChange)
                    << key << " sounds different after the change to 96 kHz";
            }
        }
        if (record) break;  // the default path defines the sound
    }
    if (record) {
        std::ofstream file(tablePath);
        for (const auto& entry : recorded) {
            char hex[40];
            std::snprintf(hex, sizeof hex, "%016llx %016llx", static_cast<unsigned long long>(entry.second.atFirstRate),
                          static_cast<unsigned long long>(entry.second.afterRateChange));
            file << entry.first << ' ' << hex << '\n';
        }
        GTEST_SKIP() << "recorded " << recorded.size() << " hashes into " << tablePath;
    }
}

}  // namespace
