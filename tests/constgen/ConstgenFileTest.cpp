// constgen on whole files: the records it writes, options, the summary, and hostile inputs.
#include <gtest/gtest.h>

#include <random>

#include "ConstgenSupport.h"

namespace {

// Runs constgen with the arguments plus "-o <scratch>/out.txt" and parses what it wrote.
std::vector<ConstantRecord> RunRecords(const ScratchDirectory& scratch,
                                       std::vector<std::string> arguments, RunResult& run) {
    const std::string output = scratch.Name("out.txt");
    arguments.push_back("-o");
    arguments.push_back(output);
    run = ConstgenRun(arguments);
    std::vector<ConstantRecord> records;
    std::string error;
    EXPECT_TRUE(RecordsParse(FileBytes(output), records, error)) << error;
    return records;
}

void RecordsExpect(const std::vector<ConstantRecord>& actual,
                   const std::vector<ConstantRecord>& expected) {
    EXPECT_EQ(actual, expected) << [&] {
        std::ostringstream dump;
        dump << "expected:\n";
        for (const ConstantRecord& record : expected) {
            dump << "  " << record << "\n";
        }
        dump << "actual:\n";
        for (const ConstantRecord& record : actual) {
            dump << "  " << record << "\n";
        }
        return dump.str();
    }();
}

const char* const kMixedHeader =
    "/* block comment\n"
    "   #define HIDDEN 1\n"
    "*/\n"
    "#define FIRST 1 // trailing comment\n"
    "#define SECOND (FIRST + \\\n"
    "                1)\n"
    "#define TEXT \"not a number\"\n"
    "#define MACRO(x) ((x) + 1)\n"
    "#define USES_MACRO MACRO(2)\n"
    "#define EMPTY_ONE\n"
    "#define FLOATY 2.5\n"
    "// #define COMMENTED 5\n"
    "enum Colour { RED, GREEN = 5, /* inline */ BLUE };\n"
    "typedef enum {\n"
    "    SMALL = -1,\n"
    "    MEDIUM,\n"
    "    LARGE = BLUE * 2,\n"
    "} Size;\n"
    "#define FIRST 99\n"
    "#define AFTER_ENUM (LARGE + 1)\n"
    "#ifdef SOMETHING\n"
    "#define BRANCH 1\n"
    "#else\n"
    "#define BRANCH 2\n"
    "#endif\n";

}  // namespace

TEST(ConstgenFile, RecordsAreThreeCrLfLinesPerConstant) {
    ScratchDirectory scratch;
    const std::string header = scratch.Write("a.h", "#define A 1\n#define NEG (-5)\n");
    RunResult run;
    RunRecords(scratch, {header}, run);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(FileBytes(scratch.Name("out.txt")), "A\r\n1\r\n0x1\r\nNEG\r\n-5\r\n0xFFFFFFFB\r\n");
}

TEST(ConstgenFile, DefinesEnumsCommentsAndContinuationsInFileOrder) {
    ScratchDirectory scratch;
    const std::string header = scratch.Write("mixed.h", kMixedHeader);
    RunResult run;
    std::vector<ConstantRecord> records = RunRecords(scratch, {header}, run);
    ASSERT_EQ(run.status, 0) << run.err;
    // FIRST is defined again unconditionally: as with the compiler, the later definition is the
    // one at the end of the header, and SECOND uses it there. BRANCH differs between the
    // branches of an #ifdef nothing decides: not written.
    RecordsExpect(records, {
                               {"SECOND", "100", "0x64"},
                               {"USES_MACRO", "3", "0x3"},
                               {"RED", "0", "0x0"},
                               {"GREEN", "5", "0x5"},
                               {"BLUE", "6", "0x6"},
                               {"SMALL", "-1", "0xFFFFFFFF"},
                               {"MEDIUM", "0", "0x0"},
                               {"LARGE", "12", "0xC"},
                               {"FIRST", "99", "0x63"},
                               {"AFTER_ENUM", "13", "0xD"},
                           });
}

TEST(ConstgenFile, SummaryCountsTakenSkippedAndRepeated) {
    ScratchDirectory scratch;
    const std::string header = scratch.Write("mixed.h", kMixedHeader);
    Options options;
    options.inputs = {header};
    std::ostringstream messages;
    Definitions definitions({}, false, false, messages);
    ASSERT_TRUE(definitions.FileScan(header));
    definitions.Evaluate();
    Summary summary;
    std::vector<Constant> constants = ConstantsSelect(definitions, options, summary, messages);
    EXPECT_EQ(constants.size(), 10u);
    EXPECT_EQ(summary.taken, 10u);
    EXPECT_EQ(summary.definitions, 15u);
    EXPECT_EQ(summary.SkippedTotal(), 5u);
    EXPECT_EQ(summary.skipped[static_cast<size_t>(SkipReason::NotInteger)], 2u);  // TEXT, FLOATY
    EXPECT_EQ(summary.skipped[static_cast<size_t>(SkipReason::FunctionLike)], 1u);
    EXPECT_EQ(summary.skipped[static_cast<size_t>(SkipReason::Empty)], 1u);
    EXPECT_EQ(summary.skipped[static_cast<size_t>(SkipReason::Undecided)], 1u);  // BRANCH
    EXPECT_EQ(summary.repeated, 1u);                                             // BRANCH 2
    EXPECT_EQ(summary.repeatedDiffering, 1u);
    EXPECT_EQ(summary.undefined, 1u);  // FIRST 1, replaced by FIRST 99

    // The command prints the same figures on its error stream, and names what to pin.
    RunResult run;
    RunRecords(scratch, {header}, run);
    const char* const lines[] = {
        "10 constants written",
        "15 names defined: 10 taken, 0 filtered out, 5 skipped",
        "2 skipped: not an integer",
        "1 skipped: function-like macro",
        "1 repeated definitions ignored",
        "1 definitions left out: an #undef or a later definition replaces them",
        "1 names not written: their value differs between branches of conditionals that were "
        "not decided:\n"
        "constgen:   BRANCH: pin SOMETHING with -D or -U\n",
    };
    for (const char* line : lines) {
        EXPECT_NE(run.err.find(line), std::string::npos) << line << "\n" << run.err;
    }
}

