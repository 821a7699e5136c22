// The runtime's start and end, and the order in which the toolkit libraries come and go.
#pragma once
#include <windows.h>
#include <stdint.h>

extern HINSTANCE RuntimeInstance;  // the module instance, for window classes and controls

// Libraries above the runtime take their place in the start/end order through these slots, so
// the runtime itself calls nothing above it. Listed in start order.
enum RuntimeLibrary {
    RUNTIME_LIBRARY_DRAWING,
    RUNTIME_LIBRARY_FONTS,
    RUNTIME_LIBRARY_WINDOWS,
    RUNTIME_LIBRARY_WIDGETS,
    RUNTIME_LIBRARY_IMAGES,
    RUNTIME_LIBRARY_MENUS,
    RUNTIME_LIBRARY_COUNT
};

// start runs in RuntimeStart, release (may be null) in RuntimeEnd. Install before RuntimeStart.
void RuntimeLibraryInstall(RuntimeLibrary library, void (*start)(), void (*release)());

// Zeroes the runtime state, creates MainHeap, starts the libraries in order (drawing, ObjectHeap,
// files, fonts, windows, widgets, images, MemoryHeap, menus) and allocates the WorkBuffer.
// Returns 0 when a heap or the work buffer can't be had. Calling it again starts afresh.
int32_t RuntimeStart(HINSTANCE instance);

// End-of-program release: MemoryHeap, images, windows, fonts, files, then ObjectHeap.
void RuntimeEnd();

// After RuntimeEnd: destroys MainHeap (the work buffer, texts and slot arrays go with it).
void RuntimeMainHeapDestroy();
