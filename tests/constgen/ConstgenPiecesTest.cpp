// constgen's pieces on their own: the writer of the record, the rule for the same value, and the
// command line's options.
#include <gtest/gtest.h>
#include <string.h>

#include <functional>

#include "ConstgenSupport.h"
#include "Same.h"

namespace {

Macro MacroOf(const std::string& line) {
    Macro macro;
    Failure failure;
    EXPECT_TRUE(MacroParse(TokensFromText(line), macro, failure)) << line;
    return macro;
}

}  // namespace

// Every file constgen and constprobe write is these bytes; DRUX and the data set's checks read
// them.
TEST(ConstgenRecord, WrittenAsThreeCrLfLines) {
    struct RecordCase {
        Record record;
        const char* text;
    };
    const RecordCase cases[] = {
        {RecordOf32("ZERO", 0), "ZERO\r\n0\r\n0x0\r\n"},
        {RecordOf32("WM_PAINT", 15), "WM_PAINT\r\n15\r\n0xF\r\n"},
        {RecordOf32("E_ACCESSDENIED", 0x80070005u),
         "E_ACCESSDENIED\r\n-2147024891\r\n0x80070005\r\n"},
        {RecordOf32("INFINITE", 0xFFFFFFFFu), "INFINITE\r\n-1\r\n0xFFFFFFFF\r\n"},
        {RecordOf32("TOP", 0x7FFFFFFFu), "TOP\r\n2147483647\r\n0x7FFFFFFF\r\n"},
        {RecordOf64("ASC_REQ_MESSAGES", 0x100000000u),
         "ASC_REQ_MESSAGES\r\n4294967296\r\n0x100000000\r\n"},
        {RecordOf64("ALL_ONES", UINT64_MAX), "ALL_ONES\r\n-1\r\n0xFFFFFFFFFFFFFFFF\r\n"},
        {RecordOf64("LOWEST", uint64_t{1} << 63),
         "LOWEST\r\n-9223372036854775808\r\n0x8000000000000000\r\n"},
        {RecordOf64("HIGHEST", INT64_MAX),
         "HIGHEST\r\n9223372036854775807\r\n0x7FFFFFFFFFFFFFFF\r\n"},
    };
    std::string all;
    for (const RecordCase& c : cases) {
        EXPECT_EQ(RecordText(c.record), c.text);
        all += c.text;
    }
    std::vector<Record> records;
    for (const RecordCase& c : cases) {
        records.push_back(c.record);
    }
    EXPECT_EQ(RecordsText(records), all);
}

// Each case: the rule for the record, and the stricter one for the expressions that use it.
TEST(ConstgenSame, ValuesAgreeWhenTheirRecordsDo) {
    const Failure none;
    const Failure notInteger{SkipReason::NotInteger, ""};
    const Failure functionLike{SkipReason::FunctionLike, ""};
    IntValue uncertain = IntValueMake(1, IntType::Int32);
    uncertain.typeUncertain = true;
    struct ValueCase {
        const char* what;
        Failure failureA;
        IntValue a;
        Failure failureB;
        IntValue b;
        bool same;
        bool forExpressions;
    };
    const ValueCase cases[] = {
        {"equal", none, IntValueMake(3, IntType::Int32), none, IntValueMake(3, IntType::Int32),
         true, true},
        {"other number", none, IntValueMake(1, IntType::Int32), none,
         IntValueMake(2, IntType::Int32), false, false},
        // One record, 0xFFFFFFFF; but (A > 0) tells them apart.
        {"same 32-bit pattern", none, IntValueMake(static_cast<uint64_t>(-1), IntType::Int32), none,
         IntValueMake(0xFFFFFFFFu, IntType::UInt32), true, false},
        {"same number, other type", none, IntValueMake(1, IntType::Int32), none,
         IntValueMake(1, IntType::Int64), true, false},
        {"type not certain", none, IntValueMake(1, IntType::Int32), none, uncertain, true, false},
        {"both no constant", notInteger, IntValue(), functionLike, IntValue(), true, true},
        {"a constant and none", none, IntValueMake(0, IntType::Int32), notInteger, IntValue(),
         false, false},
        // Wider than 32 bits: no record, but names computed from them may differ.
        {"wide, equal", none, IntValueMake(uint64_t{1} << 32, IntType::Int64), none,
         IntValueMake(uint64_t{1} << 32, IntType::Int64), true, true},
        {"wide, other", none, IntValueMake(uint64_t{1} << 32, IntType::Int64), none,
         IntValueMake(uint64_t{2} << 32, IntType::Int64), false, false},
        {"wide against its low half", none, IntValueMake((uint64_t{1} << 32) | 5, IntType::Int64),
         none, IntValueMake(5, IntType::Int64), false, false},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SameValue(c.failureA, c.a, c.failureB, c.b), c.same);
        EXPECT_EQ(SameValue(c.failureB, c.b, c.failureA, c.a), c.same);
        EXPECT_EQ(SameForExpressions(c.failureA, c.a, c.failureB, c.b), c.forExpressions);
        EXPECT_EQ(SameForExpressions(c.failureB, c.b, c.failureA, c.a), c.forExpressions);
    }
}

