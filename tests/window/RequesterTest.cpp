// The input requester under real input. RequestInput runs on the test thread, and a script of
// steps run by the thread's timer from inside the requester's own loop waits until the requester
// is the foreground window and then types, clicks and looks at it; the process has no second
// thread (TimerScript.h says why). The steps use no gtest assertions: they record what they saw,
// and the test checks it after RequestInput has returned.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/Memory.h"
#include "runtime/Runtime.h"
#include "runtime/Text.h"
#include "tests/support/HeapSwap.h"
#include "tests/support/ImportSlots.h"
#include "tests/window/InputInjection.h"
#include "tests/window/TimerScript.h"
#include "window/Requester.h"

namespace {

class RuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1); }
};
::testing::Environment* const runtimeEnvironment =
    ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

const char TITLE[] = "User input";
const char PROMPT[] = "Enter string To find";

// What the script saw of one requester.
struct RequesterSeen {
    HWND requester = nullptr;
    bool foreground = false;   // it became the foreground window
    bool forcedClose = false;  // the input did not end it; the watchdog did
};

std::string EditText(HWND requester) {
    HWND edit = GetDlgItem(requester, REQUESTER_EDIT);
    LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    std::string text((size_t)length + 1, '\0');
    SendMessageA(edit, WM_GETTEXT, (WPARAM)text.size(), (LPARAM)&text[0]);
    text.resize(strlen(text.c_str()));
    return text;
}

// The next steps wait (the requester's loop running) until the field shows expected.
void EditTextBecomes(TimerScript& script, HWND requester, const std::string& expected, bool* held) {
    script.WaitFor([requester, expected] { return EditText(requester) == expected; }, held);
}

POINT WindowCentre(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(thread, &info);
    return info.hwndFocus;
}

// Time for the requester to come up and to go once answered (emulated programs are slow).
const DWORD REQUESTER_WAIT_MS = 10000;

// Runs RequestInput on this thread at out; once the requester is in front with the keyboard
// focus in its field, act(script, requester) gives the steps that answer it, and they run inside
// the requester's loop. Returns the answer; the cursor is put back at the answer's start
// afterwards.
std::string RequestWith(const char* defaultText, const std::function<void(TimerScript&, HWND)>& act,
                        RequesterSeen* seen = nullptr, char* out = nullptr,
                        char** cursorAfter = nullptr) {
    RequesterSeen local;
    RequesterSeen& s = seen ? *seen : local;
    s = RequesterSeen();
    HWND found = nullptr;
    bool shown = false, gone = false;
    TimerScript script;
    // The window is up (and in front) before its controls are made; the Ok button is made
    // last, just before the requester brings itself to the front.
    script.WaitFor(
        [&] {
            found = FindWindowA("InputRequester", nullptr);
            return found && GetDlgItem(found, REQUESTER_OK) && GetForegroundWindow() == found &&
                   GetFocus() == GetDlgItem(found, REQUESTER_EDIT);
        },
        &shown, REQUESTER_WAIT_MS);
    script.Do([&] {
        // Nothing to answer: end the requester's loop rather than hang the test.
        if (!found) PostQuitMessage(0);
        if (found && shown) act(script, found);
    });
    script.WaitFor([&] { return !found || !IsWindow(found); }, &gone, REQUESTER_WAIT_MS);
    script.Do([&] {
        if (gone) return;
        s.forcedClose = true;
        PostMessageA(found, WM_CLOSE, 0, 0);
    });
    char* start = out ? out : TextCursor();
    EXPECT_TRUE(script.Start());
    char* answer = RequestInput(TITLE, PROMPT, defaultText, out);
    script.Finish();
    s.requester = found;
    s.foreground = shown;
    if (!found) s.forcedClose = true;
    EXPECT_EQ(answer, start);
    if (cursorAfter) *cursorAfter = TextCursor();
    std::string text = answer;
    TextCursorSet(WorkBuffer);
    return text;
}

