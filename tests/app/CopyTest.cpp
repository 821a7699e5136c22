// Ctrl+C: the selected row reaches the clipboard as a person would paste it, and the other
// commands carry on as before. The test reads the clipboard from its own process: the virtual
// desktop has one clipboard for all its programs.
#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

namespace e2e {
namespace {

std::string RowLine(const Constant& c) {
    return c.name + "\t" + c.decimal + "\t" + c.hex + "\r\n";
}

// DRUX may hold the clipboard open for a moment, so opening it is retried.
bool ClipboardOpen() {
    return PollUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3000, 10);
}

::testing::AssertionResult ClipboardPut(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) return ::testing::AssertionFailure() << "no global memory";
    char* bytes = static_cast<char*>(GlobalLock(block));
    memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!ClipboardOpen()) {
        GlobalFree(block);
        return ::testing::AssertionFailure() << "the clipboard does not open";
    }
    bool set = EmptyClipboard() && SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    if (!set) {
        GlobalFree(block);
        return ::testing::AssertionFailure() << "SetClipboardData failed";
    }
    return ::testing::AssertionSuccess();
}

std::string ClipboardText() {
    if (!ClipboardOpen()) return "<the clipboard does not open>";
    std::string text = "<no text>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

::testing::AssertionResult ClipboardWait(const std::string& expected) {
    std::string seen;
    if (PollUntil([&] { return (seen = ClipboardText()) == expected; }, 3000, 20))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the clipboard holds \"" << seen << "\", expected \"" << expected << "\"";
}

class DruxCopy : public ::testing::Test {
protected:
    void Launch(const std::vector<Constant>& constants) {
        file_ = ConstantsFile(constants);
        ASSERT_TRUE(run_.Start(&file_, static_cast<int>(constants.size())));
    }

    std::string file_;
    DruxRun run_;
};

TEST_F(DruxCopy, CopiesTheSelectedRowAsNameDecimalAndHexSeparatedByTabs) {
    ASSERT_NO_FATAL_FAILURE(Launch(SAMPLE));
    // Spaces and prefixes go as stored; the last row and the first one are no different.
    for (int row : {3, 2, 4, 0}) {
        SCOPED_TRACE("row " + std::to_string(row));
        ASSERT_TRUE(ClipboardPut("before"));
        ASSERT_TRUE(run_.RowClick(row));
        ASSERT_TRUE(run_.SelectionWait(row));
        KeyPress('C', WITH_CONTROL);
        EXPECT_TRUE(ClipboardWait(RowLine(SAMPLE[row])));
    }
}

TEST_F(DruxCopy, WithoutASelectionLeavesTheClipboardAndTheOtherCommandsWork) {
    ASSERT_NO_FATAL_FAILURE(Launch(SAMPLE));
    ASSERT_TRUE(ClipboardPut("kept"));
    ASSERT_TRUE(run_.ForegroundMake());
    ASSERT_TRUE(run_.SelectedRows().empty());

    // The keys are handled in order, so once the prompt of Ctrl+F shows, Ctrl+C has been.
    KeyPress('C', WITH_CONTROL);
    KeyPress('F', WITH_CONTROL);
    Prompt prompt;
    ASSERT_TRUE(PromptWait(run_, &prompt));
    EXPECT_EQ(ClipboardText(), "kept");
    ASSERT_TRUE(PromptAnswer(run_, prompt, "WM_"));
    ASSERT_TRUE(run_.SelectionWait(0));

    // After a copy F3 goes on from the last hit, and a copy takes the new row.
    KeyPress('C', WITH_CONTROL);
    EXPECT_TRUE(ClipboardWait(RowLine(SAMPLE[0])));
    KeyPress(VK_F3);
    ASSERT_TRUE(run_.SelectionWait(1));
    KeyPress('C', WITH_CONTROL);
    EXPECT_TRUE(ClipboardWait(RowLine(SAMPLE[1])));

    // The popup menu still opens and closes, and Esc still ends the program.
    POINT press = run_.ClientToScreenPoint(run_.Window(), 10, 10);
    MouseMove(press);
    MouseClick(press, true);
    HWND menu = nullptr;
    ASSERT_TRUE(run_.TopLevelWait("#32768", nullptr, &menu));
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(PollUntil([&] { return !IsWindowVisible(menu); }, 3000));
    EXPECT_TRUE(run_.Running());
    ASSERT_TRUE(run_.EscapeExit());
}

TEST_F(DruxCopy, IsDroppedDuringTheLoad) {
    constexpr int LOADING_ROWS = 100000;  // long enough that the copy reaches DRUX while it loads
    const std::vector<Constant> constants = NumberedConstants(LOADING_ROWS);
    file_ = ConstantsFile(constants);
    ASSERT_TRUE(ClipboardPut("seed"));
    ASSERT_TRUE(PointerPlace(LAUNCH_POINTER));
    ASSERT_TRUE(run_.Launch(&file_));
    ASSERT_TRUE(run_.WindowWait());
    int count = 0;
    ASSERT_TRUE(PollUntil([&] { return (count = run_.ItemCount()) >= 100; })) << count << " rows";

    // The list takes the click while the file loads; the copy is a command, and is dropped. The
    // click waits for the window's first paint, which comes in the load's first drain.
    ASSERT_TRUE(run_.RowClick(0));
    ASSERT_TRUE(run_.SelectionWait(0));
    // The key goes to the foreground window: without DRUX there, it would test nothing.
    ASSERT_TRUE(run_.ForegroundMake());
    KeyPress('C', WITH_CONTROL);
    EXPECT_EQ(GetForegroundWindow(), run_.Window()) << "the key went elsewhere";
    // Answered by the same drain that takes the key, before its effect.
    count = run_.ItemCount();
    ASSERT_LT(count, LOADING_ROWS) << "the copy may have come after the load";

    ASSERT_TRUE(run_.LoadWait(LOADING_ROWS, 60000));
    EXPECT_EQ(ClipboardText(), "seed");

    ASSERT_TRUE(run_.ForegroundMake());
    KeyPress('C', WITH_CONTROL);
    EXPECT_TRUE(ClipboardWait(RowLine(constants[0])));
}

}  // namespace
}  // namespace e2e
