// Keyboard shortcuts: per-window accelerator tables translated by the event loop.
#pragma once
#include "runtime/ObjectTable.h"
#include "window/WindowTypes.h"

struct WindowRecord;

// ShortcutAdd key bits above the virtual-key code.
const int32_t SHORTCUT_SHIFT = 0x00010000;
const int32_t SHORTCUT_CONTROL = 0x00020000;
const int32_t SHORTCUT_ALT = 0x00040000;

// Binds key (virtual key | SHORTCUT_* bits) on the window to identifier (low 16 bits), replacing
// the command of an entry with the same key and modifiers. Returns the window's new accelerator
// table, or 0 when the number has no open window.
intptr_t ShortcutAdd(ObjectNumber window, int32_t key, int32_t identifier);

// A new window's Tab and Shift+Tab entries and their table.
void ShortcutDefaultsSet(WindowRecord* record);
// Frees the record's shortcut array and table.
void ShortcutsFree(WindowRecord* record);
