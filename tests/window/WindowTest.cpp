// Opening, placing, showing and closing numbered windows.
#include <string>

#include "WindowTestSupport.h"
#include "runtime/Runtime.h"
#include "window/Shortcut.h"

using namespace windowtest;

namespace {

class WindowOpenTest : public LayerTest {};

struct StyleCase {
    const char* name;
    int32_t flags;
    DWORD expectedStyle;  // of the bits in STYLE_CHECKED
};

const DWORD STYLE_CHECKED = WS_CAPTION | WS_VISIBLE | WS_POPUP | WS_THICKFRAME;

TEST_F(WindowOpenTest, FlagsGiveStyleAndClientSize) {
    const StyleCase cases[] = {
        {"0: caption, visible", 0, WS_CAPTION | WS_VISIBLE},
        {"WINDOW_INVISIBLE: caption, hidden", WINDOW_INVISIBLE, WS_CAPTION},
        {"WS_POPUP: no caption added", (int32_t)WS_POPUP, WS_POPUP | WS_VISIBLE},
        {"WS_POPUP hidden", (int32_t)(WS_POPUP | WINDOW_INVISIBLE), WS_POPUP},
        {"WS_VISIBLE passed in means hidden", (int32_t)(WS_POPUP | WS_VISIBLE), WS_POPUP},
        {"centring bits are not style bits", WINDOW_CENTRE_SCREEN, WS_CAPTION | WS_VISIBLE},
        {"centring and hidden", WINDOW_CENTRE_ACTIVE | WINDOW_INVISIBLE, WS_CAPTION},
        {"sizing frame on a popup", (int32_t)(WS_POPUP | WS_THICKFRAME),
         WS_POPUP | WS_THICKFRAME | WS_VISIBLE},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = (HWND)WindowOpen(1, 40, 50, 230, 120, c.flags, "Style");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ((DWORD)GetWindowLongPtrA(window, GWL_STYLE) & STYLE_CHECKED, c.expectedStyle);
        // The outer rectangle comes from AdjustWindowRect, so the client area is as asked.
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 230);
        EXPECT_EQ(client.bottom, 120);
        if (!(c.flags & (WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_ACTIVE))) {
            RECT outer;
            GetWindowRect(window, &outer);
            EXPECT_EQ(outer.left, 40);
            EXPECT_EQ(outer.top, 50);
        }
        EXPECT_EQ(WindowHandleCurrent(), window);
    }
}

struct CentreCase {
    const char* name;
    RECT active;  // outer rectangle of an active popup opened first; empty: none
    int32_t width, height;
    int32_t flags;
    POINT expected;
};

TEST_F(WindowOpenTest, Centring) {
    int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int32_t popupScreen = (int32_t)WS_POPUP | WINDOW_CENTRE_SCREEN;
    const int32_t popupActive = (int32_t)WS_POPUP | WINDOW_CENTRE_ACTIVE;
    const CentreCase cases[] = {
        {"screen", {}, 200, 100, popupScreen, {screenWidth / 2 - 100, screenHeight / 2 - 50}},
        {"screen, odd size halves round down",
         {},
         201,
         101,
         popupScreen,
         {(screenWidth >> 1) - 100, (screenHeight >> 1) - 50}},
        {"wider and taller than the screen",
         {},
         screenWidth + 500,
         screenHeight + 300,
         popupScreen,
         {0, 0}},
        {"active window without one centres on the screen",
         {},
         200,
         100,
         popupActive,
         {screenWidth / 2 - 100, screenHeight / 2 - 50}},
        {"active window", {100, 100, 400, 300}, 100, 50, popupActive, {200, 175}},
        {"active window beats screen",
         {100, 100, 400, 300},
         100,
         50,
         popupActive | WINDOW_CENTRE_SCREEN,
         {200, 175}},
        {"active window near the corner: raised to 0",
         {0, 0, 100, 100},
         400,
         300,
         popupActive,
         {0, 0}},
        {"active window, only x raised", {10, 300, 110, 400}, 400, 50, popupActive, {0, 325}},
    };
    for (const CentreCase& c : cases) {
        SCOPED_TRACE(c.name);
        WindowCloseAll();
        Drain();
        if (c.active.right > c.active.left) {
            HWND active =
                (HWND)WindowOpen(2, c.active.left, c.active.top, c.active.right - c.active.left,
                                 c.active.bottom - c.active.top, (int32_t)WS_POPUP, "Active");
            ASSERT_NE(active, nullptr);
            ASSERT_TRUE(WindowActivate(active));
        } else {
            ASSERT_EQ(GetActiveWindow(), nullptr) << "a window of this thread is still active";
        }
        HWND window = (HWND)WindowOpen(3, 7, 9, c.width, c.height, c.flags, "Centred");
        ASSERT_NE(window, nullptr);
        RECT outer;
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.left, c.expected.x);
        EXPECT_EQ(outer.top, c.expected.y);
        // The full size is kept even where it exceeds the screen.
        EXPECT_EQ(outer.right - outer.left, c.width);
        EXPECT_EQ(outer.bottom - outer.top, c.height);
    }
}

