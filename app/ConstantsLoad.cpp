// Loading the constants file: three lines per record, joined by line feeds into one list row.
#include "app/App.h"
#include "runtime/File.h"
#include "runtime/Text.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"

// The queue is drained on a short time slice rather than after every record (even a drain of an
// empty queue is a round trip to the Wine server, and one that answers another program's request
// costs more on a busy machine), and the held list is repainted twice a second or less often, so
// the window stays live during a long load without paying for it on every row. A load shorter than
// the first repaint shows its rows when it ends: a repaint costs much even with few rows, mostly in
// turning redraw back on, which the end of the load does anyway. (Measured costs: README,
// Performance.)
const DWORD LOAD_DRAIN_INTERVAL_MS = 20;
const DWORD LOAD_REFRESH_INTERVAL_MS = 500;
// A refresh of a held list-view costs more the more rows it holds, and a drain costs more on a busy
// machine, so each is spaced by at least this many times its own last cost: together they stay a
// small share of the load however long the file is.
// A drain that ran a sort, or a refresh delayed by a busy machine, must not stop the window from
// answering for long, hence the bounds.
const DWORD LOAD_DRAIN_COST_SHARE = 20;
const DWORD LOAD_REFRESH_COST_SHARE = 20;
const DWORD LOAD_DRAIN_INTERVAL_MOST_MS = 40;
const DWORD LOAD_REFRESH_INTERVAL_MOST_MS = 2000;

static DWORD IntervalFor(DWORD cost, DWORD share, DWORD least, DWORD most) {
    DWORD interval = cost < most / share ? cost * share : most;
    return interval > least ? interval : least;
}

// The three lines of a record are read in one call; the text is the same as that of three single
// reads.
// Rows are only ever appended, so the new row's index is known before it goes in and is given as
// its key with the insertion itself; a sort during the load re-keys the rows there, which leaves
// every key equal to its row index again. Returns the key of the next row.
static int32_t RecordAdd(int32_t key) {
    char* start = FileReadLines(3);
    int32_t row = ListWidgetItemAddKeyed(WIDGET_LIST, -1, start, key);
    TextCursorSet(start);
    return row >= 0 ? row + 1 : key;
}

void ConstantsLoad() {
    if (!FileOpenRead(FILE_CONSTANTS, app.constantsFileName)) return;
    // A pipe or a device (\\.\pipe\name, CON, COM1) may never end, and the load would wait in
    // its read for good: only a disk file is read, anything else lists nothing, as a missing file.
    if (!FileIsDisk(FILE_CONSTANTS)) {
        FileClose(FILE_CONSTANTS);
        return;
    }
    int32_t key = WidgetItemCount(WIDGET_LIST);
    ListRedrawHold();
    DWORD lastDrain = GetTickCount();
    DWORD lastRefresh = lastDrain;
    DWORD refreshInterval = LOAD_REFRESH_INTERVAL_MS;
    DWORD drainInterval = LOAD_DRAIN_INTERVAL_MS;
    do {
        key = RecordAdd(key);
        DWORD now = GetTickCount();
        if (now - lastRefresh >= refreshInterval) {
            ListRedrawRefresh();
            lastRefresh = GetTickCount();
            refreshInterval = IntervalFor(lastRefresh - now, LOAD_REFRESH_COST_SHARE,
                                          LOAD_REFRESH_INTERVAL_MS, LOAD_REFRESH_INTERVAL_MOST_MS);
            now = lastRefresh;
        }
        if (now - lastDrain >= drainInterval) {
            EventsDrain();
            lastDrain = GetTickCount();
            drainInterval = IntervalFor(lastDrain - now, LOAD_DRAIN_COST_SHARE,
                                        LOAD_DRAIN_INTERVAL_MS, LOAD_DRAIN_INTERVAL_MOST_MS);
        }
    } while (!FileAtEnd(FILE_CONSTANTS));
    FileClose(FILE_CONSTANTS);
    // The last drain comes before the release: the repaint of the whole list that the release
    // asks for then happens after the load, with no input read meanwhile, instead of inside the
    // drain, where a right press that comes meanwhile would be dropped along with the rest of the
    // load's commands.
    EventsDrain();
    ListRedrawRelease();
}
