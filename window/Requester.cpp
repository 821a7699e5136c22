#include "window/Requester.h"

#include <string.h>

#include "runtime/Runtime.h"
#include "runtime/Text.h"

ObjectNode* DisabledWindowList = nullptr;

namespace {

const char REQUESTER_CLASS[] = "InputRequester";
// GetWindowTextA's count includes the zero: up to 9999 characters come back.
const int32_t REQUESTER_ANSWER_BYTES = 10000;

// Made on the first call and kept for the whole run.
HBRUSH requesterBrush;
HFONT requesterFont;

// One requester at a time: the state of the running one.
bool requesterRunning;
bool requesterDone;
bool requesterAnswered;
HWND requesterWindow;
HWND requesterEdit;
char* requesterOut;

void RequesterAnswerRead() {
    // The answer may start anywhere in the WorkBuffer; a long one near its end is cut rather than
    // written past it.
    int32_t limit = TextRoom(requesterOut);
    if (limit > REQUESTER_ANSWER_BYTES) limit = REQUESTER_ANSWER_BYTES;
    if (limit <= 0) return;
    int length = GetWindowTextA(requesterEdit, requesterOut, limit);
    if (length < 0) length = 0;
    if (length > limit - 1) length = limit - 1;
    requesterOut[length] = 0;
    TextCursorSet(requesterOut + length);
    requesterAnswered = true;
}

void RequesterClassRegister() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = RequesterWindowProc;
    windowClass.hInstance = RuntimeInstance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = requesterBrush;
    windowClass.lpszClassName = REQUESTER_CLASS;
    // Fails while the class is still registered from an earlier call, which is just as good.
    RegisterClassExA(&windowClass);
}

HWND RequesterControlCreate(DWORD extendedStyle, const char* className, const char* text,
                            DWORD style, int x, int y, int width, int height, int32_t identifier) {
    HWND control = CreateWindowExA(extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style, x,
                                   y, width, height, requesterWindow, (HMENU)(INT_PTR)identifier,
                                   RuntimeInstance, nullptr);
    if (control) SendMessageA(control, WM_SETFONT, (WPARAM)requesterFont, TRUE);
    return control;
}

void RequesterControlsCreate(const char* prompt, const char* defaultText) {
    RequesterControlCreate(0, "STATIC", prompt, SS_LEFTNOWORDWRAP, 10, 10, 280, 22, 0);
    requesterEdit = RequesterControlCreate(WS_EX_CLIENTEDGE, "EDIT", "",
                                           WS_TABSTOP | ES_AUTOHSCROLL, 10, 32, 275, 21,
                                           REQUESTER_EDIT);
    SetFocus(requesterEdit);
    if (defaultText) {
        SendMessageA(requesterEdit, WM_SETTEXT, 0, (LPARAM)defaultText);
        WPARAM end = (WPARAM)strlen(defaultText);
        SendMessageA(requesterEdit, EM_SETSEL, end, (LPARAM)end);
    }
    RequesterControlCreate(0, "BUTTON", "Ok", WS_TABSTOP | BS_DEFPUSHBUTTON, 110, 67, 80, 25,
                           REQUESTER_OK);
}