TEST(ConstgenFile, VerboseNamesEachSkippedDefinition) {
    ScratchDirectory scratch;
    const std::string header = scratch.Write("mixed.h", kMixedHeader);
    RunResult run;
    RunRecords(scratch, {"-v", header}, run);
    const char* const expected[] = {
        "mixed.h:7: TEXT skipped: not an integer",
        "mixed.h:8: MACRO skipped: function-like macro",
        "mixed.h:10: EMPTY_ONE skipped: empty definition",
        "mixed.h:11: FLOATY skipped: not an integer",
        "mixed.h:4: FIRST left out: #undef or a later definition",
        "mixed.h:24: BRANCH defined again differently (first at ",
        "mixed.h:22: BRANCH not written: value depends on a conditional not decided (pin "
        "SOMETHING with -D or -U)",
    };
    for (const char* line : expected) {
        SCOPED_TRACE(line);
        EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
    }
}

TEST(ConstgenFile, LineEndsOfEveryKind) {
    ScratchDirectory scratch;
    const std::string header =
        scratch.Write("ends.h",
                      "#define CRLF 1\r\n#define CR 2\r#define LF 3\n#define SPLICED \\\r\n 4\r\n"
                      "#define BLANKS_AFTER_BACKSLASH \\  \n 5\n#define LAST 6");
    RunResult run;
    std::vector<ConstantRecord> records = RunRecords(scratch, {header}, run);
    RecordsExpect(records, {{"CRLF", "1", "0x1"},
                            {"CR", "2", "0x2"},
                            {"LF", "3", "0x3"},
                            {"SPLICED", "4", "0x4"},
                            {"BLANKS_AFTER_BACKSLASH", "5", "0x5"},
                            {"LAST", "6", "0x6"}});
}

TEST(ConstgenFile, SortAndNameFilters) {
    ScratchDirectory scratch;
    const std::string header =
        scratch.Write("f.h",
                      "#define WM_B 2\n#define WM_A 1\n#define LVM_X 3\n#define WMX 4\n"
                      "enum { WM_C = 5 };\n");
    struct FilterCase {
        std::vector<std::string> arguments;
        std::vector<std::string> names;
    };
    const FilterCase cases[] = {
        {{}, {"WM_B", "WM_A", "LVM_X", "WMX", "WM_C"}},
        {{"--sort", "name"}, {"LVM_X", "WMX", "WM_A", "WM_B", "WM_C"}},
        {{"--sort=file"}, {"WM_B", "WM_A", "LVM_X", "WMX", "WM_C"}},
        {{"--match", "WM_*"}, {"WM_B", "WM_A", "WM_C"}},
        {{"--match", "WM"}, {"WM_B", "WM_A", "WMX", "WM_C"}},  // a prefix
        {{"--match", "WM_?"}, {"WM_B", "WM_A", "WM_C"}},
        {{"--match", "*X"}, {"LVM_X", "WMX"}},
        {{"--match", "WM_*", "--match", "LVM_*"}, {"WM_B", "WM_A", "LVM_X", "WM_C"}},
        {{"--exclude", "WM_*"}, {"LVM_X", "WMX"}},
        {{"--match", "WM", "--exclude", "WM_B", "--sort", "name"}, {"WMX", "WM_A", "WM_C"}},
        {{"--match", "NOTHING"}, {}},
    };
    for (const FilterCase& c : cases) {
        std::string label;
        for (const std::string& argument : c.arguments) {
            label += argument + " ";
        }
        SCOPED_TRACE(label);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back(header);
        RunResult run;
        std::vector<ConstantRecord> records = RunRecords(scratch, arguments, run);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> names;
        for (const ConstantRecord& record : records) {
            names.push_back(record.name);
        }
        EXPECT_EQ(names, c.names);
    }
}

