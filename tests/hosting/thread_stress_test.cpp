// Two threads as real hosts run them: the audio thread renders music in
// blocks of 64 to 512 frames (and plays automation) while the
// user-interface thread drags knobs,
// switches programs, reads the display texts, suspends and idles the open
// editor. The output stays finite and bounded. The same test built with
// ThreadSanitizer (scripts/thread-check.sh) shows that no value is shared
// without an atomic.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "glintor/glintor_vst2.h"
#include "gui_test_support.h"
#include "rumblor/rumblor_vst2.h"
#include "shell/shared_parameters.h"

namespace {

// A host that answers from any thread: version 2.4, every pin connected.
VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// How long each deliverable is stressed; a ThreadSanitizer build runs the same
// wall time on far fewer blocks.
constexpr auto kStressTime = std::chrono::milliseconds(1500);

struct Outcome {
    long blocks = 0, hostCalls = 0;
    double peak = 0.0;
    bool finite = true;
};

Outcome stress(AudioEffect* effect, int numParams, int numPrograms, int seed) {
    AEffect* record = effect->getAeffect();
    record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
    record->dispatcher(record, effEditOpen, 0, 0, fakeParentWindow(), 0.0f);

    std::atomic<bool> done{false};
    Outcome outcome;
    std::thread audio([&] {
        std::mt19937 rng(static_cast<unsigned>(seed));
        std::vector<float> in[2], out[2];
        for (int c = 0; c < 2; ++c) in[c].assign(512, 0.0f), out[c].assign(512, 0.0f);
        float* ins[2] = {in[0].data(), in[1].data()};
        float* outs[2] = {out[0].data(), out[1].data()};
        long frame = 0;
        const auto until = std::chrono::steady_clock::now() + kStressTime;
        while (std::chrono::steady_clock::now() < until) {
            const int n = 64 + static_cast<int>(rng() % 449);
            // Automation, which many hosts send from their audio thread.
            if (outcome.blocks % 3 == 0)
                effect->setParameter(static_cast<int>(rng() % static_cast<unsigned>(numParams)),
                                     static_cast<float>(rng() % 1000) / 999.0f);
            for (int i = 0; i < n; ++i, ++frame) {
                const double t = frame / 44100.0;
                in[0][static_cast<size_t>(i)] = static_cast<float>(0.4 * std::sin(2 * M_PI * 55 * t) + 0.1 * std::sin(2 * M_PI * 5200 * t));
                in[1][static_cast<size_t>(i)] = static_cast<float>(0.4 * std::sin(2 * M_PI * 57 * t) - 0.1 * std::sin(2 * M_PI * 4100 * t));
            }
            if (outcome.blocks % 5 == 0) {
                for (auto& o : out) std::fill(o.begin(), o.end(), 0.0f);
                record->process(record, ins, outs, n);
            } else {
                record->processReplacing(record, ins, outs, n);
            }
            for (int c = 0; c < record->numOutputs; ++c)
                for (int i = 0; i < n; ++i) {
                    const float v = out[c][static_cast<size_t>(i)];
                    outcome.finite = outcome.finite && std::isfinite(v);
                    outcome.peak = std::fmax(outcome.peak, std::fabs(v));
                }
            ++outcome.blocks;
        }
        done = true;
    });

    std::mt19937 rng(static_cast<unsigned>(seed + 1));
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    char text[256];
    while (!done) {
        const int what = static_cast<int>(rng() % 100);
        const int index = static_cast<int>(rng() % static_cast<unsigned>(numParams));
        if (what < 50) {
            // A knob drag, as the editor sends it.
            effect->setParameterAutomated(index, unit(rng));
        } else if (what < 55) {
            effect->setParameter(index, unit(rng) * 3.0f - 1.0f);
        } else if (what < 62) {
            record->dispatcher(record, effSetProgram, 0, static_cast<VstIntPtr>(rng() % static_cast<unsigned>(numPrograms)), nullptr, 0.0f);
        } else if (what < 80) {
            record->dispatcher(record, effGetParamDisplay, index, 0, text, 0.0f);
            record->getParameter(record, index);
        } else if (what < 81) {
            record->dispatcher(record, effMainsChanged, 0, 0, nullptr, 0.0f);
            record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
        } else {
            record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f);
        }
        ++outcome.hostCalls;
        if (what >= 81) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    audio.join();
    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    return outcome;
}

TEST(Threads, AudioAndHostThreadsTogether) {
    struct Case {
        const char* name;
        bool treble;
        PluginBuild build;
        double bound;  // Rumblor's design reaches +60 dB with every knob at 1
    } cases[] = {{"Glintor stereo", true, PluginBuild::Stereo, 64.0},
                 {"Glintor mono", true, PluginBuild::Mono, 64.0},
                 {"Rumblor stereo", false, PluginBuild::Stereo, 4000.0},
                 {"Rumblor mono", false, PluginBuild::Mono, 4000.0}};
    int seed = 1;
    for (const Case& c : cases) {
        AudioEffect* effect = c.treble ? makeGlintor(quietHost, c.build) : makeRumblor(quietHost, c.build);
        ASSERT_NE(effect, nullptr) << c.name;
        const Outcome o = c.treble ? stress(effect, 24, 48, seed++) : stress(effect, 9, 32, seed++);
        EXPECT_TRUE(o.finite) << c.name;
        EXPECT_LT(o.peak, c.bound) << c.name;
        EXPECT_GT(o.blocks, 50) << c.name;
        EXPECT_GT(o.hostCalls, 50) << c.name;
    }
}

// Whatever two writers do, a copy that succeeds holds one complete write, also
// when the two overlap: here every write sets all values to the same number,
// so a copy with two different numbers in it would be a torn program.
TEST(Threads, ParameterCopiesAreNeverTorn) {
    SharedParameters<24> shared;
    std::atomic<int> writing{2};
    auto writer = [&](float base) {
        for (int k = 0; k < 20000; ++k) {
            {
                SharedParameters<24>::Write write(shared);
                for (int i = 0; i < 24; ++i) write.set(i, base + static_cast<float>(k));
            }
            std::this_thread::yield();
        }
        --writing;
    };
    std::thread first(writer, 0.0f), second(writer, 0.5f);
    long copies = 0, torn = 0;
    SharedParameters<24>::Snapshot s;
    while (writing > 0) {
        if (!shared.snapshot(s)) continue;
        ++copies;
        for (int i = 1; i < 24; ++i)
            if (s.values[i] != s.values[0]) {
                ++torn;
                break;
            }
    }
    first.join();
    second.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(copies, 100);
    // After the writers stop, a copy always succeeds and shows a last write.
    ASSERT_TRUE(shared.snapshot(s));
    EXPECT_EQ(s.values[23], s.values[0]);
    EXPECT_EQ(s.changes[5], s.changes[0]);
}

}  // namespace
