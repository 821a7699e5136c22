// Numbered widgets: native child controls addressed by number (or by the identifier that an
// OBJECT_ANY creation returned), dispatched through one operation table per widget kind.
//
// Control identifiers: a widget's control identifier is its widget number; for OBJECT_ANY it is
// the full record identifier (the record's address). The platform keeps control identifiers
// pointer-sized (GWLP_ID, NMHDR.idFrom), so the identifier is stored whole and read back whole
// with GetWindowLongPtrA(GWLP_ID); only WM_COMMAND's wParam cuts it to 16 bits, which is why the
// window layer takes the identifier from the control's window instead.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>
#include "runtime/ObjectTable.h"

// Slots of a kind's operation table. The native handle is always the first argument; slots
// without a name are reserved and stay empty.
struct WidgetOperationTable {
    void (*destroy)(HWND control);                                      // 0
    int32_t (*state)(HWND control);                                     // 1
    void (*stateSet)(HWND control, intptr_t state);                     // 2
    char* (*text)(HWND control);                                        // 3
    void (*textSet)(HWND control, const char* text);                    // 4
    void (*itemAdd)(HWND control, int32_t position, const char* text);  // 5
    void (*itemAddWithImage)(HWND control, int32_t position, const char* text,
                             intptr_t image);                                           // 6
    int32_t (*itemRemove)(HWND control, int32_t item);                                  // 7
    int32_t (*clear)(HWND control);                                                     // 8
    void (*resize)(HWND control, int32_t x, int32_t y, int32_t width, int32_t height);  // 9
    int32_t (*itemCount)(HWND control);                                                 // 10
    int32_t (*itemState)(HWND control, int32_t item);                                   // 11
    int32_t (*itemStateSet)(HWND control, int32_t item, int32_t state);                 // 12
    char* (*itemText)(HWND control, int32_t item, int32_t column);                      // 13
    int32_t (*itemTextSet)(HWND control, int32_t item, const char* text,
                           int32_t column);  // 14
    void (*reserved15)();                    // 15
    int32_t (*x)(HWND control);              // 16
    int32_t (*y)(HWND control);              // 17
    void (*reserved18[3])();                 // 18-20
    int32_t (*columnAdd)(HWND control, int32_t position, const char* title,
                         int32_t width);                      // 21
    int32_t (*columnRemove)(HWND control, int32_t position);  // 22
    void (*reserved23[4])();                                  // 23-26
};

const int32_t WIDGET_OPERATION_SLOTS = 27;
static_assert(sizeof(WidgetOperationTable) == WIDGET_OPERATION_SLOTS * sizeof(void (*)()),
              "one pointer per slot");
static_assert(offsetof(WidgetOperationTable, columnAdd) == 21 * sizeof(void (*)()),
              "slots keep their numbers");

struct WidgetRecord {
    HWND handle;  // 0: free
    const WidgetOperationTable* operations;
    WNDPROC previous;  // the control's own procedure
};

extern ObjectTable WidgetRegistry;

void WidgetLibraryStart();  // registry (bound 30), fonts, common controls; run by RuntimeStart

HWND WidgetParentSet(HWND window);

// Generic operations; every one is harmless on a value that names no live widget.
void WidgetFree(ObjectNumber widget);
int32_t WidgetState(ObjectNumber widget);
void WidgetStateSet(ObjectNumber widget, intptr_t state);
char* WidgetText(ObjectNumber widget);                      // slot 3, in the WorkBuffer
void WidgetTextSet(ObjectNumber widget, const char* text);  // slot 4
void WidgetItemAdd(ObjectNumber widget, int32_t position, const char* text);
void WidgetItemAddWithImage(ObjectNumber widget, int32_t position, const char* text,
                            intptr_t image);
int32_t WidgetItemRemove(ObjectNumber widget, int32_t item);
int32_t WidgetClear(ObjectNumber widget);
int32_t WidgetItemCount(ObjectNumber widget);
int32_t WidgetItemState(ObjectNumber widget, int32_t item);
int32_t WidgetItemStateSet(ObjectNumber widget, int32_t item, int32_t state);
char* WidgetItemText(ObjectNumber widget, int32_t item, int32_t column);  // in the WorkBuffer
int32_t WidgetItemTextSet(ObjectNumber widget, int32_t item, const char* text, int32_t column);
void WidgetResize(ObjectNumber widget, int32_t x, int32_t y, int32_t width, int32_t height);
int32_t WidgetX(ObjectNumber widget);
int32_t WidgetY(ObjectNumber widget);

// widget -1: the default font for widgets created afterwards (returned); otherwise WM_SETFONT
// to that widget at once (its result returned). A font of -1 is the system font.
intptr_t WidgetDefaultFontSet(ObjectNumber widget, intptr_t font);
HFONT WidgetDefaultFont();

// The creation protocol shared by the kinds.
// Claims the record for *number (destroying a live widget of that number first); for OBJECT_ANY
// *number becomes the new record's identifier. False when no record can be had.
bool WidgetRecordClaim(ObjectNumber* number);
// CreateWindowExA under the widget parent with the number as control identifier. On failure a
// dynamic record is given back, so nothing is left behind; returns 0 then.
HWND WidgetControlCreate(ObjectNumber number, DWORD exStyle, const char* className, DWORD style,
                         int32_t x, int32_t y, int32_t width, int32_t height);
// Stores handle and table, installs WidgetWindowProc, and returns the creation's result.
intptr_t WidgetInstall(ObjectNumber number, HWND control, const WidgetOperationTable* operations);

LRESULT CALLBACK WidgetWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
