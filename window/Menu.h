// Numbered platform menus, built item by item on a current menu, and popups at the pointer.
#pragma once
#include "runtime/ObjectTable.h"
#include "window/WindowTypes.h"

struct MenuRecord {
    HMENU menu;      // null: the slot holds no menu
    HWND barWindow;  // the window whose menu bar this is; null for a popup menu
};

extern ObjectTable MenuTable;

// Deepest submenu nesting that SubMenuOpen accepts.
const int32_t MENU_STACK_DEPTH = 20;

void MenuLayerInit();

// Each create operation makes its menu current (and the root of the build), replacing an older
// menu of the same number. Returns the menu handle (OBJECT_ANY: record identifier), 0 on failure.
intptr_t PopupMenuCreate(ObjectNumber number);
intptr_t MenuBarCreate(ObjectNumber number, HWND window);

void MenuItemAdd(int32_t identifier, const char* text);
void MenuSeparatorAdd();
// A drop-down on the bar's top level; the bar is attached to its window.
void MenuTitleAdd(const char* text);
// Opens a submenu under the current menu and makes it current. Returns its handle, or 0 when
// there is no current menu or MENU_STACK_DEPTH submenus are already open (nothing changes then).
intptr_t SubMenuOpen(const char* text);
// Back to the menu that was current before the last SubMenuOpen; does nothing at the top level.
void SubMenuClose();

// Shows the popup one pixel up and left of the mouse pointer, owned by window; returns when the
// menu has closed (TrackPopupMenu's result). A number without a menu shows nothing, returns 0.
int32_t PopupMenuShow(ObjectNumber number, HWND window);
int32_t PopupMenuShowAt(ObjectNumber number, HWND window, int32_t x, int32_t y);

void MenuFree(ObjectNumber number);
// Greys (state != 0) or enables the item in the first numbered menu, from the highest down,
// that holds it.
void MenuItemDisable(int32_t identifier, int32_t state);
// Detaches (state != 0) or re-attaches a menu bar.
void MenuBarHide(ObjectNumber number, int32_t state);
intptr_t MenuCurrent();
int32_t MenuBarHeight();