// Top-level test windows on the test thread: they count the clicks they get and post the
// thread's quit message when asked to.
const UINT WM_TEST_QUIT = WM_APP + 1;
const UINT WM_TEST_NESTED = WM_APP + 2;
int ownerClicks;
std::string nestedAnswer;
int nestedRequesters;  // requester windows seen by the nested call's thread after it returned

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) ownerClicks++;
    if (message == WM_TEST_QUIT) {
        PostQuitMessage((int)wParam);
        return 0;
    }
    if (message == WM_TEST_NESTED) {
        char* start = TextCursor();
        nestedAnswer = RequestInput(TITLE, PROMPT, "nested", start);
        TextCursorSet(start);
        nestedRequesters = 0;
        for (HWND w = FindWindowExA(nullptr, nullptr, "InputRequester", nullptr); w;
             w = FindWindowExA(nullptr, w, "InputRequester", nullptr))
            nestedRequesters++;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND TestWindowCreate(int x, int y, bool visible) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "RequesterTestWindow";
        registered = RegisterClassA(&windowClass) != 0;
    }
    HWND window = CreateWindowExA(0, "RequesterTestWindow", "owner", WS_OVERLAPPEDWINDOW, x, y, 300,
                                  200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (visible) ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

std::vector<DisabledWindowRecord> RecordsOf(DWORD threadId) {
    std::vector<DisabledWindowRecord> records;
    for (ObjectNode* node = DisabledWindowList; node; node = node->next) {
        auto* record = (DisabledWindowRecord*)ObjectNodeData(node);
        if (record->threadId == threadId) records.push_back(*record);
    }
    return records;
}

// ---------------------------------------------------------------------------------------------

enum Finish { FINISH_ENTER, FINISH_ESCAPE, FINISH_OK_CLICK };

struct AnswerCase {
    const char* name;
    const char* defaultText;
    int backspaces;
    const char* typed;
    Finish finish;
    const char* expected;
};

const AnswerCase ANSWER_CASES[] = {
    {"Enter at once keeps the default", "abc", 0, "", FINISH_ENTER, "abc"},
    {"typing goes after the default", "abc", 0, "de", FINISH_ENTER, "abcde"},
    {"Esc drops the default", "abc", 0, "", FINISH_ESCAPE, ""},
    {"Esc drops typed text", nullptr, 0, "xyz", FINISH_ESCAPE, ""},
    {"Ok clicked with an emptied field", "abc", 3, "", FINISH_OK_CLICK, ""},
    {"Ok clicked with typed text", nullptr, 0, "Find Me", FINISH_OK_CLICK, "Find Me"},
    {"no default and Enter at once", nullptr, 0, "", FINISH_ENTER, ""},
};

TEST(Requester, AnswersFromKeysAndTheOkButton) {
    for (const AnswerCase& c : ANSWER_CASES) {
        SCOPED_TRACE(c.name);
        std::string field = c.defaultText ? c.defaultText : "";
        field = field.substr(0, field.size() - (size_t)c.backspaces) + c.typed;
        DWORD selection = 0;
        bool fieldReady = false;
        RequesterSeen seen;
        char* cursor = nullptr;
        std::string answer = RequestWith(
            c.defaultText,
            [&](TimerScript& script, HWND requester) {
                selection =
                    (DWORD)SendMessageA(GetDlgItem(requester, REQUESTER_EDIT), EM_GETSEL, 0, 0);
                for (int i = 0; i < c.backspaces; i++) input::KeyPress(VK_BACK);
                input::Type(c.typed);
                EditTextBecomes(script, requester, field, &fieldReady);
                script.Do([&, requester] {
                    if (c.finish == FINISH_ENTER) input::KeyPress(VK_RETURN);
                    if (c.finish == FINISH_ESCAPE) input::KeyPress(VK_ESCAPE);
                    if (c.finish == FINISH_OK_CLICK) {
                        POINT centre = WindowCentre(GetDlgItem(requester, REQUESTER_OK));
                        input::MouseClick(centre.x, centre.y);
                    }
                });
            },
            &seen, nullptr, &cursor);
        ASSERT_TRUE(seen.foreground);
        EXPECT_FALSE(seen.forcedClose);
        EXPECT_TRUE(fieldReady) << "field never showed \"" << field << "\"";
        int defaultLength = c.defaultText ? (int)strlen(c.defaultText) : 0;
        // The caret stands after the default's last character, nothing selected.
        EXPECT_EQ(LOWORD(selection), defaultLength);
        EXPECT_EQ(HIWORD(selection), defaultLength);
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(RequestInputOutcome(),
                  c.finish == FINISH_ESCAPE ? REQUESTER_CANCELLED : REQUESTER_ANSWERED);
        EXPECT_EQ(cursor, WorkBuffer + strlen(c.expected)) << "cursor not on the answer's zero";
        EXPECT_FALSE(IsWindow(seen.requester));
    }
}

// Everything the script reads of the requester's layout.
struct ControlSeen {
    std::string className, text;
    LONG_PTR identifier = 0;
    RECT rect = {};
    LONG style = 0, extendedStyle = 0;
    HFONT font = nullptr;
};

BOOL CALLBACK ControlCollect(HWND control, LPARAM list) {
    ControlSeen seen;
    char buffer[64] = "";
    GetClassNameA(control, buffer, sizeof(buffer));
    seen.className = buffer;
    GetWindowTextA(control, buffer, sizeof(buffer));
    seen.text = buffer;
    seen.identifier = GetWindowLongPtrA(control, GWLP_ID);
    GetWindowRect(control, &seen.rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), (POINT*)&seen.rect, 2);
    seen.style = GetWindowLongA(control, GWL_STYLE);
    seen.extendedStyle = GetWindowLongA(control, GWL_EXSTYLE);
    seen.font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    ((std::vector<ControlSeen>*)list)->push_back(seen);
    return TRUE;
}