TEST_F(WindowOpenTest, ClassPerWindowFromTemplate) {
    WNDCLASSA templateClass;
    EXPECT_TRUE(GetClassInfoA(RuntimeInstance, "TemplateClass", &templateClass));

    HWND first = (HWND)WindowOpen(4, 10, 10, 100, 80, WINDOW_INVISIBLE, "First");
    intptr_t identifier = WindowOpen(OBJECT_ANY, 10, 10, 100, 80, WINDOW_INVISIBLE, "Any");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(identifier, 0);
    HWND any = WindowLookup(identifier)->window;
    EXPECT_EQ(WindowHandleCurrent(), any);
    EXPECT_NE((HWND)identifier, any) << "OBJECT_ANY returns the record identifier";

    char name[64];
    GetClassNameA(first, name, sizeof(name));
    EXPECT_STREQ(name, "WindowClass_4");
    GetClassNameA(any, name, sizeof(name));
    EXPECT_EQ(std::string(name), "WindowClass_" + std::to_string((long long)identifier));

    for (HWND window : {first, any}) {
        EXPECT_EQ((uintptr_t)GetClassLongPtrA(window, GCL_STYLE), 0u) << "no double clicks";
        EXPECT_EQ((WNDPROC)GetClassLongPtrA(window, GCLP_WNDPROC), WindowProcedure);
        EXPECT_EQ((HCURSOR)GetClassLongPtrA(window, GCLP_HCURSOR), LoadCursorA(nullptr, IDC_ARROW));
        // This program carries no icon resource 1.
        EXPECT_EQ((uintptr_t)GetClassLongPtrA(window, GCLP_HICON), 0u);
        HBRUSH brush = (HBRUSH)GetClassLongPtrA(window, GCLP_HBRBACKGROUND);
        EXPECT_EQ(brush, templateClass.hbrBackground) << "one brush for the whole run";
        LOGBRUSH colour;
        ASSERT_EQ(GetObjectA(brush, sizeof(colour), &colour), (int)sizeof(colour));
        EXPECT_EQ(colour.lbStyle, (UINT)BS_SOLID);
        EXPECT_EQ(colour.lbColor, GetSysColor(COLOR_BTNFACE));
    }

    WindowClose(4);
    WindowClose(identifier);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(any));
    WNDCLASSA gone;
    EXPECT_FALSE(GetClassInfoA(RuntimeInstance, "WindowClass_4", &gone));
    EXPECT_EQ(WindowLookup(4), nullptr);
    EXPECT_EQ(WindowLookup(identifier), nullptr);
    // Closing again, or a number never opened, does nothing.
    WindowClose(4);
    WindowClose(identifier);
    WindowClose(77);
}

// The platform deletes a class's background brush when it unregisters the class, but every
// window class shares the one brush.
TEST_F(WindowOpenTest, BackgroundBrushOutlivesClosedWindows) {
    WNDCLASSA templateClass;
    ASSERT_TRUE(GetClassInfoA(RuntimeInstance, "TemplateClass", &templateClass));
    for (ObjectNumber number : {11, 12, 11}) {
        SCOPED_TRACE(number);
        HWND window = (HWND)WindowOpen(number, 10, 10, 100, 80, 0, "Brush");
        ASSERT_NE(window, nullptr);
        HBRUSH brush = (HBRUSH)GetClassLongPtrA(window, GCLP_HBRBACKGROUND);
        EXPECT_EQ(brush, templateClass.hbrBackground);
        EXPECT_EQ(GetObjectType(brush), (DWORD)OBJ_BRUSH);
        WindowClose(number);
    }
    // A window destroyed behind the layer's back: closing its number must not take the brush.
    HWND window = (HWND)WindowOpen(13, 10, 10, 100, 80, 0, "Destroyed");
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    WindowClose(13);
    EXPECT_EQ(WindowLookup(13), nullptr);
    EXPECT_EQ(GetObjectType(templateClass.hbrBackground), (DWORD)OBJ_BRUSH);
    window = (HWND)WindowOpen(13, 10, 10, 100, 80, 0, "Again");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ((HBRUSH)GetClassLongPtrA(window, GCLP_HBRBACKGROUND), templateClass.hbrBackground);
    EXPECT_EQ((WNDPROC)GetClassLongPtrA(window, GCLP_WNDPROC), WindowProcedure);
}

