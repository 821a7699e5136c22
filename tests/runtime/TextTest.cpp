// The text engine: the work-buffer protocol, variables, comparisons, conversions, pieces, and
// texts that do not fit into the work buffer.
#include <stdint.h>
#include <string.h>

#include <string>

#include "RuntimeFixture.h"
#include "tests/support/HeapSwap.h"

namespace {

class TextTest : public RuntimeFixture {
protected:
    char* variable = nullptr;

    // Puts text into the work buffer at position and leaves the cursor past its zero, as a
    // statement does with a text that must survive while more is built.
    static char* Place(char* position, const std::string& text) {
        char* at = TextPut(position, text.data(), (int32_t)text.size());
        TextCursorSet(at + text.size() + 1);
        return at;
    }
};

TEST_F(TextTest, AssignmentTakesThePiecesAndPutsTheCursorBack) {
    char* start = TextCursor();
    TextAppend("ab");
    TextFromNumber(-12);
    TextAppend(nullptr);
    TextAppend("cd");
    EXPECT_EQ(TextCursor(), start + 7);
    ASSERT_EQ(TextAssign(&variable, start), 1);
    EXPECT_STREQ(variable, "ab-12cd");
    EXPECT_EQ(TextCursor(), start);
    EXPECT_EQ(HeapSize(MainHeap, 0, variable), 8u);

    TextAppend("x");
    ASSERT_EQ(TextAssign(&variable, start), 1);
    EXPECT_STREQ(variable, "x");
    TextAssign(&variable, TextCursor());
    EXPECT_STREQ(variable, "");
}

TEST_F(TextTest, AssignmentKeepsTheOldTextWhenTheHeapRefuses) {
    ASSERT_EQ(TextSet(&variable, "old"), 1);
    char* start = TextCursor();
    TextSpaces(60000);
    char* old = variable;
    {
        // A heap with a small fixed maximum stands in for an exhausted MainHeap.
        support::HeapSwap small(MainHeap, 4096, 16384);
        EXPECT_EQ(TextAssign(&variable, start), 0);
        EXPECT_EQ(TextCursor(), start);
        EXPECT_EQ(TextSet(&variable, std::string(20000, 'z').c_str()), 0);
    }
    EXPECT_EQ(variable, old);
    EXPECT_STREQ(variable, "old");
}

TEST_F(TextTest, SetCopiesAndMayTakeTheVariablesOwnText) {
    const char* constant = "constant";
    ASSERT_EQ(TextSet(&variable, constant), 1);
    EXPECT_NE(variable, constant);
    EXPECT_STREQ(variable, "constant");
    char* cursor = TextCursor();
    ASSERT_EQ(TextSet(&variable, variable), 1);
    EXPECT_STREQ(variable, "constant");
    EXPECT_EQ(TextCursor(), cursor);
    EXPECT_TRUE(MainHeapIntact());
    ASSERT_EQ(TextSet(&variable, nullptr), 1);
    EXPECT_EQ(variable, nullptr);
}

TEST_F(TextTest, ComparisonsByUnsignedBytesWithNullAsEmpty) {
    struct Case {
        const char* left;
        const char* right;
        int32_t equal, less, greater;
    };
    const Case cases[] = {
        {nullptr, "", 1, 0, 0}, {"", nullptr, 1, 0, 0},    {nullptr, nullptr, 1, 0, 0},
        {"a", "A", 0, 0, 1},    {"ab", "abc", 0, 1, 0},    {"abc", "ab", 0, 0, 1},
        {"\xE9", "z", 0, 0, 1}, {"same", "same", 1, 0, 0}, {"", "a", 0, 1, 0},
        {"b", "ab", 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.left ? c.left : "(null)") + " vs " +
                     (c.right ? c.right : "(null)"));
        EXPECT_EQ(TextEqual(c.left, c.right), c.equal);
        EXPECT_EQ(TextLess(c.left, c.right), c.less);
        EXPECT_EQ(TextGreater(c.left, c.right), c.greater);
    }
}