TEST(Requester, LayoutOnTheScreenAndInItsClientArea) {
    RECT windowRect = {};
    LONG style = 0;
    char title[64] = "", className[64] = "";
    HWND focus = nullptr, edit = nullptr;
    std::vector<ControlSeen> controls;
    DWORD testThread = GetCurrentThreadId();
    RequesterSeen seen;
    RequestWith(
        "abc",
        [&](TimerScript&, HWND requester) {
            GetWindowRect(requester, &windowRect);
            style = GetWindowLongA(requester, GWL_STYLE);
            GetWindowTextA(requester, title, sizeof(title));
            GetClassNameA(requester, className, sizeof(className));
            focus = FocusOf(testThread);
            edit = GetDlgItem(requester, REQUESTER_EDIT);
            EnumChildWindows(requester, ControlCollect, (LPARAM)&controls);
            input::KeyPress(VK_ESCAPE);
        },
        &seen);
    ASSERT_TRUE(seen.foreground);
    EXPECT_STREQ(title, TITLE);
    EXPECT_STREQ(className, "InputRequester");
    // Centred on the 1024 x 768 desktop: (512 - 150, 384 - 65).
    EXPECT_EQ(windowRect.left, 362);
    EXPECT_EQ(windowRect.top, 319);
    EXPECT_EQ(windowRect.right - windowRect.left, 300);
    EXPECT_EQ(windowRect.bottom - windowRect.top, 130);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME), WS_CAPTION);
    EXPECT_EQ(focus, edit);

    struct Expected {
        const char* className;
        const char* text;
        LONG_PTR identifier;
        RECT rect;
        LONG style;
        LONG extendedStyle;
    };
    const Expected expected[] = {
        {"Static", PROMPT, 0, {10, 10, 290, 32}, SS_LEFTNOWORDWRAP, 0},
        {"Edit", "abc", 10, {10, 32, 285, 53}, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
        {"Button", "Ok", 1000, {110, 67, 190, 92}, WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    };
    ASSERT_EQ(controls.size(), 3u);
    for (size_t i = 0; i < controls.size(); i++) {
        const Expected& e = expected[i];
        const ControlSeen& c = controls[i];
        SCOPED_TRACE(e.className);
        EXPECT_EQ(lstrcmpiA(c.className.c_str(), e.className), 0) << c.className;
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(c.identifier, e.identifier);
        EXPECT_EQ(c.rect.left, e.rect.left);
        EXPECT_EQ(c.rect.top, e.rect.top);
        EXPECT_EQ(c.rect.right, e.rect.right);
        EXPECT_EQ(c.rect.bottom, e.rect.bottom);
        EXPECT_EQ(c.style & (e.style | WS_CHILD | WS_VISIBLE), e.style | WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(c.extendedStyle & WS_EX_CLIENTEDGE, e.extendedStyle);
        EXPECT_EQ(c.font, (HFONT)GetStockObject(ANSI_VAR_FONT));
    }
}

struct LengthCase {
    size_t bulk;        // characters put in the field in one go
    const char* typed;  // then typed for real after them
};

// The field is filled with WM_SETTEXT for the bulk (typing 10,000 keys takes minutes under Wine),
// then real keys go at its end, so the limit is met by typing.
TEST(Requester, LongAnswersAreCutTo9999Characters) {
    const LengthCase cases[] = {{9996, "abc"}, {9997, "abc"}, {10050, "ab"}};
    for (const LengthCase& c : cases) {
        std::string field = std::string(c.bulk, 'x') + c.typed;
        SCOPED_TRACE(testing::Message() << field.size() << " characters in the field");
        bool fieldReady = false;
        RequesterSeen seen;
        std::string answer = RequestWith(
            nullptr,
            [&](TimerScript& script, HWND requester) {
                HWND edit = GetDlgItem(requester, REQUESTER_EDIT);
                std::string bulk(c.bulk, 'x');
                SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)bulk.c_str());
                SendMessageA(edit, EM_SETSEL, c.bulk, c.bulk);
                input::Type(c.typed);
                script.WaitFor(
                    [&, edit] {
                        return (size_t)SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0) == field.size();
                    },
                    &fieldReady);
                script.Do([] { input::KeyPress(VK_RETURN); });
            },
            &seen);
        ASSERT_TRUE(seen.foreground);
        EXPECT_TRUE(fieldReady);
        EXPECT_EQ(answer.size(), std::min<size_t>(field.size(), 9999));
        EXPECT_TRUE(answer == field.substr(0, 9999)) << "answer is not the field's beginning";
    }
}

