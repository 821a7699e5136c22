// The user's commands: four shortcuts, the popup menu, and what each identifier does.
#include "app/App.h"
#include "window/Menu.h"
#include "window/Shortcut.h"

const int32_t KEY_CONTROL_F =
    SHORTCUT_CONTROL | 'F';  // letter keys' virtual keys are their capitals
const int32_t KEY_CONTROL_C = SHORTCUT_CONTROL | 'C';

void ShortcutsBind() {
    ShortcutAdd(WINDOW_MAIN, VK_ESCAPE, SHORTCUT_ESCAPE);
    ShortcutAdd(WINDOW_MAIN, VK_F3, SHORTCUT_FIND_NEXT);
    ShortcutAdd(WINDOW_MAIN, KEY_CONTROL_F, SHORTCUT_FIND);
    ShortcutAdd(WINDOW_MAIN, KEY_CONTROL_C, SHORTCUT_COPY);
}

void PopupMenuBuild() {
    if (!PopupMenuCreate(MENU_POPUP)) return;
    MenuItemAdd(MENU_FIND, "Find");
    MenuSeparatorAdd();
    MenuItemAdd(MENU_EXIT, "Exit");
}

void CommandDispatch(int32_t identifier) {
    switch (identifier) {
    case SHORTCUT_ESCAPE:
    case MENU_EXIT: app.quitRequested = 1; break;
    case SHORTCUT_FIND:
    case MENU_FIND: SearchAsk(); break;
    case SHORTCUT_FIND_NEXT: SearchFindNext(); break;
    case SHORTCUT_COPY: SelectionCopy(); break;
    default: break;
    }
}
