// The runtime's start and end order.
#include "runtime/Runtime.h"

#include "runtime/File.h"
#include "runtime/Memory.h"
#include "runtime/Text.h"

HINSTANCE RuntimeInstance = nullptr;

namespace {

struct LibrarySlot {
    void (*start)();
    void (*release)();
};

// Installed before RuntimeStart and kept across restarts: they describe the program, not its state.
LibrarySlot libraries[RUNTIME_LIBRARY_COUNT];

void LibraryStart(RuntimeLibrary library) {
    if (libraries[library].start != nullptr) libraries[library].start();
}

void LibraryRelease(RuntimeLibrary library) {
    if (libraries[library].release != nullptr) libraries[library].release();
}

void HeapDrop(HANDLE* heap) {
    if (*heap != nullptr) HeapDestroy(*heap);
    *heap = nullptr;
}

}  // namespace

void RuntimeLibraryInstall(RuntimeLibrary library, void (*start)(), void (*release)()) {
    if (library < 0 || library >= RUNTIME_LIBRARY_COUNT) return;
    libraries[library].start = start;
    libraries[library].release = release;
}

int32_t RuntimeStart(HINSTANCE instance) {
    // A second start (tests) begins from nothing: whatever the earlier run left goes with its
    // heaps.
    HeapDrop(&MemoryHeap);
    HeapDrop(&ObjectHeap);
    HeapDrop(&MainHeap);
    WorkBuffer = nullptr;
    TextCursorSet(nullptr);

    RuntimeInstance = instance;
    MainHeap = HeapCreate(0, 4000, 0);
    if (MainHeap == nullptr) return 0;
    LibraryStart(RUNTIME_LIBRARY_DRAWING);
    ObjectHeap = HeapCreate(0, 1024, 0);
    FileLibraryInit();
    LibraryStart(RUNTIME_LIBRARY_FONTS);
    LibraryStart(RUNTIME_LIBRARY_WINDOWS);
    LibraryStart(RUNTIME_LIBRARY_WIDGETS);
    LibraryStart(RUNTIME_LIBRARY_IMAGES);
    MemoryHeap = HeapCreate(0, 4000, 0);
    LibraryStart(RUNTIME_LIBRARY_MENUS);
    TextLibraryInit();
    return ObjectHeap != nullptr && MemoryHeap != nullptr && WorkBuffer != nullptr;
}

void RuntimeEnd() {
    HeapDrop(&MemoryHeap);
    LibraryRelease(RUNTIME_LIBRARY_IMAGES);
    LibraryRelease(RUNTIME_LIBRARY_WINDOWS);
    LibraryRelease(RUNTIME_LIBRARY_FONTS);
    // Kinds that the end release leaves to the process's end; run only if a library asks for it.
    LibraryRelease(RUNTIME_LIBRARY_MENUS);
    LibraryRelease(RUNTIME_LIBRARY_WIDGETS);
    LibraryRelease(RUNTIME_LIBRARY_DRAWING);
    FileCloseAll();
    HeapDrop(&ObjectHeap);
}

void RuntimeMainHeapDestroy() {
    HeapDrop(&MainHeap);
    WorkBuffer = nullptr;
    TextCursorSet(nullptr);
}