// The answer is written at the caller's position, which may lie near the work buffer's end.
TEST(Requester, AnswerNearTheWorkBufferEndIsCutNeverWrittenPast) {
    struct EndCase {
        int32_t room;
        const char* expected;
    };
    const EndCase cases[] = {{11, "abcdefghij"}, {6, "abcde"}, {1, ""}};
    for (const EndCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.room << " bytes of room");
        char* out = WorkBuffer + WORK_BUFFER_SIZE - c.room;
        char* cursor = nullptr;
        RequesterSeen seen;
        std::string answer = RequestWith(
            "abcdefghij", [](TimerScript&, HWND) { input::KeyPress(VK_RETURN); }, &seen, out,
            &cursor);
        ASSERT_TRUE(seen.foreground);
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(cursor, out + strlen(c.expected));
        EXPECT_TRUE(HeapValidate(MainHeap, 0, nullptr));
    }
}

// The test thread's own windows: the active one becomes the requester's owner.
class RequesterWindows : public ::testing::Test {
protected:
    void SetUp() override {
        owner = TestWindowCreate(20, 20, true);
        hidden = TestWindowCreate(20, 250, false);
        disabled = TestWindowCreate(20, 480, true);
        EnableWindow(disabled, FALSE);
        SetForegroundWindow(owner);
        ASSERT_TRUE(input::PumpUntil([&] { return GetActiveWindow() == owner; }));
        ownerClicks = 0;
    }
    void TearDown() override {
        DestroyWindow(owner);
        DestroyWindow(hidden);
        DestroyWindow(disabled);
    }
    HWND owner = nullptr, hidden = nullptr, disabled = nullptr;
};

