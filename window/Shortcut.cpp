// Per-window shortcut arrays and the accelerator tables built from them.
#include "window/Shortcut.h"
#include "runtime/Memory.h"
#include "window/WindowRecord.h"

namespace {

const BYTE SHORTCUT_FLAGS_BASE = FVIRTKEY | FNOINVERT;

void AcceleratorsRebuild(WindowRecord* record) {
    if (record->accelerators) DestroyAcceleratorTable(record->accelerators);
    // Null when the platform cannot build it: the window's keys then go untranslated.
    record->accelerators = CreateAcceleratorTableA(record->shortcuts, record->shortcutCount);
}

}  // namespace

intptr_t ShortcutAdd(ObjectNumber window, int32_t key, int32_t identifier) {
    WindowRecord* record = WindowLookup(window);
    if (!record) return 0;
    BYTE flags = SHORTCUT_FLAGS_BASE;
    if (key & SHORTCUT_SHIFT) flags |= FSHIFT;
    if (key & SHORTCUT_CONTROL) flags |= FCONTROL;
    if (key & SHORTCUT_ALT) flags |= FALT;
    WORD virtualKey = (WORD)(key & 0xFFFF);
    WORD command = (WORD)(identifier & 0xFFFF);

    int32_t index = 0;
    while (index < record->shortcutCount && !(record->shortcuts[index].key == virtualKey &&
                                              record->shortcuts[index].fVirt == flags)) {
        index++;
    }
    if (index == record->shortcutCount) {
        SIZE_T size = (SIZE_T)(record->shortcutCount + 1) * sizeof(ACCEL);
        ACCEL* grown = record->shortcuts ? (ACCEL*)HeapReAlloc(MainHeap, 0, record->shortcuts, size)
                                         : (ACCEL*)HeapAlloc(MainHeap, 0, size);
        // Without room the old array and table stay as they were.
        if (!grown) return 0;
        record->shortcuts = grown;
        record->shortcutCount++;
        record->shortcuts[index].fVirt = flags;
        record->shortcuts[index].key = virtualKey;
    }
    record->shortcuts[index].cmd = command;
    AcceleratorsRebuild(record);
    return (intptr_t)record->accelerators;
}

void ShortcutDefaultsSet(WindowRecord* record) {
    static const ACCEL defaults[2] = {
        {SHORTCUT_FLAGS_BASE, VK_TAB, COMMAND_FOCUS_NEXT},
        {SHORTCUT_FLAGS_BASE | FSHIFT, VK_TAB, COMMAND_FOCUS_PREVIOUS},
    };
    record->shortcuts = (ACCEL*)HeapAlloc(MainHeap, 0, sizeof(defaults));
    record->shortcutCount = 0;
    record->accelerators = nullptr;
    if (!record->shortcuts) return;
    CopyMemory(record->shortcuts, defaults, sizeof(defaults));
    record->shortcutCount = 2;
    AcceleratorsRebuild(record);
}

void ShortcutsFree(WindowRecord* record) {
    if (record->shortcuts) HeapFree(MainHeap, 0, record->shortcuts);
    if (record->accelerators) DestroyAcceleratorTable(record->accelerators);
    record->shortcuts = nullptr;
    record->accelerators = nullptr;
    record->shortcutCount = 0;
}