TEST(ConstgenFile, PinnedNamesDecideConditionals) {
    ScratchDirectory scratch;
    const std::string header =
        scratch.Write("aw.h",
                      "#ifdef UNICODE\n#define GETITEM 75\n#else\n#define GETITEM 5\n#endif\n"
                      "#if defined(UNICODE) && !defined(OTHER)\n#define BOTH 1\n#elif LEVEL >= 2\n"
                      "#define BOTH 2\n#else\n#define BOTH 3\n#endif\n"
                      "#ifndef UNICODE\n#define NARROW 1\n#endif\n");
    struct PinCase {
        std::vector<std::string> arguments;
        std::vector<ConstantRecord> records;
    };
    const PinCase cases[] = {
        // Nothing pinned: every branch is read; names whose branches disagree are not written.
        {{}, {{"NARROW", "1", "0x1"}}},
        // Pinned names decide "defined(UNICODE) && ..." alone; LEVEL >= 2 stays undecided, so
        // both later branches are read, and BOTH is 2 or 3.
        {{"-U", "UNICODE"}, {{"GETITEM", "5", "0x5"}, {"NARROW", "1", "0x1"}}},
        {{"-U", "UNICODE", "-U", "OTHER"}, {{"GETITEM", "5", "0x5"}, {"NARROW", "1", "0x1"}}},
        {{"-UUNICODE", "-UOTHER", "-DLEVEL=1"},
         {{"GETITEM", "5", "0x5"}, {"BOTH", "3", "0x3"}, {"NARROW", "1", "0x1"}}},
        {{"-D", "UNICODE", "-U", "OTHER"}, {{"GETITEM", "75", "0x4B"}, {"BOTH", "1", "0x1"}}},
    };
    for (const PinCase& c : cases) {
        std::string label;
        for (const std::string& argument : c.arguments) {
            label += argument + " ";
        }
        SCOPED_TRACE(label);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back(header);
        RunResult run;
        RecordsExpect(RunRecords(scratch, arguments, run), c.records);
    }
}

TEST(ConstgenFile, ConditionsDecidedByTheirKnownParts) {
    // Decided true keeps only IN, decided false only OUT, undecided reads both branches. Names
    // not pinned are unknown; the arithmetic is the preprocessor's, in 64 bits.
    enum Outcome { kTrue, kFalse, kUndecided };
    struct ConditionCase {
        const char* condition;
        std::vector<std::string> pins;
        Outcome outcome;
    };
    const ConditionCase cases[] = {
        {"defined(__x86_64) && !defined(_M_IX86)", {"-U", "__x86_64"}, kFalse},
        {"defined(__x86_64) && !defined(_M_IX86)", {"-D", "__x86_64"}, kUndecided},
        {"!defined(P) && X", {"-D", "P"}, kFalse},
        {"X && P", {"-U", "P"}, kFalse},
        {"X || defined(P)", {"-D", "P"}, kTrue},
        {"defined P || X", {"-U", "P"}, kUndecided},
        {"X > 1", {"-D", "P"}, kUndecided},
        {"X ? 4 : 4", {}, kTrue},
        {"!(X && 0)", {}, kTrue},
        {"P == 3", {"-D", "P=3"}, kTrue},
        {"P == 3", {"-D", "P"}, kFalse},
        {"(P) - 1", {"-D", "P=1"}, kFalse},
        // intmax_t and uintmax_t, as the preprocessor computes.
        {"2147483647 + 1 < 0", {}, kFalse},
        {"1 << 31 < 0", {}, kFalse},
        {"1 << 40", {}, kTrue},
        {"FOO > -1", {"-D", "FOO=0xFFFFFFFF"}, kTrue},
        {"-1 < 0u", {}, kFalse},
        {"0xFFFFFFFFFFFFFFFF == -1", {}, kTrue},
        {"X / 0", {}, kUndecided},
    };
    ScratchDirectory scratch;
    for (const ConditionCase& c : cases) {
        std::string label = c.condition;
        for (const std::string& pin : c.pins) {
            label += " " + pin;
        }
        SCOPED_TRACE(label);
        const std::string header =
            scratch.Write("condition.h", std::string("#if ") + c.condition +
                                             "\n#define IN 1\n#else\n#define OUT 1\n#endif\n");
        std::vector<std::string> arguments = c.pins;
        arguments.push_back(header);
        RunResult run;
        const std::vector<ConstantRecord> records = RunRecords(scratch, arguments, run);
        const ConstantRecord in{"IN", "1", "0x1"}, out{"OUT", "1", "0x1"};
        switch (c.outcome) {
        case kTrue: RecordsExpect(records, {in}); break;
        case kFalse: RecordsExpect(records, {out}); break;
        case kUndecided: RecordsExpect(records, {in, out}); break;
        }
    }
}

