// Loading the constants file: three lines per record, joined by line feeds into one list row.
#include "app/App.h"
#include "runtime/File.h"
#include "runtime/Text.h"
#include "widget/Widget.h"

// The queue is drained on a short time slice rather than after every record (one drain of an
// empty queue costs ~70 us under Wine), and the held list is repainted a few times a second, so
// the window stays live during a long load without paying for it on every row.
const DWORD LOAD_DRAIN_INTERVAL_MS = 10;
const DWORD LOAD_REFRESH_INTERVAL_MS = 250;

static void RecordAdd() {
    char* start = TextCursor();
    FileReadLine();
    TextAppend("\n");
    FileReadLine();
    TextAppend("\n");
    FileReadLine();
    WidgetItemAdd(WIDGET_LIST, -1, start);
    TextCursorSet(start);
}

// A row appended during the load gets its index as its sort key at once, so a header click while
// the file is still loading sorts correctly.
static void LastRowKeySet() {
    int32_t row = (int32_t)SendMessageA(app.listHandle, LVM_GETITEMCOUNT, 0, 0) - 1;
    if (row < 0) return;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = row;
    SendMessageA(app.listHandle, LVM_SETITEMA, 0, (LPARAM)&item);
}

void ConstantsLoad() {
    if (!FileOpenRead(FILE_CONSTANTS, app.constantsFileName)) return;
    ListRedrawHold();
    DWORD lastDrain = GetTickCount();
    DWORD lastRefresh = lastDrain;
    do {
        RecordAdd();
        LastRowKeySet();
        DWORD now = GetTickCount();
        if (now - lastRefresh >= LOAD_REFRESH_INTERVAL_MS) {
            ListRedrawRefresh();
            lastRefresh = now;
        }
        if (now - lastDrain >= LOAD_DRAIN_INTERVAL_MS) {
            EventsDrain();
            lastDrain = GetTickCount();
        }
    } while (!FileAtEnd(FILE_CONSTANTS));
    FileClose(FILE_CONSTANTS);
    ListRedrawRelease();
    EventsDrain();
}
