// The list widget: creation styles, items split at line feeds, item texts through the work
// buffer, selection and check boxes, columns, items with pictures.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include <string>

#include "tests/widget/WidgetFixture.h"
#include "widget/Image.h"
#include "widget/ImageWidget.h"
#include "widget/ItemImageList.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"

namespace {

const ObjectNumber LIST = 2;

class ListWidgetTest : public WidgetFixture {
protected:
    // A three-column list as the application makes it.
    HWND ListOpen(int32_t flags = 0x50010008) {
        if (!ParentOpen()) return nullptr;
        HWND control = (HWND)ListWidgetCreate(LIST, 25, 25, 550, 350, "Name", 240, flags);
        ListWidgetColumnAdd(LIST, 1, "Value (10)", 100);
        ListWidgetColumnAdd(LIST, 2, "Hex Value", 100);
        return control;
    }

    static std::string ControlText(HWND control, int item, int column) {
        char buffer[256] = "";
        LVITEMA entry = {};
        entry.iSubItem = column;
        entry.pszText = buffer;
        entry.cchTextMax = sizeof buffer;
        SendMessageA(control, LVM_GETITEMTEXTA, item, (LPARAM)&entry);
        return buffer;
    }

    static UINT StateImage(HWND control, int item) {
        return ((UINT)SendMessageA(control, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK)) >> 12;
    }

    static void StateImageSet(HWND control, int item, UINT image) {
        LVITEMA entry = {};
        entry.stateMask = LVIS_STATEIMAGEMASK;
        entry.state = INDEXTOSTATEIMAGEMASK(image);
        SendMessageA(control, LVM_SETITEMSTATE, item, (LPARAM)&entry);
    }
};

TEST_F(ListWidgetTest, FlagsBecomeWindowAndListStyles) {
    ASSERT_TRUE(ParentOpen());
    const struct {
        int32_t flags;
        DWORD style;     // bits that must be set
        DWORD absent;    // bits that must be clear
        DWORD extended;  // the whole extended list-view style
    } cases[] = {
        {0x50010008, 0x5001004D, 0, 0x31},
        {0, 0x50010045, LVS_SHOWSELALWAYS, 0},
        {LIST_MULTISELECT, 0x50010041, LVS_SINGLESEL, 0},
        {LIST_CHECKBOXES | LIST_MULTISELECT, 0x50010041, LVS_SINGLESEL, LVS_EX_CHECKBOXES},
        {LIST_GRIDLINES, 0x50010045, 0, LVS_EX_GRIDLINES},
        {(int32_t)LVS_NOSORTHEADER, 0x50010045 | LVS_NOSORTHEADER, 0, 0},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << entry.flags);
        HWND control = (HWND)ListWidgetCreate(LIST, 0, 0, 200, 100, "Name", 100, entry.flags);
        ASSERT_NE(control, nullptr);
        DWORD style = (DWORD)GetWindowLongPtrA(control, GWL_STYLE);
        EXPECT_EQ(style & entry.style, entry.style) << std::hex << style;
        EXPECT_EQ(style & entry.absent, 0u) << std::hex << style;
        EXPECT_EQ((DWORD)SendMessageA(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), entry.extended);
        EXPECT_TRUE(GetWindowLongPtrA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        char className[32] = "";
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(className, "SysListView32");
        // Column 0 carries the title and width, left-aligned.
        char title[32] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        ASSERT_TRUE(SendMessageA(control, LVM_GETCOLUMNA, 0, (LPARAM)&column));
        EXPECT_STREQ(title, "Name");
        EXPECT_EQ(column.cx, 100);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
}

TEST_F(ListWidgetTest, ItemTextsAreSplitAtLineFeeds) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    const struct {
        const char* text;
        const char* columns[3];
    } cases[] = {
        {"A\n1\n0x1", {"A", "1", "0x1"}},
        {"A\n1\n0x1\n", {"A", "1", "0x1"}},
        {"A\n\n0x1", {"A", "", "0x1"}},
        {"A\n1\n0x1\nmore\nparts", {"A", "1", "0x1"}},
        {"A", {"A", "", ""}},
        {"A\n", {"A", "", ""}},
        {"", {"", "", ""}},
        {"\n\n", {"", "", ""}},
        {"\nB", {"", "B", ""}},
    };
    int row = 0;
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << entry.text << "\"");
        std::string before = entry.text;
        WidgetItemAdd(LIST, -1, entry.text);
        EXPECT_EQ(before, entry.text) << "the caller's text is left unchanged";
        ASSERT_EQ(WidgetItemCount(LIST), row + 1);
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(testing::Message() << "column " << column);
            EXPECT_EQ(ControlText(control, row, column), entry.columns[column]);
            char* start = TextCursor();
            char* text = WidgetItemText(LIST, row, column);
            EXPECT_EQ(text, start);
            EXPECT_STREQ(text, entry.columns[column]);
            EXPECT_EQ(TextCursor(), text + strlen(entry.columns[column]));
            TextCursorSet(start);
        }
        ++row;
    }
    // A null text adds an empty row.
    WidgetItemAdd(LIST, -1, nullptr);
    EXPECT_EQ(WidgetItemCount(LIST), row + 1);
    EXPECT_EQ(ControlText(control, row, 0), "");
}

