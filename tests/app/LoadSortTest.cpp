// A header click while a long file is still loading: the rows there at the click are sorted, the
// rows read afterwards follow in file order, and a click after the load sorts every row.
#include "tests/app/Driver.h"

#include <cstdio>

namespace e2e {
namespace {

// Long enough that the load is still running well after its first rows appear.
constexpr int LOAD_ROWS = 60000;
constexpr DWORD LOAD_LIMIT_MS = 120000;

// The name of the record at a file position: names fall through the file, so the first click
// on "Name" (ascending) reverses whatever part of the file it finds.
std::string NameAt(int position) {
    char name[32];
    snprintf(name, sizeof name, "LOAD_%06d", LOAD_ROWS - 1 - position);
    return name;
}

int PositionOf(const std::string& name) {
    int number = -1;
    if (sscanf(name.c_str(), "LOAD_%d", &number) != 1) return -1;
    return LOAD_ROWS - 1 - number;
}

std::string LoadFile() {
    std::string file;
    for (int i = 0; i < LOAD_ROWS; ++i) {
        int n = LOAD_ROWS - 1 - i;
        char record[64];
        snprintf(record, sizeof record, "%s\r\n%d\r\n0x%X\r\n", NameAt(i).c_str(), 7 * n, 7 * n);
        file += record;
    }
    return file;
}

class DruxLoadSort : public ::testing::Test {
protected:
    // Rows read across the process boundary cost a round trip each, so the order is checked on
    // every row near the edges (the top, either side of where the sort stopped, the bottom) and on
    // rows spread evenly over the rest.
    static std::vector<int> SampleRows(int sorted) {
        std::vector<int> rows;
        for (int row = 0; row < LOAD_ROWS; row += LOAD_ROWS / 400) rows.push_back(row);
        for (int edge : {0, sorted - 30, LOAD_ROWS - 30})
            for (int row = edge; row < edge + 60 && row < LOAD_ROWS; ++row)
                if (row >= 0) rows.push_back(row);
        return rows;
    }

    // Every sample row holds the name expected there; reports the first that does not.
    ::testing::AssertionResult OrderMatches(const std::vector<int>& rows,
                                            std::string (*expected)(int row, int sorted),
                                            int sorted) {
        for (int row : rows) {
            std::string name = run_.ItemText(row, 0, 32);
            if (name != expected(row, sorted))
                return ::testing::AssertionFailure()
                       << "row " << row << " holds " << name << ", expected "
                       << expected(row, sorted) << " (" << sorted << " rows sorted at the click)";
        }
        return ::testing::AssertionSuccess();
    }

    // After the click during the load: the first `sorted` records reversed, the rest in file order.
    static std::string AfterLoad(int row, int sorted) {
        return row < sorted ? NameAt(sorted - 1 - row) : NameAt(row);
    }

    // After the second click: every row descending by name, which is the file's own order.
    static std::string AfterSecondClick(int row, int) { return NameAt(row); }

    void RowsMovedWhole(const std::vector<int>& rows) {
        for (int row : rows) {
            SCOPED_TRACE("row " + std::to_string(row));
            int position = PositionOf(run_.ItemText(row, 0, 32));
            ASSERT_GE(position, 0);
            int n = LOAD_ROWS - 1 - position;
            char hex[16];
            snprintf(hex, sizeof hex, "0x%X", 7 * n);
            EXPECT_EQ(run_.ItemText(row, 1, 32), std::to_string(7 * n));
            EXPECT_EQ(run_.ItemText(row, 2, 32), hex);
        }
    }

    DruxRun run_;
};

TEST_F(DruxLoadSort, ClickDuringTheLoadSortsTheRowsThereAndKeepsTheRest) {
    std::string file = LoadFile();
    ASSERT_TRUE(PointerPlace(LAUNCH_POINTER));
    ASSERT_TRUE(run_.Launch(&file));
    ASSERT_TRUE(run_.WindowWait());
    // Every row there before the click must be sorted by it: a sort of keys that do not match
    // their rows would leave them in file order, which a single row could not show.
    int before = 0;
    ASSERT_TRUE(PollUntil([&] { return (before = run_.ItemCount()) >= 500; }));
    ASSERT_TRUE(run_.HeaderClick(0));
    ASSERT_TRUE(run_.LoadWait(LOAD_ROWS, LOAD_LIMIT_MS));

    // The sort found the first `sorted` records and put them in ascending order, which reverses
    // them; every record read after it follows in file order.
    ASSERT_EQ(run_.ItemCount(), LOAD_ROWS);
    std::string top = run_.ItemText(0, 0, 32);
    int sorted = PositionOf(top) + 1;
    ASSERT_GE(sorted, before) << "row 0 holds " << top << "; " << before
                              << " rows were there before the click";
    ASSERT_LT(sorted, LOAD_ROWS) << "the click came after the load; the test proves nothing";
    const std::vector<int> samples = SampleRows(sorted);
    EXPECT_TRUE(OrderMatches(samples, AfterLoad, sorted));
    const std::vector<int> edges = {0, sorted - 1, sorted, LOAD_ROWS - 1};
    RowsMovedWhole(edges);
    for (int row : edges)
        EXPECT_EQ(run_.ItemParam(row), row) << "key of row " << row << " after the load";

    // A second click on the same header, after the load, reverses the order of every row.
    ASSERT_TRUE(run_.HeaderClick(0));
    ASSERT_TRUE(PollUntil([&] { return run_.ItemText(0, 0, 32) == NameAt(0); }, 30000))
        << "row 0 holds " << run_.ItemText(0, 0, 32);
    EXPECT_TRUE(OrderMatches(samples, AfterSecondClick, sorted));
    RowsMovedWhole(edges);
    for (int row : edges)
        EXPECT_EQ(run_.ItemParam(row), row) << "key of row " << row << " after the sort";
}

}  // namespace
}  // namespace e2e
