// The Windows package as a user meets it: unpacked into an empty folder, it holds DRUX.exe, the
// default Constants.out, its x86-64 values Constants-x64.out, constgen.exe and README.txt;
// DRUX.exe started there shows the data set, and "DRUX.exe Constants-x64.out" the x86-64 values,
// 64-bit ones in full.
#include <cstdlib>
#include <set>

#include "tests/app/Driver.h"

namespace e2e {
namespace {

std::set<std::string> FolderFiles(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string FileRead(const std::string& path) {
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char block[65536];
    DWORD read = 0;
    while (ReadFile(h, block, sizeof block, &read, nullptr) && read > 0) bytes.append(block, read);
    CloseHandle(h);
    return bytes;
}

// Lines end at CR LF, LF or CR, as DRUX reads them.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

TEST(DruxPackage, StartsFromTheUnpackedFolderOnTheDefaultDataSet) {
    const char* folder = getenv("DRUX_PACKAGE_DIR");
    ASSERT_TRUE(folder)
        << "DRUX_PACKAGE_DIR names the unpacked folder (tests/harness/package-test.sh)";
    const std::set<std::string> expected = {"Constants-x64.out", "Constants.out", "DRUX.exe",
                                            "README.txt", "constgen.exe"};
    EXPECT_EQ(FolderFiles(folder), expected);

    const std::vector<std::string> lines = Lines(FileRead(std::string(folder) + "\\Constants.out"));
    const int rows = static_cast<int>((lines.size() + 2) / 3);
    ASSERT_GT(rows, 1000) << "the default data set is missing or small";

    DruxRun run;
    run.WorkingDirectorySet(folder);
    ASSERT_TRUE(run.Start(nullptr, rows, 60000));
    for (int row : {0, rows / 2, rows - 1}) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(run.ItemText(row, 0), lines[3 * row]);
    }
    ASSERT_TRUE(run.EscapeExit());
}

TEST(DruxPackage, OpensTheX64ValuesWithTheirFullWidth) {
    const char* folder = getenv("DRUX_PACKAGE_DIR");
    ASSERT_TRUE(folder)
        << "DRUX_PACKAGE_DIR names the unpacked folder (tests/harness/package-test.sh)";
    const std::vector<std::string> lines =
        Lines(FileRead(std::string(folder) + "\\Constants-x64.out"));
    const int rows = static_cast<int>((lines.size() + 2) / 3);
    ASSERT_GT(rows, 1000) << "the x86-64 data set is missing or small";
    // The rows with the longest decimal and the longest hex text of the file, values wider than
    // 32 bits (up to 20 characters), each shown whole.
    int longestDecimal = 0, longestHex = 0;
    for (int row = 0; 3 * row + 2 < static_cast<int>(lines.size()); ++row) {
        if (lines[3 * row + 1].size() > lines[3 * longestDecimal + 1].size()) longestDecimal = row;
        if (lines[3 * row + 2].size() > lines[3 * longestHex + 2].size()) longestHex = row;
    }
    ASSERT_GT(lines[3 * longestHex + 2].size(), 10u) << "no value wider than 32 bits";

    DruxRun run;
    run.WorkingDirectorySet(folder);
    run.ArgumentsSet("Constants-x64.out");
    ASSERT_TRUE(run.Start(nullptr, rows, 60000));
    for (int row : {longestDecimal, longestHex}) {
        SCOPED_TRACE(lines[3 * row]);
        EXPECT_EQ(run.ItemText(row, 0), lines[3 * row]);
        EXPECT_EQ(run.ItemText(row, 1), lines[3 * row + 1]);
        EXPECT_EQ(run.ItemText(row, 2), lines[3 * row + 2]);
    }
    ASSERT_TRUE(run.EscapeExit());
}

}  // namespace
}  // namespace e2e
