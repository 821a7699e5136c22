// Command-line arguments: quoting, backslashes, blanks, and arguments longer than the work buffer.
#include <string>

#include "RuntimeFixture.h"
#include "runtime/CommandLine.h"

namespace {

class CommandLineTest : public RuntimeFixture {};

struct ArgumentCase {
    const char* commandLine;
    int32_t index;
    const char* expected;  // null: no such argument
};

TEST_F(CommandLineTest, SplitsAsWindowsProgramsDo) {
    const ArgumentCase cases[] = {
        {"DRUX.exe", 0, "DRUX.exe"},
        {"DRUX.exe", 1, nullptr},
        {"DRUX.exe   ", 1, nullptr},
        {"DRUX.exe data.out", 1, "data.out"},
        {"DRUX.exe \t data.out\t", 1, "data.out"},
        {"DRUX.exe a b", 2, "b"},
        {"DRUX.exe a b", 3, nullptr},
        {"\"C:\\Program Files\\DRUX\\DRUX.exe\" x", 0, "C:\\Program Files\\DRUX\\DRUX.exe"},
        {"\"C:\\Program Files\\DRUX\\DRUX.exe\" x", 1, "x"},
        // In the program name a backslash before a quote is plain.
        {"\"C:\\dir\\\"x y", 0, "C:\\dir\\x"},
        {"\"C:\\dir\\\"x y", 1, "y"},
        {"DRUX.exe \"C:\\My Constants\\all.out\"", 1, "C:\\My Constants\\all.out"},
        {"DRUX.exe C:\\My\" Constants\"\\all.out", 1, "C:\\My Constants\\all.out"},
        {"DRUX.exe C:\\My Constants\\all.out", 1, "C:\\My"},
        {"DRUX.exe \"\"", 1, ""},
        {"DRUX.exe \"\" b", 2, "b"},
        {"DRUX.exe \"unclosed quote", 1, "unclosed quote"},
        {"DRUX.exe a\\\\b", 1, "a\\\\b"},
        {"DRUX.exe a\\\"b", 1, "a\"b"},
        {"DRUX.exe a\\\\\"b c\"", 1, "a\\b c"},
        {"DRUX.exe a\\\\\\\"b", 1, "a\\\"b"},
        {"DRUX.exe \"a\"\"b\"", 1, "a\"b"},
        {"DRUX.exe \"C:\\dir\\\\\"", 1, "C:\\dir\\"},
        {"", 0, ""},
        {"", 1, nullptr},
        {"DRUX.exe x", -1, nullptr},
    };
    for (const ArgumentCase& c : cases) {
        SCOPED_TRACE(std::string("[") + c.commandLine + "] argument " + std::to_string(c.index));
        char* start = TextCursor();
        char* argument = CommandLineArgument(c.commandLine, c.index);
        if (!c.expected) {
            EXPECT_EQ(argument, nullptr) << argument;
        } else {
            ASSERT_NE(argument, nullptr);
            EXPECT_STREQ(argument, c.expected);
            EXPECT_EQ(argument, start);
            EXPECT_EQ(TextCursor(), start + strlen(c.expected));
        }
        TextCursorSet(start);
    }
}

TEST_F(CommandLineTest, AnArgumentThatDoesNotFitIsEmptyNotCut) {
    struct LengthCase {
        int32_t room;    // bytes between the output position and the buffer's end
        int32_t length;  // of the argument
        bool fits;
    };
    const LengthCase cases[] = {
        {100, 98, true}, {100, 99, true}, {100, 100, false}, {100, 5000, false}};
    for (const LengthCase& c : cases) {
        SCOPED_TRACE("room " + std::to_string(c.room) + ", length " + std::to_string(c.length));
        std::string argument(c.length, 'x');
        std::string commandLine = "DRUX.exe \"" + argument + "\" next";
        char* out = WorkBuffer + WORK_BUFFER_SIZE - c.room;
        char* text = CommandLineArgument(commandLine.c_str(), 1, out);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text), c.fits ? argument : std::string());
        EXPECT_STREQ(CommandLineArgument(commandLine.c_str(), 2, WorkBuffer), "next");
        EXPECT_TRUE(MainHeapIntact());
    }
    // An output position outside the buffer takes nothing.
    char* outside = CommandLineArgument("DRUX.exe abc", 1, WorkBuffer + WORK_BUFFER_SIZE + 10);
    ASSERT_NE(outside, nullptr);
    EXPECT_STREQ(outside, "");
}

}  // namespace
