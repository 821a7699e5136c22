// The sort guard: a snapshot of the rows taken when a sort begins, read by the comparisons.
#include "widget/ListSort.h"

#include <commctrl.h>
#include <stdint.h>
#include <string.h>
#include <new>
#include <vector>

// The texts of every row and column, taken when a sort begins. One sort at a time: the sort
// message runs on the control's own thread and a comparison has no reason to start another.
struct SortSnapshot {
    HWND control = nullptr;
    int32_t rows = 0;
    int32_t columns = 0;
    std::vector<uint32_t> starts;  // rows * columns + 1 offsets into texts
    std::vector<char> texts;       // each text without its zero
};

static SortSnapshot snapshot;

// The procedures that the guard replaced, per control. Kept here rather than in a window property:
// under Wine every GetPropA is a round trip to the server, and this runs for every message.
struct SortGuardEntry {
    HWND control;
    WNDPROC previous;
};
static std::vector<SortGuardEntry> guards;

static WNDPROC SortGuardPrevious(HWND control) {
    for (const SortGuardEntry& entry : guards)
        if (entry.control == control) return entry.previous;
    return nullptr;
}

static void SortGuardForget(HWND control) {
    for (size_t i = 0; i < guards.size(); i++) {
        if (guards[i].control == control) {
            guards.erase(guards.begin() + (ptrdiff_t)i);
            return;
        }
    }
}

static int32_t ListColumnCount(HWND control, WNDPROC previous) {
    HWND header = (HWND)CallWindowProcA(previous, control, LVM_GETHEADER, 0, 0);
    int32_t columns = header ? (int32_t)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    return columns > 0 ? columns : 1;
}

// Reads every text through the control's own procedure. False when memory runs out.
static bool SnapshotTake(HWND control, WNDPROC previous) {
    const int32_t TEXT_LIMIT = 65536;
    try {
        snapshot.rows = (int32_t)CallWindowProcA(previous, control, LVM_GETITEMCOUNT, 0, 0);
        snapshot.columns = ListColumnCount(control, previous);
        snapshot.starts.assign(1, 0);
        snapshot.texts.clear();
        std::vector<char> buffer(TEXT_LIMIT);
        for (int32_t row = 0; row < snapshot.rows; row++) {
            for (int32_t column = 0; column < snapshot.columns; column++) {
                LVITEMA item = {};
                item.iSubItem = column;
                item.pszText = buffer.data();
                item.cchTextMax = TEXT_LIMIT;
                buffer[0] = 0;
                CallWindowProcA(previous, control, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
                size_t length = strnlen(buffer.data(), TEXT_LIMIT - 1);
                snapshot.texts.insert(snapshot.texts.end(), buffer.data(), buffer.data() + length);
                snapshot.starts.push_back((uint32_t)snapshot.texts.size());
            }
        }
        snapshot.control = control;
        return true;
    } catch (const std::bad_alloc&) {
        snapshot = SortSnapshot();
        return false;
    }
}

// LVM_GETITEMTEXTA from the snapshot: the text cut to the caller's buffer; its length returned.
static LRESULT SnapshotTextGet(WPARAM row, LVITEMA* item) {
    if (!item || !item->pszText || item->cchTextMax <= 0) return 0;
    item->pszText[0] = 0;
    if ((intptr_t)row < 0 || (intptr_t)row >= snapshot.rows || item->iSubItem < 0 ||
        item->iSubItem >= snapshot.columns)
        return 0;
    size_t cell = (size_t)row * (size_t)snapshot.columns + (size_t)item->iSubItem;
    size_t length = snapshot.starts[cell + 1] - snapshot.starts[cell];
    if (length > (size_t)item->cchTextMax - 1) length = (size_t)item->cchTextMax - 1;
    memcpy(item->pszText, snapshot.texts.data() + snapshot.starts[cell], length);
    item->pszText[length] = 0;
    return (LRESULT)length;
}

static LRESULT CALLBACK SortGuardWindowProc(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    WNDPROC previous = SortGuardPrevious(control);
    if (!previous) return DefWindowProcA(control, message, wParam, lParam);
    if (message == LVM_GETITEMTEXTA && snapshot.control == control)
        return SnapshotTextGet(wParam, (LVITEMA*)lParam);
    if (message == LVM_SORTITEMS && snapshot.control == nullptr) {
        bool taken = SnapshotTake(control, previous);
        LRESULT result = CallWindowProcA(previous, control, message, wParam, lParam);
        if (taken) snapshot = SortSnapshot();
        return result;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)previous);
        SortGuardForget(control);
    }
    return CallWindowProcA(previous, control, message, wParam, lParam);
}

void ListSortGuardInstall(HWND control) {
    if (!control || SortGuardPrevious(control)) return;
    WNDPROC previous = (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (!previous) return;
    try {
        guards.push_back({control, previous});
    } catch (const std::bad_alloc&) {
        return;
    }
    // Through WNDPROC first: a procedure of another signature or convention does not compile.
    WNDPROC procedure = SortGuardWindowProc;
    SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)procedure);
}
