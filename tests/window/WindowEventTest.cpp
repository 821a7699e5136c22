// The window procedure's order, the message-to-event mapping and the single pending slot.
#include <windows.h>
#include <commctrl.h>

#include "WindowTestSupport.h"
#include "runtime/Runtime.h"

using namespace windowtest;

namespace {

const UINT WM_TEST = WM_APP + 7;

class EventTest : public LayerTest {
protected:
    HWND window = nullptr;

    // A hidden window draws no paint or mouse messages of its own.
    void Open(int32_t flags = WINDOW_INVISIBLE) {
        window = (HWND)WindowOpen(1, 60, 60, 300, 200, flags, "Events");
        ASSERT_NE(window, nullptr);
        Drain();
        recorder.Clear();
    }

    // Identifier 0, which no case expects, and nothing pending.
    void ClearIdentifier() {
        Drain();
        EXPECT_EQ(EventDuring(window, [&] { SendMessageA(window, WM_COMMAND, 0, 0); }), EVENT_MENU);
        EXPECT_EQ(EventMenuId(), 0);
    }

    HWND Child(const char* className, intptr_t identifier, DWORD style = 0) {
        HWND child = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 80, 60,
                                     window, (HMENU)identifier, RuntimeInstance, nullptr);
        EXPECT_NE(child, nullptr) << className;
        Drain();
        return child;
    }
};

