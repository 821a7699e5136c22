// Finding a constant: the prompt, the selection of the next row that holds the text, F3 with
// its wrap to the top, and the start of the next search after hits and misses.
#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

namespace e2e {
namespace {

constexpr int ROWS = 300;

// Rows that hold "NEEDLE", in every column; one row holds it in lower case only, and one holds
// it only across the end of its name and the start of its value.
std::vector<Constant> FindSample() {
    std::vector<Constant> rows = NumberedConstants(ROWS);
    rows[4].name = "NEEDLE_FOUR";
    rows[5].name = "NEEDLE_FIVE";
    rows[100].name = "needle_lower";
    rows[150].hex = "NEEDLE_HEX";
    rows[200].name = "SPLIT_NEEDL";
    rows[200].decimal = "E1400";
    rows[287].decimal = "-NEEDLE-";
    rows[299].name = "LAST_NEEDLE";
    return rows;
}

class DruxFind : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = ConstantsFile(FindSample());
        ASSERT_TRUE(run_.Start(&file_, ROWS));
        ASSERT_TRUE(run_.ForegroundMake());
    }

    // One search by Ctrl+F: the field shows the remembered text, is answered with text.
    void FindAsk(const std::string& remembered, const std::string& text) {
        KeyPress('F', WITH_CONTROL);
        Prompt prompt;
        ASSERT_TRUE(PromptWait(run_, &prompt));
        EXPECT_EQ(run_.WindowText(prompt.edit), remembered);
        ASSERT_TRUE(PromptAnswer(run_, prompt, text));
        run_.ItemCount();  // answered only once the search has run to its end
        // The window is active again once the prompt has gone, after a miss too, so the next
        // key reaches it without a click.
        ASSERT_TRUE(PollUntil([&] { return GetForegroundWindow() == run_.Window(); }, 3000))
            << "the DRUX window is not active after the prompt";
    }

    void FindNext(int expectedRow) {
        KeyPress(VK_F3);
        EXPECT_TRUE(run_.SelectionWait(expectedRow));
        EXPECT_TRUE(run_.RowFullyVisible(expectedRow));
    }

    std::string file_;
    DruxRun run_;
};

TEST_F(DruxFind, PromptAsksUntilAnsweredThenSelectsTheFirstHit) {
    // F3 without a remembered text asks for one first.
    KeyPress(VK_F3);
    Prompt prompt;
    ASSERT_TRUE(PromptWait(run_, &prompt));

    char text[128] = "";
    GetWindowTextA(prompt.label, text, sizeof text);
    EXPECT_STREQ(text, "Enter string To find");
    GetWindowTextA(prompt.ok, text, sizeof text);
    EXPECT_STREQ(text, "Ok");
    EXPECT_EQ(run_.WindowText(prompt.edit), "");
    RECT placed = {};
    GetWindowRect(prompt.window, &placed);
    EXPECT_EQ(placed.left, 1024 / 2 - 150);
    EXPECT_EQ(placed.top, 768 / 2 - 65);
    EXPECT_FALSE(IsWindowEnabled(run_.Window()))
        << "the main window takes input while the prompt is open";

    // Esc gives the empty text, which is asked for again with an empty field.
    ASSERT_TRUE(PromptAnswer(run_, prompt, "NEEDLE", VK_ESCAPE));
    Prompt again;
    ASSERT_TRUE(PromptWait(run_, &again, prompt.window));
    EXPECT_EQ(run_.WindowText(again.edit), "");
    EXPECT_TRUE(run_.SelectedRows().empty());

    ASSERT_TRUE(PromptAnswer(run_, again, "NEEDLE"));
    EXPECT_TRUE(PollUntil([&] { return IsWindowEnabled(run_.Window()) != FALSE; }, 3000));
    EXPECT_TRUE(run_.SelectionWait(4));
    EXPECT_TRUE(run_.RowFullyVisible(4));
}

