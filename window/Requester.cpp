// The input requester's window, its own message loop and the windows it disables meanwhile.
#include "window/Requester.h"

#include <string.h>

#include "runtime/Runtime.h"
#include "runtime/Text.h"

ObjectNode* DisabledWindowList = nullptr;

namespace {

const char REQUESTER_CLASS[] = "InputRequester";
// GetWindowTextA's count includes the zero: up to 9999 characters come back.
const int32_t REQUESTER_ANSWER_BYTES = 10000;

// One requester at a time: the state of the running one, and how the last one ended.
struct RequesterState {
    HBRUSH brush = nullptr;  // made on the first call and kept for the whole run
    HFONT font = nullptr;
    bool running = false;
    bool done = false;  // its window has been destroyed
    bool answered = false;
    HWND window = nullptr;
    HWND edit = nullptr;
    char* out = nullptr;
    int32_t outcome = REQUESTER_NOT_SHOWN;
};

RequesterState requester;

// The requester's Enter and Esc keys, destroyed on every way out of its loop.
class RequesterKeys {
public:
    RequesterKeys() {
        ACCEL keys[2] = {{FVIRTKEY, VK_RETURN, (WORD)REQUESTER_OK},
                         {FVIRTKEY, VK_ESCAPE, (WORD)REQUESTER_CANCEL}};
        table_ = CreateAcceleratorTableA(keys, 2);
    }
    ~RequesterKeys() {
        if (table_) DestroyAcceleratorTable(table_);
    }
    RequesterKeys(const RequesterKeys&) = delete;
    RequesterKeys& operator=(const RequesterKeys&) = delete;

    HACCEL get() const { return table_; }

private:
    HACCEL table_;
};

void RequesterAnswerRead() {
    // The answer may start anywhere in the WorkBuffer; a long one near its end is cut rather than
    // written past it.
    int32_t limit = TextRoom(requester.out);
    if (limit > REQUESTER_ANSWER_BYTES) limit = REQUESTER_ANSWER_BYTES;
    if (limit <= 0) return;
    int length = GetWindowTextA(requester.edit, requester.out, limit);
    if (length < 0) length = 0;
    if (length > limit - 1) length = limit - 1;
    requester.out[length] = 0;
    TextCursorSet(requester.out + length);
    requester.answered = true;
}

void RequesterClassRegister() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = RequesterWindowProc;
    windowClass.hInstance = RuntimeInstance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = requester.brush;
    windowClass.lpszClassName = REQUESTER_CLASS;
    // Fails while the class is still registered from an earlier call, which is just as good.
    RegisterClassExA(&windowClass);
}

HWND RequesterControlCreate(DWORD extendedStyle, const char* className, const char* text,
                            DWORD style, int x, int y, int width, int height, int32_t identifier) {
    HWND control = CreateWindowExA(extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style, x,
                                   y, width, height, requester.window, (HMENU)(INT_PTR)identifier,
                                   RuntimeInstance, nullptr);
    if (control) SendMessageA(control, WM_SETFONT, (WPARAM)requester.font, TRUE);
    return control;
}

void RequesterControlsCreate(const char* prompt, const char* defaultText) {
    RequesterControlCreate(0, "STATIC", prompt, SS_LEFTNOWORDWRAP, 10, 10, 280, 22, 0);
    requester.edit = RequesterControlCreate(
        WS_EX_CLIENTEDGE, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, 10, 32, 275, 21, REQUESTER_EDIT);
    SetFocus(requester.edit);
    if (defaultText) {
        SendMessageA(requester.edit, WM_SETTEXT, 0, (LPARAM)defaultText);
        WPARAM end = (WPARAM)strlen(defaultText);
        SendMessageA(requester.edit, EM_SETSEL, end, (LPARAM)end);
    }
    RequesterControlCreate(0, "BUTTON", "Ok", WS_TABSTOP | BS_DEFPUSHBUTTON, 110, 67, 80, 25,
                           REQUESTER_OK);
}

