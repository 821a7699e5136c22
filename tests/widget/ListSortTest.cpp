// A comparison procedure that reads rows by the indexes held in their keys, as the application's
// does, must see the rows as they stood when the sort began, whatever the control moves meanwhile.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/widget/WidgetFixture.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"

namespace {

HWND sortedList;
int comparisons;

void KeysReindex(HWND list) {
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; row++) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = row;
        SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
    }
}

std::string RowText(HWND list, int row, int column) {
    char text[256] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

int CALLBACK CompareByIndex(LPARAM key1, LPARAM key2, LPARAM column) {
    comparisons++;
    return RowText(sortedList, (int)key1, (int)column)
        .compare(RowText(sortedList, (int)key2, (int)column));
}

class ListSortTest : public WidgetFixture {
protected:
    HWND ListWithRows(const std::vector<std::string>& names) {
        ParentOpen(500, 400);
        HWND list = (HWND)ListWidgetCreate(3, 10, 10, 400, 300, "Name", 150, 0);
        ListWidgetColumnAdd(3, 1, "Value", 80);
        for (const std::string& name : names) WidgetItemAdd(3, -1, (name + "\nv" + name).c_str());
        KeysReindex(list);
        sortedList = list;
        return list;
    }
};

TEST_F(ListSortTest, ComparisonsReadingByIndexGiveTheRightOrder) {
    // A scrambled set large enough that any in-place sort moves rows between comparisons.
    std::vector<std::string> names;
    for (int i = 0; i < 400; i++) names.push_back("K" + std::to_string((i * 7919) % 1000 + 1000));
    HWND list = ListWithRows(names);

    for (int column : {0, 1}) {
        SCOPED_TRACE(column);
        comparisons = 0;
        PFNLVCOMPARE compare = CompareByIndex;
        SendMessageA(list, LVM_SORTITEMS, column, (LPARAM)compare);
        KeysReindex(list);
        EXPECT_GT(comparisons, 0);

        std::vector<std::string> expected = names;
        std::sort(expected.begin(), expected.end());
        for (std::string& text : expected) text = (column == 1 ? "v" : "") + text;
        std::vector<std::string> actual;
        for (int row = 0; row < (int)names.size(); row++)
            actual.push_back(RowText(list, row, column));
        EXPECT_EQ(actual, expected);
    }
}

// Wine's control happens to keep rows in place until its sort ends; the platform's own moves them
// while it compares. Changing a row from inside the comparison stands in for such a move.
TEST_F(ListSortTest, RowsChangedDuringTheSortReadAsTheyStoodWhenItBegan) {
    HWND list = ListWithRows({"c", "a", "b"});
    static std::string firstRead;
    firstRead = "unset";
    struct Mover {
        static int CALLBACK Compare(LPARAM key1, LPARAM key2, LPARAM) {
            if (firstRead == "unset") {
                LVITEMA item = {};
                item.iSubItem = 0;
                item.pszText = (char*)"moved";
                SendMessageA(sortedList, LVM_SETITEMTEXTA, 0, (LPARAM)&item);
                firstRead = RowText(sortedList, 0, 0);
            }
            return RowText(sortedList, (int)key1, 0).compare(RowText(sortedList, (int)key2, 0));
        }
    };
    PFNLVCOMPARE compare = Mover::Compare;
    SendMessageA(list, LVM_SORTITEMS, 0, (LPARAM)compare);
    EXPECT_EQ(firstRead, "c");
    // The order is that of the texts as they stood: a, b, c (row "c" now reads "moved").
    EXPECT_EQ(RowText(list, 0, 0), "a");
    EXPECT_EQ(RowText(list, 1, 0), "b");
    EXPECT_EQ(RowText(list, 2, 0), "moved");
}

TEST_F(ListSortTest, ReadsOutsideTheRowsDuringASortGiveTheEmptyText) {
    HWND list = ListWithRows({"b", "a"});
    static std::string seen;
    seen = "unset";
    struct Reader {
        static int CALLBACK Compare(LPARAM key1, LPARAM key2, LPARAM) {
            seen = RowText(sortedList, 99, 0) + RowText(sortedList, 0, 7);
            return (int)key1 - (int)key2;
        }
    };
    PFNLVCOMPARE compare = Reader::Compare;
    SendMessageA(list, LVM_SORTITEMS, 0, (LPARAM)compare);
    EXPECT_EQ(seen, "");
    // After the sort, reads go to the control again.
    EXPECT_EQ(RowText(list, 0, 0), "b");
}

}  // namespace
