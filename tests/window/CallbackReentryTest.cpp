// Layer operations that hold a record while a platform call runs the user callback: the callback
// may free, create or move records meanwhile, and the operation must go on from what is there
// afterwards. The menu layer's cases live with the menu tests.
#include <cstring>
#include <vector>

#include "WindowTestSupport.h"
#include "window/Requester.h"

using namespace windowtest;

namespace {

// window_test_freed_memory runs these with the platform's freed-memory filling on; this check,
// run there alone, makes sure the filling is there, so that the reads it should expose cannot pass
// by luck.
TEST(FreedMemory, DISABLED_IsFilledInTheFreedMemoryRun) {
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(heap, nullptr);
    const size_t size = 256;
    unsigned char* block = (unsigned char*)HeapAlloc(heap, 0, size);
    ASSERT_NE(block, nullptr);
    memset(block, 0x5A, size);
    HeapFree(heap, 0, block);
    // The block's first bytes hold the heap's own free-list links either way; the rest keeps
    // its old contents unless the heap fills it.
    size_t kept = 0;
    for (size_t i = size / 2; i < size; i++) kept += block[i] == 0x5A;
    HeapDestroy(heap);
    EXPECT_EQ(kept, 0u) << "freed blocks are not filled: run with WINEDEBUG=warn+heap and "
                           "standard error not /dev/null";
}

std::vector<HWND> RecordedWindowsOfThisThread() {
    std::vector<HWND> windows;
    for (ObjectNode* node = DisabledWindowList; node; node = node->next) {
        auto* record = (DisabledWindowRecord*)ObjectNodeData(node);
        if (record->threadId == GetCurrentThreadId()) windows.push_back(record->window);
    }
    return windows;
}

// A requester opened from the callback while an earlier one gives its windows back: WM_ENABLE
// reaches the callback from inside the restore, and the inner requester disables and restores
// the thread's windows, the records that the outer walk has still to visit among them.
TEST_F(LayerTest, RestoringWindowsSurvivesARequesterRunFromWmEnable) {
    HWND first = (HWND)WindowOpen(0, 100, 100, 160, 120, 0, "First");
    HWND second = (HWND)WindowOpen(1, 300, 100, 160, 120, 0, "Second");
    ASSERT_TRUE(first && second);
    ThreadWindowsDisable();
    ASSERT_FALSE(IsWindowEnabled(first));
    ASSERT_FALSE(IsWindowEnabled(second));
    ASSERT_GE(RecordedWindowsOfThisThread().size(), 2u);

    bool nested = false;
    recorder.actions.push_back({WM_ENABLE, [&] {
                                    if (nested) return;
                                    nested = true;
                                    ThreadWindowsDisable();
                                    ThreadWindowsRestore();
                                }});
    ThreadWindowsRestore();
    recorder.actions.clear();
    ASSERT_TRUE(nested) << "WM_ENABLE did not reach the callback";
    EXPECT_TRUE(IsWindowEnabled(first));
    EXPECT_TRUE(IsWindowEnabled(second));
    EXPECT_TRUE(RecordedWindowsOfThisThread().empty());
    EXPECT_EQ(DisabledWindowList, nullptr) << "records left behind";
}

}  // namespace