TEST_F(ListWidgetTest, PositionsInsertAndMinusOneAppends) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    WidgetItemAdd(LIST, -1, "b");
    WidgetItemAdd(LIST, -1, "c");
    WidgetItemAdd(LIST, 0, "a");
    WidgetItemAdd(LIST, 2, "b2");
    const char* expected[] = {"a", "b", "b2", "c"};
    ASSERT_EQ(WidgetItemCount(LIST), 4);
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(ControlText(control, row, 0), expected[row]);
        LVITEMA item = {};
        item.mask = LVIF_PARAM | LVIF_IMAGE;
        item.iItem = row;
        item.iImage = -7;
        SendMessageA(control, LVM_GETITEMA, 0, (LPARAM)&item);
        EXPECT_EQ(item.lParam, 0) << "the application value starts at 0";
    }
}

// A keyed insertion stores the key with the row it made (appended or inserted), reports that
// row's index, splits the text as any insertion does, and leaves the other rows' keys alone.
TEST_F(ListWidgetTest, KeyedInsertionsCarryTheirKeys) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    const struct {
        int32_t position;
        const char* text;
        LPARAM key;
        int32_t index;  // expected result
    } cases[] = {
        {-1, "b\n2\n0x2", 1, 0}, {-1, "c\n3\n0x3", 2, 1}, {0, "a\n1", 7, 0},
        {99, "d", -5, 3},        {-1, "", 0x7FFFFFFF, 4},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        EXPECT_EQ(ListWidgetItemAddKeyed(LIST, entry.position, entry.text, entry.key), entry.index);
    }
    const struct {
        const char* name;
        const char* value;
        LPARAM key;
    } rows[] = {{"a", "1", 7}, {"b", "2", 1}, {"c", "3", 2}, {"d", "", -5}, {"", "", 0x7FFFFFFF}};
    ASSERT_EQ(WidgetItemCount(LIST), 5);
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(ControlText(control, row, 0), rows[row].name);
        EXPECT_EQ(ControlText(control, row, 1), rows[row].value);
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageA(control, LVM_GETITEMA, 0, (LPARAM)&item);
        EXPECT_EQ(item.lParam, rows[row].key);
    }
    // Only list widgets take keyed items: a missing widget or another kind adds nothing.
    EXPECT_EQ(ListWidgetItemAddKeyed(9, -1, "x", 1), -1);
    EXPECT_EQ(ListWidgetItemAddKeyed(OBJECT_ANY, -1, "x", 1), -1);
    ASSERT_TRUE(ImageWidgetCreate(3, 0, 0, 10, 10, 0));
    EXPECT_EQ(ListWidgetItemAddKeyed(3, -1, "x", 1), -1);
    EXPECT_EQ(WidgetItemCount(LIST), 5);
}

TEST_F(ListWidgetTest, MissingRowsAndColumnsReadAsEmpty) {
    ASSERT_TRUE(ListOpen());
    WidgetItemAdd(LIST, -1, "A\n1\n0x1");
    const struct { int32_t item, column; } cases[] = {{1, 0}, {5, 2}, {-1, 0}, {0, 7}, {0, -1}};
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.item << "," << entry.column);
        char* start = TextCursor();
        EXPECT_STREQ(WidgetItemText(LIST, entry.item, entry.column), "");
        EXPECT_EQ(TextCursor(), start);
    }
    EXPECT_STREQ(WidgetItemText(LIST, 0, 2), "0x1");
}

