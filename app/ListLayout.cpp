// The constants list: three columns inset 25 pixels over the background, in small Verdana.
#include "app/App.h"
#include "widget/Font.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"
#include "window/Window.h"

const int32_t LIST_FLAGS =
    LIST_ALWAYS_SHOW_SELECTION | LIST_GRIDLINES | LIST_HEADER_DRAG_DROP | LIST_FULL_ROW_SELECT;

void ListParentAndFont() {
    WidgetParentSet(WindowHandleCurrent());
    WidgetDefaultFontSet(-1, FontLoad(FONT_LIST, "Verdana", 7, FONT_HIGH_QUALITY));
}

void ListCreate() {
    app.listHandle = (HWND)ListWidgetCreate(
        WIDGET_LIST, LIST_MARGIN, LIST_MARGIN, app.windowWidth - 2 * LIST_MARGIN,
        app.windowHeight - 2 * LIST_MARGIN, "Name", 240, LIST_FLAGS);
    // A new child goes below its older siblings, so the background made first would lie on top
    // and paint over the list whenever it alone repaints. Above it, the background (which clips
    // its siblings) leaves the list alone.
    SetWindowPos(app.listHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ListWidgetColumnAdd(WIDGET_LIST, 1, "Value (10)", 80);
    ListWidgetColumnAdd(WIDGET_LIST, 2, "Hex Value", 80);
}

void ListValueColumnsAlign() {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT;
    column.fmt = LVCFMT_RIGHT;
    SendMessageA(app.listHandle, LVM_SETCOLUMNA, 1, (LPARAM)&column);
    SendMessageA(app.listHandle, LVM_SETCOLUMNA, 2, (LPARAM)&column);
}
