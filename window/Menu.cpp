// Numbered menus built item by item, menu bars and popups at the pointer.
#include "window/Menu.h"

ObjectTable MenuTable;

namespace {

// The build in progress: items go to current, a menu bar shows root.
struct MenuBuildState {
    HMENU current;
    HMENU root;
    HWND barWindow;                 // null while a popup is built
    HMENU stack[MENU_STACK_DEPTH];  // the menus that were current when submenus were opened
    int32_t depth;
};

MenuBuildState build;

// Replacements of a number's menu before a create gives up on it; each but the first is the
// callback's own doing.
const int32_t MENU_FREE_ROUNDS = 4;

// Everything the create operations share once the platform has made the menu.
intptr_t MenuRecordCreate(ObjectNumber number, HMENU menu, HWND barWindow) {
    // The record first: a number the table refuses (a live dynamic identifier) must not cost
    // the menu that has it.
    MenuRecord* record = (MenuRecord*)ObjectCreate(&MenuTable, number);
    if (record && number != OBJECT_ANY) {
        // Taking an old menu bar off its window sends the window its size messages, and the
        // callback may create a menu above the bound, which moves the slot array, or give this
        // number a menu again: every menu it held before this one goes.
        for (int32_t round = 0; round < MENU_FREE_ROUNDS && ObjectLookup(&MenuTable, number);
             round++) {
            MenuFree(number);
        }
        record = (MenuRecord*)ObjectCreate(&MenuTable, number);
        // A callback that keeps giving the number new bars wins: this menu is refused.
        if (record && record->menu) record = nullptr;
    }
    if (!record) {
        DestroyMenu(menu);
        return 0;
    }
    record->menu = menu;
    record->barWindow = barWindow;
    build = MenuBuildState();
    build.current = build.root = menu;
    build.barWindow = barWindow;
    return number == OBJECT_ANY ? ObjectIdentifier(record) : (intptr_t)menu;
}

int32_t MenuTrack(ObjectNumber number, HWND window, int32_t x, int32_t y) {
    if (!ObjectLookup(&MenuTable, number)) return 0;
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(window);
    // The activation reached the callback, which may have grown the table (its slots moved) or
    // replaced this number's menu: the record is taken again.
    MenuRecord* record = (MenuRecord*)ObjectLookup(&MenuTable, number);
    if (!record) return 0;
    return TrackPopupMenu(record->menu, 0, x, y, 0, window, nullptr);
}

}  // namespace

void MenuLayerInit() {
    build = MenuBuildState();
    ObjectTableInit(&MenuTable, sizeof(MenuRecord), 10, 30, 1, 2);
}

intptr_t PopupMenuCreate(ObjectNumber number) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    return MenuRecordCreate(number, menu, nullptr);
}

intptr_t MenuBarCreate(ObjectNumber number, HWND window) {
    HMENU menu = CreateMenu();
    if (!menu) return 0;
    return MenuRecordCreate(number, menu, window);
}

void MenuFree(ObjectNumber number) {
    MenuRecord* record = (MenuRecord*)ObjectLookup(&MenuTable, number);
    if (!record) return;
    HMENU menu = record->menu;
    if (record->barWindow) {
        // Taking the bar off sends the window its size messages; the callback may grow the
        // table, which moves its slots, or free this number itself. Only the record found
        // afterwards counts, and only while it still holds this menu.
        SetMenu(record->barWindow, nullptr);
        record = (MenuRecord*)ObjectLookup(&MenuTable, number);
        if (!record || record->menu != menu) return;
    }
    // Destroying the root destroys its submenus too: no build may go on in any of them.
    if (menu == build.root) build = MenuBuildState();
    DestroyMenu(menu);
    ObjectRemove(&MenuTable, number);
}

void MenuItemAdd(int32_t identifier, const char* text) {
    AppendMenuA(build.current, MF_STRING, (UINT_PTR)(uint32_t)identifier, text);
    if (build.barWindow) SetMenu(build.barWindow, build.root);
}

void MenuSeparatorAdd() {
    AppendMenuA(build.current, MF_SEPARATOR, (UINT_PTR)0xFFFFFFFFu, nullptr);
}

void MenuTitleAdd(const char* text) {
    build.depth = 0;
    if (build.stack[0]) {
        build.current = build.stack[0];
        build.stack[0] = nullptr;
    }
    SubMenuOpen(text);
    if (build.barWindow) SetMenu(build.barWindow, build.root);
}

intptr_t SubMenuOpen(const char* text) {
    if (!build.current || build.depth >= MENU_STACK_DEPTH) return 0;
    HMENU menu = CreateMenu();
    if (!menu) return 0;
    AppendMenuA(build.current, MF_POPUP, (UINT_PTR)menu, text);
    build.stack[build.depth++] = build.current;
    build.current = menu;
    return (intptr_t)menu;
}

void SubMenuClose() {
    if (build.depth == 0) return;
    build.current = build.stack[--build.depth];
}

int32_t PopupMenuShow(ObjectNumber number, HWND window) {
    POINT pointer;
    if (!GetCursorPos(&pointer)) pointer = POINT();
    // One pixel up and left, so the pointer rests inside the menu's first item.
    return MenuTrack(number, window, pointer.x - 1, pointer.y - 1);
}

int32_t PopupMenuShowAt(ObjectNumber number, HWND window, int32_t x, int32_t y) {
    return MenuTrack(number, window, x, y);
}

void MenuItemDisable(int32_t identifier, int32_t state) {
    UINT enable = MF_BYCOMMAND | (state != 0 ? MF_GRAYED : MF_ENABLED);
    for (ObjectNumber number = MenuTable.bound - 1; number >= 0; number--) {
        MenuRecord* record = (MenuRecord*)ObjectLookup(&MenuTable, number);
        if (record && EnableMenuItem(record->menu, (UINT)identifier, enable) != (BOOL)-1) return;
    }
}

void MenuBarHide(ObjectNumber number, int32_t state) {
    MenuRecord* record = (MenuRecord*)ObjectLookup(&MenuTable, number);
    if (!record || !record->barWindow) return;
    SetMenu(record->barWindow, state != 0 ? nullptr : record->menu);
}

intptr_t MenuCurrent() {
    return (intptr_t)build.current;
}

int32_t MenuBarHeight() {
    return GetSystemMetrics(SM_CYMENU);
}
