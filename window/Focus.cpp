// Dialog-style focus moves among the active window's tab-stop controls, for Tab and Shift+Tab.
#include "window/Focus.h"

#include <windows.h>

namespace {

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
