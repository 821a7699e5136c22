// Copy: the selected rows go to the clipboard as name, decimal and hex separated by tabs, one
// line per row ended by CR LF, which pastes into an editor or a spreadsheet alike.
#include "app/App.h"
#include "runtime/Text.h"
#include "widget/Widget.h"
#include "window/Clipboard.h"

const int32_t COPY_COLUMNS = 3;

static void RowLineAppend(int32_t row) {
    for (int32_t column = 0; column < COPY_COLUMNS; column++) {
        WidgetItemText(WIDGET_LIST, row, column);
        TextAppend(column + 1 < COPY_COLUMNS ? "\t" : "\r\n");
    }
}

// With no row selected the clipboard keeps what it held. A selection whose text would not fit in
// the work buffer copies nothing rather than a text cut short.
void SelectionCopy() {
    char* start = TextCursor();
    int32_t count = (int32_t)SendMessageA(app.listHandle, LVM_GETITEMCOUNT, 0, 0);
    int32_t row = -1;
    int32_t copied = 0;
    while (copied < count) {
        row = (int32_t)SendMessageA(app.listHandle, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED);
        if (row < 0) break;
        RowLineAppend(row);
        copied++;
    }
    char* end = TextCursor();
    bool full = TextRoom(end) <= 1;
    if (copied > 0 && !full) ClipboardTextSet(WINDOW_MAIN, start, (int32_t)(end - start));
    TextCursorSet(start);
}
