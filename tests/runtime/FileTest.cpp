// Numbered files: line splitting, end tests, current-file rules and hostile line lengths.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "RuntimeFixture.h"
#include "runtime/File.h"

namespace {

class FileTest : public RuntimeFixture {
protected:
    std::string directory;
    std::vector<std::string> made;

    void SetUp() override {
        RuntimeFixture::SetUp();
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        directory = std::string(temp) + "drux-file-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(directory.c_str(), nullptr);
    }
    void TearDown() override {
        RuntimeFixture::TearDown();  // closes every file first
        for (const std::string& name : made) DeleteFileA(name.c_str());
        RemoveDirectoryA(directory.c_str());
    }

    std::string Make(const std::string& bytes) {
        std::string name = directory + "\\" + std::to_string(made.size()) + ".txt";
        HANDLE file =
            CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        if (!bytes.empty()) WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(file);
        made.push_back(name);
        return name;
    }

    // One line as the application reads it: the cursor is back at the start afterwards.
    static std::string Line() {
        char* start = TextCursor();
        char* line = FileReadLine();
        EXPECT_EQ(line, start);
        EXPECT_EQ(TextCursor(), line + strlen(line)) << "cursor on the line's zero";
        std::string text = line;
        TextCursorSet(start);
        return text;
    }

    static std::string Show(const std::vector<std::string>& lines) {
        std::string shown;
        for (const std::string& line : lines) shown += "[" + line + "]";
        return shown;
    }

    // Reads file 0 line by line until FileAtEnd says so, compares, checks the end holds, closes.
    static void LinesToTheEndExpect(const std::vector<std::string>& expected) {
        std::vector<std::string> lines;
        for (int guard = 0; FileAtEnd(0) == 0 && guard < 20; guard++) lines.push_back(Line());
        EXPECT_EQ(Show(lines), Show(expected));
        EXPECT_EQ(Line(), "") << "past the end";
        EXPECT_EQ(FileAtEnd(0), -1);
        FileClose(0);
    }
};

std::string Bytes(const char* bytes, size_t length) {
    return std::string(bytes, length);
}

TEST_F(FileTest, LinesSplitAtEveryKindOfLineEnd) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;  // read until FileAtEnd(0) is true
    };
    const Case cases[] = {
        {"CR LF, lone CR, LF", "one\r\ntwo\rthree\n", {"one", "two", "three"}},
        {"ends in a lone CR", "a\rb\r", {"a", "b"}},
        {"no final line end", "first\nlast", {"first", "last"}},
        {"LF CR counts twice", "a\n\rx", {"a", "", "x"}},
        {"zero byte ends a line", Bytes("ab\0cd\n", 6), {"ab", "cd"}},
        {"zero byte at the end", Bytes("ab\0", 3), {"ab"}},
        {"empty lines", "\n\n", {"", ""}},
        {"CR CR LF", "\r\r\n", {"", ""}},
        {"CR LF CR LF", "\r\n\r\n", {"", ""}},
        {"single line end", "\n", {""}},
        {"lone CR alone", "\r", {""}},
        {"empty file", "", {}},
        {"high bytes kept", "\xE9t\xE9\r\n\xFF", {"\xE9t\xE9", "\xFF"}},
        // Line ends on the edges of the pieces in which disk files are read.
        {"CR LF across a piece edge",
         std::string(511, 'a') + "\r\nx",
         {std::string(511, 'a'), "x"}},
        {"lone CR at a piece edge", std::string(511, 'a') + "\rx", {std::string(511, 'a'), "x"}},
        {"LF first in a piece", std::string(512, 'b') + "\ny", {std::string(512, 'b'), "y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(FileOpenRead(0, Make(c.bytes).c_str()), 0);
        LinesToTheEndExpect(c.lines);
    }
}

TEST_F(FileTest, LineEndLookAheadLeavesThePositionOnTheNextLine) {
    ASSERT_NE(FileOpenRead(0, Make("ab\rcd\r\nef").c_str()), 0);
    EXPECT_EQ(Line(), "ab");
    EXPECT_EQ(FilePosition(), 3);
    EXPECT_EQ(Line(), "cd");
    EXPECT_EQ(FilePosition(), 7);
    EXPECT_EQ(FileAtEnd(0), 0);
    EXPECT_EQ(FilePosition(), 7) << "FileAtEnd leaves the position where it was";
    EXPECT_EQ(Line(), "ef");
    EXPECT_EQ(FileAtEnd(0), -1);
    EXPECT_EQ(FilePosition(), 9);

    // Byte reads between lines start exactly where the last line ended.
    ASSERT_NE(FileOpenRead(0, Make("one\r\ntwo\rthree").c_str()), 0);
    EXPECT_EQ(Line(), "one");
    EXPECT_EQ(FileReadByte(), 't');
    EXPECT_EQ(Line(), "wo");
    EXPECT_EQ(FileReadByte(), 't');
    EXPECT_EQ(FilePosition(), 10);
}

// A pipe cannot seek: the byte looked at past a lone CR, or by the end test, must stay with the
// library instead of being given back to a platform position that does not move.
class PipeFile {
public:
    explicit PipeFile(const std::string& bytes) {
        static int count = 0;
        name = "\\\\.\\pipe\\drux-file-test-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++count);
        server = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                  65536, 65536, 0, nullptr);
        written = bytes;
    }
    ~PipeFile() {
        if (server != INVALID_HANDLE_VALUE) CloseHandle(server);
    }
    PipeFile(const PipeFile&) = delete;
    PipeFile& operator=(const PipeFile&) = delete;

    // Opens the reading end as file 0, writes every byte and closes the writing end, so that the
    // reader finds the end of the file after the last byte.
    bool Open() {
        if (server == INVALID_HANDLE_VALUE || FileOpenRead(0, name.c_str()) == 0) return false;
        DWORD done = 0;
        if (!written.empty() &&
            (!WriteFile(server, written.data(), (DWORD)written.size(), &done, nullptr) ||
             done != written.size()))
            return false;
        CloseHandle(server);
        server = INVALID_HANDLE_VALUE;
        return true;
    }

private:
    std::string name;
    std::string written;
    HANDLE server = INVALID_HANDLE_VALUE;
};

