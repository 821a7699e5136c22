// Holding the list's redraw: every insertion into a visible list-view repaints it at once (some
// 20 ms a row under Wine), so long runs of changes are made with redraw off.
#include "app/App.h"

static int32_t listRedrawHolds;

void ListRedrawHold() {
    if (listRedrawHolds++ == 0) SendMessageA(app.listHandle, WM_SETREDRAW, FALSE, 0);
}

void ListRedrawRelease() {
    if (listRedrawHolds == 0 || --listRedrawHolds != 0) return;
    SendMessageA(app.listHandle, WM_SETREDRAW, TRUE, 0);
    // Turning redraw back on does not repaint by itself.
    InvalidateRect(app.listHandle, nullptr, TRUE);
}

void ListRedrawRefresh() {
    if (listRedrawHolds == 0) {
        UpdateWindow(app.listHandle);
        return;
    }
    SendMessageA(app.listHandle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(app.listHandle, nullptr, TRUE);
    UpdateWindow(app.listHandle);
    SendMessageA(app.listHandle, WM_SETREDRAW, FALSE, 0);
}