TEST_F(RequesterWindows, OwnerIsDisabledMeanwhileAndOthersKeepTheirState) {
    HWND requesterOwner = nullptr;
    BOOL ownerEnabled = TRUE, hiddenEnabled = FALSE, hiddenVisible = TRUE, disabledEnabled = TRUE;
    BOOL requesterEnabled = FALSE;
    bool typed = false;
    RequesterSeen seen;
    std::string answer = RequestWith(
        nullptr,
        [&](TimerScript& script, HWND requester) {
            requesterOwner = GetWindow(requester, GW_OWNER);
            ownerEnabled = IsWindowEnabled(owner);
            hiddenEnabled = IsWindowEnabled(hidden);
            hiddenVisible = IsWindowVisible(hidden);
            disabledEnabled = IsWindowEnabled(disabled);
            requesterEnabled = IsWindowEnabled(requester);
            // A real click on the owner; the key after it arrives only once the click has been
            // dealt with.
            POINT centre = WindowCentre(owner);
            input::MouseClick(centre.x, centre.y);
            input::Type("z");
            EditTextBecomes(script, requester, "z", &typed);
            script.Do([] { input::KeyPress(VK_RETURN); });
        },
        &seen);
    ASSERT_TRUE(seen.foreground);
    EXPECT_TRUE(typed);
    EXPECT_EQ(answer, "z");
    EXPECT_EQ(requesterOwner, owner);
    EXPECT_TRUE(requesterEnabled);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(ownerClicks, 0) << "the disabled owner took a click";
    EXPECT_TRUE(hiddenEnabled);
    EXPECT_FALSE(hiddenVisible);
    EXPECT_FALSE(disabledEnabled);
    // Afterwards.
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(hidden));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_FALSE(IsWindowEnabled(disabled));
    EXPECT_TRUE(RecordsOf(GetCurrentThreadId()).empty());
    // The owner is active again, so its keys work without a click.
    EXPECT_TRUE(input::PumpUntil([&] { return GetActiveWindow() == owner; }))
        << "active window afterwards: " << GetActiveWindow();
}

TEST_F(RequesterWindows, TwoCallsInARowBothWork) {
    const char* defaults[] = {"first", "second"};
    ULONG_PTR brushes[2] = {};
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(defaults[i]);
        RequesterSeen seen;
        BOOL ownerEnabled = TRUE;
        std::string answer = RequestWith(
            defaults[i],
            [&](TimerScript&, HWND requester) {
                brushes[i] = GetClassLongPtrA(requester, GCLP_HBRBACKGROUND);
                ownerEnabled = IsWindowEnabled(owner);
                input::KeyPress(VK_RETURN);
            },
            &seen);
        ASSERT_TRUE(seen.foreground);
        EXPECT_FALSE(seen.forcedClose);
        EXPECT_EQ(answer, defaults[i]);
        EXPECT_FALSE(ownerEnabled);
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    EXPECT_NE(brushes[0], 0u);
    EXPECT_EQ(brushes[0], brushes[1]) << "the background brush was made again";
}

// The thread's quit message ends the requester: its window goes, the windows come back and the
// caller's own loop still gets the quit message with its exit code.
TEST_F(RequesterWindows, QuitMessageEndsItAndIsPassedOn) {
    RequesterSeen seen;
    std::string answer = RequestWith(
        "abc", [&](TimerScript&, HWND) { PostMessageA(owner, WM_TEST_QUIT, 7, 0); }, &seen);
    ASSERT_TRUE(seen.foreground);
    EXPECT_FALSE(seen.forcedClose) << "the requester outlived the quit message";
    EXPECT_EQ(answer, "");
    // A caller asking until it gets a text learns that the user never answered.
    EXPECT_EQ(RequestInputOutcome(), REQUESTER_NOT_SHOWN);
    EXPECT_FALSE(IsWindow(seen.requester));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(RecordsOf(GetCurrentThreadId()).empty());
    MSG message = {};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.message, (UINT)WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);

    // And the next requester works.
    SetForegroundWindow(owner);
    input::PumpUntil([&] { return GetActiveWindow() == owner; });
    answer = RequestWith(
        "again", [](TimerScript&, HWND) { input::KeyPress(VK_RETURN); }, &seen);
    EXPECT_TRUE(seen.foreground);
    EXPECT_EQ(answer, "again");
    EXPECT_EQ(RequestInputOutcome(), REQUESTER_ANSWERED);
}