TEST_F(FileTest, PipesSplitLinesAsDiskFilesDo) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;  // read until FileAtEnd(0) is true
    };
    const Case cases[] = {
        {"lone CR, then LF", "ab\rcd\nef\n", {"ab", "cd", "ef"}},
        {"CR LF, lone CR, LF", "one\r\ntwo\rthree\n", {"one", "two", "three"}},
        {"ends in a lone CR", "a\rb\r", {"a", "b"}},
        {"LF CR counts twice", "a\n\rx", {"a", "", "x"}},
        {"CR CR LF", "\r\r\n", {"", ""}},
        {"no final line end", "first\nlast", {"first", "last"}},
        {"single byte lines", "a\rb\rc", {"a", "b", "c"}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PipeFile pipe(c.bytes);
        ASSERT_TRUE(pipe.Open());
        LinesToTheEndExpect(c.lines);
    }

    // Byte reads after a look-ahead start with the byte looked at.
    PipeFile pipe("ab\rcd");
    ASSERT_TRUE(pipe.Open());
    EXPECT_EQ(FileAtEnd(0), 0);
    EXPECT_EQ(FileReadByte(), 'a');
    EXPECT_EQ(Line(), "b");
    char rest[4] = {};
    EXPECT_EQ(FileReadData(rest, 4), 2);
    EXPECT_STREQ(rest, "cd");
    EXPECT_EQ(FileAtEnd(0), -1);
    FileClose(0);
}

// Only a disk file says so: a pipe or a device may never reach its end, and the caller decides.
TEST_F(FileTest, OnlyDiskFilesAreOnDisk) {
    ASSERT_NE(FileOpenRead(1, Make("one\n").c_str()), 0);
    ASSERT_NE(FileOpenRead(2, "NUL"), 0);
    PipeFile pipe("one\n");
    ASSERT_TRUE(pipe.Open());
    struct Case {
        const char* what;
        ObjectNumber number;
        int32_t disk;
    };
    const Case cases[] = {
        {"a disk file", 1, 1}, {"a device", 2, 0}, {"a pipe", 0, 0}, {"a closed number", 3, 0}};
    for (const Case& c : cases) EXPECT_EQ(FileIsDisk(c.number), c.disk) << c.what;
    // Telling costs the pipe nothing: its line is still there.
    EXPECT_EQ(Line(), "one");
}

