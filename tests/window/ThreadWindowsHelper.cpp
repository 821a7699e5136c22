// A process of one thread with windows of its own, for the requester test's check that a thread
// disables and gives back only its own windows:   thread_windows_helper.exe <name>
// Its control window (message-only, class "ThreadWindowsHelper", titled <name>) makes a visible
// popup window on THREAD_WINDOWS_POPUP (x in wParam, y in lParam) and answers its handle; WM_CLOSE
// ends the helper, and so does a minute without one, so it never outlives a test that died.
#include <windows.h>

namespace {

const UINT THREAD_WINDOWS_POPUP = WM_APP + 1;
const UINT_PTR LIFETIME_TIMER = 1;
const UINT LIFETIME_MS = 60000;

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case THREAD_WINDOWS_POPUP: {
        HWND popup = CreateWindowExA(0, "ThreadWindowsHelperPopup", "other", WS_POPUP | WS_BORDER,
                                     (int)wParam, (int)lParam, 100, 60, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        if (popup) ShowWindow(popup, SW_SHOWNOACTIVATE);
        return (LRESULT)popup;
    }
    case WM_TIMER:
    case WM_CLOSE: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool ClassRegister(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (!ClassRegister("ThreadWindowsHelper", ControlProc) ||
        !ClassRegister("ThreadWindowsHelperPopup", DefWindowProcA))
        return 1;
    HWND control = CreateWindowExA(0, "ThreadWindowsHelper", argv[1], 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!control) return 1;
    SetTimer(control, LIFETIME_TIMER, LIFETIME_MS, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(control);
    return 0;
}
