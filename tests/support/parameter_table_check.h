// The consistency every product's parameter table must have.
#pragma once

#include <gtest/gtest.h>

namespace test_support {

// Every program slot belongs to exactly one parameter, and a program applies
// every parameter exactly once.
template <int N, class Row>
void expectCompleteTable(const Row (&rows)[N], const int (&applyOrder)[N]) {
    bool slotTaken[N] = {}, applied[N] = {};
    for (const Row& row : rows) {
        ASSERT_TRUE(row.slot >= 0 && row.slot < N) << row.name;
        EXPECT_FALSE(slotTaken[row.slot]) << row.name;
        slotTaken[row.slot] = true;
    }
    for (int index : applyOrder) {
        ASSERT_TRUE(index >= 0 && index < N);
        EXPECT_FALSE(applied[index]) << index;
        applied[index] = true;
    }
}

}  // namespace test_support