TEST_F(TextTest, FindIsOneBasedAndCaseSensitive) {
    struct Case {
        const char* text;
        const char* pattern;
        int32_t start;
        int32_t expected;
    };
    const Case cases[] = {
        {"abc", "b", 1, 2},    {"abc", "b", 3, 0},     {"abc", "b", 0, 2},
        {"abc", "b", -4, 2},   {"abc", "bc", 2, 2},    {"abc", "cd", 1, 0},
        {"abc", "B", 1, 0},    {"abc", "", 1, 1},      {"abc", "", 0, 1},
        {"abc", "", 4, 4},     {"abc", "", 5, 0},      {"abc", "", 3, 3},
        {nullptr, "a", 1, 0},  {"abc", nullptr, 1, 0}, {"", "", 1, 1},
        {"", "a", 1, 0},       {"aaab", "aab", 1, 2},  {"abcabc", "c", 4, 6},
        {"abc", "abcd", 1, 0}, {"abc", "c", 3, 3},     {"abc", "a", 2147483647, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text ? c.text : "(null)") + " / " +
                     (c.pattern ? c.pattern : "(null)") + " from " + std::to_string(c.start));
        EXPECT_EQ(TextFind(c.text, c.pattern, c.start), c.expected);
    }
}

TEST_F(TextTest, CaseMappingCoversTheLatinOneLetters) {
    const char* upper = TextUpper("\x61\x7A\x7B\xE9\xF7\xFF\x9A\x41");
    EXPECT_STREQ(upper, "\x41\x5A\x7B\xC9\xD7\xDF\x9A\x41");
    EXPECT_EQ(TextCursor(), upper + 8);
    const char* lower = TextLower("\x41\x5A\x5B\xC9\xD7\xDF\xC0\xE0\x61");
    EXPECT_STREQ(lower, "\x61\x7A\x5B\xE9\xF7\xFF\xE0\xE0\x61");
    EXPECT_STREQ(TextUpper(nullptr), "");
}

TEST_F(TextTest, CharacterCodes) {
    EXPECT_EQ(TextCode("\xE9"), 233);
    EXPECT_EQ(TextCode("AB"), 65);
    EXPECT_EQ(TextCode(""), 0);
    EXPECT_EQ(TextCode(nullptr), 0);

    char* start = TextCursor();
    EXPECT_STREQ(TextFromCode(321), "A");
    EXPECT_EQ(TextCursor(), start + 1);
    TextCursorSet(start);
    EXPECT_STREQ(TextFromCode(0), "");
    EXPECT_EQ(TextCursor(), start + 1) << "code 0 leaves the cursor past its zero";
}

TEST_F(TextTest, NumbersToTextAndBack) {
    struct Case {
        const char* name;
        char* (*format)(int32_t value);
        int32_t value;
        const char* expected;
    };
    auto number = [](int32_t value) { return TextFromNumber(value); };
    auto hex = [](int32_t value) { return TextHex(value); };
    auto byte = [](int32_t value) { return TextFromUnsigned(value, 0); };
    auto word = [](int32_t value) { return TextFromUnsigned(value, 1); };
    auto full = [](int32_t value) { return TextFromUnsigned(value, 2); };
    const Case cases[] = {
        {"number", number, 0, "0"},
        {"number", number, -42, "-42"},
        {"number", number, INT32_MIN, "-2147483648"},
        {"number", number, INT32_MAX, "2147483647"},
        {"hex", hex, 255, "FF"},
        {"hex", hex, -1, "FFFFFFFF"},
        {"hex", hex, 0, "0"},
        {"hex", hex, 0xABC, "ABC"},
        {"unsigned width 0", byte, -1, "255"},
        {"unsigned width 0", byte, 0x1234, "52"},
        {"unsigned width 1", word, -1, "65535"},
        {"unsigned width 2", full, -1, "4294967295"},
        {"unsigned width 2", full, 7, "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
        char* start = TextCursor();
        char* text = c.format(c.value);
        EXPECT_EQ(text, start);
        EXPECT_STREQ(text, c.expected);
        EXPECT_EQ(TextCursor(), start + strlen(c.expected));
        TextCursorSet(start);
    }
    EXPECT_STREQ(TextFromUnsigned(-1, 5), "4294967295") << "any other width is all 32 bits";
}

TEST_F(TextTest, TextToNumberReadsLeadingDigitsAndWraps) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"  -42x", -42},
        {"+7", 7},
        {"- 4", 0},
        {"", 0},
        {nullptr, 0},
        {"x12", 0},
        {"\t5", 0},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"4294967297", 1},
        {"99999999999999999999", 1661992959},  // 10^20 - 1 modulo 2^32
        {"--1", 0},
        {"12 34", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(TextToNumber(c.text), c.expected);
    }
}