TEST(ConstgenSame, DefinitionsAgreeTokenForToken) {
    struct DefinitionCase {
        const char* a;
        const char* b;
        bool same;
    };
    const DefinitionCase cases[] = {
        {"N 3", "N   3", true},
        {"N 3", "N (1 + 2)", false},  // the same value, but not known to be while reading
        {"F(x) ((x) + 1)", "F(x) ((x)+1)", true},
        {"F(x) ((x) + 1)", "F(y) ((y) + 1)", false},
        {"F(x) x", "F(x, y) x", false},
        {"F(x, ...) x", "F(x) x", false},
        {"F() 1", "F 1", false},
    };
    for (const DefinitionCase& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(SameDefinition(MacroOf(c.a), MacroOf(c.b)), c.same);
    }
}

// The summary's count of redefinitions that differed and what is written follow the same rule.
TEST(ConstgenSame, SummaryCountsWhatDiffersInValue) {
    ScratchDirectory scratch;
    const std::string header =
        scratch.Write("again.h",
                      "#ifdef A\n#define SAME 3\n#else\n#define SAME (1 + 2)\n#endif\n"
                      "enum { RE_EXPORTED = 5 };\n#define RE_EXPORTED RE_EXPORTED\n"
                      "enum { ALIKE = 6 };\n#ifdef B\n#define ALIKE 6\n#endif\n"
                      "#ifdef C\n#define OTHER 1\n#else\n#define OTHER 2\n#endif\n"
                      "#ifdef D\n#define TEXT \"a\"\n#else\n#define TEXT \"b\"\n#endif\n");
    Options options;
    std::ostringstream messages;
    Definitions definitions({}, false, false, messages);
    ASSERT_TRUE(definitions.FileScan(header));
    definitions.Evaluate();
    Summary summary;
    std::vector<Constant> constants = ConstantsSelect(definitions, options, summary, messages);
    std::vector<std::string> names;
    for (const Constant& constant : constants) {
        names.push_back(constant.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"SAME", "RE_EXPORTED", "ALIKE"}));
    EXPECT_EQ(summary.repeated, 5u);
    EXPECT_EQ(summary.repeatedDiffering, 1u);  // OTHER
}

