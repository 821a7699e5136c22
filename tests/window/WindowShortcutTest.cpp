// Keyboard shortcuts: the accelerator entries they make, and real key presses through the loop.
#include <algorithm>

#include "WindowTestSupport.h"
#include "runtime/Runtime.h"
#include "window/Shortcut.h"

using namespace windowtest;

namespace {

struct Entry {
    BYTE flags;
    WORD key;
    WORD command;
    bool operator==(const Entry& other) const {
        return flags == other.flags && key == other.key && command == other.command;
    }
};

std::string EntriesText(const std::vector<Entry>& entries) {
    std::string text;
    char one[40];
    for (const Entry& entry : entries) {
        snprintf(one, sizeof(one), " {0x%X 0x%X 0x%X}", entry.flags, entry.key, entry.command);
        text += one;
    }
    return text;
}

std::vector<Entry> TableEntries(HACCEL table) {
    int32_t count = CopyAcceleratorTableA(table, nullptr, 0);
    std::vector<ACCEL> accelerators(count > 0 ? count : 0);
    if (count > 0) CopyAcceleratorTableA(table, accelerators.data(), count);
    std::vector<Entry> entries;
    // The platform may keep a flag of its own in the last entry's high bit.
    for (const ACCEL& a : accelerators) entries.push_back({(BYTE)(a.fVirt & 0x7F), a.key, a.cmd});
    return entries;
}

const Entry TAB = {3, VK_TAB, COMMAND_FOCUS_NEXT};
const Entry SHIFT_TAB = {7, VK_TAB, COMMAND_FOCUS_PREVIOUS};

struct AddCase {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> added;  // key, identifier
    std::vector<Entry> expected;
};

class ShortcutTest : public LayerTest {};

TEST_F(ShortcutTest, EntriesAreReplacedOrAppended) {
    const AddCase cases[] = {
        {"defaults", {}, {TAB, SHIFT_TAB}},
        {"the application's keys",
         {{0x1B, 0x1B}, {0x72, 0x72}, {0x20046, 6}},
         {TAB, SHIFT_TAB, {3, 0x1B, 0x1B}, {3, 0x72, 0x72}, {0x0B, 0x46, 6}}},
        {"Control+F twice keeps one entry",
         {{0x20046, 6}, {0x20046, 7}},
         {TAB, SHIFT_TAB, {0x0B, 0x46, 7}}},
        {"F and Control+F differ",
         {{0x46, 1}, {0x20046, 2}},
         {TAB, SHIFT_TAB, {3, 0x46, 1}, {0x0B, 0x46, 2}}},
        {"all modifiers", {{0x70041, 9}}, {TAB, SHIFT_TAB, {0x1F, 0x41, 9}}},
        {"other key bits ignored", {{(int32_t)0xFFF80041, 9}}, {TAB, SHIFT_TAB, {3, 0x41, 9}}},
        {"identifier keeps its low 16 bits",
         {{0x72, 0x12345}},
         {TAB, SHIFT_TAB, {3, 0x72, 0x2345}}},
        {"Tab rebound", {{VK_TAB, 500}}, {{3, VK_TAB, 500}, SHIFT_TAB}},
        {"Shift+Tab rebound", {{SHORTCUT_SHIFT | VK_TAB, 501}}, {TAB, {7, VK_TAB, 501}}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(WindowOpen(2, 0, 0, 100, 100, WINDOW_INVISIBLE, "Keys"), 0);
        intptr_t table = (intptr_t)WindowLookup(2)->accelerators;
        for (const auto& add : c.added) table = ShortcutAdd(2, add.first, add.second);
        WindowRecord* record = WindowLookup(2);
        EXPECT_EQ(table, (intptr_t)record->accelerators);
        std::vector<Entry> entries = TableEntries(record->accelerators);
        EXPECT_EQ(entries, c.expected)
            << "expected" << EntriesText(c.expected) << "\n  actual  " << EntriesText(entries);
        EXPECT_EQ(record->shortcutCount, (int32_t)c.expected.size());
    }
    EXPECT_EQ(ShortcutAdd(3, 0x72, 1), 0) << "no window 3";
    EXPECT_EQ(ShortcutAdd(OBJECT_ANY, 0x72, 1), 0);
}

// Counts the menu events among what the loop returned for a key press.
int32_t MenuEvents(const std::vector<int32_t>& events) {
    return (int32_t)std::count(events.begin(), events.end(), EVENT_MENU);
}

struct KeyCase {
    const char* name;
    std::vector<WORD> modifiers;
    WORD key;
    intptr_t expected;  // -1: no menu event
};

TEST_F(ShortcutTest, KeysArriveAsMenuEventsWhateverControlHasTheFocus) {
    HWND window = (HWND)WindowOpen(0, 100, 100, 300, 200, 0, "Keys");
    ASSERT_NE(window, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "Focus", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10,
                                  80, 30, window, (HMENU)42, RuntimeInstance, nullptr);
    ShortcutAdd(0, 0x20046, 6);
    ShortcutAdd(0, 0x20046, 7);
    ShortcutAdd(0, 0x46, 0x46);
    ShortcutAdd(0, 0x72, 0x10072);
    ShortcutAdd(0, VK_F11, VK_F11);
    ASSERT_TRUE(WindowActivate(window));
    const KeyCase cases[] = {
        {"Control+F", {VK_CONTROL}, 'F', 7},
        {"F", {}, 'F', 0x46},
        {"F3 with identifier 0x10072", {}, VK_F3, 0x72},
        {"Shift+F3 unbound", {VK_SHIFT}, VK_F3, -1},
    };
    for (HWND focus : {window, button}) {
        SetFocus(focus);
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (focus == button ? ", button focused" : ""));
            KeysPress({}, VK_F11);  // sets the identifier to one that no case expects
            std::vector<int32_t> events = KeysPress(c.modifiers, c.key);
            if (c.expected < 0) {
                EXPECT_EQ(MenuEvents(events), 0);
                EXPECT_EQ(EventMenuId(), VK_F11);
            } else {
                EXPECT_EQ(MenuEvents(events), 1);
                EXPECT_EQ(EventMenuId(), c.expected);
            }
        }
    }
}

