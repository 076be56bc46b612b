// Normalised parameter values shared between the host's threads and the audio
// thread, in program-slot order.
//
// Any thread may set values: the host's user-interface thread (editor, program
// changes) and its audio thread (automation) alike. The audio thread takes a
// copy of all of them at the start of a block and derives its coefficients from
// that copy alone, so a block never runs half of a change. Values written
// together between beginWrite() and endWrite() (a program) are seen whole or
// not at all: while a write is in progress, or when one overlaps the copy, the
// copy fails and the block keeps the coefficients it had; the next block tries
// again. Nobody waits and nothing is allocated.
//
// The two counters work as a sequence lock that tolerates several writers:
// `begun` counts writes started, `ended` writes finished. A copy is consistent
// when no write was in progress as it started and none started while it ran.
#pragma once

#include <atomic>
#include <cstdint>

template <int N>
class SharedParameters {
public:
    // A consistent copy, with how often each value has been set (setting a
    // value to what it already was counts: for some parameters the act of
    // setting has effects of its own).
    struct Snapshot {
        float values[N];
        uint32_t changes[N];
        uint32_t version;
    };

    SharedParameters() {
        for (int i = 0; i < N; ++i) {
            values_[i].store(0.0f, std::memory_order_relaxed);
            changes_[i].store(0, std::memory_order_relaxed);
        }
    }
    SharedParameters(const SharedParameters&) = delete;
    SharedParameters& operator=(const SharedParameters&) = delete;

    // Any thread: the value last set.
    float get(int slot) const { return values_[slot].load(std::memory_order_relaxed); }

    // Any thread: one value, as one write.
    void set(int slot, float value) {
        beginWrite();
        write(slot, value);
        endWrite();
    }

    // Any thread: several values as one write. Writes may nest.
    void beginWrite() {
        begun_.fetch_add(1, std::memory_order_relaxed);
        // The count above becomes visible no later than any value below.
        std::atomic_thread_fence(std::memory_order_release);
    }
    void write(int slot, float value) {
        values_[slot].store(value, std::memory_order_relaxed);
        changes_[slot].fetch_add(1, std::memory_order_relaxed);
    }
    void endWrite() { ended_.fetch_add(1, std::memory_order_release); }

    // Any thread: replaces the value only while it is still `expected`, so a
    // value decided from an older one never overwrites a newer one.
    bool replaceIf(int slot, float expected, float desired) {
        beginWrite();
        const bool replaced =
            values_[slot].compare_exchange_strong(expected, desired, std::memory_order_relaxed);
        if (replaced) changes_[slot].fetch_add(1, std::memory_order_relaxed);
        endWrite();
        return replaced;
    }

    // Counts finished writes: unchanged means nothing was set since.
    uint32_t version() const { return ended_.load(std::memory_order_acquire); }

    // Audio thread: a consistent copy of every value; false (and `out`
    // unusable) when a write was in progress.
    bool snapshot(Snapshot& out) const {
        const uint32_t ended = ended_.load(std::memory_order_acquire);
        const uint32_t begun = begun_.load(std::memory_order_acquire);
        if (begun != ended) return false;
        for (int i = 0; i < N; ++i) {
            out.values[i] = values_[i].load(std::memory_order_relaxed);
            out.changes[i] = changes_[i].load(std::memory_order_relaxed);
        }
        // Any value read above that a later write stored makes that write's
        // start visible to the load below.
        std::atomic_thread_fence(std::memory_order_acquire);
        if (begun_.load(std::memory_order_relaxed) != begun) return false;
        out.version = ended;
        return true;
    }

private:
    std::atomic<float> values_[N];
    std::atomic<uint32_t> changes_[N];
    std::atomic<uint32_t> begun_{0};
    std::atomic<uint32_t> ended_{0};
};

// Work that another thread asks of the audio thread (a processing reset), done
// at the start of the next block so that it never lands in the middle of one.
class PendingReset {
public:
    // Any thread.
    void ask() { asked_.fetch_add(1, std::memory_order_release); }
    // Any thread: asked for and not done yet.
    bool pending() const { return asked_.load(std::memory_order_acquire) != done_.load(std::memory_order_acquire); }
    // Audio thread: true once for every run of requests since the last take.
    bool take() {
        const uint32_t asked = asked_.load(std::memory_order_acquire);
        if (asked == done_.load(std::memory_order_relaxed)) return false;
        done_.store(asked, std::memory_order_release);
        return true;
    }

private:
    std::atomic<uint32_t> asked_{0};
    std::atomic<uint32_t> done_{0};
};
