// Popup menus and menu bars: building, replacing, the submenu stack, and choices made with real
// keys while the platform's modal menu loop runs.
#include <algorithm>

#include "WindowTestSupport.h"
#include "tests/runtime/KindTableCheck.h"
#include "window/Window.h"
#include "window/Menu.h"

using namespace windowtest;

namespace {

// A second thread that waits for this process's popup menu window to appear, notes where it
// is, and then types the given keys into it.
class MenuWatcher {
public:
    explicit MenuWatcher(std::vector<WORD> keys) : keys_(std::move(keys)) {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~MenuWatcher() { Finish(); }

    // Waits for the thread; after this, seen() and rect() are final.
    void Finish() {
        if (!thread_) return;
        SetEvent(stop_);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        CloseHandle(stop_);
        thread_ = nullptr;
    }
    bool seen() const { return seen_; }
    RECT rect() const { return rect_; }

private:
    std::vector<WORD> keys_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
    bool seen_ = false;
    RECT rect_ = {};

    static BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
        char name[16] = "";
        GetClassNameA(window, name, sizeof(name));
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (strcmp(name, "#32768") != 0 || !IsWindowVisible(window) ||
            process != GetCurrentProcessId()) {
            return TRUE;
        }
        *(HWND*)lParam = window;
        return FALSE;
    }

    static DWORD WINAPI Run(void* parameter) {
        MenuWatcher* watcher = (MenuWatcher*)parameter;
        DWORD start = GetTickCount();
        HWND menu = nullptr;
        while (!menu && GetTickCount() - start < 3000) {
            EnumWindows(Visit, (LPARAM)&menu);
            if (!menu && WaitForSingleObject(watcher->stop_, 10) == WAIT_OBJECT_0) return 0;
        }
        if (!menu) return 0;
        watcher->seen_ = true;
        GetWindowRect(menu, &watcher->rect_);
        for (WORD key : watcher->keys_) {
            KeySend(key, false);
            KeySend(key, true);
        }
        return 0;
    }
};

class MenuTest : public LayerTest {
protected:
    HWND window = nullptr;

    void SetUp() override {
        LayerTest::SetUp();
        MouseMove(1000, 750);
        window = (HWND)WindowOpen(0, 300, 300, 200, 150, 0, "Menus");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WindowActivate(window));
        Drain();
    }

    void FindExitMenuBuild(ObjectNumber number) {
        ASSERT_NE(PopupMenuCreate(number), 0);
        MenuItemAdd(3, "Find");
        MenuSeparatorAdd();
        MenuItemAdd(4, "Exit");
    }
};

struct ChoiceCase {
    const char* name;
    std::vector<WORD> keys;
    intptr_t expected;  // -1: no event
};

TEST_F(MenuTest, KindTablesHaveTheirShapes) {
    const KindParameters kinds[] = {
        {"window", &WindowTable, 10, 30, 2, 2},
        {"menu", &MenuTable, 10, 30, 1, 2},
    };
    for (const KindParameters& kind : kinds) KindTableCheck(kind);
}

TEST_F(MenuTest, ChoiceWithTheKeyboardArrivesAsMenuEvent) {
    const ChoiceCase cases[] = {
        {"first item", {VK_DOWN, VK_RETURN}, 3},
        {"last item, past the separator", {VK_DOWN, VK_DOWN, VK_RETURN}, 4},
        {"Esc", {VK_ESCAPE}, -1},
        {"Esc after moving", {VK_DOWN, VK_ESCAPE}, -1},
    };
    FindExitMenuBuild(5);
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        // An identifier that no case expects.
        EventDuring(window, [&] { SendMessageA(window, WM_COMMAND, 77, 0); });
        MouseMove(100, 200);
        MenuWatcher watcher(c.keys);
        PopupMenuShow(5, window);
        watcher.Finish();
        ASSERT_TRUE(watcher.seen()) << "no popup menu appeared";
        EXPECT_EQ(watcher.rect().left, 99);
        EXPECT_EQ(watcher.rect().top, 199);
        std::vector<int32_t> events = Drain();
        int32_t menuEvents = (int32_t)std::count(events.begin(), events.end(), EVENT_MENU);
        EXPECT_EQ(menuEvents, c.expected < 0 ? 0 : 1);
        EXPECT_EQ(EventMenuId(), c.expected < 0 ? 77 : c.expected);
    }
}