// Returns false when the thread's quit message ended the loop; its exit code goes to quitCode.
bool RequesterMessageLoop(HACCEL table, WPARAM* quitCode) {
    MSG message;
    while (!requesterDone) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            *quitCode = message.wParam;
            return false;
        }
        if (got == -1) return true;
        if (!TranslateAcceleratorA(requesterWindow, table, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

BOOL CALLBACK ThreadWindowDisableEach(HWND window, LPARAM thread) {
    DWORD threadId = (DWORD)thread;
    if (GetWindowThreadProcessId(window, nullptr) == threadId && IsWindowVisible(window) &&
        IsWindowEnabled(window)) {
        auto* record = (DisabledWindowRecord*)ObjectListAdd(
            &DisabledWindowList, (int32_t)(sizeof(ObjectNode) + sizeof(DisabledWindowRecord)));
        // Only a recorded window is ever enabled again, so one without a record stays enabled.
        if (record) {
            record->threadId = threadId;
            record->window = window;
            EnableWindow(window, FALSE);
        }
    }
    return TRUE;
}

}  // namespace

void ThreadWindowsDisable() {
    EnumWindows(ThreadWindowDisableEach, (LPARAM)GetCurrentThreadId());
}

void ThreadWindowsRestore() {
    DWORD threadId = GetCurrentThreadId();
    ObjectNode* node = DisabledWindowList;
    while (node) {
        ObjectNode* older = node->next;
        auto* record = (DisabledWindowRecord*)ObjectNodeData(node);
        if (record->threadId == threadId) {
            HWND window = record->window;
            // The record goes first: WM_ENABLE reaches the application before EnableWindow returns.
            ObjectListRemove(&DisabledWindowList, record);
            EnableWindow(window, TRUE);
        }
        node = older;
    }
}

// The windows come back before the requester goes: the platform hands the activation on when the
// active window is destroyed, and a still-disabled owner can't take it, which would leave the
// application with no active window (its shortcuts dead) until the user clicks it.
static void RequesterClose(HWND window) {
    ThreadWindowsRestore();
    DestroyWindow(window);
}

LRESULT CALLBACK RequesterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == REQUESTER_OK) {
            RequesterAnswerRead();
            RequesterClose(window);
        } else if (LOWORD(wParam) == REQUESTER_CANCEL) {
            RequesterClose(window);
        }
        return 0;
    case WM_CLOSE:
        RequesterClose(window);
        return 0;
    case WM_DESTROY:
        // The window still exists here, so this normally fails and the class stays registered
        // for the next call; either way the next registration is harmless.
        UnregisterClassA(REQUESTER_CLASS, RuntimeInstance);
        requesterDone = true;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static int32_t requesterOutcome = REQUESTER_NOT_SHOWN;

int32_t RequestInputOutcome() { return requesterOutcome; }

char* RequestInput(const char* title, const char* prompt, const char* defaultText, char* out) {
    requesterOutcome = REQUESTER_NOT_SHOWN;
    if (!out) out = TextCursor();
    TextCursorSet(out);
    if (TextRoom(out) > 0) *out = 0;
    // A second requester from inside the first one's loop would take over its state and leave
    // the first window behind; it gets the empty answer instead.
    if (requesterRunning) return out;
    requesterRunning = true;
    requesterOut = out;
    requesterAnswered = false;

    if (!requesterBrush) {
        LOGBRUSH brush = {BS_SOLID, GetSysColor(COLOR_BTNFACE), 0};
        requesterBrush = CreateBrushIndirect(&brush);
        requesterFont = (HFONT)GetStockObject(ANSI_VAR_FONT);
    }
    RequesterClassRegister();
    requesterDone = false;
    ThreadWindowsDisable();

    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    requesterWindow = CreateWindowExA(0, REQUESTER_CLASS, title, WS_VISIBLE | WS_CAPTION,
                                      screenWidth / 2 - 150, screenHeight / 2 - 65, 300, 130,
                                      GetActiveWindow(), nullptr, RuntimeInstance, nullptr);
    bool quit = false;
    WPARAM quitCode = 0;
    if (requesterWindow) {
        RequesterControlsCreate(prompt, defaultText);
        ACCEL keys[2] = {{FVIRTKEY, VK_RETURN, (WORD)REQUESTER_OK},
                         {FVIRTKEY, VK_ESCAPE, (WORD)REQUESTER_CANCEL}};
        HACCEL table = CreateAcceleratorTableA(keys, 2);
        SetForegroundWindow(requesterWindow);
        BringWindowToTop(requesterWindow);
        quit = !RequesterMessageLoop(table, &quitCode);
        // The quit message leaves the window up; it goes now, unanswered.
        if (!requesterDone && IsWindow(requesterWindow)) RequesterClose(requesterWindow);
        if (table) DestroyAcceleratorTable(table);
    }
    requesterWindow = nullptr;
    requesterEdit = nullptr;

    ThreadWindowsRestore();
    if (!requesterAnswered) {
        TextCursorSet(out);
        if (TextRoom(out) > 0) *out = 0;
    }
    requesterRunning = false;
    if (requesterAnswered)
        requesterOutcome = REQUESTER_ANSWERED;
    else if (requesterDone && !quit)
        requesterOutcome = REQUESTER_CANCELLED;
    // The caller's own loop must still see the quit message that ended this one.
    if (quit) PostQuitMessage((int)quitCode);
    return out;
}
