// Sorting by a column: the list control sorts and asks RowsCompare about pairs of row keys; every
// row's key is kept equal to its row index so the comparison can fetch texts by index.
#include "app/App.h"
#include "runtime/Memory.h"
#include "runtime/Text.h"

const int32_t COMPARE_TEXT_SIZE = 128;

void ColumnClickHandle(int32_t column) {
    if (app.sortColumn != column) app.sortDirection = 1;
    // The message carries the procedure as a number: through its own type first, so that a
    // procedure of another signature or calling convention does not compile.
    PFNLVCOMPARE compare = RowsCompare;
    SendMessageA(app.listHandle, LVM_SORTITEMS, (WPARAM)column, (LPARAM)compare);
    RowsReindex();
    UpdateWindow(app.listHandle);
    app.sortColumn = column;
    app.sortDirection = -app.sortDirection;
}

static void CompareTextFetch(LPARAM row, int32_t column, char* text) {
    LVITEMA& item = app.itemRecord;
    item.mask = LVIF_TEXT;
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = COMPARE_TEXT_SIZE;
    SendMessageA(app.listHandle, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
}

// The code of a character with the letters folded to upper case, by the text engine's own rule.
static int32_t CharacterUpper(const char* text, int32_t index) {
    char* start = TextCursor();
    TextFromCode(PeekByte((intptr_t)(text + index)), start);
    int32_t code = TextCode(TextUpper(start, start));
    TextCursorSet(start);
    return code;
}

int CALLBACK RowsCompare(LPARAM key1, LPARAM key2, LPARAM column) {
    if (!app.compareTextA || !app.compareTextB) return 0;
    CompareTextFetch(key1, (int32_t)column, app.compareTextA);
    CompareTextFetch(key2, (int32_t)column, app.compareTextB);
    for (int32_t i = 0; i < COMPARE_TEXT_SIZE; i++) {
        int32_t difference =
            (CharacterUpper(app.compareTextA, i) - CharacterUpper(app.compareTextB, i)) *
            app.sortDirection;
        if (difference != 0) return difference;
        if (app.compareTextA[i] == 0) return 0;
    }
    return 0;
}

int32_t RowsReindex() {
    int32_t remaining = (int32_t)SendMessageA(app.listHandle, LVM_GETITEMCOUNT, 0, 0);
    LVITEMA& item = app.itemRecord;
    item.mask = LVIF_PARAM;
    item.iItem = 0;
    // Key-only changes still repaint a visible list-view on every request.
    ListRedrawHold();
    // Only the request for sub-item 0 stores a key: key-only requests for the other sub-items
    // change nothing, so they are not sent.
    item.iSubItem = 0;
    while (remaining > 0) {
        item.lParam = item.iItem;
        SendMessageA(app.listHandle, LVM_SETITEMA, 0, (LPARAM)&item);
        item.iItem++;
        remaining--;
    }
    ListRedrawRelease();
    return 0;
}