TEST_F(ListWidgetTest, ItemTextIsCutAtItsLimitAndAtTheWorkBufferEnd) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    std::string longText(12000, 'x');
    WidgetItemAdd(LIST, -1, ("A\n" + longText).c_str());
    ASSERT_EQ(ControlText(control, 0, 0), "A");

    char* start = TextCursor();
    char* text = WidgetItemText(LIST, 0, 1);
    EXPECT_EQ(text, start);
    EXPECT_EQ(strlen(text), 9999u);
    EXPECT_EQ(TextCursor(), text + 9999);
    TextCursorSet(start);

    // Near the end of the work buffer only the room left is used, the zero on its last byte.
    char* end = WorkBuffer + WORK_BUFFER_SIZE;
    const int rooms[] = {100, 2, 1};
    for (int room : rooms) {
        SCOPED_TRACE(testing::Message() << "room " << room);
        TextCursorSet(end - room);
        text = WidgetItemText(LIST, 0, 1);
        EXPECT_EQ(text, end - room);
        EXPECT_EQ(strlen(text), (size_t)(room - 1));
        EXPECT_EQ(TextCursor(), end - 1);
        EXPECT_EQ(end[-1], 0);
        EXPECT_TRUE(HeapValidate(MainHeap, 0, nullptr));
    }
    TextCursorSet(start);
}

TEST_F(ListWidgetTest, SelectedTextAllowsLongerTexts) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    std::string mid(12000, 'm');
    std::string huge(61000, 'h');
    WidgetItemAdd(LIST, -1, mid.c_str());
    WidgetItemAdd(LIST, -1, huge.c_str());
    char* start = TextCursor();
    EXPECT_STREQ(WidgetText(LIST), "") << "nothing selected";
    EXPECT_EQ(TextCursor(), start);

    WidgetItemStateSet(LIST, 0, ITEM_SELECTED);
    EXPECT_EQ(strlen(WidgetText(LIST)), 12000u);
    TextCursorSet(start);
    WidgetItemStateSet(LIST, 1, ITEM_SELECTED);
    ASSERT_GT(TextRoom(start), 60000);
    EXPECT_EQ(strlen(WidgetText(LIST)), 59999u);
    TextCursorSet(start);
    EXPECT_TRUE(HeapValidate(MainHeap, 0, nullptr));
}

TEST_F(ListWidgetTest, TextSetReplacesTheSelectedItemsColumns) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    WidgetItemAdd(LIST, -1, "A\n1\n0x1");
    WidgetItemAdd(LIST, -1, "B\n2\n0x2");
    WidgetTextSet(LIST, "none");
    EXPECT_EQ(ControlText(control, 0, 0), "A") << "without a selection nothing changes";
    EXPECT_EQ(ControlText(control, 1, 0), "B");
    WidgetStateSet(LIST, 1);
    WidgetTextSet(LIST, "C\n\n0x3");
    EXPECT_EQ(ControlText(control, 1, 0), "C");
    EXPECT_EQ(ControlText(control, 1, 1), "");
    EXPECT_EQ(ControlText(control, 1, 2), "0x3");
    EXPECT_EQ(ControlText(control, 0, 0), "A");

    EXPECT_TRUE(WidgetItemTextSet(LIST, 0, "one", 1));
    EXPECT_EQ(ControlText(control, 0, 1), "one");
    EXPECT_TRUE(WidgetItemTextSet(LIST, 0, nullptr, 2));
    EXPECT_EQ(ControlText(control, 0, 2), "");
}

