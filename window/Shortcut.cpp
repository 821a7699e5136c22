#include "window/Shortcut.h"
#include "runtime/Memory.h"
#include "window/Window.h"

namespace {

const BYTE SHORTCUT_FLAGS_BASE = FVIRTKEY | FNOINVERT;

void AcceleratorsRebuild(WindowRecord* record) {
    if (record->accelerators) DestroyAcceleratorTable(record->accelerators);
    // Null when the platform cannot build it: the window's keys then go untranslated.
    record->accelerators = CreateAcceleratorTableA(record->shortcuts, record->shortcutCount);
}

struct FocusSearch {
    HWND current;   // focused descendant of the active window, or null
    HWND previous;  // FocusPrevious: the last eligible control before the current one
    bool passed;    // FocusNext: the current control has been met
    bool done;
};

bool FocusEligible(HWND control) {
    return IsWindowEnabled(control) && IsWindowVisible(control) &&
           (GetWindowLongPtrA(control, GWL_STYLE) & WS_TABSTOP);
}

HWND FocusCurrent(HWND active) {
    HWND focus = GetFocus();
    return focus && IsChild(active, focus) ? focus : nullptr;
}

BOOL CALLBACK FocusNextVisit(HWND control, LPARAM lParam) {
    FocusSearch* search = (FocusSearch*)lParam;
    if (!FocusEligible(control)) return TRUE;
    if (search->passed || !search->current) {
        search->passed = false;
        SetFocus(control);
        return FALSE;
    }
    if (control == search->current) search->passed = true;
    return TRUE;
}

BOOL CALLBACK FocusPreviousVisit(HWND control, LPARAM lParam) {
    FocusSearch* search = (FocusSearch*)lParam;
    if (!FocusEligible(control)) return TRUE;
    if (control == search->current && search->previous) {
        SetFocus(search->previous);
        search->done = true;
        return FALSE;
    }
    search->previous = control;
    return TRUE;
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
    while (index < record->shortcutCount &&
           !(record->shortcuts[index].key == virtualKey &&
             record->shortcuts[index].fVirt == flags)) {
        index++;
    }
    if (index == record->shortcutCount) {
        SIZE_T size = (SIZE_T)(record->shortcutCount + 1) * sizeof(ACCEL);
        ACCEL* grown = record->shortcuts
                           ? (ACCEL*)HeapReAlloc(MainHeap, 0, record->shortcuts, size)
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

void FocusNext() {
    HWND active = GetActiveWindow();
    // Without an active window the enumeration would run over every top-level window.
    if (!active) return;
    FocusSearch search = {FocusCurrent(active), nullptr, false, false};
    EnumChildWindows(active, FocusNextVisit, (LPARAM)&search);
    // The current control was the last eligible one: wrap to the first.
    if (search.passed) EnumChildWindows(active, FocusNextVisit, (LPARAM)&search);
}

void FocusPrevious() {
    HWND active = GetActiveWindow();
    if (!active) return;
    FocusSearch search = {FocusCurrent(active), nullptr, false, false};
    EnumChildWindows(active, FocusPreviousVisit, (LPARAM)&search);
    // Wraps from the first eligible control, and covers no or an ineligible focus.
    if (!search.done && search.previous) SetFocus(search.previous);
}
