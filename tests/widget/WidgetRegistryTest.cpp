// The widget registry: numbers and OBJECT_ANY identifiers, growth, reuse after a window closes,
// missing widgets, the default move and position queries, the default widget font.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "tests/runtime/KindTableCheck.h"
#include "tests/widget/WidgetFixture.h"
#include "widget/Image.h"
#include "widget/Font.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"

namespace {

class WidgetRegistryTest : public WidgetFixture {};

TEST_F(WidgetRegistryTest, KindTablesHaveTheirShapes) {
    const KindParameters kinds[] = {
        {"widget", &WidgetRegistry, 30, 30, 2, 2},
        {"font", &FontTable, 10, 30, 1, 2},
        {"image", &ImageTable, 10, 10, 1, 1},
    };
    for (const KindParameters& kind : kinds) KindTableCheck(kind);
}

TEST_F(WidgetRegistryTest, GrowsOnlyForNumbersFromTheBoundOn) {
    ASSERT_TRUE(ParentOpen());
    EXPECT_EQ(WidgetRegistry.bound, 30);
    ASSERT_NE(ListWidgetCreate(29, 0, 0, 100, 100, "A", 50), 0);
    EXPECT_EQ(WidgetRegistry.bound, 30);
    EXPECT_EQ(ControlOf(30), nullptr);
    EXPECT_EQ(WidgetItemCount(30), 0);
    intptr_t handle = ListWidgetCreate(30, 0, 0, 100, 100, "B", 50);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(WidgetRegistry.bound, 60);
    EXPECT_EQ((intptr_t)ControlOf(30), handle);
    // The slot array moved; the older widget is still found under its number.
    WidgetItemAdd(29, -1, "x");
    WidgetItemAdd(30, -1, "y");
    WidgetItemAdd(30, -1, "z");
    EXPECT_EQ(WidgetItemCount(29), 1);
    EXPECT_EQ(WidgetItemCount(30), 2);
}

TEST_F(WidgetRegistryTest, ClosingTheParentFreesEveryRecord) {
    HWND parent = ParentOpen();
    ASSERT_TRUE(parent);
    ASSERT_NE(ListWidgetCreate(3, 0, 0, 100, 100, "A", 50), 0);
    ASSERT_NE(ListWidgetCreate(29, 0, 0, 100, 100, "B", 50), 0);
    intptr_t any = ListWidgetCreate(OBJECT_ANY, 0, 0, 100, 100, "C", 50);
    ASSERT_NE(any, 0);
    ASSERT_NE(ControlOf(any), nullptr);
    DestroyWindow(parent);
    EXPECT_EQ(ControlOf(3), nullptr);
    EXPECT_EQ(ControlOf(29), nullptr);
    EXPECT_EQ(ControlOf(any), nullptr);
    EXPECT_EQ(WidgetRegistry.head, nullptr) << "the dynamic record is unlinked and freed";
    // The numbers are free again and need no growth.
    ASSERT_TRUE(ParentOpen());
    intptr_t again = ListWidgetCreate(3, 0, 0, 100, 100, "A", 50);
    ASSERT_NE(again, 0);
    EXPECT_EQ((intptr_t)ControlOf(3), again);
    EXPECT_EQ(WidgetRegistry.bound, 30);
}

TEST_F(WidgetRegistryTest, CreatingOverALiveNumberDestroysTheOldControl) {
    ASSERT_TRUE(ParentOpen());
    HWND first = (HWND)ListWidgetCreate(5, 0, 0, 100, 100, "A", 50);
    ASSERT_TRUE(IsWindow(first));
    WidgetItemAdd(5, -1, "old");
    HWND second = (HWND)ListWidgetCreate(5, 0, 0, 100, 100, "B", 50);
    ASSERT_TRUE(IsWindow(second));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(ControlOf(5), second);
    EXPECT_EQ(WidgetItemCount(5), 0);
}

// Every generic operation on a value that names no live widget does nothing and gives 0 or "".
TEST_F(WidgetRegistryTest, OperationsOnMissingWidgetsAreHarmless) {
    HWND parent = ParentOpen();
    ASSERT_TRUE(parent);
    intptr_t destroyed = ListWidgetCreate(OBJECT_ANY, 0, 0, 100, 100, "A", 50);
    ASSERT_NE(destroyed, 0);
    WidgetFree(destroyed);
    ASSERT_EQ(ControlOf(destroyed), nullptr);
    HWND survivor = (HWND)ListWidgetCreate(1, 0, 0, 100, 100, "B", 50);
    int local = 0;
    const struct {
        const char* what;
        ObjectNumber widget;
    } cases[] = {
        {"never used number", 7},
        {"number at the bound", 30},
        {"negative number", -5},
        {"stray value", (ObjectNumber)0x12345678},
        {"address of a local", (ObjectNumber)&local},
        {"destroyed OBJECT_ANY identifier", destroyed},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        EXPECT_EQ(WidgetState(entry.widget), 0);
        EXPECT_EQ(WidgetItemCount(entry.widget), 0);
        EXPECT_EQ(WidgetItemState(entry.widget, 0), 0);
        EXPECT_EQ(WidgetX(entry.widget), 0);
        EXPECT_EQ(WidgetY(entry.widget), 0);
        char* start = TextCursor();
        char* text = WidgetItemText(entry.widget, 0, 0);
        EXPECT_EQ(text, start);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(TextCursor(), start);
        EXPECT_STREQ(WidgetText(entry.widget), "");
        EXPECT_EQ(TextCursor(), start);
        WidgetFree(entry.widget);
        WidgetStateSet(entry.widget, 0);
        WidgetTextSet(entry.widget, "t");
        WidgetItemAdd(entry.widget, -1, "a\nb");
        WidgetItemAddWithImage(entry.widget, -1, "a", 0);
        EXPECT_EQ(WidgetItemStateSet(entry.widget, 0, 3), 0);
        EXPECT_EQ(WidgetItemTextSet(entry.widget, 0, "t", 0), 0);
        EXPECT_EQ(WidgetItemRemove(entry.widget, 0), 0);
        EXPECT_EQ(WidgetClear(entry.widget), 0);
        EXPECT_EQ(ListWidgetColumnAdd(entry.widget, 1, "c", 10), 0);
        EXPECT_EQ(ListWidgetColumnRemove(entry.widget, 0), 0);
        WidgetResize(entry.widget, 1, 2, 3, 4);
        EXPECT_EQ(WidgetDefaultFontSet(entry.widget, -1), 0);
        EXPECT_EQ(local, 0);
    }
    EXPECT_TRUE(IsWindow(survivor));
    EXPECT_EQ(WidgetItemCount(1), 0);
    EXPECT_EQ(WidgetRegistry.bound, 30);
}

TEST_F(WidgetRegistryTest, ObjectAnyIdentifierIsTheControlIdentifier) {
    HWND parent = ParentOpen();
    ASSERT_TRUE(parent);
    intptr_t identifier = ListWidgetCreate(OBJECT_ANY, 10, 10, 300, 200, "Name", 200);
    ASSERT_NE(identifier, 0);
    HWND control = ControlOf(identifier);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ((intptr_t)GetWindowLongPtrA(control, GWLP_ID), identifier);
    WidgetItemAdd(identifier, -1, "first");
    WidgetItemAdd(identifier, -1, "second");
    PumpPending();
    parentMessages.clear();

    // A person clicks the second row.
    RECT row = {};
    row.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(control, LVM_GETITEMRECT, 1, (LPARAM)&row));
    POINT point = {row.left + 5, (row.top + row.bottom) / 2};
    ClientToScreen(control, &point);
    MouseClick(point);
    auto clicked = [] {
        for (const ParentMessage& entry : parentMessages) {
            if (entry.message == WM_NOTIFY && entry.code == (int)NM_CLICK) return true;
        }
        return false;
    };
    ASSERT_TRUE(PumpUntil(clicked)) << ParentMessagesDump(parentMessages);
    EXPECT_EQ(WidgetState(identifier), 1);
    for (const ParentMessage& entry : parentMessages) {
        if (entry.window != control) continue;
        SCOPED_TRACE(ParentMessagesDump({entry}));
        EXPECT_EQ((intptr_t)entry.wParam, identifier);
        EXPECT_EQ((intptr_t)GetWindowLongPtrA(entry.window, GWLP_ID), identifier);
    }
}

