// Prints, on one line of name=value pairs, what the running DRUX shows: its main window's place
// and style, its list's row count and selection, an open popup menu and the input requester.
// The window-manager check runs it between real X inputs; it only reads and never acts.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

namespace {

struct MenuSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MenuVisit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<MenuSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner != search->processId || !IsWindowVisible(window) || lstrcmpA(name, "#32768") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result))
        return -2;
    return static_cast<LRESULT>(result);
}

}  // namespace

int main() {
    HWND main = FindWindowA("WindowClass_0", "DRUX");
    if (!main || !IsWindowVisible(main)) {
        printf("found=0\n");
        return 0;
    }
    RECT rect = {};
    GetWindowRect(main, &rect);
    HWND list = FindWindowExA(main, nullptr, "SysListView32", nullptr);
    long rows = list ? static_cast<long>(Ask(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
    long selected =
        list ? static_cast<long>(Ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED))
             : -1;
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    MenuSearch menu = {processId, nullptr};
    EnumWindows(MenuVisit, reinterpret_cast<LPARAM>(&menu));
    RECT menuRect = {};
    if (menu.found) GetWindowRect(menu.found, &menuRect);
    HWND prompt = FindWindowA("InputRequester", "User input");
    bool promptShown = prompt && IsWindowVisible(prompt);
    HWND field = promptShown ? GetDlgItem(prompt, 10) : nullptr;
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread);
    char text[256] = "";
    if (field) Ask(field, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    // The field's text last: it may hold spaces.
    printf(
        "found=1 left=%ld top=%ld right=%ld bottom=%ld style=%08lX rows=%ld selected=%ld menu=%d "
        "menuleft=%ld menutop=%ld prompt=%d promptready=%d foreground=%d field=%s\n",
        rect.left, rect.top, rect.right, rect.bottom,
        static_cast<unsigned long>(GetWindowLongA(main, GWL_STYLE)), rows, selected,
        menu.found ? 1 : 0, menuRect.left, menuRect.top, promptShown ? 1 : 0,
        field && thread.hwndFocus == field ? 1 : 0, GetForegroundWindow() == main ? 1 : 0, text);
    return 0;
}