// A requester asked for from inside another one's loop (by a message the application's window
// procedure handles) would take over the running one's state; it answers empty at once instead.
TEST_F(RequesterWindows, SecondRequesterWhileOneRunsAnswersEmpty) {
    nestedAnswer = "not called";
    nestedRequesters = -1;
    RequesterSeen seen;
    std::string answer = RequestWith(
        "outer",
        [&](TimerScript&, HWND) {
            SendMessageA(owner, WM_TEST_NESTED, 0, 0);
            input::KeyPress(VK_RETURN);
        },
        &seen);
    ASSERT_TRUE(seen.foreground);
    EXPECT_FALSE(seen.forcedClose);
    EXPECT_EQ(nestedAnswer, "");
    EXPECT_EQ(nestedRequesters, 1) << "only the running requester exists";
    EXPECT_EQ(answer, "outer");
    EXPECT_TRUE(IsWindowEnabled(owner));
}

// A window that can't be recorded would never be enabled again, so it is not disabled at all.
TEST_F(RequesterWindows, WindowWithoutARecordIsNeverLeftDisabled) {
    BOOL ownerEnabled = FALSE;
    RequesterSeen seen;
    std::string answer;
    {
        support::HeapSwap full(ObjectHeap, 0x1000, 0x1000);
        ASSERT_TRUE(full);
        ASSERT_TRUE(full.Exhaust(16, 100000)) << "the fixed-size heap never ran out";
        answer = RequestWith(
            "abc",
            [&](TimerScript&, HWND) {
                ownerEnabled = IsWindowEnabled(owner);
                input::KeyPress(VK_RETURN);
            },
            &seen);
    }
    ASSERT_TRUE(seen.foreground);
    EXPECT_EQ(answer, "abc");
    EXPECT_TRUE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindowEnabled(disabled));
    EXPECT_EQ(DisabledWindowList, nullptr);
}

// ---------------------------------------------------------------------------------------------

