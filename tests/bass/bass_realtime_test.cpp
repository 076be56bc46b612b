// Real-time safety of the process calls: no allocation while processing, and
// a randomised soak in both builds whose every output sample must be finite.
// This binary replaces the global allocator to count what the calls ask for.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>

#include "tests/bass/bass_test_support.h"
#include "tests/support/plugin_paths.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
namespace {
void countedFree(void* p) {
    if (p && counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    std::free(p);
}
}  // namespace
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }

using namespace bass_test;
using namespace bass_params;

namespace {

struct Counting {
    Counting() { counting = true; }
    ~Counting() { counting = false; }
};

TEST(BassRealtime, CounterSeesAllocations) {
    allocations = 0;
    {
        Counting on;
        delete new int(3);
    }
    EXPECT_EQ(allocations.load(), 2);
}

TEST(BassRealtime, ProcessCallsNeverAllocate) {
    for (PluginBuild build : {PluginBuild::Stereo, PluginBuild::Mono}) {
        TestHost::reset();
        TestHost::secondInputConnected = build == PluginBuild::Stereo;
        Bass e(build);
        std::vector<float> l(1024), r(1024), ol(1024), orr(1024);
        std::mt19937 rng(5);
        std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
        for (size_t n = 0; n < l.size(); ++n) {
            l[n] = dist(rng);
            r[n] = dist(rng);
        }
        float* in[2] = {l.data(), r.data()};
        float* out[2] = {ol.data(), orr.data()};
        allocations = 0;
        {
            Counting on;
            for (int block = 0; block < 2000; ++block) {
                // The first block asks the host about its pins.
                if (block % 2)
                    e.process(in, out, 1024);
                else
                    e.processReplacing(in, out, 1024);
            }
            e.processReplacing(in, out, 0);
        }
        EXPECT_EQ(allocations.load(), 0);
    }
    TestHost::reset();
}

// The built libraries, loaded as a host loads them: the allocator of this
// binary serves them too, as the count during instance creation shows.
TEST(BassRealtime, BuiltPluginsNeverAllocateWhileProcessing) {
    for (const char* file : {"Vorsa_RUMBLOR", "Vorsa_RUMBLOR_Mono"}) {
        auto plugin = test_support::loadPlugin(file, [](vst_host::ScriptedHost& host) { host.recordRequests = false; });
        allocations = 0;
        {
            Counting on;
            vst_host::ScriptedHost::Constructing routed(*plugin.host);
            AEffect* other = plugin.module->entry()(vst_host::ScriptedHost::callback);
            ASSERT_NE(other, nullptr);
            other->dispatcher(other, effClose, 0, 0, nullptr, 0.0f);
        }
        EXPECT_GT(allocations.load(), 0) << "the counting allocator does not reach " << file;

        plugin->startUp(44100.0f, 512);
        plugin.host->setInputConnected(1, true);
        vst_host::AudioBuffers in(plugin->numInputs(), 512, 0.5f), out(plugin->numOutputs(), 512);
        allocations = 0;
        {
            Counting on;
            for (int block = 0; block < 500; ++block) {
                plugin->processReplacing(in.pointers(), out.pointers(), 512);
                plugin->process(in.pointers(), out.pointers(), 256);
            }
        }
        EXPECT_EQ(allocations.load(), 0) << file;
    }
}

TEST(BassRealtime, RandomisedSoakStaysFinite) {
    const auto started = std::chrono::steady_clock::now();
    for (PluginBuild build : {PluginBuild::Stereo, PluginBuild::Mono}) {
        std::mt19937 rng(build == PluginBuild::Stereo ? 101u : 202u);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        std::uniform_real_distribution<float> fullScale(-1.0f, 1.0f);
        std::uniform_int_distribution<int> blockSize(0, 2048);
        Bass e(build);
        std::vector<float> l(2048), r(2048), ol(2048), orr(2048);
        float* in[2] = {l.data(), r.data()};
        float* out[2] = {ol.data(), orr.data()};
        long frames = 0;
        allocations = 0;
        for (int block = 0; block < 30000; ++block) {
            const float dice = unit(rng);
            if (dice < 0.05f) {
                e.setProgram(static_cast<int>(unit(rng) * 32.0f) % 32);
            } else if (dice < 0.35f) {
                // Mostly in range; now and then the odd host value outside it.
                float v = unit(rng);
                if (dice < 0.07f) v = v * 4.0f - 2.0f;
                e.setParameter(static_cast<int>(unit(rng) * 9.0f) % 9, v);
            } else if (dice < 0.36f) {
                e.setSampleRate(dice < 0.355f ? 96000.0f : 44100.0f);
                e.suspend();
            }
            const int n = block % 50 == 0 ? 0 : blockSize(rng);
            for (int i = 0; i < n; ++i) {
                l[static_cast<size_t>(i)] = fullScale(rng);
                r[static_cast<size_t>(i)] = fullScale(rng);
            }
            {
                Counting on;
                if (block % 3 == 0) {
                    std::fill(ol.begin(), ol.end(), 0.0f);
                    std::fill(orr.begin(), orr.end(), 0.0f);
                    e.process(in, out, n);
                } else {
                    e.processReplacing(in, out, n);
                }
            }
            for (int i = 0; i < n; ++i) {
                ASSERT_TRUE(std::isfinite(ol[static_cast<size_t>(i)])) << "block " << block << " sample " << i;
                if (build == PluginBuild::Stereo) {
                    ASSERT_TRUE(std::isfinite(orr[static_cast<size_t>(i)])) << "block " << block << " sample " << i;
                }
            }
            frames += n;
        }
        EXPECT_EQ(allocations.load(), 0);
        EXPECT_GT(frames, 25000000);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 30.0);
}

}  // namespace