// Returns false when the thread's quit message ended the loop; its exit code goes to quitCode.
bool RequesterMessageLoop(HACCEL table, WPARAM* quitCode) {
    MSG message;
    while (!requester.done) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            *quitCode = message.wParam;
            return false;
        }
        if (got == -1) return true;
        if (!TranslateAcceleratorA(requester.window, table, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

// The windows come back before the requester goes: the platform hands the activation on when the
// active window is destroyed, and a still-disabled owner can't take it, which would leave the
// application with no active window (its shortcuts dead) until the user clicks it.
void RequesterClose(HWND window) {
    ThreadWindowsRestore();
    DestroyWindow(window);
}

// Makes the window and its controls, the thread's other windows disabled first. False when no
// window could be made.
bool RequesterOpen(const char* title, const char* prompt, const char* defaultText) {
    if (!requester.brush) {
        LOGBRUSH brush = {BS_SOLID, GetSysColor(COLOR_BTNFACE), 0};
        requester.brush = CreateBrushIndirect(&brush);
        requester.font = (HFONT)GetStockObject(ANSI_VAR_FONT);
    }
    RequesterClassRegister();
    requester.done = false;
    ThreadWindowsDisable();

    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    requester.window = CreateWindowExA(0, REQUESTER_CLASS, title, WS_VISIBLE | WS_CAPTION,
                                       screenWidth / 2 - 150, screenHeight / 2 - 65, 300, 130,
                                       GetActiveWindow(), nullptr, RuntimeInstance, nullptr);
    if (!requester.window) return false;
    RequesterControlsCreate(prompt, defaultText);
    return true;
}

// Brings the window to the front and runs its loop until it is answered or closed. Returns false
// when the thread's quit message ended the loop (its exit code goes to quitCode); the window is
// gone either way.
bool RequesterRun(WPARAM* quitCode) {
    RequesterKeys keys;
    SetForegroundWindow(requester.window);
    BringWindowToTop(requester.window);
    bool ended = RequesterMessageLoop(keys.get(), quitCode);
    // The quit message leaves the window up; it goes now, unanswered.
    if (!requester.done && IsWindow(requester.window)) RequesterClose(requester.window);
    return ended;
}

// Gives the windows back, leaves the empty text at out unless an answer is there, and records how
// the requester ended.
void RequesterFinish(char* out, bool quit, WPARAM quitCode) {
    requester.window = nullptr;
    requester.edit = nullptr;
    ThreadWindowsRestore();
    if (!requester.answered) {
        TextCursorSet(out);
        if (TextRoom(out) > 0) *out = 0;
    }
    requester.running = false;
    if (requester.answered)
        requester.outcome = REQUESTER_ANSWERED;
    else if (requester.done && !quit)
        requester.outcome = REQUESTER_CANCELLED;
    // The caller's own loop must still see the quit message that ended this one.
    if (quit) PostQuitMessage((int)quitCode);
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
    for (;;) {
        // The walk starts again from the newest record each time: WM_ENABLE reaches the
        // application before EnableWindow returns, and a requester it runs there adds records
        // and removes this thread's, the next one this walk would have visited among them.
        DisabledWindowRecord* record = nullptr;
        for (ObjectNode* node = DisabledWindowList; node && !record; node = node->next) {
            auto* candidate = (DisabledWindowRecord*)ObjectNodeData(node);
            if (candidate->threadId == threadId) record = candidate;
        }
        if (!record) return;
        HWND window = record->window;
        ObjectListRemove(&DisabledWindowList, record);
        EnableWindow(window, TRUE);
    }
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
    case WM_CLOSE: RequesterClose(window); return 0;
    case WM_DESTROY:
        // The window still exists here, so this normally fails and the class stays registered
        // for the next call; either way the next registration is harmless.
        UnregisterClassA(REQUESTER_CLASS, RuntimeInstance);
        requester.done = true;
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

int32_t RequestInputOutcome() {
    return requester.outcome;
}

char* RequestInput(const char* title, const char* prompt, const char* defaultText, char* out) {
    requester.outcome = REQUESTER_NOT_SHOWN;
    if (!out) out = TextCursor();
    TextCursorSet(out);
    if (TextRoom(out) > 0) *out = 0;
    // A second requester from inside the first one's loop would take over its state and leave
    // the first window behind; it gets the empty answer instead.
    if (requester.running) return out;
    requester.running = true;
    requester.out = out;
    requester.answered = false;

    bool quit = false;
    WPARAM quitCode = 0;
    if (RequesterOpen(title, prompt, defaultText)) quit = !RequesterRun(&quitCode);
    RequesterFinish(out, quit, quitCode);
    return out;
}