TEST_F(WindowOpenTest, ReopeningANumberReplacesWindowClassAndShortcuts) {
    HWND old = (HWND)WindowOpen(0, 10, 10, 100, 80, WINDOW_INVISIBLE, "Old");
    ASSERT_NE(old, nullptr);
    ShortcutAdd(0, 0x72, 0x72);
    ASSERT_EQ(WindowLookup(0)->shortcutCount, 3);

    recorder.Clear();
    HWND fresh = (HWND)WindowOpen(0, 10, 10, 100, 80, WINDOW_INVISIBLE, "New");
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(IsWindow(old));

    // The old window is gone before the new one is made.
    std::vector<UINT> order;
    for (const RecordedMessage& entry : recorder.messages) {
        if (entry.message == WM_DESTROY && entry.window == old) order.push_back(WM_DESTROY);
        if (entry.message == WM_NCCREATE && entry.window == fresh) order.push_back(WM_NCCREATE);
    }
    ExpectMessages({WM_DESTROY, WM_NCCREATE}, order);

    WindowRecord* record = WindowLookup(0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->window, fresh);
    EXPECT_EQ(record->shortcutCount, 2) << "only the default shortcuts";
    EXPECT_EQ(CopyAcceleratorTableA(record->accelerators, nullptr, 0), 2);
}

TEST_F(WindowOpenTest, CloseAllTakesDynamicNewestFirstThenNumbersDescending) {
    HWND zero = (HWND)WindowOpen(0, 0, 0, 50, 50, WINDOW_INVISIBLE, "0");
    HWND three = (HWND)WindowOpen(3, 0, 0, 50, 50, WINDOW_INVISIBLE, "3");
    HWND high = (HWND)WindowOpen(45, 0, 0, 50, 50, WINDOW_INVISIBLE, "45");
    WindowOpen(OBJECT_ANY, 0, 0, 50, 50, WINDOW_INVISIBLE, "any 1");
    HWND older = WindowHandleCurrent();
    WindowOpen(OBJECT_ANY, 0, 0, 50, 50, WINDOW_INVISIBLE, "any 2");
    HWND newer = WindowHandleCurrent();
    recorder.Clear();
    WindowCloseAll();
    std::vector<HWND> order;
    for (const RecordedMessage& entry : recorder.messages) {
        if (entry.message == WM_DESTROY) order.push_back(entry.window);
    }
    EXPECT_EQ(order, (std::vector<HWND>{newer, older, high, three, zero}));
}

TEST_F(WindowOpenTest, ShowAndHide) {
    HWND window = (HWND)WindowOpen(6, 10, 10, 100, 80, WINDOW_INVISIBLE, "Show");
    HWND other = (HWND)WindowOpen(7, 10, 10, 100, 80, 0, "Other");
    ASSERT_TRUE(window && other);
    EXPECT_FALSE(IsWindowVisible(window));
    WindowShow(6, 0);
    EXPECT_TRUE(IsWindowVisible(window));
    WindowShow(6, 5);
    EXPECT_FALSE(IsWindowVisible(window));
    WindowShow(8, 1);  // no such window: nothing else changes
    EXPECT_TRUE(IsWindowVisible(other));
}

TEST_F(WindowOpenTest, FailedCreationLeavesTheNumberFree) {
    // A child style without a parent is refused by the platform.
    EXPECT_EQ(WindowOpen(5, 0, 0, 50, 50, (int32_t)WS_CHILD, "Refused"), 0);
    EXPECT_EQ(WindowLookup(5), nullptr);
    EXPECT_EQ(WindowOpen(OBJECT_ANY, 0, 0, 50, 50, (int32_t)WS_CHILD, "Refused"), 0);
    EXPECT_EQ(WindowTable.head, nullptr) << "no orphaned dynamic record";
    EXPECT_EQ(WindowOpen(-5, 0, 0, 50, 50, 0, "Negative"), 0);
}

TEST_F(WindowOpenTest, HostileSizesNeitherCrashNorHang) {
    const int32_t extremes[] = {INT32_MIN, -1, 0, INT32_MAX};
    const int32_t bound = WindowTable.bound;
    for (int32_t position : extremes) {
        for (int32_t size : extremes) {
            SCOPED_TRACE(std::to_string(position) + ", " + std::to_string(size));
            for (int32_t flags :
                 {0, (int32_t)WS_POPUP | WINDOW_CENTRE_SCREEN, WINDOW_CENTRE_ACTIVE}) {
                SCOPED_TRACE(flags);
                intptr_t opened = WindowOpen(5, position, position, size, size,
                                             flags | WINDOW_INVISIBLE, nullptr);
                ASSERT_NE(opened, 0);
                HWND window = (HWND)opened;
                ASSERT_TRUE(IsWindow(window));
                const WindowRecord* record = WindowLookup(5);
                ASSERT_NE(record, nullptr);
                EXPECT_EQ(record->window, window);
                WindowClose(5);
                EXPECT_FALSE(IsWindow(window));
                EXPECT_EQ(WindowLookup(5), nullptr);
            }
        }
    }
    EXPECT_EQ(WindowTable.bound, bound) << "no size reached the table";
}

}  // namespace