// Each case: the arguments, then what they set (or the error).
TEST(ConstgenOptions, EachOptionInEachSpelling) {
    struct OptionCase {
        std::vector<std::string> arguments;
        std::function<bool(const Options&)> holds;
        const char* error;  // nullptr: parsed
    };
    using Strings = std::vector<std::string>;
    const OptionCase cases[] = {
        {{"-I", "a", "-Ib", "--include-dir", "c", "--include-dir=d", "h"},
         [](const Options& o) {
             return o.includeDirectories == Strings{"a", "b", "c", "d"};
         },
         nullptr},
        {{"-o", "x", "h"}, [](const Options& o) { return o.output == "x"; }, nullptr},
        {{"-ox", "h"}, [](const Options& o) { return o.output == "x"; }, nullptr},
        {{"--output=-", "h"}, [](const Options& o) { return o.output == "-"; }, nullptr},
        {{"--match", "WM_*", "--match=LVM_", "--exclude", "X", "h"},
         [](const Options& o) {
             return o.matches == Strings{"WM_*", "LVM_"} && o.excludes == Strings{"X"};
         },
         nullptr},
        {{"--sort", "name", "h"}, [](const Options& o) { return o.sortByName; }, nullptr},
        {{"--sort=file", "h"}, [](const Options& o) { return !o.sortByName; }, nullptr},
        {{"-D", "A", "-DB=2", "--define", "C=", "--define=E=F=G", "h"},
         [](const Options& o) {
             return o.defines == std::vector<std::pair<std::string, std::string>>{
                                     {"A", "1"}, {"B", "2"}, {"C", ""}, {"E", "F=G"}};
         },
         nullptr},
        {{"-U", "A", "-UB", "--undefine=C", "h"},
         [](const Options& o) {
             return o.undefines == Strings{"A", "B", "C"};
         },
         nullptr},
        {{"--follow", "-v", "--quiet", "h"},
         [](const Options& o) { return o.follow && o.verbose && o.quiet && !o.help; },
         nullptr},
        {{"--verbose", "-q", "-h"},
         [](const Options& o) { return o.verbose && o.quiet && o.help && o.inputs.empty(); },
         nullptr},
        {{"--help"}, [](const Options& o) { return o.help; }, nullptr},
        // After "--" and "-" alone: inputs.
        {{"-", "--", "-v", "--x"},
         [](const Options& o) {
             return !o.verbose && o.inputs == Strings{"-", "-v", "--x"};
         },
         nullptr},
        // The models, and the machine names they had first.
        {{"h"},
         [](const Options& o) {
             return std::string(o.target.name) == "win32" && o.target.wcharBits == 16 &&
                    o.target.predefined.empty();
         },
         nullptr},
        {{"--target", "win32", "h"},
         [](const Options& o) {
             return std::string(o.target.name) == "win32" && o.target.predefined.empty();
         },
         nullptr},
        {{"--target", "linux-i686", "h"},
         [](const Options& o) {
             return std::string(o.target.name) == "linux-i686" && o.target.longBits == 32 &&
                    o.target.wcharBits == 32;
         },
         nullptr},
        {{"--target=i686", "h"},
         [](const Options& o) { return std::string(o.target.name) == "linux-i686"; },
         nullptr},
        {{"--target", "linux-x86_64", "h"},
         [](const Options& o) {
             return std::string(o.target.name) == "linux-x86_64" && o.target.longBits == 64 &&
                    o.target.pointerBits == 64;
         },
         nullptr},
        {{"--target", "x86_64", "h"},
         [](const Options& o) { return std::string(o.target.name) == "linux-x86_64"; },
         nullptr},
        {{"--target", "win64", "h"}, nullptr, "--target takes one of win32, linux-i686"},
        {{"--sort", "size", "h"}, nullptr, "--sort takes name or file, not size"},
        {{"h", "-I"}, nullptr, "option -I needs a value"},
        {{"--output=", "h"}, nullptr, "option --output= needs a non-empty value"},
        {{"-x", "h"}, nullptr, "unknown option -x"},
        {{"-vq", "h"}, nullptr, "unknown option -vq"},
        {{"--follow=yes", "h"}, nullptr, "unknown option --follow=yes"},
        {{"-v"}, nullptr, "no input files"},
    };
    for (const OptionCase& c : cases) {
        std::string joined;
        for (const std::string& argument : c.arguments) {
            joined += " " + argument;
        }
        SCOPED_TRACE(joined);
        Options options;
        std::string error;
        const bool parsed = OptionsParse(c.arguments, options, error);
        if (c.error) {
            EXPECT_FALSE(parsed);
            EXPECT_EQ(error.compare(0, strlen(c.error), c.error), 0) << error;
        } else {
            ASSERT_TRUE(parsed) << error;
            EXPECT_TRUE(c.holds(options));
        }
    }
}