TEST(ConstgenFile, IncludesFollowedOnlyWithFollowAndOnlyOnce) {
    ScratchDirectory scratch;
    scratch.Write("inc/c.h", "#define FROM_C 3\n#include \"../a.h\"\n");
    const std::string a = scratch.Write("a.h",
                                        "#define FROM_A 1\n#include \"b.h\"\n"
                                        "#include <c.h>\n#include <missing.h>\n");
    scratch.Write("b.h", "#define FROM_B 2\n#include \"a.h\"\n#include \"b.h\"\n");
    const std::string includeDirectory = scratch.Name("inc");

    RunResult run;
    RecordsExpect(RunRecords(scratch, {"-I", includeDirectory, a}, run), {{"FROM_A", "1", "0x1"}});
    EXPECT_EQ(run.status, 0) << run.err;

    // a -> b -> a and b -> b and c -> a are cycles; each file is read once. What --follow
    // cannot find is said by default.
    RecordsExpect(RunRecords(scratch, {"--follow", "-I", includeDirectory, a}, run),
                  {{"FROM_A", "1", "0x1"}, {"FROM_B", "2", "0x2"}, {"FROM_C", "3", "0x3"}});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("1 #include files not found in the include paths, not read: "
                           "missing.h (-v says where; add -I DIR)"),
              std::string::npos)
        << run.err;
}

// Patterns of real third-party headers (C library, kernel, compression and X11 headers), in
// small copies, with the compiler's values for them.
TEST(ConstgenFile, PatternsOfThirdPartyHeaders) {
    ScratchDirectory scratch;
    // A compiler's own header hands over to the C library's with #include_next.
    scratch.Write("cc/limits.h",
                  "#ifndef _CC_LIMITS_H\n#define _CC_LIMITS_H\n#include_next <limits.h>\n"
                  "#ifndef MB_LEN_MAX\n#define MB_LEN_MAX 1\n#endif\n#endif\n");
    scratch.Write("libc/limits.h", "#define MB_LEN_MAX 16\n");
    const std::string header = scratch.Write(
        "patterns.h",
        "#ifndef _PATTERNS_H\n#define _PATTERNS_H 1\n"
        "#include <limits.h>\n"
        // An enumerator re-exported by a macro of its own name.
        "enum __socket_type {\n  SOCK_STREAM = 1,\n#define SOCK_STREAM SOCK_STREAM\n"
        "  SOCK_DGRAM = 2,\n#define SOCK_DGRAM SOCK_DGRAM\n};\n"
        "#define SOCK_ALIAS (SOCK_DGRAM + 1)\n"
        // A cast to a typedef chain of the header's own.
        "typedef unsigned int __uint32_t;\ntypedef __uint32_t uint32_t;\n"
        "typedef uint32_t in_addr_t;\n#define INADDR_LOOPBACK ((in_addr_t) 0x7f000001)\n"
        // ioctl numbers through sizeof of a scalar type.
        "#define _IOC(d, t, n, s) (((d) << 30) | ((t) << 8) | (n) | ((s) << 16))\n"
        "#define _IOR(t, n, s) _IOC(2U, (t), (n), (sizeof(s)))\n"
        "#define FS_IOC_GETFLAGS _IOR('f', 1, long)\n"
        // #undef in code that is read for certain.
        "#define NR_OPEN 1024\n#undef NR_OPEN\n"
        "#define REDEFINED 1\n#undef REDEFINED\n#define REDEFINED 2\n"
        // Macros of the headers decide later conditionals.
        "#define __WORDSIZE 64\n#if __WORDSIZE == 64\n#define LONG_BITS 64\n#else\n"
        "#define LONG_BITS 32\n#endif\n"
        "#ifdef NR_OPEN\n#define HAS_NR_OPEN 1\n#else\n#define HAS_NR_OPEN 0\n#endif\n"
        // A default value, taken when nothing gives the name.
        "#ifndef Z_DEFAULT_LEVEL\n#define Z_DEFAULT_LEVEL 6\n#endif\n"
        // Values as wide as the target makes them.
        "#define ULONG_MAX ((unsigned long)~0L)\n#define SIZE_MAX ((size_t)-1)\n"
        "#endif\n");
    struct TargetCase {
        const char* target;
        std::vector<ConstantRecord> records;
    };
    const std::vector<ConstantRecord> common = {
        {"_PATTERNS_H", "1", "0x1"}, {"MB_LEN_MAX", "16", "0x10"},
        {"SOCK_STREAM", "1", "0x1"}, {"SOCK_DGRAM", "2", "0x2"},
        {"SOCK_ALIAS", "3", "0x3"},  {"INADDR_LOOPBACK", "2130706433", "0x7F000001"},
    };
    const std::vector<ConstantRecord> tail = {
        {"REDEFINED", "2", "0x2"},   {"__WORDSIZE", "64", "0x40"},    {"LONG_BITS", "64", "0x40"},
        {"HAS_NR_OPEN", "0", "0x0"}, {"Z_DEFAULT_LEVEL", "6", "0x6"},
    };
    auto join = [&](std::vector<ConstantRecord> middle, std::vector<ConstantRecord> end) {
        std::vector<ConstantRecord> all = common;
        all.insert(all.end(), middle.begin(), middle.end());
        all.insert(all.end(), tail.begin(), tail.end());
        all.insert(all.end(), end.begin(), end.end());
        return all;
    };
    const TargetCase cases[] = {
        {"linux-i686", join({{"FS_IOC_GETFLAGS", "-2147195391", "0x80046601"}},
                            {{"ULONG_MAX", "-1", "0xFFFFFFFF"}, {"SIZE_MAX", "-1", "0xFFFFFFFF"}})},
        {"linux-x86_64", join({{"FS_IOC_GETFLAGS", "-2146933247", "0x80086601"}}, {})},
    };
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.target);
        RunResult run;
        RecordsExpect(RunRecords(scratch,
                                 {"--target", c.target, "--follow", "-I", scratch.Name("cc"), "-I",
                                  scratch.Name("libc"), header},
                                 run),
                      c.records);
        EXPECT_EQ(run.status, 0) << run.err;
    }
}

