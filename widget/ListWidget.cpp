// The list widget's operations over the list-view control's messages.
#include "widget/ListWidget.h"
#include "widget/ListSort.h"
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include "widget/ItemImageList.h"
#include "widget/Widget.h"
#include "runtime/Text.h"

namespace {

// Window style bits that every list has. The shared item image lists must survive each control.
const DWORD LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_SHAREIMAGELISTS | LVS_REPORT;

char emptyColumn[1];

// A private, writable copy of an item text, cut apart at its line feeds in place. A short text,
// the usual row, is copied on the stack rather than into a block from the platform.
struct TextCopy {
    char* text = nullptr;
    char local[256];
    explicit TextCopy(const char* source) {
        if (!source) return;
        size_t size = strlen(source) + 1;
        text = size <= sizeof local ? local : (char*)GlobalAlloc(GMEM_FIXED, size);
        if (text) memcpy(text, source, size);
    }
    ~TextCopy() {
        if (text && text != local) GlobalFree(text);
    }
    TextCopy(const TextCopy&) = delete;
    TextCopy& operator=(const TextCopy&) = delete;
};

// Item insertion and column texts, which only the list-view's own procedure handles, go straight
// to it: under Wine an insertion passed through the widget's subclass procedures (ANSI ones in
// front of the list-view's Unicode procedure) costs about three times one sent straight to it.
LRESULT ListOwnSend(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC own = (WNDPROC)GetClassLongPtrA(control, GCLP_WNDPROC);
    if (!own) return SendMessageA(control, message, wParam, lParam);
    return CallWindowProcA(own, control, message, wParam, lParam);
}

// Splits off column 0: returns the rest after the first line feed, or null without one.
char* FirstColumnCut(char* text) {
    char* feed = strchr(text, '\n');
    if (!feed) return nullptr;
    *feed = 0;
    return feed + 1;
}

// Sets columns 1, 2, ... of an item from the rest of an item text. A final line feed adds no
// column; two adjacent line feeds give an empty column.
void ColumnTextsSet(HWND control, int32_t item, char* rest) {
    int32_t column = 1;
    while (rest && *rest) {
        char* next = FirstColumnCut(rest);
        LVITEMA entry = {};
        entry.iSubItem = column;
        entry.pszText = rest;
        ListOwnSend(control, LVM_SETITEMTEXTA, (WPARAM)item, (LPARAM)&entry);
        ++column;
        rest = next;
    }
}

// LVM_GETITEMA into the WorkBuffer at its cursor, by the work-buffer protocol.
char* ItemTextRead(HWND control, int32_t item, int32_t column, int32_t limit) {
    char* out = TextCursor();
    int32_t room = TextRoom(out);
    if (room < limit) limit = room;
    if (limit < 2) return TextPut(out, "", 0);
    out[0] = 0;
    LVITEMA entry = {};
    entry.mask = LVIF_TEXT;
    entry.iItem = item;
    entry.iSubItem = column;
    entry.pszText = out;
    entry.cchTextMax = limit;
    if (!SendMessageA(control, LVM_GETITEMA, 0, (LPARAM)&entry) || !entry.pszText) {
        return TextPut(out, "", 0);
    }
    // The control may answer with a pointer to its own copy instead of filling the buffer.
    const char* text = entry.pszText;
    int32_t length = 0;
    while (length < limit - 1 && text[length]) ++length;
    return TextPut(out, text, length);
}

int32_t ListSelected(HWND control) {
    return (int32_t)SendMessageA(control, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

int32_t ListState(HWND control) {
    return ListSelected(control);
}

void ListStateSet(HWND control, intptr_t item) {
    LVITEMA entry = {};
    entry.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    entry.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(control, LVM_SETITEMSTATE, (WPARAM)(int32_t)item, (LPARAM)&entry);
    SetFocus(control);
}

char* ListText(HWND control) {
    int32_t item = ListSelected(control);
    if (item < 0) return TextPut(TextCursor(), "", 0);
    return ItemTextRead(control, item, 0, LIST_SELECTED_TEXT_LIMIT);
}

void ListTextSet(HWND control, const char* text) {
    int32_t item = ListSelected(control);
    if (item < 0) return;
    TextCopy copy(text ? text : "");
    char* first = copy.text ? copy.text : emptyColumn;
    char* rest = copy.text ? FirstColumnCut(copy.text) : nullptr;
    LVITEMA entry = {};
    entry.mask = LVIF_TEXT;
    entry.iItem = item;
    entry.pszText = first;
    SendMessageA(control, LVM_SETITEMA, 0, (LPARAM)&entry);
    ColumnTextsSet(control, item, rest);
}

// Attaches a shared item image list unless the control has one of that kind already.
void ItemImageListAttach(HWND control, WPARAM kind, HIMAGELIST list) {
    if (!SendMessageA(control, LVM_GETIMAGELIST, kind, 0)) {
        SendMessageA(control, LVM_SETIMAGELIST, kind, (LPARAM)list);
    }
}

// The end, as an insertion position: the control appends an item whose position lies past its
// last one, which spares asking for the count on every appended row.
const int32_t POSITION_PAST_END = 0x7FFFFFFF;

// Inserts an item and its column texts; the new item's index, or -1. With keyed, the item's
// application value goes in with the insertion itself, which spares a request per item after it.
int32_t ListItemInsert(HWND control, int32_t position, const char* text, intptr_t image, bool keyed,
                       LPARAM key) {
    if (position == -1) position = POSITION_PAST_END;
    LVITEMA entry = {};
    entry.mask = LVIF_TEXT;
    if (keyed) {
        entry.mask |= LVIF_PARAM;
        entry.lParam = key;
    }
    if (image) {
        int32_t index = ItemImageIndex(image);
        if (index >= 0) {
            ItemImageListAttach(control, LVSIL_NORMAL, ItemImageListLarge());
            ItemImageListAttach(control, LVSIL_SMALL, ItemImageListSmall());
            entry.mask |= LVIF_IMAGE;
            entry.iImage = index;
        }
    }
    TextCopy copy(text);
    char* rest = copy.text ? FirstColumnCut(copy.text) : nullptr;
    entry.iItem = position;
    entry.pszText = copy.text ? copy.text : emptyColumn;
    int32_t item = (int32_t)ListOwnSend(control, LVM_INSERTITEMA, 0, (LPARAM)&entry);
    if (item >= 0) ColumnTextsSet(control, item, rest);
    return item < 0 ? -1 : item;
}

void ListItemAddWithImage(HWND control, int32_t position, const char* text, intptr_t image) {
    ListItemInsert(control, position, text, image, false, 0);
}

void ListItemAdd(HWND control, int32_t position, const char* text) {
    ListItemAddWithImage(control, position, text, 0);
}

int32_t ListItemRemove(HWND control, int32_t item) {
    return (int32_t)SendMessageA(control, LVM_DELETEITEM, (WPARAM)item, 0);
}

int32_t ListClear(HWND control) {
    return (int32_t)SendMessageA(control, LVM_DELETEALLITEMS, 0, 0);
}

int32_t ListItemCount(HWND control) {
    return (int32_t)SendMessageA(control, LVM_GETITEMCOUNT, 0, 0);
}

int32_t ListItemState(HWND control, int32_t item) {
    int32_t state = 0;
    if (SendMessageA(control, LVM_GETITEMSTATE, (WPARAM)item, LVIS_SELECTED)) {
        state |= ITEM_SELECTED;
    }
    DWORD extended = (DWORD)SendMessageA(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    if (extended & LVS_EX_CHECKBOXES) {
        // Only state image 1 is the clear box; 0 (no image yet) counts as ticked.
        UINT image =
            ((UINT)SendMessageA(control, LVM_GETITEMSTATE, (WPARAM)item, LVIS_STATEIMAGEMASK) &
             LVIS_STATEIMAGEMASK) >>
            12;
        if (image != 1) state |= ITEM_CHECKED;
    }
    return state;
}

int32_t ListItemStateSet(HWND control, int32_t item, int32_t state) {
    LVITEMA entry = {};
    entry.mask = LVIF_STATE;
    entry.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    entry.state = (state & ITEM_SELECTED) ? (LVIS_FOCUSED | LVIS_SELECTED) : 0;
    SendMessageA(control, LVM_SETITEMSTATE, (WPARAM)item, (LPARAM)&entry);
    entry.stateMask = LVIS_STATEIMAGEMASK;
    entry.state = (state & ITEM_CHECKED) ? INDEXTOSTATEIMAGEMASK(2) : INDEXTOSTATEIMAGEMASK(1);
    return (int32_t)SendMessageA(control, LVM_SETITEMSTATE, (WPARAM)item, (LPARAM)&entry);
}

char* ListItemText(HWND control, int32_t item, int32_t column) {
    return ItemTextRead(control, item, column, LIST_ITEM_TEXT_LIMIT);
}

int32_t ListItemTextSet(HWND control, int32_t item, const char* text, int32_t column) {
    if (!text) text = "";
    LVITEMA entry = {};
    entry.mask = LVIF_TEXT;
    entry.iItem = item;
    entry.iSubItem = column;
    entry.pszText = (char*)text;  // read only: LVM_SETITEMA copies it
    entry.cchTextMax = (int)strlen(text);
    return (int32_t)SendMessageA(control, LVM_SETITEMA, 0, (LPARAM)&entry);
}

int32_t ListColumnAdd(HWND control, int32_t position, const char* title, int32_t width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = (char*)(title ? title : "");  // read only: the control copies it
    column.iSubItem = position;
    return (int32_t)SendMessageA(control, LVM_INSERTCOLUMNA, (WPARAM)position, (LPARAM)&column);
}

int32_t ListColumnRemove(HWND control, int32_t position) {
    return (int32_t)SendMessageA(control, LVM_DELETECOLUMN, (WPARAM)position, 0);
}

constexpr WidgetOperationTable ListOperationsMake() {
    WidgetOperationTable operations{};
    operations.state = ListState;
    operations.stateSet = ListStateSet;
    operations.text = ListText;
    operations.textSet = ListTextSet;
    operations.itemAdd = ListItemAdd;
    operations.itemAddWithImage = ListItemAddWithImage;
    operations.itemRemove = ListItemRemove;
    operations.clear = ListClear;
    operations.itemCount = ListItemCount;
    operations.itemState = ListItemState;
    operations.itemStateSet = ListItemStateSet;
    operations.itemText = ListItemText;
    operations.itemTextSet = ListItemTextSet;
    operations.columnAdd = ListColumnAdd;
    operations.columnRemove = ListColumnRemove;
    return operations;
}

constexpr WidgetOperationTable listOperations = ListOperationsMake();

DWORD ListExtendedStyle(int32_t flags) {
    DWORD extended = 0;
    if (flags & LIST_CHECKBOXES) extended |= LVS_EX_CHECKBOXES;
    if (flags & LIST_GRIDLINES) extended |= LVS_EX_GRIDLINES;
    if (flags & LIST_HEADER_DRAG_DROP) extended |= LVS_EX_HEADERDRAGDROP;
    if (flags & LIST_FULL_ROW_SELECT) extended |= LVS_EX_FULLROWSELECT;
    return extended;
}

}  // namespace

int32_t ListWidgetItemAddKeyed(ObjectNumber widget, int32_t position, const char* text,
                               LPARAM key) {
    const WidgetRecord* record = (const WidgetRecord*)ObjectLookup(&WidgetRegistry, widget);
    if (!record || !record->handle || record->operations != &listOperations) return -1;
    return ListItemInsert(record->handle, position, text ? text : "", 0, true, key);
}

intptr_t ListWidgetCreate(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                          const char* title, int32_t columnWidth, int32_t flags) {
    DWORD style = (DWORD)flags | LIST_STYLE;
    if (flags & LIST_MULTISELECT) {
        style &= ~(DWORD)LVS_SINGLESEL;
    } else {
        style |= LVS_SINGLESEL;
    }
    DWORD extended = ListExtendedStyle(flags);
    if (!WidgetRecordClaim(&number)) return 0;
    HWND control =
        WidgetControlCreate(number, WS_EX_CLIENTEDGE, "SysListView32", style, x, y, width, height);
    if (!control) return 0;
    SendMessageA(control, WM_SETFONT, (WPARAM)WidgetDefaultFont(), TRUE);
    if (extended) {
        SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    }
    ListColumnAdd(control, 0, title, columnWidth);
    intptr_t result = WidgetInstall(number, control, &listOperations);
    if (result) ListSortGuardInstall(control);
    return result;
}