TEST_F(MenuTest, ShowAtTakesThePositionUnchanged) {
    FindExitMenuBuild(5);
    MenuWatcher watcher({VK_ESCAPE});
    PopupMenuShowAt(5, window, 250, 120);
    watcher.Finish();
    ASSERT_TRUE(watcher.seen());
    EXPECT_EQ(watcher.rect().left, 250);
    EXPECT_EQ(watcher.rect().top, 120);
}

TEST_F(MenuTest, NumberWithoutMenuShowsNothing) {
    MenuWatcher watcher({VK_ESCAPE});
    EXPECT_EQ(PopupMenuShow(9, window), 0);
    EXPECT_EQ(PopupMenuShowAt(39, window, 10, 10), 0);
    watcher.Finish();
    EXPECT_FALSE(watcher.seen());
}

TEST_F(MenuTest, CreatingANumberAgainDestroysTheOldMenu) {
    HMENU old = (HMENU)PopupMenuCreate(5);
    ASSERT_NE(old, nullptr);
    MenuItemAdd(1, "Old");
    HMENU fresh = (HMENU)PopupMenuCreate(5);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(IsMenu(old));
    EXPECT_EQ((HMENU)MenuCurrent(), fresh);
    MenuItemAdd(2, "New");
    EXPECT_EQ(GetMenuItemCount(fresh), 1);
    EXPECT_EQ(GetMenuItemID(fresh, 0), 2u);

    intptr_t identifier = PopupMenuCreate(OBJECT_ANY);
    HMENU dynamic = (HMENU)MenuCurrent();
    ASSERT_NE(identifier, 0);
    EXPECT_NE((HMENU)identifier, dynamic) << "OBJECT_ANY returns the record identifier";
    MenuFree(identifier);
    EXPECT_FALSE(IsMenu(dynamic));
    EXPECT_EQ(MenuCurrent(), 0) << "no build goes on in a destroyed menu";
    MenuFree(identifier);  // freed already: nothing happens
    MenuFree(5);
    EXPECT_FALSE(IsMenu(fresh));
}

TEST_F(MenuTest, MenuBarAttachesHidesAndFrees) {
    HMENU bar = (HMENU)MenuBarCreate(6, window);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenu(window), nullptr) << "attached by the first item or title";
    MenuItemAdd(1, "Item");
    EXPECT_EQ(GetMenu(window), bar);
    MenuTitleAdd("File");
    MenuItemAdd(2, "Open");
    MenuTitleAdd("Edit");
    MenuItemAdd(3, "Copy");
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    HMENU file = GetSubMenu(bar, 1);
    HMENU edit = GetSubMenu(bar, 2);
    ASSERT_TRUE(file && edit);
    EXPECT_EQ(GetMenuItemID(file, 0), 2u);
    EXPECT_EQ(GetMenuItemID(edit, 0), 3u);
    EXPECT_EQ((HMENU)MenuCurrent(), edit);

    MenuBarHide(6, 1);
    EXPECT_EQ(GetMenu(window), nullptr);
    MenuBarHide(6, 0);
    EXPECT_EQ(GetMenu(window), bar);
    EXPECT_EQ(MenuBarHeight(), GetSystemMetrics(SM_CYMENU));
    MenuFree(6);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_FALSE(IsMenu(bar));
}

