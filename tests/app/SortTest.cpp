// Sorting by a click on a column header: byte order with letters folded to upper case, the second
// click reversing, another column starting ascending again, rows moving whole.
#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

#include <map>

namespace e2e {
namespace {

// Names, decimal and hex texts chosen so that byte order, case folding (also of the bytes 0xE0 to
// 0xFF against 0xC0 to 0xDF), prefixes and minus signs all decide some pair.
const std::vector<Constant> SORT_SAMPLE = {
    {"beta", "10", "0xa"},
    {"ABD", "9", "0x9"},
    {"abc", "-5", "0xfffffffb"},
    {"ab", "100", "0x64"},
    {"Alpha", "0", "0x0"},
    {"a_b", "7", "0x7"},
    {"zeta", "-12", "0xFFFFFFF4"},
    {"Zulu", "11", "0xB"},
    {"\xE9"
     "clair",
     "3", "0x3"},
    {"\xC9"
     "CLAT",
     "-3", "0xFFFFFFFD"},
};

using Order = std::vector<std::string>;  // the names, top to bottom

// "ab" before "abc" (a prefix first), "abc" before "ABD" (case folded), "Alpha" before "a_b"
// ('L' < '_'), "\xE9clair" before "\xC9CLAT" (0xE9 folds to 0xC9).
const Order BY_NAME = {"ab",
                       "abc",
                       "ABD",
                       "Alpha",
                       "a_b",
                       "beta",
                       "zeta",
                       "Zulu",
                       "\xE9"
                       "clair",
                       "\xC9"
                       "CLAT"};
// As text: "-12" < "-3" < "-5" < "0" < "10" < "100" < "11" < "3" < "7" < "9".
const Order BY_DECIMAL = {"zeta",
                          "\xC9"
                          "CLAT",
                          "abc",
                          "Alpha",
                          "beta",
                          "ab",
                          "Zulu",
                          "\xE9"
                          "clair",
                          "a_b",
                          "ABD"};
// "0xa" before "0xB": folded, although 'B' < 'a' as bytes.
const Order BY_HEX = {"Alpha",
                      "\xE9"
                      "clair",
                      "ab",
                      "a_b",
                      "ABD",
                      "beta",
                      "Zulu",
                      "zeta",
                      "abc",
                      "\xC9"
                      "CLAT"};

Order Reversed(Order order) {
    return Order(order.rbegin(), order.rend());
}

std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

std::string Describe(const Order& order) {
    std::string text;
    for (const std::string& name : order) text += (text.empty() ? "" : ", ") + Printable(name);
    return text;
}

class DruxSort : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = ConstantsFile(Sample());
        ASSERT_TRUE(run_.Start(&file_, static_cast<int>(Sample().size())));
    }
    virtual std::vector<Constant> Sample() const { return SORT_SAMPLE; }

    // Waits for the order and checks that every row still holds its own record's values.
    void OrderExpect(const Order& expected) {
        Order names;
        PollUntil([&] { return (names = run_.ColumnTexts(0)) == expected; }, 3000);
        ASSERT_EQ(Describe(names), Describe(expected));
        std::map<std::string, Constant> byName;
        for (const Constant& c : Sample()) byName[c.name] = c;
        for (int row = 0; row < static_cast<int>(names.size()); ++row) {
            SCOPED_TRACE("row " + std::to_string(row) + " " + Printable(names[row]));
            EXPECT_EQ(run_.ItemText(row, 1), byName[names[row]].decimal);
            EXPECT_EQ(run_.ItemText(row, 2), byName[names[row]].hex);
        }
    }

    std::string file_;
    DruxRun run_;
};

