// The per-block meter values an editor shows: two rings of kSize values. The
// audio thread writes one slot of each per block; the editor's thread reads
// the slot a fixed number of blocks behind (about the host's output latency),
// so that a meter moves when its block is heard. Every value is an atomic.
#pragma once

#include <algorithm>
#include <atomic>

class MeterFeed {
public:
    static constexpr int kSize = 256;
    static constexpr int kMask = kSize - 1;

    std::atomic<float> first[kSize];
    std::atomic<float> second[kSize];
    std::atomic<int> writeIndex{0};
    std::atomic<int> readIndex{0};
    std::atomic<int> polled{0};  // the editor read the slot since the last block

    // Audio thread (or construction): the editor reads `delay` blocks behind.
    void restart(int delay) {
        writeIndex = delay;
        readIndex = 0;
    }
    // Audio thread: every slot holds `value`; the distance stays.
    void fill(float value) {
        polled = 0;
        for (int i = 0; i < kSize; ++i) {
            first[i].store(value, std::memory_order_relaxed);
            second[i].store(value, std::memory_order_relaxed);
        }
        writeIndex = writeIndex & kMask;
        readIndex = readIndex & kMask;
    }

    // Audio thread, once per block. With `holdUntilRead`, the slot the editor
    // reads next carries the largest value of every block since its last
    // reading, so a short overload between two idle passes is not lost.
    void write(float firstValue, float secondValue, bool holdUntilRead) {
        constexpr auto relaxed = std::memory_order_relaxed;
        const int write = writeIndex & kMask;
        first[write].store(firstValue, relaxed);
        second[write].store(secondValue, relaxed);
        const bool wasRead = polled.exchange(0) != 0;
        const int read = (readIndex + 1) & kMask;
        if (holdUntilRead && !wasRead) {
            const int previous = (read - 1) & kMask;
            first[read].store(std::max(first[read].load(relaxed), first[previous].load(relaxed)), relaxed);
            second[read].store(std::max(second[read].load(relaxed), second[previous].load(relaxed)), relaxed);
        }
        writeIndex = (write + 1) & kMask;
        readIndex = read;
    }

    // Any thread: the values of the block written last, for hosts that show
    // meters as they arrive rather than when the block is heard.
    void latest(float& firstValue, float& secondValue) const {
        const int slot = (writeIndex - 1) & kMask;
        firstValue = first[slot].load(std::memory_order_relaxed);
        secondValue = second[slot].load(std::memory_order_relaxed);
    }

    // Editor thread: the slot to show, which counts as read.
    void read(float& firstValue, float& secondValue) {
        polled = 1;
        peek(firstValue, secondValue);
    }
    // Editor thread: the slot to show, for a feed that holds nothing.
    void peek(float& firstValue, float& secondValue) const {
        const int slot = readIndex & kMask;
        firstValue = first[slot].load(std::memory_order_relaxed);
        secondValue = second[slot].load(std::memory_order_relaxed);
    }
};
