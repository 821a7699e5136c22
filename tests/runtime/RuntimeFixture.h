// A runtime started afresh for every test and ended after it, the way the program itself does.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/Memory.h"
#include "runtime/Runtime.h"
#include "runtime/Text.h"

class RuntimeFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1); }
    void TearDown() override {
        RuntimeEnd();
        RuntimeMainHeapDestroy();
    }

    // Every block of the heap still has intact headers: nothing wrote past what it was given.
    static bool MainHeapIntact() { return HeapValidate(MainHeap, 0, nullptr) != FALSE; }
};