TEST_F(WidgetRegistryTest, DefaultMoveKeepsWhatIsMinusOne) {
    ASSERT_TRUE(ParentOpen());
    ASSERT_NE(ListWidgetCreate(4, 10, 20, 200, 150, "A", 50), 0);
    HWND control = ControlOf(4);
    EXPECT_EQ(WidgetX(4), 10);
    EXPECT_EQ(WidgetY(4), 20);
    struct {
        int32_t x, y, width, height;
        int32_t expectedX, expectedY, expectedWidth, expectedHeight;
    } cases[] = {
        {25, 25, -1, -1, 25, 25, 200, 150},
        {-1, -1, 120, 90, 25, 25, 120, 90},
        {40, -1, -1, 60, 40, 25, 120, 60},
        {-1, 5, 70, -1, 40, 5, 70, 60},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message()
                     << entry.x << "," << entry.y << "," << entry.width << "," << entry.height);
        WidgetResize(4, entry.x, entry.y, entry.width, entry.height);
        RECT box;
        GetWindowRect(control, &box);
        EXPECT_EQ(WidgetX(4), entry.expectedX);
        EXPECT_EQ(WidgetY(4), entry.expectedY);
        EXPECT_EQ(box.right - box.left, entry.expectedWidth);
        EXPECT_EQ(box.bottom - box.top, entry.expectedHeight);
    }
}