// The compiler reads an enum body after macro expansion: enumerators an X-macro writes, names
// made by pasting, attributes between a name and its value. A macro that undecided branches
// define differently makes what it writes undecided.
TEST(ConstgenFile, EnumeratorsWrittenByMacros) {
    ScratchDirectory scratch;
    struct MacroEnumCase {
        const char* header;
        std::vector<ConstantRecord> records;
        const char* report;  // nullptr: no name left out
    };
    const MacroEnumCase cases[] = {
        {"#define TYPE_LONG 0\n#define TYPE_STRING 10000\n"
         "#define OPTION(name, type, number) name = type + number\n"
         "typedef enum {\n  OPTION(OPT_PORT, TYPE_LONG, 3),\n  OPTION(OPT_URL, TYPE_STRING, 2),\n"
         "  OPT_LAST\n} Option;\n",
         {{"TYPE_LONG", "0", "0x0"},
          {"TYPE_STRING", "10000", "0x2710"},
          {"OPT_PORT", "3", "0x3"},
          {"OPT_URL", "10002", "0x2712"},
          {"OPT_LAST", "10003", "0x2713"}},
         nullptr},
        {"#define F(x) FORM_##x\nenum { F(NOTHING), F(COPYNAME), F(END) = 17, F(AFTER) };\n",
         {{"FORM_NOTHING", "0", "0x0"},
          {"FORM_COPYNAME", "1", "0x1"},
          {"FORM_END", "17", "0x11"},
          {"FORM_AFTER", "18", "0x12"}},
         nullptr},
        // One item that expands to several, the list's commas included.
        {"#define X(c) COLOR_##c,\n#define COLORS X(RED) X(GREEN)\nenum { COLORS COLOR_COUNT };\n",
         {{"COLOR_RED", "0", "0x0"}, {"COLOR_GREEN", "1", "0x1"}, {"COLOR_COUNT", "2", "0x2"}},
         nullptr},
        {"#define OLD_SINCE(v) __attribute__((deprecated(\"since \" #v)))\n"
         "enum { OLD OLD_SINCE(7.1) = 6, NEWER, GONE OLD_SINCE(7.2) };\n",
         {{"OLD", "6", "0x6"}, {"NEWER", "7", "0x7"}, {"GONE", "8", "0x8"}},
         nullptr},
        // The macro as defined where the enum is, as for the compiler.
        {"#define N(x) x = 1\nenum { N(A) };\n#undef N\n#define N(x) x = 2\nenum { N(B) };\n",
         {{"A", "1", "0x1"}, {"B", "2", "0x2"}},
         nullptr},
        {"#ifdef WIDE\n#define OPT(n, v) n = v * 2\n#else\n#define OPT(n, v) n = v\n#endif\n"
         "#ifdef WIDE\n#define NM(n) W_##n\n#else\n#define NM(n) N_##n\n#endif\n"
         "enum { OPT(A, 4), B, NM(ONE) = 1 };\n",
         {},
         "A, B, W_ONE: pin WIDE with -D or -U"},
    };
    for (const MacroEnumCase& c : cases) {
        SCOPED_TRACE(c.header);
        const std::string header = scratch.Write("macroenum.h", c.header);
        RunResult run;
        RecordsExpect(RunRecords(scratch, {"--exclude", "_", header}, run), c.records);
        EXPECT_EQ(run.status, 0);
        if (c.report) {
            EXPECT_NE(run.err.find(c.report), std::string::npos) << run.err;
        } else {
            EXPECT_EQ(run.err.find("not written"), std::string::npos) << run.err;
        }
    }
}