TEST_F(ListWidgetTest, SelectionAndCheckBoxes) {
    HWND control = ListOpen(0x50010008 | LIST_CHECKBOXES);
    ASSERT_TRUE(control);
    for (int i = 0; i < 3; ++i) WidgetItemAdd(LIST, -1, "row");
    EXPECT_EQ(WidgetState(LIST), -1) << "no selection";

    EXPECT_NE(WidgetItemStateSet(LIST, 1, ITEM_SELECTED | ITEM_CHECKED), 0);
    EXPECT_EQ((UINT)SendMessageA(control, LVM_GETITEMSTATE, 1, LVIS_SELECTED | LVIS_FOCUSED),
              (UINT)(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(StateImage(control, 1), 2u);
    EXPECT_EQ(WidgetState(LIST), 1);
    EXPECT_EQ(WidgetItemState(LIST, 1), ITEM_SELECTED | ITEM_CHECKED);

    WidgetItemStateSet(LIST, 1, 0);
    EXPECT_EQ(SendMessageA(control, LVM_GETITEMSTATE, 1, LVIS_SELECTED | LVIS_FOCUSED), 0);
    EXPECT_EQ(StateImage(control, 1), 1u);
    EXPECT_EQ(WidgetItemState(LIST, 1), 0);
    EXPECT_EQ(WidgetState(LIST), -1);

    // Only state image 1 reads as a clear box.
    const struct {
        UINT image;
        int32_t state;
    } images[] = {{0, ITEM_CHECKED}, {1, 0}, {2, ITEM_CHECKED}, {3, ITEM_CHECKED}};
    for (const auto& entry : images) {
        SCOPED_TRACE(testing::Message() << "state image " << entry.image);
        StateImageSet(control, 2, entry.image);
        ASSERT_EQ(StateImage(control, 2), entry.image);
        EXPECT_EQ(WidgetItemState(LIST, 2), entry.state);
    }

    // WidgetStateSet selects, focuses and gives the list the keyboard focus.
    SetFocus(nullptr);
    WidgetStateSet(LIST, 2);
    EXPECT_EQ(WidgetState(LIST), 2);
    EXPECT_EQ((UINT)SendMessageA(control, LVM_GETITEMSTATE, 2, LVIS_FOCUSED), (UINT)LVIS_FOCUSED);
    EXPECT_EQ(GetFocus(), control);
}

TEST_F(ListWidgetTest, WithoutCheckBoxesNoItemReadsAsChecked) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    WidgetItemAdd(LIST, -1, "row");
    EXPECT_EQ(WidgetItemState(LIST, 0), 0);
    WidgetItemStateSet(LIST, 0, ITEM_SELECTED | ITEM_CHECKED);
    EXPECT_EQ(WidgetItemState(LIST, 0), ITEM_SELECTED);
}

TEST_F(ListWidgetTest, RemovingItemsAndColumns) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    HWND header = (HWND)SendMessageA(control, LVM_GETHEADER, 0, 0);
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
    WidgetItemAdd(LIST, -1, "a");
    WidgetItemAdd(LIST, -1, "b");
    WidgetItemAdd(LIST, -1, "c");
    EXPECT_TRUE(WidgetItemRemove(LIST, 1));
    EXPECT_EQ(WidgetItemCount(LIST), 2);
    EXPECT_EQ(ControlText(control, 1, 0), "c");
    EXPECT_FALSE(WidgetItemRemove(LIST, 9));
    EXPECT_TRUE(WidgetClear(LIST));
    EXPECT_EQ(WidgetItemCount(LIST), 0);
    EXPECT_TRUE(ListWidgetColumnRemove(LIST, 2));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ListWidgetColumnAdd(LIST, 1, nullptr, 30), 1);
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(ListWidgetTest, ItemsWithPicturesShareTheItemImageLists) {
    HWND control = ListOpen();
    ASSERT_TRUE(control);
    bool listsFresh = ItemImageListSmall() == nullptr;
    intptr_t picture = ImageCreate(0, 16, 16);
    ASSERT_NE(picture, 0);
    EXPECT_EQ(ItemImageIndex(0), -1);

    WidgetItemAddWithImage(LIST, -1, "pic\n1", picture);
    ASSERT_NE(ItemImageListSmall(), nullptr);
    int count = ImageList_GetImageCount(ItemImageListSmall());
    WidgetItemAddWithImage(LIST, -1, "again", picture);
    EXPECT_EQ(ImageList_GetImageCount(ItemImageListSmall()), count) << "added only once";
    EXPECT_EQ((HIMAGELIST)SendMessageA(control, LVM_GETIMAGELIST, LVSIL_NORMAL, 0),
              ItemImageListLarge());
    EXPECT_EQ((HIMAGELIST)SendMessageA(control, LVM_GETIMAGELIST, LVSIL_SMALL, 0),
              ItemImageListSmall());

    int index = ItemImageIndex(picture);
    if (listsFresh) {
        EXPECT_EQ(index, 1) << "index 0 is the transparent placeholder";
    }
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ASSERT_TRUE(SendMessageA(control, LVM_GETITEMA, 0, (LPARAM)&item));
        EXPECT_EQ(item.iImage, index);
    }
    EXPECT_EQ(ControlText(control, 0, 1), "1");

    // The lists are shared: destroying the control leaves them alive.
    WidgetFree(LIST);
    EXPECT_EQ(ImageList_GetImageCount(ItemImageListSmall()), count);
}

}  // namespace