TEST_F(TextTest, SpacesFill) {
    struct Case {
        int32_t count;
        const char* expected;
    };
    const Case cases[] = {{0, ""}, {-3, ""}, {1, " "}, {4, "    "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        char* start = TextCursor();
        EXPECT_STREQ(TextSpaces(c.count), c.expected);
        EXPECT_EQ(TextCursor(), start + strlen(c.expected));
        TextCursorSet(start);
    }
}

// One row per piece operation; each runs on a text elsewhere and, again, in place.
struct PieceCase {
    const char* name;
    char* (*piece)(const char* text, char* out);
    const char* text;
    const char* expected;
};

const PieceCase pieceCases[] = {
    {"Left 2", [](const char* t, char* o) { return TextLeft(t, 2, o); }, "abcd", "ab"},
    {"Left 9", [](const char* t, char* o) { return TextLeft(t, 9, o); }, "abcd", "abcd"},
    {"Left 0", [](const char* t, char* o) { return TextLeft(t, 0, o); }, "abcd", ""},
    {"Left -1", [](const char* t, char* o) { return TextLeft(t, -1, o); }, "abcd", ""},
    {"Right 2", [](const char* t, char* o) { return TextRight(t, 2, o); }, "abcd", "cd"},
    {"Right 9", [](const char* t, char* o) { return TextRight(t, 9, o); }, "abcd", "abcd"},
    {"Right 0", [](const char* t, char* o) { return TextRight(t, 0, o); }, "abcd", ""},
    {"Mid 2,2", [](const char* t, char* o) { return TextMid(t, 2, 2, o); }, "abcd", "bc"},
    {"Mid 0,2", [](const char* t, char* o) { return TextMid(t, 0, 2, o); }, "abcd", "ab"},
    {"Mid 3,9", [](const char* t, char* o) { return TextMid(t, 3, 9, o); }, "abcd", "cd"},
    {"Mid 5,1", [](const char* t, char* o) { return TextMid(t, 5, 1, o); }, "abcd", ""},
    {"Mid 6,1", [](const char* t, char* o) { return TextMid(t, 6, 1, o); }, "abcd", ""},
    {"Mid 2,0", [](const char* t, char* o) { return TextMid(t, 2, 0, o); }, "abcd", ""},
    {"TrimLeft", TextTrimLeft, "  a b  ", "a b  "},
    {"TrimRight", TextTrimRight, "  a b  ", "  a b"},
    {"Trim", TextTrim, "  a b  ", "a b"},
    {"Trim spaces only", TextTrim, "    ", ""},
    {"Trim keeps tabs", TextTrim, "\ta\t", "\ta\t"},
    {"Upper", TextUpper, "a1z", "A1Z"},
};

TEST_F(TextTest, PiecesElsewhereAndInPlace) {
    for (const PieceCase& c : pieceCases) {
        SCOPED_TRACE(c.name);
        char* start = TextCursor();
        char* result = c.piece(c.text, nullptr);
        EXPECT_EQ(result, start);
        EXPECT_STREQ(result, c.expected);
        EXPECT_EQ(TextCursor(), start + strlen(c.expected));
        TextCursorSet(start);

        char* argument = Place(start, c.text);
        result = c.piece(argument, argument);
        EXPECT_EQ(result, argument);
        EXPECT_STREQ(result, c.expected) << "in place";
        EXPECT_EQ(TextCursor(), argument + strlen(c.expected));
        TextCursorSet(start);

        EXPECT_STREQ(c.piece(nullptr, nullptr), "") << "null text";
        TextCursorSet(start);
    }
    EXPECT_EQ(TextLength("abc"), 3);
    EXPECT_EQ(TextLength(nullptr), 0);
}

TEST_F(TextTest, NothingWritesPastTheBuffer) {
    char* last = WorkBuffer + WORK_BUFFER_SIZE - 1;
    const std::string big(40000, 'b');

    char* spaces = TextSpaces(100000);
    EXPECT_EQ(spaces, WorkBuffer);
    EXPECT_EQ(strlen(spaces), (size_t)WORK_BUFFER_SIZE - 1);
    EXPECT_EQ(TextCursor(), last);
    TextCursorSet(WorkBuffer);

    TextAppend(big.c_str());
    TextAppend(big.c_str());
    TextFromNumber(123);
    TextFromCode('x');
    EXPECT_EQ(strlen(WorkBuffer), (size_t)WORK_BUFFER_SIZE - 1);
    EXPECT_EQ(TextCursor(), last);
    EXPECT_EQ(*last, 0);
    char* start = WorkBuffer;
    ASSERT_EQ(TextAssign(&variable, start), 1);
    EXPECT_EQ(strlen(variable), (size_t)WORK_BUFFER_SIZE - 1);

    // A cursor moved past a text that ends on the last byte points beyond the buffer.
    Place(WorkBuffer + WORK_BUFFER_SIZE - 4, "abc");
    char* beyond = TextAppend("more");
    EXPECT_EQ(beyond, last);
    EXPECT_STREQ(beyond, "");
    EXPECT_STREQ(WorkBuffer + WORK_BUFFER_SIZE - 4, "abc");
    TextCursorSet(WorkBuffer + 10 * WORK_BUFFER_SIZE);
    EXPECT_EQ(TextCursor(), last);
    EXPECT_EQ(TextRoom(WorkBuffer + WORK_BUFFER_SIZE), 0);
    EXPECT_EQ(TextRoom(WorkBuffer - 1), 0);
    EXPECT_EQ(TextRoom(last), 1);
    EXPECT_TRUE(MainHeapIntact());
}

TEST_F(TextTest, ProducersNearTheEndAreCut) {
    char* last = WorkBuffer + WORK_BUFFER_SIZE - 1;
    struct Case {
        const char* name;
        int32_t room;  // bytes left at the output position, zero included
        char* (*produce)(char* out);
        const char* expected;
    };
    const Case cases[] = {
        {"number", 3, [](char* o) { return TextFromNumber(-12345, o); }, "-1"},
        {"hex", 1, [](char* o) { return TextHex(-1, o); }, ""},
        {"code", 1, [](char* o) { return TextFromCode('A', o); }, ""},
        {"spaces", 4, [](char* o) { return TextSpaces(10, o); }, "   "},
        {"upper", 5, [](char* o) { return TextUpper("abcdefgh", o); }, "ABCD"},
        {"mid", 2, [](char* o) { return TextMid("abcdefgh", 3, 4, o); }, "c"},
        {"peek", 3,
         [](char* o) {
             TextCursorSet(o);
             return PeekText((intptr_t) "peeked");
         },
         "pe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memset(WorkBuffer, 'u', WORK_BUFFER_SIZE - 1);
        *last = 0;
        char* out = WorkBuffer + WORK_BUFFER_SIZE - c.room;
        char* result = c.produce(out);
        EXPECT_EQ(result, out);
        EXPECT_STREQ(result, c.expected);
        EXPECT_EQ(*last, 0);
        EXPECT_LE(TextCursor(), last);
    }
    EXPECT_TRUE(MainHeapIntact());
}

TEST_F(TextTest, InPlacePiecesNearTheEnd) {
    char* last = WorkBuffer + WORK_BUFFER_SIZE - 1;
    for (const PieceCase& c : pieceCases) {
        SCOPED_TRACE(c.name);
        std::string text = c.text;
        char* argument = Place(last - text.size(), text);
        ASSERT_STREQ(argument, c.text);
        EXPECT_STREQ(c.piece(argument, argument), c.expected);
        EXPECT_EQ(*last, 0);
    }
    EXPECT_TRUE(MainHeapIntact());
}

}  // namespace
