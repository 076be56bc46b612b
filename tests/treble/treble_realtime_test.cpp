// Real-time safety of the treble process calls: no allocation while blocks
// run, and finite output under random parameter and program changes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include "tests/treble/effect_test_support.h"
#include "treble_dsp/treble_parameters.h"

namespace {
std::atomic<bool> countAllocations{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
    if (countAllocations.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (countAllocations.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using effect_test::EffectRig;
using effect_test::makeEffect;
using vst_host::AudioBuffers;

namespace {

TEST(Realtime, ProcessCallsAllocateNothing) {
    for (PluginBuild build : {PluginBuild::Stereo, PluginBuild::Mono}) {
        for (bool inputConnected : {true, false}) {
            EffectRig rig = makeEffect(build, [inputConnected](vst_host::ScriptedHost& h) {
                h.recordRequests = false;
                h.setInputConnected(1, inputConnected);
            });
            AudioBuffers in(2, 512, 0.3f), out(2, 512);
            allocations = 0;
            countAllocations = true;
            for (int block = 0; block < 2000; ++block) {
                const int frames = (block * 37) % 513;
                if (block == 1000) rig->setParameter(treble_params::kProcess, 0.0f);  // bypass too
                if (block % 2)
                    rig->process(in.pointers(), out.pointers(), frames);
                else
                    rig->processReplacing(in.pointers(), out.pointers(), frames);
            }
            countAllocations = false;
            EXPECT_EQ(allocations.load(), 0) << (build == PluginBuild::Stereo ? "stereo" : "mono");
            // The counter works: an allocation here is seen.
            countAllocations = true;
            delete new int(3);
            countAllocations = false;
            EXPECT_EQ(allocations.load(), 1);
        }
    }
}

// A random valid change: a parameter in 0..1 (StereoMono also -1), or a program.
void randomChange(TrebleEffect& fx, std::mt19937& rng) {
    std::uniform_int_distribution<int> what(0, 26);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    const int pick = what(rng);
    if (pick >= 24) {
        fx.setProgram(std::uniform_int_distribution<int>(0, 47)(rng));
    } else if (pick == treble_params::kStereoMono) {
        const float modes[] = {-1.0f, 0.0f, 1.0f};
        fx.setParameter(pick, modes[std::uniform_int_distribution<int>(0, 2)(rng)]);
    } else {
        // Switches spend most time on, so that every stage gets exercised.
        float v = value(rng);
        if (pick == 0 || pick >= 19) v = v < 0.8f ? 1.0f : 0.0f;
        fx.setParameter(pick, v);
    }
}

TEST(Realtime, SoakWithRandomChangesGivesOnlyFiniteSamples) {
    for (PluginBuild build : {PluginBuild::Stereo, PluginBuild::Mono}) {
        EffectRig rig = makeEffect(build, [](vst_host::ScriptedHost& h) { h.recordRequests = false; });
        std::atomic<bool> stop{false};
        // Changes during blocks come from a second thread, as from an editor.
        std::thread changer([&] {
            std::mt19937 rng(99);
            while (!stop.load()) {
                randomChange(*rig.effect, rng);
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });
        std::mt19937 rng(build == PluginBuild::Stereo ? 1 : 2);
        std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
        std::uniform_int_distribution<int> frames(0, 1024);
        AudioBuffers in(2, 1024), out(2, 1024);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(4);
        long blocks = 0;
        long badBlock = -1;
        while (badBlock < 0 && std::chrono::steady_clock::now() < until) {
            const int n = (blocks % 50 == 0) ? 0 : frames(rng);
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < n; ++i) in.channel(c)[i] = noise(rng);
            out.fill(0.0f);
            if (blocks % 3 == 0) randomChange(*rig.effect, rng);
            if (blocks % 2)
                rig->process(in.pointers(), out.pointers(), n);
            else
                rig->processReplacing(in.pointers(), out.pointers(), n);
            for (int c = 0; c < rig->getAeffect()->numOutputs; ++c)
                for (int i = 0; i < n; ++i)
                    if (!std::isfinite(out.channel(c)[i])) badBlock = blocks;
            if (blocks % 997 == 0) rig->suspend();
            ++blocks;
        }
        stop = true;
        changer.join();
        EXPECT_EQ(badBlock, -1) << "a non-finite sample in this block";
        EXPECT_GT(blocks, 1000);
    }
}

}  // namespace
