// Checks a kind's real object table, as its library's start left it: the parameters it was given
// and how it grows when the first number at its bound is created.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/Memory.h"
#include "runtime/ObjectTable.h"

struct KindParameters {
    const char* name;
    ObjectTable* table;
    int32_t bound;
    int32_t step;
    int32_t startSpare;
    int32_t growSpare;
};

// Leaves the table grown, with nothing in the new slot.
inline void KindTableCheck(const KindParameters& kind) {
    SCOPED_TRACE(kind.name);
    ObjectTable& table = *kind.table;
    ASSERT_NE(table.slots, nullptr);
    size_t record = (size_t)table.recordSize;
    EXPECT_EQ(table.bound, kind.bound);
    EXPECT_EQ(table.step, kind.step);
    EXPECT_EQ(table.spare, kind.growSpare);
    EXPECT_EQ(HeapSize(MainHeap, 0, table.slots), (size_t)(kind.bound + kind.startSpare) * record);
    ASSERT_NE(ObjectCreate(&table, kind.bound - 1), nullptr);
    EXPECT_EQ(table.bound, kind.bound) << "a number below bound never grows the table";
    ASSERT_NE(ObjectCreate(&table, kind.bound), nullptr);
    EXPECT_EQ(table.bound, kind.bound + kind.step);
    EXPECT_EQ(HeapSize(MainHeap, 0, table.slots),
              (size_t)(kind.bound + kind.step + kind.growSpare) * record);
}