// What the callback does while an old bar comes off its window (the size messages of SetMenu),
// and how the bar goes: freed alone or replaced by a new bar under the same number.
struct BarRemovalCase {
    const char* name;
    bool replace;      // MenuBarCreate(2) again, else MenuFree(2)
    bool growTable;    // the callback creates menu 100000: the slot array moves
    bool createAgain;  // the callback gives number 2 a popup menu of its own
};

// Run with the platform's freed-memory filling (window_test_freed_memory), a read of the moved
// slot array finds the fill pattern, never the old values by luck.
TEST_F(MenuTest, RemovingABarSurvivesWhatTheCallbackDoesMeanwhile) {
    const BarRemovalCase cases[] = {
        {"replaced, table grown", true, true, false},
        {"freed, table grown", false, true, false},
        {"replaced, number created again", true, false, true},
        {"freed, number created again", false, false, true},
    };
    for (const BarRemovalCase& c : cases) {
        SCOPED_TRACE(c.name);
        // A table of bound 10 again, so that the growth moves the slots out of a small block.
        MenuLayerInit();
        HMENU old = (HMENU)MenuBarCreate(2, window);
        ASSERT_NE(old, nullptr);
        MenuItemAdd(1, "Old");
        ASSERT_EQ(GetMenu(window), old);
        HMENU distant = nullptr;
        HMENU inner = nullptr;
        bool acted = false;
        recorder = Recorder();
        recorder.actions.push_back({WM_SIZE, [&] {
                                        if (acted) return;
                                        acted = true;
                                        if (c.growTable) distant = (HMENU)PopupMenuCreate(100000);
                                        if (c.createAgain) inner = (HMENU)PopupMenuCreate(2);
                                    }});
        HMENU bar = c.replace ? (HMENU)MenuBarCreate(2, window) : nullptr;
        if (!c.replace) MenuFree(2);
        recorder.actions.clear();
        ASSERT_TRUE(acted) << "no size message reached the callback";
        EXPECT_FALSE(IsMenu(old)) << "the old bar was left alive";
        if (c.growTable) {
            EXPECT_TRUE(IsMenu(distant));
        }
        MenuRecord* record = (MenuRecord*)ObjectLookup(&MenuTable, 2);
        if (c.replace) {
            ASSERT_NE(bar, nullptr);
            if (c.createAgain) {
                EXPECT_FALSE(IsMenu(inner)) << "a replaced menu was leaked";
            }
            ASSERT_NE(record, nullptr) << "the new bar is not in the table";
            EXPECT_EQ(record->menu, bar);
            EXPECT_EQ(record->barWindow, window);
            MenuItemAdd(1, "New");
            EXPECT_EQ(GetMenu(window), bar);
        } else {
            EXPECT_EQ(GetMenu(window), nullptr);
            if (c.createAgain) {
                // Made after the free began: the callback's menu is the number's now.
                EXPECT_TRUE(IsMenu(inner));
                ASSERT_NE(record, nullptr);
                EXPECT_EQ(record->menu, inner);
            } else {
                EXPECT_EQ(record, nullptr);
            }
        }
        MenuFree(2);
        MenuFree(100000);
        EXPECT_FALSE(IsMenu(bar));
        EXPECT_FALSE(IsMenu(inner));
        EXPECT_FALSE(IsMenu(distant));
        EXPECT_EQ(ObjectLookup(&MenuTable, 2), nullptr);
    }
    MenuLayerInit();
}

// SetForegroundWindow activates the owner before the menu is tracked; the callback sees that
// activation and may move the table.
TEST_F(MenuTest, ShowingSurvivesACallbackThatMovesTheTableOnActivation) {
    MenuLayerInit();
    FindExitMenuBuild(5);
    HWND other = (HWND)WindowOpen(1, 600, 300, 200, 150, 0, "Other");
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(WindowActivate(other));
    HMENU distant = nullptr;
    recorder = Recorder();
    recorder.actions.push_back({WM_ACTIVATE, [&] {
                                    if (!distant && GetActiveWindow() == window) {
                                        distant = (HMENU)PopupMenuCreate(100000);
                                    }
                                }});
    MenuWatcher watcher({VK_ESCAPE});
    PopupMenuShowAt(5, window, 250, 120);
    watcher.Finish();
    recorder.actions.clear();
    ASSERT_NE(distant, nullptr) << "the activation did not reach the callback";
    EXPECT_TRUE(watcher.seen()) << "the menu was not shown";
    MenuFree(100000);
    MenuFree(5);
    MenuLayerInit();
}