// What is read ahead of the caller never shows: every position-changing operation starts exactly
// where the last line ended, and a seek between lines is obeyed.
TEST_F(FileTest, ReadAheadFollowsSeeksAndByteReads) {
    ASSERT_NE(FileOpenRead(0, Make("one\ntwo\r\nthree\rfour").c_str()), 0);
    EXPECT_EQ(Line(), "one");
    FileSeek(0);
    EXPECT_EQ(FilePosition(), 0);
    EXPECT_EQ(Line(), "one") << "the seek back is obeyed";
    EXPECT_EQ(Line(), "two");
    EXPECT_EQ(FilePosition(), 9);
    char data[3] = {};
    EXPECT_EQ(FileReadData(data, 3), 3);
    EXPECT_EQ(std::string(data, 3), "thr");
    EXPECT_EQ(Line(), "ee");
    FileSeek(4);
    EXPECT_EQ(FileReadByte(), 't');
    EXPECT_EQ(Line(), "wo");
    EXPECT_EQ(FileAtEnd(0), 0);
    EXPECT_EQ(FilePosition(), 9) << "the end test leaves the position";
    FileClose(0);
}

// Line reads leave the platform's position ahead of the library's, but the handle that FileUse
// hands out stands where the last line ended: read there directly, it gives the next bytes.
TEST_F(FileTest, TheHandedOutHandleStandsWhereTheLinesEnded) {
    struct Case {
        const char* name;
        void (*read)();
        int32_t position;
        const char* next;  // the bytes a direct read of the handle gives then
    };
    const Case cases[] = {
        {"one line", [] { FileReadLine(); }, 4, "two"},
        {"three lines at once", [] { FileReadLines(3); }, 15, "four"},
        {"lines, then the end test",
         [] {
             FileReadLines(2);
             FileAtEnd(0);
         },
         9, "three"},
    };
    const std::string name = Make("one\ntwo\r\nthree\rfour");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(FileOpenRead(0, name.c_str()), 0);
        char* start = TextCursor();
        c.read();
        TextCursorSet(start);
        HANDLE handle = (HANDLE)FileUse(0);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(SetFilePointer(handle, 0, nullptr, FILE_CURRENT), (DWORD)c.position);
        char bytes[8] = {};
        DWORD read = 0;
        ASSERT_TRUE(ReadFile(handle, bytes, (DWORD)strlen(c.next), &read, nullptr));
        EXPECT_EQ(std::string(bytes, read), c.next);
        FileClose(0);
    }
}

TEST_F(FileTest, SeveralLinesAtOnceReadAsSingleLinesDo) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;  // three lines joined by line feeds
        int32_t position;  // afterwards
        int32_t atEnd;
    };
    const Case cases[] = {
        {"CR LF lines", "a\r\nb\r\nc\r\nd", "a\nb\nc", 9, 0},
        {"lone CRs, more to come", "a\rb\rc\rd", "a\nb\nc", 6, 0},
        {"two lines only", "a\nb", "a\nb\n", 3, -1},
        {"empty file", "", "\n\n", 0, -1},
        {"ends in a lone CR", "a\rb\rc\r", "a\nb\nc", 6, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(FileOpenRead(0, Make(c.bytes).c_str()), 0);
        char* start = TextCursor();
        EXPECT_EQ(FileReadLines(3), start);
        EXPECT_EQ(std::string(start), c.text);
        EXPECT_EQ(TextCursor(), start + c.text.size()) << "cursor on the zero";
        TextCursorSet(start);
        EXPECT_EQ(FilePosition(), c.position);
        EXPECT_EQ(FileAtEnd(0), c.atEnd);
        FileClose(0);
    }
}

TEST_F(FileTest, LineAppendsAtTheCursorAndStaysInTheStatement) {
    ASSERT_NE(FileOpenRead(0, Make("line\n").c_str()), 0);
    char* pieces = nullptr;
    char* start = TextCursor();
    TextAppend("<");
    FileReadLine();
    TextAppend(">");
    TextAssign(&pieces, start);
    EXPECT_STREQ(pieces, "<line>");
}

