// The main window's callback: striped rows, header clicks, dragging by the background, the popup
// menu, and fitting the list to the window's inner size.
#include "app/App.h"
#include "widget/Widget.h"
#include "window/Menu.h"
#include "window/Window.h"

const COLORREF STRIPE_DARK = 0x5F0000;
const COLORREF STRIPE_LIGHT = 0xD0FFFF;

static LRESULT ListNotify(const NMHDR* header) {
    if (header->hwndFrom != app.listHandle) return CALLBACK_DEFAULT;
    if (header->code == (UINT)LVN_COLUMNCLICK) {
        ColumnClickHandle(((const NMLISTVIEW*)header)->iSubItem);
        return CALLBACK_DEFAULT;
    }
    if (header->code != (UINT)NM_CUSTOMDRAW) return CALLBACK_DEFAULT;
    NMLVCUSTOMDRAW* draw = (NMLVCUSTOMDRAW*)header;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CALLBACK_DEFAULT;
    intptr_t row = (intptr_t)draw->nmcd.dwItemSpec;
    bool even = (row >> 1) * 2 == row;
    draw->clrText = even ? STRIPE_DARK : STRIPE_LIGHT;
    draw->clrTextBk = even ? STRIPE_LIGHT : STRIPE_DARK;
    return CDRF_DODEFAULT;
}

// A press on the background moves the window as a press on a caption would.
static void WindowDragStart() {
    ReleaseCapture();
    SendMessageA(WindowHandleCurrent(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

static LRESULT WindowSized(HWND window, LPARAM lParam) {
    if (window != WindowHandleCurrent() || IsIconic(window)) return CALLBACK_DEFAULT;
    int32_t width = (int32_t)(lParam & 0xFFFF);
    int32_t height = (int32_t)lParam >> 16;
    WidgetResize(WIDGET_LIST, LIST_MARGIN, LIST_MARGIN, width - 2 * LIST_MARGIN,
                 height - 2 * LIST_MARGIN);
    return 1;
}

LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: return ListNotify((const NMHDR*)lParam);
    case WM_LBUTTONDOWN: WindowDragStart(); return CALLBACK_DEFAULT;
    case WM_RBUTTONDOWN: PopupMenuShow(MENU_POPUP, WindowHandleCurrent()); return CALLBACK_DEFAULT;
    case WM_PAINT:
        WindowShow(WINDOW_MAIN, 1);
        WindowShow(WINDOW_MAIN, 0);
        return CALLBACK_DEFAULT;
    case WM_SIZE: return WindowSized(window, lParam);
    default: return CALLBACK_DEFAULT;
    }
}