TEST_F(EventTest, CallbackRunsBeforeTheLayer) {
    Open();
    SetWindowPos(window, nullptr, 0, 0, 320, 210, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<int32_t> events = Drain();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(EventWait(), EVENT_CLOSE_WINDOW);
    EXPECT_TRUE(IsWindow(window)) << "a close request leaves the window open";

    ExpectMessages({WM_SIZE, WM_DRUX_SIZE_DEFERRED, WM_CLOSE},
                   recorder.Filtered({WM_SIZE, WM_DRUX_SIZE_DEFERRED, WM_CLOSE}));
    for (const RecordedMessage& entry : recorder.messages) {
        if (entry.message == WM_DRUX_SIZE_DEFERRED || entry.message == WM_CLOSE) {
            EXPECT_EQ(entry.code, 0) << "the callback saw " << support::MessageName(entry.message)
                                     << " after the layer had handled it";
        }
    }
    EXPECT_EQ(std::count(events.begin(), events.end(), EVENT_SIZE_WINDOW), 1);
}

// Ends a modal loop that a test fails into: after a grace period, Esc and a left-button release
// until the main thread says it is out.
class ModalRescue {
public:
    ModalRescue() {
        out = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~ModalRescue() {
        SetEvent(out);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        CloseHandle(out);
    }

private:
    HANDLE out;
    HANDLE thread;
    static DWORD WINAPI Run(void* parameter) {
        ModalRescue* rescue = (ModalRescue*)parameter;
        if (WaitForSingleObject(rescue->out, 1500) == WAIT_OBJECT_0) return 0;
        for (int32_t tries = 0; tries < 25; tries++) {
            KeySend(VK_ESCAPE, false);
            KeySend(VK_ESCAPE, true);
            INPUT release = {};
            release.type = INPUT_MOUSE;
            release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(1, &release, sizeof(INPUT));
            if (WaitForSingleObject(rescue->out, 200) == WAIT_OBJECT_0) break;
        }
        return 0;
    }
};

TEST_F(EventTest, LiveSizingPassRunsBeforeTheCallback) {
    BOOL fullDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    Open((int32_t)WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(WindowActivate(window));
    recorder.Clear();
    {
        // Should the pass leave SC_SIZE to the platform, its modal loop must not hang the test.
        ModalRescue rescue;
        SendMessageA(window, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, 0);
        SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    }
    ReleaseCapture();
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, fullDrag, nullptr, 0);
    // The pass consumes the start and the Enter that ends it; the callback sees only what the
    // pass sends while it runs.
    ExpectMessages({WM_GETMINMAXINFO},
                   recorder.Filtered({WM_SYSCOMMAND, WM_GETMINMAXINFO, WM_KEYDOWN}, window));
}

struct SuppressCase {
    const char* name;
    UINT answered;  // the message the callback answers itself, 0 for none
    LRESULT answer;
    void (*act)(HWND window);
    int32_t event;  // the event the layer gives when the callback lets it
};

void CloseRequest(HWND window) {
    SendMessageA(window, WM_CLOSE, 0, 0);
}
void Resize(HWND window) {
    SetWindowPos(window, nullptr, 0, 0, 333, 222, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void MenuCommand(HWND window) {
    SendMessageA(window, WM_COMMAND, 9, 0);
}

TEST_F(EventTest, CallbackResultOtherThanDefaultEndsTheHandling) {
    const SuppressCase cases[] = {
        {"WM_CLOSE let through", 0, 0, CloseRequest, EVENT_CLOSE_WINDOW},
        {"WM_CLOSE answered 0", WM_CLOSE, 0, CloseRequest, EVENT_CLOSE_WINDOW},
        {"WM_SIZE let through", 0, 0, Resize, EVENT_SIZE_WINDOW},
        {"WM_SIZE answered 1", WM_SIZE, 1, Resize, EVENT_SIZE_WINDOW},
        {"WM_COMMAND let through", 0, 0, MenuCommand, EVENT_MENU},
        {"WM_COMMAND answered 0x1234", WM_COMMAND, 0x1234, MenuCommand, EVENT_MENU},
    };
    for (const SuppressCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        recorder.results.clear();
        if (c.answered) recorder.results.push_back({c.answered, c.answer});
        std::vector<int32_t> events = {EventDuring(window, [&] { c.act(window); })};
        std::vector<int32_t> later = Drain();
        events.insert(events.end(), later.begin(), later.end());
        bool delivered = std::count(events.begin(), events.end(), c.event) > 0;
        EXPECT_EQ(delivered, c.answered == 0);
        // Nor does the platform's default run: the close request did not destroy the window.
        EXPECT_TRUE(IsWindow(window));
        if (c.answered == WM_SIZE) {
            EXPECT_TRUE(recorder.Filtered({WM_DRUX_SIZE_DEFERRED}).empty());
        }
        WindowClose(1);
    }
}

struct RawCase {
    const char* name;
    void (*act)(HWND window);
    int32_t expected;
};

TEST_F(EventTest, MessagesWithoutAnEventReturnTheirNumber) {
    const RawCase cases[] = {
        {"mouse move", [](HWND w) { PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }, 0x200},
        {"paint", [](HWND w) { InvalidateRect(w, nullptr, TRUE); }, WM_PAINT},
        {"private message", [](HWND w) { PostMessageA(w, WM_TEST, 0, 0); }, (int32_t)WM_TEST},
        {"quit", [](HWND) { PostQuitMessage(3); }, WM_QUIT},
        {"thread message", [](HWND) { PostThreadMessageA(GetCurrentThreadId(), WM_TEST, 0, 0); },
         (int32_t)WM_TEST},
    };
    // Keep the pointer off the window, or mouse moves would come first.
    MouseMove(1000, 750);
    Open(0);
    for (const RawCase& c : cases) {
        SCOPED_TRACE(c.name);
        Drain();
        c.act(window);
        EXPECT_EQ(EventWait(), c.expected);
    }
}

TEST_F(EventTest, OnePendingSlot) {
    Open();
    // An event set outside the loop waits for the next retrieved message...
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(EventPoll(), 0) << "empty queue";
    EXPECT_EQ(EventPoll(), 0) << "empty queue, the event still pending";
    PostMessageA(window, WM_TEST, 0, 0);
    EXPECT_EQ(EventPoll(), EVENT_CLOSE_WINDOW);
    PostMessageA(window, WM_TEST, 0, 0);
    EXPECT_EQ(EventWait(), (int32_t)WM_TEST) << "read once only";

    // ...and a later one overwrites it; the identifier outlives the event.
    SendMessageA(window, WM_CLOSE, 0, 0);
    SendMessageA(window, WM_COMMAND, 7, 0);
    PostMessageA(window, WM_TEST, 0, 0);
    EXPECT_EQ(EventWait(), EVENT_MENU);
    EXPECT_EQ(EventMenuId(), 7);
    PostMessageA(window, WM_TEST, 0, 0);
    EXPECT_EQ(EventWait(), (int32_t)WM_TEST);
    EXPECT_EQ(EventMenuId(), 7);
    EXPECT_EQ(EventType(), -1);
}

struct CommandCase {
    const char* name;
    int32_t control;  // 0 none (lParam 0), 1 button 42, 2 list box 43, 3 button -10000
    WPARAM wParam;
    int32_t expected;  // 0: no event
    intptr_t identifier;
    int32_t type;
};

TEST_F(EventTest, CommandsBecomeEvents) {
    const CommandCase cases[] = {
        {"menu item", 0, 4, EVENT_MENU, 4, -1},
        {"menu item numbered like a focus command", 0, COMMAND_FOCUS_NEXT, EVENT_MENU,
         COMMAND_FOCUS_NEXT, -1},
        {"shortcut", 0, MAKEWPARAM(0x72, 1), EVENT_MENU, 0x72, -1},
        {"shortcut Tab", 0, MAKEWPARAM(COMMAND_FOCUS_NEXT, 1), 0, 0, -1},
        {"shortcut Shift+Tab", 0, MAKEWPARAM(COMMAND_FOCUS_PREVIOUS, 1), 0, 0, -1},
        {"button clicked", 1, MAKEWPARAM(42, BN_CLICKED), EVENT_WIDGET, 42, BN_CLICKED},
        {"button focus", 1, MAKEWPARAM(42, BN_SETFOCUS), EVENT_WIDGET, 42, BN_SETFOCUS},
        {"control numbered -10000", 3, MAKEWPARAM(55, 0), EVENT_MENU, 55, 0},
        {"list box selection change", 2, MAKEWPARAM(43, LBN_SELCHANGE), EVENT_WIDGET, 43, 0},
        {"list box double click", 2, MAKEWPARAM(43, LBN_DBLCLK), EVENT_WIDGET, 43, LBN_DBLCLK},
        {"list box focus", 2, MAKEWPARAM(43, LBN_SETFOCUS), 0, 0, -1},
        {"list box cancelled selection", 2, MAKEWPARAM(43, LBN_SELCANCEL), 0, 0, -1},
    };
    Open();
    HWND controls[4] = {nullptr, Child("BUTTON", 42), Child("LISTBOX", 43),
                        Child("BUTTON", -10000)};
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClearIdentifier();
        int32_t result = EventDuring(window, [&] {
            SendMessageA(window, WM_COMMAND, c.wParam, (LPARAM)controls[c.control]);
        });
        if (c.expected == 0) {
            EXPECT_EQ(result, (int32_t)EventCurrent.message.message) << "no event";
        } else {
            EXPECT_EQ(result, c.expected);
            EXPECT_EQ(EventMenuId(), c.identifier);
            EXPECT_EQ(EventType(), c.type);
        }
    }
}

struct NotifyCase {
    const char* name;
    int32_t control;  // 0 list view 50, 1 tree view 51, 2 up-down 52, 3 button 53
    UINT code;
    int32_t expected;  // 0: no event
    int32_t type;
};

TEST_F(EventTest, NotificationsBecomeEvents) {
    const NotifyCase cases[] = {
        {"list click", 0, NM_CLICK, EVENT_WIDGET, 0},
        {"list right click", 0, NM_RCLICK, EVENT_WIDGET, 1},
        {"list double click", 0, NM_DBLCLK, EVENT_WIDGET, 2},
        {"list right double click", 0, NM_RDBLCLK, EVENT_WIDGET, 3},
        {"list item activated", 0, LVN_ITEMACTIVATE, EVENT_WIDGET, 2},
        {"list item changed", 0, LVN_ITEMCHANGED, EVENT_WIDGET, -1},
        {"list custom draw", 0, NM_CUSTOMDRAW, 0, -1},
        {"list column click", 0, LVN_COLUMNCLICK, 0, -1},
        {"tree selection changed", 1, TVN_SELCHANGEDA, EVENT_WIDGET, -1},
        {"tree click", 1, NM_CLICK, EVENT_WIDGET, 0},
        {"tree wide selection change", 1, TVN_SELCHANGEDW, 0, -1},
        {"up-down delta", 2, UDN_DELTAPOS, EVENT_WIDGET, -3},
        {"up-down click", 2, NM_CLICK, 0, -1},
        {"button click notification", 3, NM_CLICK, 0, -1},
    };
    Open();
    const intptr_t identifiers[4] = {50, 51, 52, 53};
    HWND controls[4] = {Child(WC_LISTVIEWA, 50), Child(WC_TREEVIEWA, 51), Child(UPDOWN_CLASSA, 52),
                        Child("BUTTON", 53)};
    for (const NotifyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClearIdentifier();
        NMUPDOWN notification = {};
        notification.hdr.hwndFrom = controls[c.control];
        notification.hdr.idFrom = (UINT_PTR)identifiers[c.control];
        notification.hdr.code = c.code;
        notification.iDelta = -3;
        int32_t result = EventDuring(window, [&] {
            EXPECT_EQ(
                SendMessageA(window, WM_NOTIFY, notification.hdr.idFrom, (LPARAM)&notification), 0);
        });
        if (c.expected == 0) {
            EXPECT_EQ(result, (int32_t)EventCurrent.message.message) << "no event";
            EXPECT_EQ(EventMenuId(), 0);
        } else {
            EXPECT_EQ(result, c.expected);
            EXPECT_EQ(EventMenuId(), identifiers[c.control]);
            EXPECT_EQ(EventType(), c.type);
        }
    }
}

TEST_F(EventTest, ScrollBarsReportTheirIdentifier) {
    Open();
    HWND bar = Child("SCROLLBAR", 60, SBS_HORZ);
    for (UINT message : {WM_HSCROLL, WM_VSCROLL}) {
        SCOPED_TRACE(message);
        int32_t result =
            EventDuring(window, [&] { SendMessageA(window, message, SB_LINEDOWN, (LPARAM)bar); });
        EXPECT_EQ(result, EVENT_WIDGET);
        EXPECT_EQ(EventMenuId(), 60);
    }
}

struct IconCase {
    LPARAM mouse;
    int32_t expected;  // 0: no event
    int32_t type;
};

TEST_F(EventTest, NotificationIconMessagesAreRepostedAndMapped) {
    const IconCase cases[] = {
        {WM_LBUTTONUP, EVENT_NOTIFY_ICON, 0},
        {WM_RBUTTONUP, EVENT_NOTIFY_ICON, 1},
        {WM_LBUTTONDBLCLK, EVENT_NOTIFY_ICON, 2},
        {WM_RBUTTONDBLCLK, EVENT_NOTIFY_ICON, 3},
        {WM_MOUSEMOVE, 0, -1},
        {WM_LBUTTONDOWN, 0, -1},
    };
    Open();
    for (const IconCase& c : cases) {
        SCOPED_TRACE(c.mouse);
        PostMessageA(window, WM_DRUX_NOTIFY_ICON, 9, c.mouse);
        EXPECT_EQ(EventWait(), (int32_t)WM_DRUX_NOTIFY_ICON) << "no event until re-posted";
        int32_t result = EventWait();
        EXPECT_EQ(result, c.expected ? c.expected : (int32_t)WM_DRUX_NOTIFY_ICON_POSTED);
        EXPECT_EQ(EventMenuId(), 9) << "the identifier is taken in every case";
        EXPECT_EQ(EventType(), c.type);
    }
}

TEST_F(EventTest, ListBoxSelectionByMouse) {
    MouseMove(1000, 750);
    Open(0);
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY,
                                10, 10, 150, 120, window, (HMENU)43, RuntimeInstance, nullptr);
    ASSERT_NE(list, nullptr);
    for (const char* item : {"one", "two", "three"})
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
    ASSERT_TRUE(WindowActivate(window));
    Drain();
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 1, (LPARAM)&item);
    MapWindowPoints(list, nullptr, (POINT*)&item, 2);
    std::vector<int32_t> events;
    MouseClick((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    bool selected = PumpUntil([&](int32_t result) {
        if (result) events.push_back(result);
        return result != 0 && EventCurrent.message.message == WM_LBUTTONUP;
    });
    EXPECT_TRUE(selected);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    std::vector<int32_t> later = Drain();
    events.insert(events.end(), later.begin(), later.end());
    EXPECT_EQ(std::count(events.begin(), events.end(), EVENT_WIDGET), 1)
        << "the selection change only; the focus notification gives none";
    EXPECT_EQ(EventMenuId(), 43);
}

// From start-up until the first wait or poll the event type is 0, not -1, so every notification
// of a list or tree control counts as an event until then.
TEST_F(EventTest, EventTypeStartsAtZero) {
    WindowSetCallback(nullptr);
    WindowCloseAll();
    ASSERT_NE(RuntimeStart(GetModuleHandleA(nullptr)), 0);
    EXPECT_EQ(EventType(), 0);
    EXPECT_EQ(EventMenuId(), 0);
    window = (HWND)WindowOpen(1, 60, 60, 300, 200, WINDOW_INVISIBLE, "Start");
    ASSERT_NE(window, nullptr);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 60, window,
                                (HMENU)50, RuntimeInstance, nullptr);
    ASSERT_NE(list, nullptr);
    // Past the layer's loop, so that the type stays as start-up left it.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);

    NMHDR header = {list, 50, (UINT)NM_CUSTOMDRAW};
    for (int32_t expected : {EVENT_WIDGET, EVENT_CLOSE_WINDOW}) {
        SCOPED_TRACE(expected == EVENT_WIDGET ? "before the first poll" : "after it");
        SendMessageA(window, WM_CLOSE, 0, 0);
        SendMessageA(window, WM_NOTIFY, 50, (LPARAM)&header);
        PostMessageA(window, WM_TEST, 0, 0);
        EXPECT_EQ(EventPoll(), expected);
        EXPECT_EQ(EventType(), -1);
    }
}

}  // namespace