// What an undecided conditional makes uncertain is never written as if it were certain: each
// case is a header, with nothing pinned unless said, the records and the report.
TEST(ConstgenFile, ValuesOfUndecidedBranchesThatDisagreeAreNotWritten) {
    ScratchDirectory scratch;
    struct UndecidedCase {
        const char* header;
        std::vector<std::string> pins;
        std::vector<ConstantRecord> records;
        const char* report;  // in the default output; nullptr: no name left out
    };
    const char* const memoryLevel =
        "#ifndef MAX_MEM_LEVEL\n#  ifdef MAXSEG_64K\n#    define MAX_MEM_LEVEL 8\n#  else\n"
        "#    define MAX_MEM_LEVEL 9\n#  endif\n#endif\n#define USES_LEVEL (MAX_MEM_LEVEL + 1)\n";
    const UndecidedCase cases[] = {
        {memoryLevel, {}, {}, "MAX_MEM_LEVEL, USES_LEVEL: pin MAXSEG_64K with -D or -U"},
        {memoryLevel,
         {"-U", "MAXSEG_64K"},
         {{"MAX_MEM_LEVEL", "9", "0x9"}, {"USES_LEVEL", "10", "0xA"}},
         nullptr},
        // A header's own switch, and the names it decides.
        {"#if defined(MSDOS)\n#define SYS16BIT\n#endif\n#ifdef SYS16BIT\n#define LEVEL 8\n"
         "#else\n#define LEVEL 9\n#endif\n",
         {"-U", "SYS16BIT"},
         {},
         "LEVEL: pin SYS16BIT, MSDOS with -D or -U"},
        // Every branch the same: written.
        {"#ifdef A\n#define SAME 3\n#else\n#define SAME (1 + 2)\n#endif\n",
         {},
         {{"SAME", "3", "0x3"}},
         nullptr},
        // Defined in one branch only: its value is certain where it is defined.
        {"#ifdef __USE_GNU\n#define O_DIRECT 040000\n#endif\n",
         {},
         {{"O_DIRECT", "16384", "0x4000"}},
         nullptr},
        // An enumerator in an undecided branch shifts the ones after it.
        {"enum { E0,\n#ifdef X\n E1,\n#endif\n E2, E3 = 10, E4 };\n",
         {},
         {{"E0", "0", "0x0"}, {"E1", "1", "0x1"}, {"E3", "10", "0xA"}, {"E4", "11", "0xB"}},
         "E2: pin X with -D or -U"},
        // A cast through a typedef the branches declare differently, when the numbers differ.
        {"#ifdef _XSERVER64\ntypedef unsigned int Atom;\n#else\ntypedef unsigned long Atom;\n"
         "#endif\n#define XA_PRIMARY ((Atom) 1)\n#define AnyAtom ((Atom) -1)\n",
         {"--target", "linux-x86_64"},
         {{"XA_PRIMARY", "1", "0x1"}},
         nullptr},
        // The same record from an int and an unsigned int: written, but what compares it with
        // 0 is 0 or 1.
        {"#ifdef Q\n#define ALL_ONES (-1)\n#else\n#define ALL_ONES 0xFFFFFFFF\n#endif\n"
         "#define POSITIVE (ALL_ONES > 0)\n",
         {},
         {{"ALL_ONES", "-1", "0xFFFFFFFF"}},
         "POSITIVE: pin Q with -D or -U"},
        // More names decide it than the report keeps: it says so.
        {"#if A1 || A2 || A3 || A4 || A5 || A6 || A7 || A8 || A9\n#define WIDE 1\n#else\n"
         "#define WIDE 2\n#endif\n",
         {},
         {},
         "WIDE: pin A1, A2, A3, A4, A5, A6, A7, A8 and more with -D or -U"},
        // An #undef in a branch not decided leaves the definition (it may stay).
        {"#define KEPT 1\n#ifdef X\n#undef KEPT\n#endif\n", {}, {{"KEPT", "1", "0x1"}}, nullptr},
    };
    for (const UndecidedCase& c : cases) {
        SCOPED_TRACE(c.header);
        const std::string header = scratch.Write("undecided.h", c.header);
        std::vector<std::string> arguments = c.pins;
        arguments.push_back(header);
        RunResult run;
        RecordsExpect(RunRecords(scratch, arguments, run), c.records);
        if (c.report) {
            EXPECT_NE(run.err.find(c.report), std::string::npos) << run.err;
        } else {
            EXPECT_EQ(run.err.find("not written"), std::string::npos) << run.err;
        }
    }
}