TEST_F(ShortcutTest, OnlyTheActiveWindowsShortcutsAct) {
    HWND first = (HWND)WindowOpen(0, 50, 50, 200, 150, 0, "First");
    HWND second = (HWND)WindowOpen(1, 400, 50, 200, 150, 0, "Second");
    ASSERT_TRUE(first && second);
    ShortcutAdd(0, 0x72, 0x72);
    ShortcutAdd(1, 0x73, 0x73);
    struct Case {
        HWND active;
        WORD key;
        intptr_t expected;
    };
    const Case cases[] = {
        {second, VK_F3, -1},
        {second, VK_F4, 0x73},
        {first, VK_F4, -1},
        {first, VK_F3, 0x72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.active == first ? "first" : "second") + " active, key 0x" +
                     std::to_string(c.key));
        ASSERT_TRUE(WindowActivate(c.active));
        std::vector<int32_t> events = KeysPress({}, c.key);
        EXPECT_EQ(MenuEvents(events), c.expected < 0 ? 0 : 1);
        if (c.expected >= 0) {
            EXPECT_EQ(EventMenuId(), c.expected);
        }
    }
}

// Button layouts for the focus moves, in creation (and so enumeration) order.
enum ButtonKind { TAB_STOP, DISABLED, HIDDEN, PLAIN };

struct FocusCase {
    const char* name;
    std::vector<ButtonKind> buttons;
    int32_t start;  // index of the focused button, -1 for the window itself
    bool shift;
    int32_t expected;
};

class FocusTest : public LayerTest {
protected:
    HWND window = nullptr;
    std::vector<HWND> buttons;

