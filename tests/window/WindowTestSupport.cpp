#include "WindowTestSupport.h"

#include <windows.h>
#include <commctrl.h>

#include "runtime/Runtime.h"
#include "tests/support/Input.h"
#include "window/WindowLibrary.h"

namespace windowtest {

namespace {

const UINT MESSAGE_ACTION = WM_APP + 0x51;
std::function<void()> pendingAction;

// The runtime starts once for the whole program, with the window and menu layers in its order.
class RuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WindowLibraryInstall();
        ASSERT_NE(RuntimeStart(GetModuleHandleA(nullptr)), 0);
        InitCommonControls();
        support::MessageNameSet(WM_DRUX_NOTIFY_ICON, "WM_DRUX_NOTIFY_ICON");
        support::MessageNameSet(WM_DRUX_NOTIFY_ICON_POSTED, "WM_DRUX_NOTIFY_ICON_POSTED");
        support::MessageNameSet(WM_DRUX_SIZE_DEFERRED, "WM_DRUX_SIZE_DEFERRED");
        support::MessageNameSet(MESSAGE_ACTION, "MESSAGE_ACTION");
    }
};

::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

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
    for (const RecordedMessage& entry : Only(wanted, window)) result.push_back(entry.message);
    return result;
}

LRESULT CALLBACK RecorderCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    recorder.Add(window, message, wParam, lParam, EventCurrent.code);
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
    for (UINT message : messages) text += (text.empty() ? "" : " ") + support::MessageName(message);
    return "[" + text + "]";
}

void ExpectMessages(const std::vector<UINT>& expected, const std::vector<UINT>& actual) {
    std::vector<RecordedMessage> seen;
    for (UINT message : actual) seen.push_back({nullptr, message, 0, 0, 0});
    EXPECT_TRUE(support::MessageSequenceMatch(support::MessagesExpected(expected), seen));
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
    support::KeySend(key, up);
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
    support::MouseMove({x, y});
    DWORD start = GetTickCount();
    POINT point;
    while (GetCursorPos(&point) && (point.x != x || point.y != y) && !DeadlinePassed(start, 2000)) {
        InputWait();
    }
}

void MouseClick(int x, int y) {
    support::MouseClick({x, y});
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
