// The main window as a person meets it: where it opens, what it shows, how it looks, how it moves
// and how it ends.
#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

namespace e2e {
namespace {

constexpr COLORREF EDGE_YELLOW = 0xC0FFFF;

COLORREF RingBlue(int ring) {
    return static_cast<COLORREF>(255 - 8 * ring) << 16;
}

class DruxWindow : public ::testing::Test {
protected:
    void Launch(const std::vector<Constant>& constants = SAMPLE) {
        file_ = ConstantsFile(constants);
        ASSERT_TRUE(run_.Start(&file_, static_cast<int>(constants.size())));
    }

    // A point of the row's background, right of its short name, in screen coordinates.
    POINT RowBackground(int row) {
        RECT item = run_.ItemRect(row);
        return run_.ClientToScreenPoint(run_.List(), item.left + 200, (item.top + item.bottom) / 2);
    }

    std::string file_;
    DruxRun run_;
};

TEST_F(DruxWindow, ShowsTheFileRowsInOrderUnderThreeTitledColumns) {
    ASSERT_NO_FATAL_FAILURE(Launch());

    struct ColumnCase {
        const char* title;
        int fmt;
        int width;
    };
    const ColumnCase columns[] = {{"Name", LVCFMT_LEFT, 240},
                                  {"Value (10)", LVCFMT_RIGHT, 80},
                                  {"Hex Value", LVCFMT_RIGHT, 80}};
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE("column " + std::to_string(c));
        ColumnInfo info;
        ASSERT_TRUE(run_.ColumnRead(c, &info));
        EXPECT_EQ(info.text, columns[c].title);
        EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, columns[c].fmt);
        EXPECT_EQ(info.width, columns[c].width);
    }
    LRESULT extended = run_.Send(run_.List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(Hex(static_cast<unsigned long>(extended)),
              Hex(LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(GetWindowLongPtrA(run_.List(), GWL_STYLE) &
                  (LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_TYPEMASK),
              LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_REPORT);
    ColumnInfo none;
    EXPECT_FALSE(run_.ColumnRead(3, &none)) << "a fourth column \"" << none.text << "\"";

    for (size_t row = 0; row < SAMPLE.size(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        int r = static_cast<int>(row);
        EXPECT_EQ(run_.ItemText(r, 0), SAMPLE[row].name);
        EXPECT_EQ(run_.ItemText(r, 1), SAMPLE[row].decimal);
        EXPECT_EQ(run_.ItemText(r, 2), SAMPLE[row].hex);
    }
    EXPECT_TRUE(run_.SelectedRows().empty());
}

TEST_F(DruxWindow, OpensWithoutCaptionCentredOnThePointer) {
    ASSERT_NO_FATAL_FAILURE(Launch());

    char title[64] = "";
    GetWindowTextA(run_.Window(), title, sizeof title);
    EXPECT_STREQ(title, "DRUX");
    // WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME, shown: no caption, no sizing border.
    EXPECT_EQ(Hex(static_cast<unsigned long>(GetWindowLongPtrA(run_.Window(), GWL_STYLE))),
              Hex(0x16400000));

    // The pointer stood at (500, 400); the window's outer corner goes 235 left and 180 up of it.
    RECT window = {};
    GetWindowRect(run_.Window(), &window);
    EXPECT_EQ(window.left, LAUNCH_POINTER.x - 235);
    EXPECT_EQ(window.top, LAUNCH_POINTER.y - 180);

    // The inner area is 470 wide; the caption's height went to the inner height (340 + it).
    RECT client = {};
    GetClientRect(run_.Window(), &client);
    EXPECT_EQ(client.right, 470);
    EXPECT_GT(client.bottom, 340);

    // The list keeps a 25-pixel margin on every side of the inner area.
    RECT list = {};
    GetWindowRect(run_.List(), &list);
    MapWindowPoints(nullptr, run_.Window(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, 25);
    EXPECT_EQ(list.top, 25);
    EXPECT_EQ(list.right, client.right - 25);
    EXPECT_EQ(list.bottom, client.bottom - 25);
}

TEST_F(DruxWindow, PaintsStripedRowsOverTheRingedBackground) {
    ASSERT_NO_FATAL_FAILURE(Launch());

    struct PixelCase {
        const char* where;
        int x, y;
        COLORREF colour;
    };
    // Client points of the background image, outside the list (which starts at 25).
    const PixelCase background[] = {
        {"edge line at (0, 0)", 0, 0, EDGE_YELLOW},
        {"ring 1 at (1, 1)", 1, 1, RingBlue(1)},
        {"ring 2 at (2, 2)", 2, 2, RingBlue(2)},
        {"ring 10 at (10, 200)", 10, 200, RingBlue(10)},
        {"edge line at (469, 5)", 469, 5, EDGE_YELLOW},
        {"ring 20 at (300, 20)", 300, 20, RingBlue(20)},
    };
    for (const PixelCase& c : background) {
        SCOPED_TRACE(c.where);
        EXPECT_TRUE(ScreenPixelWait(run_.ClientToScreenPoint(run_.Window(), c.x, c.y), c.colour));
    }

    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_TRUE(ScreenPixelWait(RowBackground(row), row % 2 == 0 ? ROW_LIGHT : ROW_DARK));
    }

    // A taller window: the picture keeps its 360 rows and below them, beside the refitted list,
    // the window's own background shows.
    RECT outer = {};
    GetWindowRect(run_.Window(), &outer);
    SetWindowPos(run_.Window(), nullptr, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client = {};
    GetClientRect(run_.Window(), &client);
    ASSERT_GT(client.bottom, 380);
    RECT list = {};
    ASSERT_TRUE(PollUntil(
        [&] {
            GetWindowRect(run_.List(), &list);
            MapWindowPoints(nullptr, run_.Window(), reinterpret_cast<POINT*>(&list), 2);
            return list.bottom == client.bottom - 25;
        },
        3000))
        << "the list ends at " << list.bottom << ", the inner area at " << client.bottom;
    for (int x : {10, 460}) {
        for (int y : {360, static_cast<int>(client.bottom) - 1}) {
            SCOPED_TRACE("strip at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
            EXPECT_TRUE(ScreenPixelWait(run_.ClientToScreenPoint(run_.Window(), x, y),
                                        GetSysColor(COLOR_BTNFACE)));
        }
    }
    EXPECT_TRUE(ScreenPixelWait(run_.ClientToScreenPoint(run_.Window(), 10, 359), EDGE_YELLOW))
        << "the picture's last row";
}

TEST_F(DruxWindow, LeftDragOnTheBackgroundMovesTheWindow) {
    ASSERT_NO_FATAL_FAILURE(Launch());
    RECT before = {};
    GetWindowRect(run_.Window(), &before);

    POINT from = run_.ClientToScreenPoint(run_.Window(), 10, 10);
    POINT to = {from.x + 60, from.y + 40};
    RECT after = {};
    MouseDrag(from, to, 8, [&] {
        GetWindowRect(run_.Window(), &after);
        return after.left == before.left + 60 && after.top == before.top + 40;
    });

    bool moved = PollUntil(
        [&] {
            GetWindowRect(run_.Window(), &after);
            return after.left == before.left + 60 && after.top == before.top + 40;
        },
        3000);
    EXPECT_TRUE(moved) << "window at (" << after.left << ", " << after.top << "), expected ("
                       << before.left + 60 << ", " << before.top + 40 << ")";
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

    // A press on the list selects a row and moves nothing.
    ASSERT_TRUE(run_.RowClick(1));
    EXPECT_TRUE(run_.SelectionWait(1));
    RECT still = {};
    GetWindowRect(run_.Window(), &still);
    EXPECT_EQ(still.left, after.left);
    EXPECT_EQ(still.top, after.top);
}

// Right press on the background (at a client point of the main window), then a click on the menu
// line picked by its place.
HWND PopupOpen(DruxRun& run, RECT* menuRect, POINT at = {10, 10}) {
    POINT press = run.ClientToScreenPoint(run.Window(), at.x, at.y);
    // The menu opens where DRUX reads the pointer when it handles the press, which on a busy
    // machine may be well after the press: the pointer must rest there as DRUX will read it.
    EXPECT_TRUE(PointerPlace(press, run.Window()));
    MousePress(press, true);
    MouseRelease(press, true);
    HWND menu = nullptr;
    EXPECT_TRUE(run.TopLevelWait("#32768", nullptr, &menu));
    if (!menu) return nullptr;
    GetWindowRect(menu, menuRect);
    // The menu opens with its corner one pixel up and left of the pointer.
    EXPECT_EQ(menuRect->left, press.x - 1);
    EXPECT_EQ(menuRect->top, press.y - 1);
    return menu;
}

TEST_F(DruxWindow, PopupMenuFindPromptsAndExitEnds) {
    ASSERT_NO_FATAL_FAILURE(Launch());

    // "Find", a separator, "Exit": the first line is at the top, the last at the bottom.
    RECT menuRect = {};
    HWND menu = PopupOpen(run_, &menuRect);
    ASSERT_TRUE(menu);
    POINT find = {menuRect.left + 20, menuRect.top + 9};
    MouseMove(find);
    MouseClick(find);
    Prompt prompt;
    ASSERT_TRUE(PromptWait(run_, &prompt));
    EXPECT_FALSE(IsWindowVisible(menu));
    ASSERT_TRUE(PromptAnswer(run_, prompt, "LVM_"));
    EXPECT_TRUE(run_.SelectionWait(4));
    ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(run_.Window()) != FALSE; }, 3000));

    menu = PopupOpen(run_, &menuRect);
    ASSERT_TRUE(menu);
    POINT exit = {menuRect.left + 20, menuRect.bottom - 9};
    MouseMove(exit);
    MouseClick(exit);
    ASSERT_TRUE(run_.ExitedWithZero());
}

TEST_F(DruxWindow, EndsWithExitCodeZeroOnEveryWayOut) {
    struct ExitCase {
        const char* how;
        void (*act)(DruxRun&);
    };
    const ExitCase cases[] = {
        {"Esc",
         [](DruxRun& run) {
             ASSERT_TRUE(run.ForegroundMake());
             KeyPress(VK_ESCAPE);
         }},
        {"Alt+F4",
         [](DruxRun& run) {
             ASSERT_TRUE(run.ForegroundMake());
             KeyPress(VK_F4, WITH_ALT);
         }},
        {"WM_CLOSE", [](DruxRun& run) { PostMessageA(run.Window(), WM_CLOSE, 0, 0); }},
        {"WM_SYSCOMMAND SC_CLOSE",
         [](DruxRun& run) { PostMessageA(run.Window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.how);
        DruxRun run;
        std::string file = ConstantsFile(SAMPLE);
        ASSERT_TRUE(run.Start(&file, static_cast<int>(SAMPLE.size())));
        c.act(run);
        EXPECT_TRUE(run.ExitedWithZero());
    }
}

TEST_F(DruxWindow, CommandsGivenDuringTheLoadAreDropped) {
    constexpr int ROWS = 100000;  // long enough that the commands reach DRUX while it loads
    file_ = ConstantsFile(NumberedConstants(ROWS));
    ASSERT_TRUE(PointerPlace(LAUNCH_POINTER));
    ASSERT_TRUE(run_.Launch(&file_));
    ASSERT_TRUE(run_.WindowWait());
    int count = 0;
    ASSERT_TRUE(PollUntil([&] { return (count = run_.ItemCount()) >= 100; })) << count << " rows";
    // The keys go to the foreground window: without DRUX there, they would test nothing.
    ASSERT_TRUE(run_.ForegroundMake());
    count = run_.ItemCount();
    ASSERT_LT(count, ROWS / 2) << "the load ended too soon to give commands during it";

    KeyPress(VK_ESCAPE);
    KeyPress(VK_F3);
    KeyPress('F', WITH_CONTROL);
    EXPECT_EQ(GetForegroundWindow(), run_.Window()) << "the keys went elsewhere";
    // The popup menu is made after the load: a right press on the background shows nothing yet.
    POINT background = run_.ClientToScreenPoint(run_.Window(), 10, 10);
    MouseMove(background);
    MousePress(background, true);
    MouseRelease(background, true);
    HWND menu = nullptr;
    if (PollUntil([&] { return (menu = run_.TopLevelFind("#32768", nullptr)) != nullptr; }, 300)) {
        EXPECT_EQ(run_.ItemCount(), ROWS) << "a popup menu during the load";
        KeyPress(VK_ESCAPE);
    }
    PostMessageA(run_.Window(), WM_CLOSE, 0, 0);
    // Answered by the same drain that takes the keys and the close request, before their effect.
    count = run_.ItemCount();
    ASSERT_LT(count, ROWS) << "the commands may have come after the load";

    ASSERT_TRUE(run_.LoadWait(ROWS, 60000));
    EXPECT_TRUE(run_.Running());
    EXPECT_FALSE(run_.TopLevelFind("InputRequester", nullptr, false))
        << "F3 or Ctrl+F asked during the load";

    ASSERT_TRUE(run_.EscapeExit());
}

TEST_F(DruxWindow, MinimisedTheListKeepsItsSizeAndRestoredItFitsTheWindowAgain) {
    ASSERT_NO_FATAL_FAILURE(Launch());
    RECT before = {};
    GetClientRect(run_.List(), &before);
    ASSERT_GT(before.right, 0);

    ShowWindowAsync(run_.Window(), SW_MINIMIZE);
    ASSERT_TRUE(PollUntil([&] { return IsIconic(run_.Window()) != FALSE; }, 3000));
    run_.ItemCount();  // answered once the size message of the minimising has been handled
    RECT minimised = {};
    GetClientRect(run_.List(), &minimised);
    EXPECT_EQ(minimised.right, before.right) << "the list followed the minimised window";
    EXPECT_EQ(minimised.bottom, before.bottom);

    ShowWindowAsync(run_.Window(), SW_RESTORE);
    ASSERT_TRUE(PollUntil([&] { return !IsIconic(run_.Window()); }, 3000));
    // The restore may still be under way: its size arrives after the window stops being iconic.
    RECT client = {};
    RECT list = {};
    EXPECT_TRUE(PollUntil(
        [&] {
            GetClientRect(run_.Window(), &client);
            GetWindowRect(run_.List(), &list);
            MapWindowPoints(nullptr, run_.Window(), reinterpret_cast<POINT*>(&list), 2);
            return client.right == 470 && list.left == 25 && list.top == 25 &&
                   list.right == client.right - 25 && list.bottom == client.bottom - 25;
        },
        3000))
        << "list at (" << list.left << ", " << list.top << ")-(" << list.right << ", "
        << list.bottom << "), client " << client.right << " x " << client.bottom;
    ASSERT_TRUE(run_.EscapeExit());
}

TEST_F(DruxWindow, FindOnAnEmptyListPromptsAndSelectsNothing) {
    ASSERT_TRUE(run_.Start(nullptr, 0));  // no Constants.out: an empty list
    ASSERT_TRUE(run_.ForegroundMake());
    KeyPress('F', WITH_CONTROL);
    Prompt prompt;
    ASSERT_TRUE(PromptWait(run_, &prompt));
    ASSERT_TRUE(PromptAnswer(run_, prompt, "WM_"));
    EXPECT_EQ(run_.ItemCount(), 0);
    EXPECT_TRUE(run_.SelectedRows().empty());
    // The text is remembered: F3 searches again without a prompt, and finds nothing again.
    ASSERT_TRUE(PollUntil([&] { return GetForegroundWindow() == run_.Window(); }, 3000));
    KeyPress(VK_F3);
    run_.ItemCount();
    EXPECT_FALSE(run_.TopLevelFind("InputRequester", nullptr, false)) << "F3 asked again";
    EXPECT_TRUE(run_.Running());
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(run_.ExitedWithZero());
}

TEST_F(DruxWindow, TheListStaysInFrontWhenTheBackgroundAloneRepaints) {
    ASSERT_NO_FATAL_FAILURE(Launch());
    HWND background = FindWindowExA(run_.Window(), nullptr, "Static", nullptr);
    ASSERT_TRUE(background);
    ASSERT_TRUE(ScreenPixelWait(RowBackground(0), ROW_LIGHT));
    POINT belowRows = run_.ClientToScreenPoint(run_.Window(), 235, 300);  // the list's empty part
    COLORREF listBackground = ScreenPixel(belowRows);
    ASSERT_NE(listBackground, RingBlue(31));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // As when another window uncovers the picture only.
        RedrawWindow(background, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        run_.ItemCount();
        EXPECT_EQ(ScreenPixel(RowBackground(0)), ROW_LIGHT);
        EXPECT_EQ(ScreenPixel(belowRows), listBackground);
    }
}

}  // namespace
}  // namespace e2e
