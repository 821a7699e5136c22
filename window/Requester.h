// The input requester: a small modal window with a caption, a prompt, an edit field and an "Ok"
// button that asks for one line of text. It talks to the platform directly, not through the
// layer's numbered windows, and runs a message loop of its own while the thread's other windows
// are disabled.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/ObjectTable.h"

// Command identifiers of the requester: Ok (button or Enter) and cancel (Esc).
const int32_t REQUESTER_OK = 1000;
const int32_t REQUESTER_CANCEL = 1001;
const int32_t REQUESTER_EDIT = 10;

// Asks for a text; defaultText may be null. The answer (empty for Esc, a close or a failure) is
// written into the WorkBuffer at out (default: the cursor), the cursor is left on its zero, and out
// is returned; the caller takes it with TextAssign. Blocks until the user answers.
char* RequestInput(const char* title, const char* prompt, const char* defaultText,
                   char* out = nullptr);

// How the last RequestInput ended: answered with Ok or Enter; cancelled by the user (Esc or a
// close); or never shown to the user (no window could be made, a requester was already running,
// or a quit message ended it). A caller that asks again until it gets a text stops on the last.
const int32_t REQUESTER_ANSWERED = 1;
const int32_t REQUESTER_CANCELLED = 0;
const int32_t REQUESTER_NOT_SHOWN = -1;
int32_t RequestInputOutcome();

// Window procedure of the "InputRequester" class.
LRESULT CALLBACK RequesterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One window that a requester disabled, kept in DisabledWindowList (nodes from ObjectHeap).
struct DisabledWindowRecord {
    DWORD threadId;
    HWND window;
};

extern ObjectNode* DisabledWindowList;

// Disables the calling thread's visible, enabled top-level windows and records each one.
void ThreadWindowsDisable();
// Enables again, newest first, the windows that ThreadWindowsDisable recorded for this thread.
void ThreadWindowsRestore();
