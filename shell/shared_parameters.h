// Normalised parameter values shared between the host's threads and the audio
// thread, in program-slot order.
//
// Any thread may set values: the host's user-interface thread (editor, program
// changes) and its audio thread (automation) alike. The audio thread takes a
// copy of all of them at the start of a block and derives its coefficients from
// that copy alone, so a block never runs half of a change. Values set through
// one Write (a program) are seen whole or not at all: while a write is in
// progress, or when one overlaps the copy, the copy fails and the block keeps
// the coefficients it had; the next block tries again. Nobody waits and
// nothing is allocated.
//
// Two counters work as a sequence lock that tolerates several writers:
// `begun` counts writes started, `ended` writes finished. A copy is consistent
// when no write was in progress as it started and none started while it ran.
// Writes that overlap each other are ordered by the ticket each draws from
// `begun`: a slot keeps the value of the newest write that set it, so two
// programs set at once by two threads end as the later one, never as a mix.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

template <int N>
class SharedParameters {
public:
    // A consistent copy. `changes` holds, per slot, the ticket of the write
    // that set it last: it moves whenever the value is set, also to what it
    // already was (for some parameters the act of setting has effects of its
    // own).
    struct Snapshot {
        float values[N];
        uint32_t changes[N];
        uint32_t version;
    };

    // One write of one or several values; it ends when the object goes.
    class Write {
    public:
        explicit Write(SharedParameters& shared)
            : shared_(shared), ticket_(shared.begun_.fetch_add(1, std::memory_order_relaxed) + 1) {}
        ~Write() { shared_.ended_.fetch_add(1, std::memory_order_release); }
        Write(const Write&) = delete;
        Write& operator=(const Write&) = delete;

        void set(int slot, float value) { shared_.store(slot, value, ticket_); }

        // Sets the value only while it is still `expected`, so a value decided
        // from an older one never overwrites a newer one.
        bool replaceIf(int slot, float expected, float desired) {
            std::atomic<uint64_t>& cell = shared_.slots_[slot];
            uint64_t current = cell.load(std::memory_order_relaxed);
            while (valueOf(current) == expected && newer(ticket_, current)) {
                if (cell.compare_exchange_weak(current, pack(desired, ticket_), std::memory_order_release,
                                               std::memory_order_relaxed))
                    return true;
            }
            return false;
        }

    private:
        SharedParameters& shared_;
        const uint32_t ticket_;
    };

    SharedParameters() {
        for (auto& cell : slots_) cell.store(0, std::memory_order_relaxed);
    }
    SharedParameters(const SharedParameters&) = delete;
    SharedParameters& operator=(const SharedParameters&) = delete;

    // Any thread: the value last set.
    float get(int slot) const { return valueOf(slots_[slot].load(std::memory_order_relaxed)); }

    // Any thread: one value, as one write.
    void set(int slot, float value) { Write(*this).set(slot, value); }

    // Counts finished writes: unchanged means nothing was set since.
    uint32_t version() const { return ended_.load(std::memory_order_acquire); }

    // Audio thread: a consistent copy of every value; false (and `out`
    // unusable) when a write was in progress.
    bool snapshot(Snapshot& out) const {
        const uint32_t ended = ended_.load(std::memory_order_acquire);
        const uint32_t begun = begun_.load(std::memory_order_acquire);
        if (begun != ended) return false;
        // A value read here that a later write stored makes that write's
        // start visible to the check below.
        for (int i = 0; i < N; ++i) {
            const uint64_t cell = slots_[i].load(std::memory_order_acquire);
            out.values[i] = valueOf(cell);
            out.changes[i] = static_cast<uint32_t>(cell >> 32);
        }
        if (begun_.load(std::memory_order_relaxed) != begun) return false;
        out.version = ended;
        return true;
    }

private:
    // A slot holds the value's bits in its low half, the ticket in its high half.
    static uint64_t pack(float value, uint32_t ticket) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return (static_cast<uint64_t>(ticket) << 32) | bits;
    }
    static float valueOf(uint64_t cell) {
        const uint32_t bits = static_cast<uint32_t>(cell);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Tickets count on through wrap-around: compare by difference.
    static bool newer(uint32_t ticket, uint64_t cell) {
        return static_cast<int32_t>(ticket - static_cast<uint32_t>(cell >> 32)) > 0;
    }

    // Released, so that a copy that sees the value also sees the write begun.
    void store(int slot, float value, uint32_t ticket) {
        std::atomic<uint64_t>& cell = slots_[slot];
        uint64_t current = cell.load(std::memory_order_relaxed);
        while (newer(ticket, current)) {
            if (cell.compare_exchange_weak(current, pack(value, ticket), std::memory_order_release,
                                           std::memory_order_relaxed))
                return;
        }
    }

    std::atomic<uint64_t> slots_[N];
    std::atomic<uint32_t> begun_{0};
    std::atomic<uint32_t> ended_{0};
};

// The stereo/mono settling both products do at the start of a block: while
// the raw value the block took (`applied`) and the effective one disagree, as
// an undecided -1 does, `decide()` gives the mode from the host's connections.
// It becomes the shared value unless another thread set one meanwhile; the
// next block then settles from that one, so no change of the host's is lost.
template <int N, class Decide>
void settleUndecided(SharedParameters<N>& shared, int slot, float& applied, float& effective, Decide decide) {
    // Both values stay within -1..1 (held host values, program values).
    if (static_cast<int>(applied) == static_cast<int>(effective)) return;
    const float decided = decide();
    if (typename SharedParameters<N>::Write(shared).replaceIf(slot, applied, decided)) applied = effective = decided;
}

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
