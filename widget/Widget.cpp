// The widget registry, the generic operations dispatched through each kind's table, and creation.
#include "widget/Widget.h"
#include <commctrl.h>
#include <string.h>
#include "runtime/Runtime.h"
#include "runtime/Text.h"
#include "widget/ListWidget.h"

ObjectTable WidgetRegistry;

namespace {

const int32_t WIDGET_BOUND = 30;
const int32_t WIDGET_STEP = 30;

HWND widgetParent;
HFONT defaultFont;
HFONT systemFont;

// Stands in for every missing widget: all slots empty and no handle, so the defaults do nothing.
const WidgetOperationTable emptyOperations = {};
const WidgetRecord emptyRecord = {nullptr, &emptyOperations, nullptr};

// A copy, because the table may move when a slot operation creates a widget.
WidgetRecord WidgetResolve(ObjectNumber widget) {
    const WidgetRecord* record = (const WidgetRecord*)ObjectLookup(&WidgetRegistry, widget);
    if (!record || !record->operations) return emptyRecord;
    return *record;
}

char* EmptyText() {
    return TextPut(TextCursor(), "", 0);
}

HFONT FontResolve(intptr_t font) {
    return font == -1 ? systemFont : (HFONT)font;
}

}  // namespace

void WidgetLibraryStart() {
    ObjectTableInit(&WidgetRegistry, sizeof(WidgetRecord), WIDGET_BOUND, WIDGET_STEP, 2, 2);
    widgetParent = nullptr;
    systemFont = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    defaultFont = systemFont;
    InitCommonControls();
}

HWND WidgetParentSet(HWND window) {
    widgetParent = window;
    return window;
}

void WidgetFree(ObjectNumber widget) {
    WidgetRecord record = WidgetResolve(widget);
    if (!record.handle) return;
    if (record.operations->destroy) {
        record.operations->destroy(record.handle);
    } else {
        DestroyWindow(record.handle);
    }
}

int32_t WidgetState(ObjectNumber widget) {
    WidgetRecord record = WidgetResolve(widget);
    return record.operations->state ? record.operations->state(record.handle) : 0;
}

void WidgetStateSet(ObjectNumber widget, intptr_t state) {
    WidgetRecord record = WidgetResolve(widget);
    if (record.operations->stateSet) record.operations->stateSet(record.handle, state);
}

char* WidgetText(ObjectNumber widget) {
    WidgetRecord record = WidgetResolve(widget);
    return record.operations->text ? record.operations->text(record.handle) : EmptyText();
}

void WidgetTextSet(ObjectNumber widget, const char* text) {
    WidgetRecord record = WidgetResolve(widget);
    if (record.operations->textSet) record.operations->textSet(record.handle, text ? text : "");
}

void WidgetItemAdd(ObjectNumber widget, int32_t position, const char* text) {
    WidgetRecord record = WidgetResolve(widget);
    if (record.operations->itemAdd) {
        record.operations->itemAdd(record.handle, position, text ? text : "");
    }
}

void WidgetItemAddWithImage(ObjectNumber widget, int32_t position, const char* text,
                            intptr_t image) {
    WidgetRecord record = WidgetResolve(widget);
    if (record.operations->itemAddWithImage) {
        record.operations->itemAddWithImage(record.handle, position, text ? text : "", image);
    }
}

int32_t WidgetItemRemove(ObjectNumber widget, int32_t item) {
    WidgetRecord record = WidgetResolve(widget);
    return record.operations->itemRemove ? record.operations->itemRemove(record.handle, item) : 0;
}

int32_t WidgetClear(ObjectNumber widget) {
    WidgetRecord record = WidgetResolve(widget);
    return record.operations->clear ? record.operations->clear(record.handle) : 0;
}

int32_t WidgetItemCount(ObjectNumber widget) {
    WidgetRecord record = WidgetResolve(widget);
    return record.operations->itemCount ? record.operations->itemCount(record.handle) : 0;
}

int32_t WidgetItemState(ObjectNumber widget, int32_t item) {
    WidgetRecord record = WidgetResolve(widget);
    return record.operations->itemState ? record.operations->itemState(record.handle, item) : 0;
}

int32_t WidgetItemStateSet(ObjectNumber widget, int32_t item, int32_t state) {
    WidgetRecord record = WidgetResolve(widget);
    if (!record.operations->itemStateSet) return 0;
    return record.operations->itemStateSet(record.handle, item, state);
}

char* WidgetItemText(ObjectNumber widget, int32_t item, int32_t column) {
    WidgetRecord record = WidgetResolve(widget);
    if (!record.operations->itemText) return EmptyText();
    return record.operations->itemText(record.handle, item, column);
}

int32_t WidgetItemTextSet(ObjectNumber widget, int32_t item, const char* text, int32_t column) {
    WidgetRecord record = WidgetResolve(widget);
    if (!record.operations->itemTextSet) return 0;
    return record.operations->itemTextSet(record.handle, item, text ? text : "", column);
}

int32_t ListWidgetColumnAdd(ObjectNumber widget, int32_t position, const char* title,
                            int32_t width) {
    WidgetRecord record = WidgetResolve(widget);
    if (!record.operations->columnAdd) return 0;
    return record.operations->columnAdd(record.handle, position, title ? title : "", width);
}