TEST(ConstgenFile, InputsNamedRelativeToIncludeDirectories) {
    ScratchDirectory scratch;
    scratch.Write("sdk/win/one.h", "#define ONE 1\n");
    RunResult run;
    RecordsExpect(RunRecords(scratch, {"-I", scratch.Name("sdk"), "win/one.h"}, run),
                  {{"ONE", "1", "0x1"}});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(ConstgenFile, CommandLineErrors) {
    ScratchDirectory scratch;
    const std::string header = scratch.Write("a.h", "#define A 1\n");
    const std::string output = scratch.Name("never.txt");
    struct ErrorCase {
        std::vector<std::string> arguments;
        int status;
        const char* message;
    };
    const ErrorCase cases[] = {
        {{}, 2, "no input files"},
        {{"--bogus", header}, 2, "unknown option --bogus"},
        {{header, "-o"}, 2, "needs a value"},
        {{"--sort", "size", header}, 2, "--sort takes name or file"},
        {{"--match", "", header}, 2, "needs a non-empty value"},
        {{"--target", "sparc", header},
         2,
         "--target takes one of win32, linux-i686 (or i686), linux-x86_64 (or x86_64), not sparc"},
        // A missing input writes nothing, so a build never takes a partial file for done.
        {{header, scratch.Name("missing.h"), "-o", output}, 1, "no such file"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.message);
        RunResult run = ConstgenRun(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(output));

    RunResult help = ConstgenRun({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: constgen"), std::string::npos);

    RunResult unwritable = ConstgenRun({header, "-o", scratch.Name("no/such/dir/out.txt")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("cannot be written"), std::string::npos) << unwritable.err;
}

// Hostile inputs: each run must end with an exit status and a well-formed file; whatever
// precedes or follows the bad part is still read.
TEST(ConstgenHostile, BadInputsFinishWithAResult) {
    ScratchDirectory scratch;
    std::string binary = "#define BEFORE 1\n";
    binary += std::string(
        "\x7f"
        "ELF\0\0\0",
        7);
    std::string junk;
    std::mt19937 random(12345);
    for (int i = 0; i < 200000; ++i) {
        junk += static_cast<char>(1 + random() % 255);  // every byte but zero
    }
    std::string calls = "#define F(x) (x)\n#define CALLS ";
    for (int i = 0; i < 1000; ++i) {
        calls += "F(";
    }
    calls += "1" + std::string(1000, ')') + "\n#define SHALLOW F(F(2))\n";
    std::string deep = "#define DEEP " + std::string(100000, '(') + "1" + std::string(100000, ')') +
                       "\n#define AFTER_DEEP 2\n";

    struct HostileCase {
        const char* label;
        std::string bytes;
        std::vector<ConstantRecord> records;
        const char* message;  // expected on the error stream, or null
    };
    const HostileCase cases[] = {
        {"unterminated comment",
         "#define A 1\n/* never closed\n#define B 2\n",
         {{"A", "1", "0x1"}},
         "unterminated comment"},
        {"zero bytes", binary, {}, "binary file"},
        {"junk without zero bytes", junk, {}, nullptr},
        {"macro cycles",
         "#define A B\n#define B A\n#define G (G + 1)\n#define F(x) F(x)\n#define USE F(1)\n"
         "#define OK 7\n",
         {{"OK", "7", "0x7"}},
         nullptr},
        {"deep nesting", deep, {{"AFTER_DEEP", "2", "0x2"}}, nullptr},
        {"nested macro calls", calls, {{"SHALLOW", "2", "0x2"}}, nullptr},
        {"huge numbers",
         "#define BIG 123456789012345678901234567890\n#define WIDE 0x1FFFFFFFF\n"
         "#define NEGWIDE (-0x7FFFFFFFFLL)\n#define FITS 0xFFFFFFFF\n",
         {{"FITS", "-1", "0xFFFFFFFF"}},
         nullptr},
        {"unterminated literals",
         "#define Q 'a\n#define S \"abc\n#define OK 1\n",
         {{"OK", "1", "0x1"}},
         nullptr},
        {"broken enums",
         "enum { A = , B };\nenum { = 5 };\nenum X f(void) { return 1; }\n"
         "enum { C = (1, D };\nenum { OK1 = 1, OK2 };\nenum { OPEN, END",
         {{"OK1", "1", "0x1"}, {"OK2", "2", "0x2"}},
         nullptr},
        // Conditions without names are plain arithmetic and decided: #if 0 hides its text.
        {"unbalanced conditionals",
         "#endif\n#else\n#if 0\n#define ZERO 1\n#endif\n#if 1\n#define A 1\n#else\n"
         "#define NOT_A 2\n#endif\n#if\n#define B 2\n",
         {{"A", "1", "0x1"}, {"B", "2", "0x2"}},
         nullptr},
        {"directives without names",
         "#define\n#define 5 6\n#\n#include\n#define OK 1\n",
         {{"OK", "1", "0x1"}},
         nullptr},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string header = scratch.Write("hostile.h", c.bytes);
        RunResult run;
        std::vector<ConstantRecord> records = RunRecords(scratch, {"--follow", header}, run);
        EXPECT_EQ(run.status, 0) << run.err;
        RecordsExpect(records, c.records);
        if (c.message) {
            EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        }
    }
}

TEST(ConstgenHostile, TenMegabyteLines) {
    ScratchDirectory scratch;
    std::string sum = "#define HUGE_SUM 1";
    while (sum.size() < 10u << 20) {
        sum += "+1";
    }
    const std::string longName(10u << 20, 'N');
    const std::string text = "#define BEFORE 1\n" + sum + "\n" + std::string(10u << 20, 'x') +
                             "\n#define " + longName + " 5\nenum { E1 = " + sum.substr(18) +
                             " , E2 };\n#define AFTER 2\n";
    const std::string header = scratch.Write("long.h", text);
    RunResult run;
    std::vector<ConstantRecord> records = RunRecords(scratch, {"-v", header}, run);
    EXPECT_EQ(run.status, 0);
    RecordsExpect(records, {{"BEFORE", "1", "0x1"}, {"AFTER", "2", "0x2"}});
    EXPECT_NE(run.err.find("HUGE_SUM skipped: beyond limits"), std::string::npos);
    EXPECT_NE(run.err.find("E1 skipped: beyond limits"), std::string::npos);
    EXPECT_NE(run.err.find("E2 skipped: unresolved name"), std::string::npos);
}

TEST(ConstgenHostile, ExplodingExpansionIsCut) {
    // Each level doubles the expansion: X40 would be 2^42 tokens.
    ScratchDirectory scratch;
    std::string text = "#define X0 1\n";
    for (int i = 1; i <= 40; ++i) {
        text += "#define X" + std::to_string(i) + " (X" + std::to_string(i - 1) + "+X" +
                std::to_string(i - 1) + ")\n";
    }
    const std::string header = scratch.Write("explode.h", text);
    RunResult run;
    std::vector<ConstantRecord> records = RunRecords(scratch, {"-v", header}, run);
    EXPECT_EQ(run.status, 0);
    ASSERT_GE(records.size(), 11u);
    EXPECT_EQ(records[10], (ConstantRecord{"X10", "1024", "0x400"}));
    for (const ConstantRecord& record : records) {
        EXPECT_NE(record.name, "X40");
    }
    EXPECT_NE(run.err.find("X40 skipped: beyond limits (nesting, expansion, length): macro "
                           "expansion too large"),
              std::string::npos);
}

TEST(ConstgenHostile, LongTokensCopiedOrPastedOverAndOverAreCut) {
    // Pasting onto an ever longer token re-reads it each time (quadratic), and a long token used
    // many times is a copy each time (memory): both end as "beyond limits", quickly.
    ScratchDirectory scratch;
    std::string paste = "#define P(x) x";
    for (int i = 0; i < 2000; ++i) {
        paste += "##x";
    }
    paste += "\n#define PASTED P(" + std::string(1000, 'a') + ")\n#define AFTER_PASTE 1\n";
    std::string copy = "#define LONG_NAME " + std::string(100000, 'b') + "\n#define COPIED";
    for (int i = 0; i < 30000; ++i) {
        copy += " LONG_NAME";
    }
    copy += "\n#define AFTER_COPY 2\n";
    const struct {
        const char* file;
        std::string text;
        const char* skipped;
        ConstantRecord after;
    } cases[] = {
        {"paste.h", paste, "PASTED", {"AFTER_PASTE", "1", "0x1"}},
        {"copy.h", copy, "COPIED", {"AFTER_COPY", "2", "0x2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string header = scratch.Write(c.file, c.text);
        RunResult run;
        std::vector<ConstantRecord> records = RunRecords(scratch, {"-v", header}, run);
        EXPECT_EQ(run.status, 0);
        RecordsExpect(records, {c.after});
        EXPECT_NE(run.err.find(std::string(c.skipped) + " skipped: beyond limits"),
                  std::string::npos)
            << run.err.substr(0, 2000);
    }
}

TEST(ConstgenHostile, EnumeratorsFromExplodingMacrosAreCut) {
    // An X-macro list that doubles at each level, and a name pasted from a long token over and
    // over, inside enum bodies: each item is cut with a warning that names the macro, and the
    // enumerator after it is not counted on from a value that was never read.
    ScratchDirectory scratch;
    std::string doubling = "#define L0 E,\n";
    for (int i = 1; i <= 40; ++i) {
        doubling += "#define L" + std::to_string(i) + " L" + std::to_string(i - 1) + " L" +
                    std::to_string(i - 1) + "\n";
    }
    doubling += "enum { FIRST = 1, L40 NEXT, AFTER = 7 };\n";
    std::string paste = "#define P(x) x";
    for (int i = 0; i < 2000; ++i) {
        paste += "##x";
    }
    paste += "\nenum { FIRST = 1, P(" + std::string(1000, 'a') + "), NEXT, AFTER = 7 };\n";
    const struct {
        const char* file;
        std::string text;
        const char* warning;
    } cases[] = {
        {"doubling.h", doubling, "enumerator from macro L40 not read: macro expansion too large"},
        {"paste.h", paste, "enumerator from macro P not read: macro expansion text too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string header = scratch.Write(c.file, c.text);
        RunResult run;
        std::vector<ConstantRecord> records = RunRecords(
            scratch, {"--match", "FIRST", "--match", "NEXT", "--match", "AFTER", header}, run);
        EXPECT_EQ(run.status, 0);
        RecordsExpect(records, {{"FIRST", "1", "0x1"}, {"AFTER", "7", "0x7"}});
        EXPECT_NE(run.err.find(c.warning), std::string::npos) << run.err.substr(0, 2000);
    }
}

TEST(ConstgenHostile, EnumsWaitingOnEnumsAreCut) {
    // Each enum waits for the next one's value, 2000 deep: far deeper than the evaluator
    // follows, so the early ones are skipped; the ones near the end of the chain resolve.
    ScratchDirectory scratch;
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text += "enum { C" + std::to_string(i) + " = C" + std::to_string(i + 1) + " + 1 };\n";
    }
    text += "enum { C2000 = 0 };\n";
    const std::string header = scratch.Write("chain.h", text);
    RunResult run;
    std::vector<ConstantRecord> records = RunRecords(scratch, {"-v", header}, run);
    EXPECT_EQ(run.status, 0);
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records.back(), (ConstantRecord{"C2000", "0", "0x0"}));
    EXPECT_EQ(records[records.size() - 2], (ConstantRecord{"C1999", "1", "0x1"}));
    EXPECT_NE(records.front().name, "C0");
    EXPECT_NE(run.err.find("C0 skipped: beyond limits (nesting, expansion, length): C1: "),
              std::string::npos);
}