TEST_F(DruxFind, F3GoesOnFromTheRowAfterTheHitAndWrapsToTheTop) {
    ASSERT_NO_FATAL_FAILURE(FindAsk("", "NEEDLE"));
    EXPECT_TRUE(run_.SelectionWait(4));

    // Case-sensitive, one column at a time: 100 (lower case) and 200 (split over two columns)
    // are passed over; 150 holds it in the hex column, 287 in the decimal one.
    const int hits[] = {5, 150, 287, 299, 4, 5};
    for (int row : hits) {
        SCOPED_TRACE("F3 to row " + std::to_string(row));
        ASSERT_NO_FATAL_FAILURE(FindNext(row));
        if (row == 287) {
            EXPECT_GT(run_.TopIndex(), 200) << "the list did not scroll down to the hit";
        }
        if (row == 4) {
            EXPECT_LE(run_.TopIndex(), 4) << "the list did not scroll back up to the hit";
        }
    }
}

TEST_F(DruxFind, AMissKeepsTheSelectionAndStillAdvancesTheStart) {
    ASSERT_NO_FATAL_FAILURE(FindAsk("", "NEEDLE"));
    EXPECT_TRUE(run_.SelectionWait(4));

    // The miss tests every row from 5 on and finds nothing: the selection stays, the next
    // search starts one row further on, at 6, so row 5 is passed over.
    ASSERT_NO_FATAL_FAILURE(FindAsk("NEEDLE", "nothing holds this"));
    EXPECT_TRUE(run_.SelectionWait(4));

    ASSERT_NO_FATAL_FAILURE(FindAsk("nothing holds this", "NEEDLE"));
    EXPECT_TRUE(run_.SelectionWait(150));
    EXPECT_TRUE(run_.RowFullyVisible(150));

    // Lower case finds only the lower-case row; a single hit is found again and again.
    ASSERT_NO_FATAL_FAILURE(FindAsk("NEEDLE", "needle"));
    EXPECT_TRUE(run_.SelectionWait(100));
    ASSERT_NO_FATAL_FAILURE(FindNext(100));
    ASSERT_NO_FATAL_FAILURE(FindNext(100));

    // A row clicked by hand does not move the start of the next search.
    int clicked = run_.TopIndex() + 1;
    if (clicked == 100) ++clicked;
    ASSERT_TRUE(run_.RowClick(clicked));
    EXPECT_TRUE(run_.SelectionWait(clicked));
    ASSERT_NO_FATAL_FAILURE(FindNext(100));
}

TEST_F(DruxFind, F3AfterASortGoesOnFromTheSameRowIndexNotFromTheRecord) {
    ASSERT_NO_FATAL_FAILURE(FindAsk("", "NEEDLE"));
    EXPECT_TRUE(run_.SelectionWait(4));  // NEEDLE_FOUR

    // Name twice: descending, case folded. SPLIT_NEEDL, needle_lower, NEEDLE_FOUR, NEEDLE_FIVE,
    // LAST_NEEDLE, then CONST_0298 down to CONST_0000 without 299, 200, 100, 5 and 4: CONST_0287
    // (its decimal holds the text) at row 16, CONST_0150 (its hex) at row 152.
    ASSERT_TRUE(run_.HeaderClick(0));
    ASSERT_TRUE(PollUntil([&] { return run_.ItemText(0, 0) == "CONST_0000"; }, 3000))
        << run_.ItemText(0, 0);
    ASSERT_TRUE(run_.HeaderClick(0));
    ASSERT_TRUE(PollUntil([&] { return run_.ItemText(2, 0) == "NEEDLE_FOUR"; }, 3000))
        << run_.ItemText(2, 0);
    ASSERT_EQ(run_.ItemText(16, 0), "CONST_0287");
    ASSERT_EQ(run_.ItemText(152, 0), "CONST_0150");
    ASSERT_TRUE(run_.ForegroundMake());

    // From row 5 on; following the record would give NEEDLE_FIVE at row 3.
    const int hits[] = {16, 152, 2, 3, 4, 16};
    for (int row : hits) {
        SCOPED_TRACE("F3 to row " + std::to_string(row));
        ASSERT_NO_FATAL_FAILURE(FindNext(row));
    }
}

}  // namespace
}  // namespace e2e