HWND PopupCreate(int x, int y) {
    HWND window = CreateWindowExA(0, "RequesterTestWindow", "other", WS_POPUP | WS_BORDER, x, y,
                                  100, 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// The other thread: the only thread of a helper process (thread_windows_helper.exe, beside this
// program), which makes its windows on request and ends with this object.
const UINT THREAD_WINDOWS_POPUP = WM_APP + 1;  // the helper's request for a popup window

class OtherThread {
public:
    OtherThread() {
        char path[MAX_PATH + 64] = "";
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* slash = strrchr(path, '\\');
        if (!length || length >= MAX_PATH || !slash) return;
        strcpy(slash + 1, "thread_windows_helper.exe");
        wsprintfA(name_, "requester_test %lu", GetCurrentProcessId());
        std::string command = std::string("\"") + path + "\" \"" + name_ + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessA(path, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process_))
            return;
        // An emulated process takes seconds to start.
        input::PumpUntil(
            [&] {
                control_ = FindWindowExA(HWND_MESSAGE, nullptr, "ThreadWindowsHelper", name_);
                return control_ || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
            },
            30000);
        if (control_) id_ = GetWindowThreadProcessId(control_, nullptr);
    }
    ~OtherThread() {
        if (control_) PostMessageA(control_, WM_CLOSE, 0, 0);
        if (!process_.hProcess) return;
        bool ended = input::PumpUntil(
            [&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, 10000);
        if (!ended) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    OtherThread(const OtherThread&) = delete;
    OtherThread& operator=(const OtherThread&) = delete;

    DWORD Id() const { return id_; }
    // A visible popup window of that thread, shown without activation.
    HWND PopupCreate(int x, int y) {
        DWORD_PTR popup = 0;
        if (!control_ || !SendMessageTimeoutA(control_, THREAD_WINDOWS_POPUP, (WPARAM)x, (LPARAM)y,
                                              SMTO_ABORTIFHUNG, 10000, &popup))
            return nullptr;
        return (HWND)popup;
    }

private:
    char name_[64] = "";
    PROCESS_INFORMATION process_ = {};
    HWND control_ = nullptr;
    DWORD id_ = 0;
};

// The calling thread's identity as the library under test reads it: this program's import slot
// for kernel32's GetCurrentThreadId answers the id of the thread this program stands in for.
DWORD standInThreadId = 0;
DWORD(WINAPI* platformGetCurrentThreadId)();

DWORD WINAPI ThreadIdStoodIn() {
    return standInThreadId ? standInThreadId : platformGetCurrentThreadId();
}

bool ThreadIdRedirect() {
    static bool redirected = [] {
        ULONG_PTR platform = 0;
        std::vector<support::ImportRedirect> redirects = {
            {"GetCurrentThreadId", (ULONG_PTR)&ThreadIdStoodIn, &platform}};
        if (support::ImportsRedirect(redirects).empty()) return false;
        platformGetCurrentThreadId = (DWORD(WINAPI*)())platform;
        return true;
    }();
    return redirected;
}

// Runs body as the given thread.
void AsThread(DWORD threadId, const std::function<void()>& body) {
    standInThreadId = threadId;
    body();
    standInThreadId = 0;
}

// Two threads with windows: each disables and restores only its own. The other thread's windows
// are real windows of a thread of another process, and its calls are made here in its name: a
// second thread in this process would not run reliably where the 32-bit build is emulated
// (TimerScript.h), and the list of disabled windows is this process's.
TEST(ThreadWindows, EachThreadRestoresOnlyItsOwnWindows) {
    ASSERT_TRUE(ThreadIdRedirect());
    DestroyWindow(TestWindowCreate(0, 0, false));  // registers the class
    HWND mine = PopupCreate(600, 20);
    OtherThread other;
    DWORD theirThread = other.Id();
    ASSERT_NE(theirThread, 0u) << "the helper process did not start";
    ASSERT_NE(theirThread, GetCurrentThreadId());
    HWND theirsDisabled = other.PopupCreate(720, 20);
    ASSERT_NE(theirsDisabled, nullptr);
    AsThread(theirThread, ThreadWindowsDisable);
    // Made after the disabling: stays enabled whatever the test thread does.
    HWND theirsLeft = other.PopupCreate(840, 20);
    ASSERT_NE(theirsLeft, nullptr);
    EXPECT_FALSE(IsWindowEnabled(theirsDisabled));
    EXPECT_TRUE(IsWindowEnabled(mine)) << "the other thread disabled a window of this thread";
    EXPECT_EQ(RecordsOf(theirThread).size(), 1u);

    ThreadWindowsDisable();
    EXPECT_FALSE(IsWindowEnabled(mine));
    EXPECT_TRUE(IsWindowEnabled(theirsLeft)) << "a window of another thread was disabled";
    ASSERT_EQ(RecordsOf(GetCurrentThreadId()).size(), 1u);
    EXPECT_EQ(RecordsOf(GetCurrentThreadId())[0].window, mine);

    ThreadWindowsRestore();
    EXPECT_TRUE(IsWindowEnabled(mine));
    EXPECT_FALSE(IsWindowEnabled(theirsDisabled)) << "another thread's window was enabled";
    EXPECT_TRUE(RecordsOf(GetCurrentThreadId()).empty());
    ASSERT_EQ(RecordsOf(theirThread).size(), 1u);
    EXPECT_EQ(RecordsOf(theirThread)[0].window, theirsDisabled);

    AsThread(theirThread, ThreadWindowsRestore);
    EXPECT_TRUE(IsWindowEnabled(theirsDisabled));
    EXPECT_TRUE(IsWindowEnabled(theirsLeft));
    EXPECT_EQ(DisabledWindowList, nullptr);
    DestroyWindow(mine);
}

}  // namespace
