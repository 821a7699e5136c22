// The list widget: a report-view list-view control ("SysListView32") with a header.
// Item texts join their column texts with line feeds; everything else is reached through the
// generic widget operations.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/ObjectTable.h"

// Creation flags.
const int32_t LIST_CHECKBOXES = 0x1;
const int32_t LIST_MULTISELECT = 0x4;
const int32_t LIST_ALWAYS_SHOW_SELECTION = 0x8;
const int32_t LIST_GRIDLINES = 0x10000;
const int32_t LIST_HEADER_DRAG_DROP = 0x10000000;
const int32_t LIST_FULL_ROW_SELECT = 0x40000000;

// Item state bits.
const int32_t ITEM_SELECTED = 1;  // selected and focused
const int32_t ITEM_CHECKED = 2;   // check box ticked

// Limits of one item text read back, terminating zero included.
const int32_t LIST_ITEM_TEXT_LIMIT = 10000;
const int32_t LIST_SELECTED_TEXT_LIMIT = 60000;

// Returns the native handle, the record identifier for OBJECT_ANY, or 0.
intptr_t ListWidgetCreate(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                          const char* title, int32_t columnWidth, int32_t flags = 0);

// Column operations: generic slots 21 and 22, so any widget kind may answer them; 0 from a kind
// without columns. A null title gives an empty header.
int32_t ListWidgetColumnAdd(ObjectNumber widget, int32_t position, const char* title,
                            int32_t width);
int32_t ListWidgetColumnRemove(ObjectNumber widget, int32_t position);

// WidgetItemAdd for a list widget, with the item's application value (its LPARAM) given in the
// insertion itself. Returns the new item's index; -1 when nothing was added (no such list widget,
// or the control refused).
int32_t ListWidgetItemAddKeyed(ObjectNumber widget, int32_t position, const char* text, LPARAM key);