TEST_F(WidgetRegistryTest, DefaultFontGoesToListsCreatedAfterwards) {
    ASSERT_TRUE(ParentOpen());
    HFONT stock = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    ASSERT_NE(ListWidgetCreate(1, 0, 0, 100, 100, "A", 50), 0);
    EXPECT_EQ((HFONT)SendMessageA(ControlOf(1), WM_GETFONT, 0, 0), stock);

    intptr_t font = FontLoad(0, "Verdana", 7, FONT_HIGH_QUALITY);
    ASSERT_NE(font, 0);
    EXPECT_EQ(WidgetDefaultFontSet(-1, font), font);
    ASSERT_NE(ListWidgetCreate(2, 0, 0, 100, 100, "B", 50), 0);
    EXPECT_EQ((intptr_t)SendMessageA(ControlOf(2), WM_GETFONT, 0, 0), font);
    EXPECT_EQ((HFONT)SendMessageA(ControlOf(1), WM_GETFONT, 0, 0), stock)
        << "an existing widget keeps its font";

    // A widget number sets that widget's font at once; -1 is the system font.
    WidgetDefaultFontSet(1, font);
    EXPECT_EQ((intptr_t)SendMessageA(ControlOf(1), WM_GETFONT, 0, 0), font);
    WidgetDefaultFontSet(2, -1);
    EXPECT_EQ((HFONT)SendMessageA(ControlOf(2), WM_GETFONT, 0, 0), stock);

    EXPECT_EQ(WidgetDefaultFontSet(-1, -1), (intptr_t)stock);
    ASSERT_NE(ListWidgetCreate(3, 0, 0, 100, 100, "C", 50), 0);
    EXPECT_EQ((HFONT)SendMessageA(ControlOf(3), WM_GETFONT, 0, 0), stock);
}

TEST_F(WidgetRegistryTest, CreationWithoutAParentFailsAndKeepsNoRecord) {
    WidgetParentSet(nullptr);
    EXPECT_EQ(ListWidgetCreate(2, 0, 0, 100, 100, "A", 50), 0);
    EXPECT_EQ(ControlOf(2), nullptr);
    EXPECT_EQ(ListWidgetCreate(OBJECT_ANY, 0, 0, 100, 100, "A", 50), 0);
    EXPECT_EQ(WidgetRegistry.head, nullptr) << "no dynamic record is left behind";
    EXPECT_EQ(ListWidgetCreate(-7, 0, 0, 100, 100, "A", 50), 0);
}

}  // namespace