TEST_F(FileTest, AtEndTestsTheNumberedFileNotTheCurrentOne) {
    ASSERT_NE(FileOpenRead(0, Make("abc").c_str()), 0);
    ASSERT_NE(FileOpenRead(1, Make("").c_str()), 0);  // now current
    EXPECT_EQ(FileAtEnd(0), 0);
    EXPECT_EQ(FileAtEnd(1), -1);
    EXPECT_EQ(Line(), "");
    EXPECT_NE(FileUse(0), 0);
    EXPECT_EQ(FilePosition(), 0);
    EXPECT_EQ(Line(), "abc");
    EXPECT_EQ(FileAtEnd(0), -1);

    struct Case {
        const char* name;
        ObjectNumber number;
    };
    int32_t bait = 1;
    const Case unopened[] = {
        {"never opened", 5},
        {"beyond bound", 500},
        {"OBJECT_ANY", OBJECT_ANY},
        {"stray address", (ObjectNumber)&bait},
    };
    for (const Case& c : unopened) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileAtEnd(c.number), 0);
        FileClose(c.number);
    }
    FileClose(1);
    EXPECT_EQ(FileAtEnd(1), 0) << "closed number";
}

TEST_F(FileTest, FailedOpenLeavesNoFileCurrent) {
    ASSERT_NE(FileOpenRead(0, Make("kept\nsecond\n").c_str()), 0);
    std::string missing = directory + "\\missing.txt";
    EXPECT_EQ(FileOpenRead(1, missing.c_str()), 0);
    EXPECT_EQ(Line(), "");
    EXPECT_EQ(FilePosition(), -1);
    EXPECT_EQ(FileSize(), -1);
    EXPECT_EQ(FileOpenRead(0, missing.c_str()), 0) << "number 0 in use";
    EXPECT_EQ(Line(), "");
    EXPECT_EQ(FileAtEnd(0), 0) << "the file under 0 survives a failed reopen";
    EXPECT_NE(FileUse(0), 0);
    EXPECT_EQ(Line(), "kept");
    EXPECT_EQ(FileOpenRead(2, nullptr), 0);
    EXPECT_EQ(Line(), "");
    std::string other = Make("other");
    EXPECT_EQ(FileOpenExclusive(-7, other.c_str()), 0) << "no record for a negative number";
    EXPECT_EQ(Line(), "");
    EXPECT_NE(FileOpenExclusive(3, other.c_str()), 0) << "the refused open kept its handle";
}

TEST_F(FileTest, ReopeningANumberClosesItsOldFile) {
    std::string first = Make("first");
    std::string second = Make("second");
    intptr_t handle = FileOpenExclusive(0, first.c_str());
    ASSERT_NE(handle, 0);
    EXPECT_EQ(FileOpenExclusive(1, first.c_str()), 0) << "held exclusively";
    intptr_t again = FileOpenRead(0, second.c_str());
    ASSERT_NE(again, 0);
    EXPECT_EQ(Line(), "second");
    EXPECT_NE(FileOpenExclusive(1, first.c_str()), 0) << "the first file under 0 was not closed";
    EXPECT_EQ(Line(), "first");
}

TEST_F(FileTest, DynamicNumbersAndClosing) {
    std::string name = Make("x\ny\n");
    intptr_t identifier = FileOpenRead(OBJECT_ANY, name.c_str());
    ASSERT_NE(identifier, 0);
    intptr_t other = FileOpenRead(OBJECT_ANY, name.c_str());
    ASSERT_NE(other, 0);
    EXPECT_NE(other, identifier);
    FileUse(identifier);
    EXPECT_EQ(Line(), "x");
    EXPECT_EQ(FileAtEnd(other), 0);
    FileClose(identifier);
    EXPECT_EQ(Line(), "") << "closing the current file leaves none current";
    EXPECT_EQ(FileAtEnd(identifier), 0);
    FileUse(other);
    EXPECT_EQ(Line(), "x");
    FileCloseAll();
    EXPECT_EQ(FileAtEnd(other), 0);
    EXPECT_EQ(FileOpenExclusive(3, name.c_str()) != 0, true) << "everything was closed";
}