TEST_F(DruxSort, HeaderClicksSortAscendingThenReverse) {
    struct ClickCase {
        const char* what;
        int column;
        Order order;
    };
    const ClickCase clicks[] = {
        {"first click of the run, on Name: ascending", 0, BY_NAME},
        {"Name again: descending", 0, Reversed(BY_NAME)},
        {"Value (10) after Name: ascending", 1, BY_DECIMAL},
        {"Value (10) again: descending", 1, Reversed(BY_DECIMAL)},
        {"Value (10) a third time: ascending", 1, BY_DECIMAL},
        {"Hex Value: ascending", 2, BY_HEX},
        {"Hex Value again: descending", 2, Reversed(BY_HEX)},
        {"Name after Hex Value: ascending", 0, BY_NAME},
    };
    // Before any click, the load has left every row with its index as its key.
    for (int row = 0; row < static_cast<int>(SORT_SAMPLE.size()); ++row)
        EXPECT_EQ(run_.ItemParam(row), row) << "key of row " << row << " after the load";
    for (const ClickCase& c : clicks) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(run_.HeaderClick(c.column));
        ASSERT_NO_FATAL_FAILURE(OrderExpect(c.order));
    }

    // The stripes stay with the positions: row 0 is light again after the sorts.
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        RECT item = run_.ItemRect(row);
        POINT p =
            run_.ClientToScreenPoint(run_.List(), item.left + 200, (item.top + item.bottom) / 2);
        EXPECT_TRUE(ScreenPixelWait(p, row == 0 ? 0xD0FFFF : 0x5F0000));
    }
}

TEST_F(DruxSort, ADraggedHeaderStillSortsItsOwnColumnAndTheFindSearchesEveryColumn) {
    // "Hex Value" dragged before "Name": only the display order changes.
    RECT hex = run_.HeaderItemRectScreen(2);
    RECT name = run_.HeaderItemRectScreen(0);
    MouseDrag({(hex.left + hex.right) / 2, (hex.top + hex.bottom) / 2},
              {name.left + 10, (name.top + name.bottom) / 2});
    ASSERT_TRUE(PollUntil(
        [&] { return run_.HeaderItemRectScreen(2).left < run_.HeaderItemRectScreen(0).left; },
        3000))
        << "the header did not move";

    struct ClickCase {
        int column;
        const Order& order;
    };
    const ClickCase clicks[] = {{2, BY_HEX}, {0, BY_NAME}, {1, BY_DECIMAL}};
    for (const ClickCase& c : clicks) {
        SCOPED_TRACE("column " + std::to_string(c.column));
        ASSERT_TRUE(run_.HeaderClick(c.column));
        ASSERT_NO_FATAL_FAILURE(OrderExpect(c.order));
    }

    // Texts held by one column only, in the order by decimal: the hex "0xB" of Zulu (row 6), the
    // decimal "-5" of abc (row 2, after the wrap), the name "a_" of a_b (row 8).
    ASSERT_TRUE(run_.ForegroundMake());
    struct FindCase {
        const char* text;
        int row;
    };
    const FindCase finds[] = {{"0xB", 6}, {"-5", 2}, {"a_", 8}};
    for (const FindCase& f : finds) {
        SCOPED_TRACE(f.text);
        KeyPress('F', WITH_CONTROL);
        Prompt prompt;
        ASSERT_TRUE(PromptWait(run_, &prompt));
        ASSERT_TRUE(PromptAnswer(run_, prompt, f.text));
        EXPECT_TRUE(run_.SelectionWait(f.row));
        ASSERT_TRUE(PollUntil([&] { return GetForegroundWindow() == run_.Window(); }, 3000));
    }
}

// Names alike in their first 127 characters: the comparison reads no further, so the two compare
// as equal and keep their order in both directions, while "ZZZ" moves.
class DruxLongNameSort : public DruxSort {
protected:
    std::vector<Constant> Sample() const override {
        const std::string alike(127, 'M');
        return {{"ZZZ", "0", "0x0"}, {alike + "B", "1", "0x1"}, {alike + "A", "2", "0x2"}};
    }
};

TEST_F(DruxLongNameSort, TextsDifferingOnlyAfterTheir127thCharacterSortAsEqual) {
    const std::string alike(127, 'M');
    ASSERT_TRUE(run_.HeaderClick(0));
    ASSERT_NO_FATAL_FAILURE(OrderExpect({alike + "B", alike + "A", "ZZZ"}));
    ASSERT_TRUE(run_.HeaderClick(0));
    ASSERT_NO_FATAL_FAILURE(OrderExpect({"ZZZ", alike + "B", alike + "A"}));
}

}  // namespace
}  // namespace e2e
