// Find: the next row, after the last hit and wrapping to the top, whose name or value contains
// the remembered text.
#include "app/App.h"
#include "runtime/Text.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"
#include "window/Requester.h"

const int32_t LIST_COLUMNS = 3;

// Asks until the text is not empty. A requester that could not be shown to the user (or that a
// quit message ended) would come back empty for ever, so that ends the asking without a search.
void SearchAsk() {
    do {
        char* start = TextCursor();
        RequestInput("User input", "Enter string To find", app.searchText, start);
        TextAssign(&app.searchText, start);
        if (RequestInputOutcome() == REQUESTER_NOT_SHOWN && TextEqual(app.searchText, "")) return;
    } while (TextEqual(app.searchText, ""));
    SearchNext();
}

void SearchFindNext() {
    if (TextEqual(app.searchText, ""))
        SearchAsk();
    else
        SearchNext();
}

static bool RowContains(int32_t row, const char* pattern) {
    for (int32_t column = 0; column < LIST_COLUMNS; column++) {
        char* start = TextCursor();
        bool hit = TextFind(WidgetItemText(WIDGET_LIST, row, column), pattern, 1) != 0;
        TextCursorSet(start);
        if (hit) return true;
    }
    return false;
}

static void RowShowFound(int32_t row) {
    app.lastHitRow = row;
    WidgetStateSet(WIDGET_LIST, row);
    WidgetItemStateSet(WIDGET_LIST, row, ITEM_SELECTED | ITEM_CHECKED);
    SendMessageA(app.listHandle, LVM_ENSUREVISIBLE, row, FALSE);
}

void SearchNext() {
    app.lastHitRow++;
    int32_t row = app.lastHitRow >= app.rowCount ? 0 : app.lastHitRow;
    for (int32_t tested = 0; tested < app.rowCount; tested++) {
        if (RowContains(row, app.searchText)) {
            RowShowFound(row);
            return;
        }
        row = row + 1 >= app.rowCount ? 0 : row + 1;
    }
}