TEST_F(FileTest, OverlongLinesAreCutAndTheRestSkipped) {
    const std::string megabyte(1 << 20, 'm');
    const std::string longLine(100000, 'l');  // past the buffer, cheaper to read byte by byte
    struct Case {
        const char* name;
        std::string bytes;
        int32_t used;   // bytes of the work buffer taken before the read
        size_t length;  // of the line as read
        std::string after;
    };
    const size_t whole = WORK_BUFFER_SIZE - 1;
    const Case cases[] = {
        {"1 MB line, then another", megabyte + "\nnext\n", 0, whole, "next"},
        {"long line, CR LF", longLine + "\r\nnext", 0, whole, "next"},
        {"long line, lone CR", longLine + "\rnext", 0, whole, "next"},
        {"long line without line end", longLine, 0, whole, ""},
        {"short line, buffer nearly full", "0123456789\nnext", WORK_BUFFER_SIZE - 5, 4, "next"},
        {"buffer full", "0123456789\nnext", WORK_BUFFER_SIZE - 1, 0, "next"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(FileOpenRead(0, Make(c.bytes).c_str()), 0);
        TextCursorSet(WorkBuffer + c.used);
        char* line = FileReadLine();
        EXPECT_EQ(line, WorkBuffer + c.used);
        EXPECT_EQ(strlen(line), c.length);
        EXPECT_EQ(WorkBuffer[WORK_BUFFER_SIZE - 1], 0);
        TextCursorSet(WorkBuffer);
        EXPECT_EQ(Line(), c.after);
        EXPECT_EQ(FileAtEnd(0), -1);
        EXPECT_TRUE(MainHeapIntact());
        FileClose(0);
    }
}

TEST_F(FileTest, BinaryReadsAndPositioning) {
    const char bytes[] = "\xFF\x01\x80\x01\x02\x03\x04\x00\x00\x80\x3F\x7F";
    ASSERT_NE(FileOpenRead(0, Make(Bytes(bytes, 12)).c_str()), 0);
    EXPECT_EQ(FileSize(), 12);
    EXPECT_EQ(FileReadByte(), -1);
    EXPECT_EQ(FileReadWord(), (int16_t)0x8001);
    EXPECT_EQ(FileReadLong(), 0x04030201);
    EXPECT_EQ(FileReadFloat(), 1.0f);
    EXPECT_EQ(FilePosition(), 11);
    EXPECT_EQ(FileReadWord(), 0x7F) << "the byte not read counts as 0";
    EXPECT_EQ(FileReadLong(), 0);
    EXPECT_EQ(FileReadFloat(), 0.0f);
    EXPECT_EQ(FileReadByte(), 0);
    FileSeek(3);
    char data[8] = {};
    EXPECT_EQ(FileReadData(data, 8), 8);
    EXPECT_EQ(memcmp(data, bytes + 3, 8), 0);
    EXPECT_EQ(FileReadData(data, 8), 1);
    EXPECT_EQ(FileReadData(data, 0), 0);
    FileClose(0);
    EXPECT_EQ(FileReadData(data, 8), 0);
    EXPECT_EQ(FileReadByte(), 0);
    EXPECT_EQ(FileReadLong(), 0);
    EXPECT_EQ(FileReadFloat(), 0.0f);
    EXPECT_EQ(FileUse(7), 0);
}

TEST_F(FileTest, OpenModesCreateAndEmpty) {
    std::string name = directory + "\\created.txt";
    made.push_back(name);
    EXPECT_NE(FileOpen(0, name.c_str()), 0) << "created if missing";
    EXPECT_EQ(FileSize(), 0);
    FileClose(0);
    std::string full = Make("contents");
    ASSERT_NE(FileCreate(0, full.c_str()), 0);
    EXPECT_EQ(FileSize(), 0) << "emptied";
    FileClose(0);
    EXPECT_EQ(FileOpenExclusive(0, name.c_str()) != 0, true);
    EXPECT_EQ(FileOpenRead(1, name.c_str()), 0) << "no sharing";
}

}  // namespace