    void Build(const std::vector<ButtonKind>& kinds) {
        WindowCloseAll();
        buttons.clear();
        window = (HWND)WindowOpen(0, 100, 100, 400, 120, 0, "Focus");
        ASSERT_NE(window, nullptr);
        int32_t x = 5;
        for (ButtonKind kind : kinds) {
            DWORD style = WS_CHILD;
            if (kind != HIDDEN) style |= WS_VISIBLE;
            if (kind != PLAIN) style |= WS_TABSTOP;
            if (kind == DISABLED) style |= WS_DISABLED;
            buttons.push_back(CreateWindowExA(0, "BUTTON", "b", style, x, 10, 60, 30, window,
                                              (HMENU)(intptr_t)(100 + buttons.size()),
                                              RuntimeInstance, nullptr));
            x += 70;
        }
        ASSERT_TRUE(WindowActivate(window));
    }

    HWND At(int32_t index) { return index < 0 ? window : buttons[index]; }
};

TEST_F(FocusTest, TabAndShiftTabMoveAmongEligibleControls) {
    const std::vector<ButtonKind> several = {TAB_STOP, DISABLED, HIDDEN, PLAIN, TAB_STOP};
    const std::vector<ButtonKind> one = {PLAIN, TAB_STOP};
    const std::vector<ButtonKind> none = {PLAIN, DISABLED, HIDDEN};
    const FocusCase cases[] = {
        {"several: Tab skips disabled, hidden and plain", several, 0, false, 4},
        {"several: Tab wraps to the first", several, 4, false, 0},
        {"several: Shift+Tab wraps to the last", several, 0, true, 4},
        {"several: Shift+Tab", several, 4, true, 0},
        {"several: Tab from outside the controls", several, -1, false, 0},
        {"several: Shift+Tab from outside the controls", several, -1, true, 4},
        {"several: Tab on a non-tab-stop does nothing", several, 3, false, 3},
        {"several: Shift+Tab on a non-tab-stop goes to the last", several, 3, true, 4},
        {"one: Tab stays", one, 1, false, 1},
        {"one: Shift+Tab stays", one, 1, true, 1},
        {"one: Tab from outside", one, -1, false, 1},
        {"one: Shift+Tab from a non-tab-stop", one, 0, true, 1},
        {"none: Tab", none, 0, false, 0},
        {"none: Shift+Tab", none, 0, true, 0},
        {"none: Tab from outside", none, -1, false, -1},
    };
    for (const FocusCase& c : cases) {
        SCOPED_TRACE(c.name);
        Build(c.buttons);
        SetFocus(At(c.start));
        ASSERT_EQ(GetFocus(), At(c.start));
        std::vector<int32_t> events =
            KeysPress(c.shift ? std::vector<WORD>{VK_SHIFT} : std::vector<WORD>{}, VK_TAB);
        EXPECT_EQ(GetFocus(), At(c.expected));
        EXPECT_EQ(MenuEvents(events), 0) << "focus moves are no events";
    }
}

TEST_F(FocusTest, FocusCommandsFollowTheirIdentifiersNotTheirKeys) {
    Build({TAB_STOP, TAB_STOP, TAB_STOP});
    ShortcutAdd(0, VK_TAB, 500);  // Tab no longer moves the focus
    ShortcutAdd(0, VK_F5, COMMAND_FOCUS_NEXT);
    ShortcutAdd(0, VK_F6, COMMAND_FOCUS_PREVIOUS | 0x70000);
    SetFocus(buttons[1]);

    std::vector<int32_t> events = KeysPress({}, VK_TAB);
    EXPECT_EQ(MenuEvents(events), 1);
    EXPECT_EQ(EventMenuId(), 500);
    EXPECT_EQ(GetFocus(), buttons[1]);

    events = KeysPress({}, VK_F5);
    EXPECT_EQ(MenuEvents(events), 0);
    EXPECT_EQ(GetFocus(), buttons[2]);

    events = KeysPress({}, VK_F6);
    EXPECT_EQ(MenuEvents(events), 0);
    EXPECT_EQ(GetFocus(), buttons[1]);

    events = KeysPress({VK_SHIFT}, VK_TAB);  // Shift+Tab keeps its default
    EXPECT_EQ(GetFocus(), buttons[0]);
}

}  // namespace
