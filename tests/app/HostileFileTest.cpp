// Constants.out files that are empty, oddly ended, binary or huge: the program shows the rows
// that the line rules give, stays responsive and ends normally.
#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

namespace e2e {
namespace {

// Lines of a file by the reading rules: LF, CR LF, a lone CR and a zero byte each end a line;
// a last line without an end still counts. Records are three lines, at least one per file.
int RecordCount(const std::string& bytes) {
    int lines = 0;
    bool open = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n' || c == 0) {
            ++lines;
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            open = true;
        }
    }
    if (open) ++lines;
    int records = (lines + 2) / 3;
    return records > 0 ? records : 1;
}

std::string Junk(size_t size, unsigned seed) {
    std::string bytes(size, 0);
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

std::string LongLine(size_t size) {
    std::string line(size, 'A');
    for (size_t i = 0; i < size; ++i) line[i] = static_cast<char>('A' + i % 26);
    return line;
}

using Rows = std::vector<std::vector<std::string>>;

struct FileCase {
    const char* what;
    bool present;
    std::string bytes;
    int rows;
    Rows texts;  // the first rows' texts, when they are known
};

std::vector<FileCase> FileCases() {
    const std::vector<Constant> three = {{"A", "1", "0x1"}, {"B", "2", "0x2"}, {"C", "3", "0x3"}};
    const Rows threeRows = {{"A", "1", "0x1"}, {"B", "2", "0x2"}, {"C", "3", "0x3"}};
    const std::string junk = Junk(6000, 7);
    std::string junkWithoutEnds = Junk(3000, 11);
    for (char& c : junkWithoutEnds)
        if (c == '\r' || c == '\n' || c == 0) c = 'x';
    return {
        {"missing file", false, "", 0, {}},
        {"empty file", true, "", 1, {{"", "", ""}}},
        {"3N lines, CR LF, last line ended", true, ConstantsFile(three, "\r\n", true), 3,
         threeRows},
        {"3N lines, CR LF, last line not ended", true, ConstantsFile(three, "\r\n", false), 3,
         threeRows},
        {"3N lines, LF, last line not ended", true, ConstantsFile(three, "\n", false), 3,
         threeRows},
        {"CR-only line ends", true, ConstantsFile(three, "\r", true), 3, threeRows},
        {"mixed line ends", true, "A\r\n1\n0x1\rB\n2\r0x2\r\nC\r3\r\n0x3", 3, threeRows},
        {"LF CR is two line ends", true, "A\n\r0x1\n", 1, {{"A", "", "0x1"}}},
        {"one extra line end after the last record",
         true,
         ConstantsFile(three, "\n", true) + "\n",
         4,
         {{"A", "1", "0x1"}, {"B", "2", "0x2"}, {"C", "3", "0x3"}, {"", "", ""}}},
        {"last record of one line",
         true,
         ConstantsFile(three, "\n", true) + "D",
         4,
         {{"A", "1", "0x1"}, {"B", "2", "0x2"}, {"C", "3", "0x3"}, {"D", "", ""}}},
        {"zero bytes end lines",
         true,
         std::string("A\0"
                     "1\n0x1\0B\0\0",
                     11),
         2,
         {{"A", "1", "0x1"}, {"B", "", ""}}},
        {"only zero bytes",
         true,
         std::string(7, '\0'),
         3,
         {{"", "", ""}, {"", "", ""}, {"", "", ""}}},
        {"binary junk", true, junk, RecordCount(junk), {}},
        {"binary junk without line ends", true, junkWithoutEnds, 1, {}},
    };
}

TEST(DruxHostileFile, ShowsTheRowsTheLineRulesGiveAndEndsNormally) {
    for (const FileCase& c : FileCases()) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(RecordCount(c.bytes) * (c.present ? 1 : 0), c.rows)
            << "the case table disagrees with itself";
        DruxRun run;
        auto started = run.Start(c.present ? &c.bytes : nullptr, c.rows);
        if (!started) {
            ADD_FAILURE() << started.message();
            continue;  // the other files still tell something
        }
        for (size_t row = 0; row < c.texts.size(); ++row)
            for (int column = 0; column < 3; ++column) {
                SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
                EXPECT_EQ(run.ItemText(static_cast<int>(row), column), c.texts[row][column]);
            }
        EXPECT_TRUE(run.EscapeExit());
    }
}

TEST(DruxHostileFile, AOneMegabyteLineShowsCutAndTheProgramRunsOn) {
    const std::string line = LongLine(1 << 20);
    DruxRun run;
    ASSERT_TRUE(run.Start(&line, 1, 60000));
    std::string shown = run.ItemText(0, 0, 1 << 17);
    EXPECT_FALSE(shown.empty());
    EXPECT_LT(shown.size(), line.size());
    EXPECT_EQ(shown, line.substr(0, shown.size())) << "the row does not show the line's beginning";
    EXPECT_EQ(run.ItemText(0, 1), "");
    EXPECT_EQ(run.ItemText(0, 2), "");
    ASSERT_TRUE(run.EscapeExit());
}

}  // namespace
}  // namespace e2e