TEST_F(MenuTest, SubmenuStackHoldsTwentyLevels) {
    HMENU root = (HMENU)PopupMenuCreate(7);
    ASSERT_NE(root, nullptr);
    std::vector<HMENU> levels = {root};
    for (int32_t depth = 1; depth <= MENU_STACK_DEPTH; depth++) {
        HMENU submenu = (HMENU)SubMenuOpen("Deeper");
        ASSERT_NE(submenu, nullptr) << "depth " << depth;
        EXPECT_EQ(GetSubMenu(levels.back(), 0), submenu);
        levels.push_back(submenu);
    }
    // One more is refused and changes nothing.
    EXPECT_EQ(SubMenuOpen("Too deep"), 0);
    EXPECT_EQ((HMENU)MenuCurrent(), levels.back());
    EXPECT_EQ(GetMenuItemCount(levels.back()), 0);
    MenuItemAdd(20, "Deepest");
    EXPECT_EQ(GetMenuItemID(levels.back(), 0), 20u);

    for (int32_t depth = MENU_STACK_DEPTH - 1; depth >= 0; depth--) {
        SubMenuClose();
        EXPECT_EQ((HMENU)MenuCurrent(), levels[depth]);
    }
    // Closing at the top level is refused too.
    SubMenuClose();
    SubMenuClose();
    EXPECT_EQ((HMENU)MenuCurrent(), root);
    MenuItemAdd(1, "Top");
    EXPECT_EQ(GetMenuItemCount(root), 2);

    // A new build starts from the top, whatever the last one left open.
    SubMenuOpen("Left open");
    HMENU other = (HMENU)PopupMenuCreate(8);
    for (int32_t depth = 1; depth <= MENU_STACK_DEPTH; depth++) {
        ASSERT_NE(SubMenuOpen("Again"), 0) << "depth " << depth;
    }
    for (int32_t depth = 0; depth < MENU_STACK_DEPTH; depth++) SubMenuClose();
    EXPECT_EQ((HMENU)MenuCurrent(), other);
    MenuFree(8);
    EXPECT_EQ(SubMenuOpen("No menu"), 0) << "nothing to open it under";
    MenuFree(7);
}

TEST_F(MenuTest, DisableActsOnTheHighestNumberedMenuHoldingTheItem) {
    HMENU low = (HMENU)PopupMenuCreate(1);
    MenuItemAdd(3, "Shared");
    MenuItemAdd(8, "Only low");
    HMENU high = (HMENU)PopupMenuCreate(2);
    MenuItemAdd(3, "Shared");
    struct Case {
        int32_t identifier, state;
        bool lowGrey3, highGrey3, lowGrey8;
    };
    const Case cases[] = {
        {3, 1, false, true, false},  {8, 1, false, true, true},    {3, 0, false, false, true},
        {8, 0, false, false, false}, {99, 1, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.identifier) + (c.state ? " grey" : " enable"));
        MenuItemDisable(c.identifier, c.state);
        EXPECT_EQ((GetMenuState(low, 3, MF_BYCOMMAND) & MF_GRAYED) != 0, c.lowGrey3);
        EXPECT_EQ((GetMenuState(high, 3, MF_BYCOMMAND) & MF_GRAYED) != 0, c.highGrey3);
        EXPECT_EQ((GetMenuState(low, 8, MF_BYCOMMAND) & MF_GRAYED) != 0, c.lowGrey8);
    }
    MenuFree(1);
    MenuFree(2);
}

}  // namespace