int32_t ListWidgetColumnRemove(ObjectNumber widget, int32_t position) {
    WidgetRecord record = WidgetResolve(widget);
    if (!record.operations->columnRemove) return 0;
    return record.operations->columnRemove(record.handle, position);
}

int32_t WidgetX(ObjectNumber widget) {
    WidgetRecord record = WidgetResolve(widget);
    if (record.operations->x) return record.operations->x(record.handle);
    if (!record.handle) return 0;
    RECT box;
    if (!GetWindowRect(record.handle, &box)) return 0;
    POINT corner = {box.left, box.top};
    ScreenToClient(GetParent(record.handle), &corner);
    return corner.x;
}

int32_t WidgetY(ObjectNumber widget) {
    WidgetRecord record = WidgetResolve(widget);
    if (record.operations->y) return record.operations->y(record.handle);
    if (!record.handle) return 0;
    RECT box;
    if (!GetWindowRect(record.handle, &box)) return 0;
    POINT corner = {box.left, box.top};
    ScreenToClient(GetParent(record.handle), &corner);
    return corner.y;
}

void WidgetResize(ObjectNumber widget, int32_t x, int32_t y, int32_t width, int32_t height) {
    WidgetRecord record = WidgetResolve(widget);
    if (record.operations->resize) {
        record.operations->resize(record.handle, x, y, width, height);
        return;
    }
    if (!record.handle) return;
    RECT box;
    if (!GetWindowRect(record.handle, &box)) return;
    if (height == -1) height = box.bottom - box.top;
    if (width == -1) width = box.right - box.left;
    if (y == -1) y = WidgetY(widget);
    if (x == -1) x = WidgetX(widget);
    MoveWindow(record.handle, x, y, width, height, TRUE);
    // Buttons do not repaint themselves fully after a move.
    char className[100];
    if (GetClassNameA(record.handle, className, sizeof className) &&
        strncmp(className, "Butt", 4) == 0) {
        RedrawWindow(record.handle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE);
    }
}

intptr_t WidgetDefaultFontSet(ObjectNumber widget, intptr_t font) {
    if (widget == -1) {
        defaultFont = FontResolve(font);
        return (intptr_t)defaultFont;
    }
    WidgetRecord record = WidgetResolve(widget);
    if (!record.handle) return 0;
    return SendMessageA(record.handle, WM_SETFONT, (WPARAM)FontResolve(font), TRUE);
}

HFONT WidgetDefaultFont() {
    return defaultFont;
}

bool WidgetRecordClaim(ObjectNumber* number) {
    // The record first: a number the table refuses (a live dynamic identifier) must not cost
    // the widget that has it.
    void* record = ObjectCreate(&WidgetRegistry, *number);
    if (!record) return false;
    if (*number == OBJECT_ANY) {
        *number = ObjectIdentifier(record);
    } else {
        WidgetFree(*number);  // removal clears the slot in place; the array does not move
    }
    return true;
}

HWND WidgetControlCreate(ObjectNumber number, DWORD exStyle, const char* className, DWORD style,
                         int32_t x, int32_t y, int32_t width, int32_t height) {
    HWND control = CreateWindowExA(exStyle, className, nullptr, style, x, y, width, height,
                                   widgetParent, (HMENU)number, RuntimeInstance, nullptr);
    // A dynamic record that never got its control would otherwise stay allocated for good.
    if (!control && !ObjectIsSlotNumber(&WidgetRegistry, number)) {
        ObjectRemove(&WidgetRegistry, number);
    }
    return control;
}

intptr_t WidgetInstall(ObjectNumber number, HWND control, const WidgetOperationTable* operations) {
    // A slot is fetched again because the table may have moved since the claim; a dynamic
    // record stays where it is and its identifier is its address.
    bool numbered = ObjectIsSlotNumber(&WidgetRegistry, number);
    WidgetRecord* record =
        numbered ? (WidgetRecord*)ObjectCreate(&WidgetRegistry, number) : (WidgetRecord*)number;
    if (!record) {
        DestroyWindow(control);
        return 0;
    }
    record->handle = control;
    record->operations = operations;
    // Through WNDPROC first: a procedure of another signature or convention does not compile.
    WNDPROC procedure = WidgetWindowProc;
    record->previous = (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)procedure);
    return numbered ? (intptr_t)control : number;
}

LRESULT CALLBACK WidgetWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    ObjectNumber identifier = (ObjectNumber)GetWindowLongPtrA(control, GWLP_ID);
    WidgetRecord* record = (WidgetRecord*)ObjectLookup(&WidgetRegistry, identifier);
    if (record && record->handle != control) record = nullptr;
    // Without its record (the registry was started afresh under a live control) the control
    // still reaches its own class procedure.
    WNDPROC previous = record ? record->previous : (WNDPROC)GetClassLongPtrA(control, GCLP_WNDPROC);
    if (message == WM_NCDESTROY && record) {
        record->handle = nullptr;
        ObjectRemove(&WidgetRegistry, identifier);
    }
    return CallWindowProcA(previous, control, message, wParam, lParam);
}
