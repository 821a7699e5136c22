// Allocation failures on demand: a small heap with a fixed maximum stands in for one of the
// runtime's heaps (MainHeap, ObjectHeap, ...) for the guard's scope. The real heap is put back and
// the small one destroyed on every way out, a failed ASSERT's early return included.
#pragma once
#include <windows.h>

namespace support {

class HeapSwap {
public:
    HeapSwap(HANDLE& heap, SIZE_T initialBytes, SIZE_T maximumBytes)
        : slot_(heap), saved_(heap), small_(HeapCreate(0, initialBytes, maximumBytes)) {
        if (small_) slot_ = small_;
    }
    ~HeapSwap() {
        slot_ = saved_;
        if (small_) HeapDestroy(small_);
    }
    HeapSwap(const HeapSwap&) = delete;
    HeapSwap& operator=(const HeapSwap&) = delete;

    // False when the small heap could not be made (the real heap then stays in place).
    explicit operator bool() const { return small_ != nullptr; }
    HANDLE Heap() const { return small_; }

    // Takes blocks of blockBytes until the heap refuses one; false when it never did within
    // blocksMax blocks.
    bool Exhaust(SIZE_T blockBytes, int blocksMax) {
        for (int blocks = 0; blocks < blocksMax; ++blocks) {
            if (!small_ || !HeapAlloc(small_, 0, blockBytes)) return small_ != nullptr;
        }
        return false;
    }

private:
    HANDLE& slot_;
    HANDLE saved_;
    HANDLE small_;
};

}  // namespace support
