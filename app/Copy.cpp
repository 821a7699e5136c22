// Copy: the selected row goes to the clipboard as name, decimal and hex separated by tabs and
// ended by CR LF, which pastes into an editor or a spreadsheet alike.
#include "app/App.h"
#include "runtime/Text.h"
#include "widget/Widget.h"
#include "window/Clipboard.h"

const int32_t COPY_COLUMNS = 3;

// With no row selected the clipboard keeps what it held. A line that would not fit in the work
// buffer copies nothing rather than a text cut short.
void SelectionCopy() {
    int32_t row = WidgetState(WIDGET_LIST);
    if (row < 0) return;
    char* start = TextCursor();
    for (int32_t column = 0; column < COPY_COLUMNS; column++) {
        WidgetItemText(WIDGET_LIST, row, column);
        TextAppend(column + 1 < COPY_COLUMNS ? "\t" : "\r\n");
    }
    char* end = TextCursor();
    if (TextRoom(end) > 1) ClipboardTextSet(WINDOW_MAIN, start, (int32_t)(end - start));
    TextCursorSet(start);
}
