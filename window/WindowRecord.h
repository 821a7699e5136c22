// The window table and its records: what the window procedure and the shortcut lists share.
#pragma once
#include <windows.h>
#include "runtime/ObjectTable.h"

// One per window number in WindowTable; present while window is non-null.
struct WindowRecord {
    HWND window;
    int32_t shortcutCount;  // entries in shortcuts
    ACCEL* shortcuts;       // MainHeap block, exactly shortcutCount entries, in order of addition
    HACCEL accelerators;    // built from shortcuts; rebuilt after every change
};

extern ObjectTable WindowTable;

// The open window's record, or null.
WindowRecord* WindowLookup(ObjectNumber number);
