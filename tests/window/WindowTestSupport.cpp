#include "WindowTestSupport.h"

#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include "runtime/Runtime.h"
#include "tests/window/InputInjection.h"
#include "window/WindowLibrary.h"

namespace windowtest {

namespace {

// The runtime starts once for the whole program, with the window and menu layers in its order.
class RuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WindowLibraryInstall();
        ASSERT_NE(RuntimeStart(GetModuleHandleA(nullptr)), 0);
        InitCommonControls();
    }
};

::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

const UINT MESSAGE_ACTION = WM_APP + 0x51;
std::function<void()> pendingAction;

bool DeadlinePassed(DWORD start, DWORD milliseconds) {
    return GetTickCount() - start >= milliseconds;
}

void InputWait() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
}

}  // namespace

Recorder recorder;

std::vector<UINT> Recorder::Filtered(const std::vector<UINT>& wanted, HWND window) const {
    std::vector<UINT> result;
    for (const RecordedMessage& entry : messages) {
        if (window && entry.window != window) continue;
        for (UINT message : wanted) {
            if (entry.message == message) {
                result.push_back(message);
                break;
            }
        }
    }
    return result;
}

LRESULT CALLBACK RecorderCallback(HWND window, UINT message, WPARAM wParam, LPARAM) {
    recorder.messages.push_back({window, message, wParam, EventCurrent.code});
    if (message == MESSAGE_ACTION && pendingAction) {
        std::function<void()> action = pendingAction;
        pendingAction = nullptr;
        action();
    }
    for (auto& entry : recorder.actions) {
        if (entry.first == message) entry.second();
    }
    for (auto& entry : recorder.results) {
        if (entry.first == message) return entry.second;
    }
    return CALLBACK_DEFAULT;
}

void LayerTest::SetUp() {
    recorder = Recorder();
    WindowSetCallback(RecorderCallback);
}

void LayerTest::TearDown() {
    WindowSetCallback(nullptr);
    WindowCloseAll();
    recorder = Recorder();
    Drain();
    // A key left down by a failed test would turn every later key into a shortcut.
    for (WORD key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        if (GetAsyncKeyState(key) & 0x8000) KeySend(key, true);
    }
    Drain();
}

std::string MessageListText(const std::vector<UINT>& messages) {
    std::string text;
    char number[16];
    for (UINT message : messages) {
        snprintf(number, sizeof(number), "%s0x%X", text.empty() ? "" : " ", message);
        text += number;
    }
    return "[" + text + "]";
}

void ExpectMessages(const std::vector<UINT>& expected, const std::vector<UINT>& actual) {
    EXPECT_EQ(expected, actual) << "expected " << MessageListText(expected) << "\n  actual   "
                                << MessageListText(actual);
}

bool PumpUntil(const std::function<bool(int32_t)>& done, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        int32_t result = EventPoll();
        if (done(result)) return true;
        if (DeadlinePassed(start, milliseconds)) return false;
        if (result == 0) InputWait();
    }
}

std::vector<int32_t> Drain() {
    std::vector<int32_t> events;
    for (int32_t count = 0; count < 10000; count++) {
        int32_t result = EventPoll();
        if (result == 0) break;
        events.push_back(result);
    }
    return events;
}

bool WindowActivate(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    return PumpUntil([window](int32_t) {
        return GetForegroundWindow() == window && GetActiveWindow() == window;
    });
}

void KeySend(WORD key, bool up) {
    INPUT event = {};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = key;
    event.ki.wScan = (WORD)MapVirtualKeyA(key, 0);
    event.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &event, sizeof(INPUT));
}

std::vector<int32_t> KeysPress(const std::vector<WORD>& modifiers, WORD key) {
    for (WORD modifier : modifiers) KeySend(modifier, false);
    KeySend(key, false);
    KeySend(key, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) KeySend(*it, true);
    WORD last = modifiers.empty() ? key : modifiers.front();
    std::vector<int32_t> events;
    bool released = PumpUntil([&](int32_t result) {
        if (result == 0) return false;
        events.push_back(result);
        const MSG& message = EventCurrent.message;
        return message.message == WM_KEYUP && message.wParam == last;
    });
    EXPECT_TRUE(released) << "the key-up of 0x" << std::hex << last << " never arrived";
    return events;
}

void MouseMove(int x, int y) {
    INPUT event = input::MouseEvent(x, y, 0);
    SendInput(1, &event, sizeof(INPUT));
    DWORD start = GetTickCount();
    POINT point;
    while (GetCursorPos(&point) && (point.x != x || point.y != y) && !DeadlinePassed(start, 2000)) {
        InputWait();
    }
}

void MouseClick(int x, int y) {
    INPUT events[3] = {input::MouseEvent(x, y, 0), input::MouseEvent(x, y, MOUSEEVENTF_LEFTDOWN),
                       input::MouseEvent(x, y, MOUSEEVENTF_LEFTUP)};
    SendInput(3, events, sizeof(INPUT));
}

int32_t EventDuring(HWND window, const std::function<void()>& action) {
    pendingAction = action;
    PostMessageA(window, MESSAGE_ACTION, 0, 0);
    // Whatever was queued before comes out first.
    for (int32_t count = 0; count < 1000; count++) {
        int32_t result = EventWait();
        if (EventCurrent.message.message == MESSAGE_ACTION) return result;
    }
    ADD_FAILURE() << "the action message never arrived";
    return 0;
}

}  // namespace windowtest
