// Expression evaluation of constgen: each case is the body of "#define T ..." read after a
// small prelude of macros and enumerators, and the expected 32-bit result or skip reason.
#include <gtest/gtest.h>
#include <limits.h>

#include <sstream>

#include "Definitions.h"

namespace {

const char* const kPrelude = R"(
#define BASE 0x100
#define NEXT (BASE + 1)
#define LATER_USER (DEFINED_LATER * 2)
#define DEFINED_LATER 21
enum { ONE = 1, TWO, TEN = 10, ELEVEN };
typedef enum tagLate { LATE = NEXT * 2, LATE_NEXT } LATE_KIND;
#define TWICE(x) ((x) * 2)
#define PAIR(a, b) ((a) << 8 | (b))
#define PASTE(a, b) a##b
#define TYPED_(x) ((HRESULT)x)
#define WRAP(x) TWICE(x)
#define VARIADIC(first, ...) (first + __VA_ARGS__)
#define SELF SELF
#define A1 B1
#define B1 A1
#define SELF_PLUS (SELF_PLUS + 1)
#define EMPTY
#define FN_ONLY(x) x
#define NAME_OF_FN FN_ONLY
#define LOOP(x) LOOP(x)
enum { CHAINED = ELEVEN + 1, SELF_ENUM = SELF_ENUM + 1 };
enum { SHADOWED = 1 };
#define SHADOWED 2
#define ALIAS ALIAS_TARGET
enum { ALIAS_TARGET = 3 };
#define ALIAS_TARGET ALIAS_TARGET
)";

struct Case {
    std::string text;
    bool taken;
    int32_t value;
    SkipReason reason;
};

Case V(const std::string& text, int64_t value) {
    return Case{text, true, static_cast<int32_t>(static_cast<uint32_t>(value)), SkipReason::None};
}

Case S(const std::string& text, SkipReason reason) {
    return Case{text, false, 0, reason};
}

const Definition* DefinitionFind(const Definitions& definitions, const std::string& name) {
    for (const Definition& definition : definitions.All()) {
        if (definition.name == name && !definition.repeated) {
            return &definition;
        }
    }
    return nullptr;
}

void CasesCheck(const std::vector<Case>& cases, const Target& target = Target(),
                const char* prelude = kPrelude) {
    for (const Case& c : cases) {
        SCOPED_TRACE("#define T " + c.text.substr(0, 80));
        std::ostringstream messages;
        Definitions definitions({}, false, false, messages, target);
        definitions.TextScan("prelude.h", prelude);
        definitions.TextScan("case.h", "#define T " + c.text + "\n");
        definitions.Evaluate();
        const Definition* found = DefinitionFind(definitions, "T");
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->failure.reason, c.reason)
            << "got '" << SkipReasonText(found->failure.reason) << "' (" << found->failure.detail
            << "), expected '" << SkipReasonText(c.reason) << "'";
        if (c.taken && found->failure.reason == SkipReason::None) {
            EXPECT_EQ(static_cast<int32_t>(static_cast<uint32_t>(found->value.bits)), c.value);
        }
    }
}

const SkipReason kDivision = SkipReason::DivisionByZero;
const SkipReason kOverflow = SkipReason::Overflow;
const SkipReason kWide = SkipReason::TooWide;
const SkipReason kSyntax = SkipReason::Syntax;
const SkipReason kNotInteger = SkipReason::NotInteger;
const SkipReason kUnsupported = SkipReason::Unsupported;
const SkipReason kUnresolved = SkipReason::Unresolved;
const SkipReason kCycle = SkipReason::Cycle;

}  // namespace

TEST(ConstgenExpression, IntegerLiteralsAndSuffixes) {
    CasesCheck({
        V("0", 0),
        V("123", 123),
        V("0x1F", 31),
        V("0X1f", 31),
        V("017", 15),
        V("0b101", 5),
        V("2147483647", INT32_MAX),
        // Too big for int: long long, whose value still has a 32-bit pattern.
        V("2147483648", INT32_MIN),
        V("4294967295", -1),
        S("4294967296", kWide),
        V("0xFFFFFFFF", -1),
        S("0x100000000", kWide),
        S("18446744073709551615", kWide),
        S("18446744073709551616", kOverflow),
        S("99999999999999999999999", kOverflow),
        V("10u", 10),
        V("10U", 10),
        V("10l", 10),
        V("10L", 10),
        V("10ul", 10),
        V("10UL", 10),
        V("10lu", 10),
        V("10LU", 10),
        V("10ll", 10),
        V("10LL", 10),
        V("10ull", 10),
        V("10ULL", 10),
        V("10llu", 10),
        V("10i64", 10),
        V("10ui64", 10),
        V("10i32", 10),
        V("0x80000000L", INT32_MIN),
        V("0x80070005L", -2147024891),
        // The suffix and the base decide the type, and the type decides signedness.
        V("-1u > 0", 1),
        V("-1 > 0", 0),
        V("-1l < 0", 1),
        V("-1ul < 0", 0),
        V("-1ll < 0", 1),
        V("0xFFFFFFFF > 0", 1),
        V("2147483648 > 0", 1),
        V("-2147483648", INT32_MIN),
        V("-2147483648 < 0", 1),
        V("-0x80000000 < 0", 0),
        S("0xFFFFFFFFLL + 1", kWide),
        S("08", kSyntax),
        S("0x", kNotInteger),
        S("1.5", kNotInteger),
        S("1e3", kNotInteger),
        S("2.0f", kNotInteger),
        S("10q", kNotInteger),
        S("0x1p4", kNotInteger),
    });
}

TEST(ConstgenExpression, CharacterLiterals) {
    CasesCheck({
        V("'A'", 65),
        V("'\\n'", 10),
        V("'\\t'", 9),
        V("'\\r'", 13),
        V("'\\0'", 0),
        V("'\\\\'", 92),
        V("'\\''", 39),
        V("'\"'", 34),
        V("'\\x41'", 65),
        V("'\\101'", 65),
        V("'\\x7f'", 127),
        // Plain char is signed: the byte 0xFF is -1.
        V("'\\377'", -1),
        V("'\\xFF'", -1),
        // Multi-character constants pack big-endian into an int; only the last four remain.
        V("'ABCD'", 0x41424344),
        V("'AB'", 0x4142),
        V("'\\0\\1'", 1),
        V("'ABCDE'", 0x42434445),
        V("L'A'", 65),
        V("L'\\xFFFF'", 65535),
        V("u'a'", 97),
        V("U'a'", 97),
        V("u8'a'", 97),
        S("'\\x100'", kOverflow),
        S("''", kSyntax),
        S("'a", kNotInteger),
        S("L'ab'", kUnsupported),
        S("'\\q'", kUnsupported),
    });
}

TEST(ConstgenExpression, CastsTruncateToTheirWidth) {
    CasesCheck({
        V("(DWORD)-1", -1),
        V("(DWORD)-1 > 0", 1),
        V("(WORD)0x12345", 0x2345),
        V("(WORD)-1", 65535),
        V("(BYTE)0x1FF", 255),
        V("(SHORT)0xFFFF", -1),
        V("(USHORT)-1", 65535),
        V("(CHAR)0x80", -128),
        V("(UCHAR)-1", 255),
        V("(INT)0xFFFFFFFF", -1),
        V("(UINT)-1 > 0", 1),
        V("(LONG)0xFFFFFFFF < 0", 1),
        V("(ULONG)-1 > 0", 1),
        V("(HRESULT)0x80004005L", -2147467259),
        V("(LRESULT)-1", -1),
        V("(UINT_PTR)-1 > 0", 1),
        V("(int)0x80000000", INT32_MIN),
        V("(int)0x80000000 < 0", 1),
        V("(unsigned long)-1 > 0", 1),
        V("(unsigned char)300", 44),
        V("(signed char)200", -56),
        V("(unsigned short)70000", 4464),
        V("(short)-1 > 0", 0),
        S("(long long)1 << 40", kWide),
        V("((__int64)1 << 40) >> 40", 1),
        S("(ULONGLONG)-1", kWide),
        V("(LONGLONG)-1", -1),
        V("(const DWORD)5", 5),
        V("(WORD)(BYTE)0x1234", 0x34),
        V("((WORD)-1) >> 1", 32767),
        // _Bool compares with zero instead of truncating.
        V("(_Bool)256", 1),
        V("(_Bool)2", 1),
        V("(_Bool)0", 0),
        V("(_Bool)-1", 1),
        V("(_Bool)0x100000000LL", 1),
        // Handles and pointers: their 32-bit value on the Win32 target.
        V("(HWND)0xffff", 65535),
        V("(HANDLE)-1", -1),
        V("(LPSTR)0", 0),
        V("(void *)-1", -1),
        V("(struct foo *)0", 0),
        S("(float)1", kNotInteger),
        S("(double)2", kNotInteger),
        S("(FOO)1", kUnsupported),
        S("(void)0", kUnsupported),
    });
}

TEST(ConstgenExpression, OperatorsAndPrecedence) {
    CasesCheck({
        V("1 + 2 * 3", 7),
        V("(1 + 2) * 3", 9),
        V("10 - 4 - 3", 3),
        V("100 / 10 / 5", 2),
        V("7 % 3", 1),
        V("-7 / 2", -3),
        V("-7 % 3", -1),
        V("7 / -2", -3),
        V("1 << 4", 16),
        V("256 >> 4", 16),
        V("-16 >> 2", -4),
        V("0xFFFFFFFF >> 4", 0x0FFFFFFF),
        V("1 << 31", INT32_MIN),
        V("1u << 31", INT32_MIN),
        V("~0", -1),
        V("~0u > 0", 1),
        V("!0", 1),
        V("!5", 0),
        V("-(-5)", 5),
        V("+5", 5),
        V("- -5", 5),
        V("1 < 2", 1),
        V("2 <= 1", 0),
        V("3 > 2", 1),
        V("2 >= 3", 0),
        V("2 >= 2", 1),
        V("1 == 1", 1),
        V("1 != 1", 0),
        V("6 & 3", 2),
        V("6 ^ 3", 5),
        V("6 | 3", 7),
        V("1 && 0", 0),
        V("2 && 3", 1),
        V("2 || 0", 1),
        V("0 || 0", 0),
        V("1 | 2 ^ 3 & 4", 3),
        V("1 + 2 << 3", 24),
        V("1 << 2 + 3", 32),
        V("1 < 2 == 1", 1),
        V("5 & 3 == 3", 1),
        V("3 == 3 & 5", 1),
        V("2 + 3 * 4 - 6 / 2", 11),
        V("(2 + 3) * (4 - 6) / 2", -5),
        V("1 || 0 && 0", 1),
        V("(1 || 0) && 0", 0),
    });
}

TEST(ConstgenExpression, ConditionalOperatorEvaluatesOneBranch) {
    CasesCheck({
        V("1 ? 2 : 3", 2),
        V("0 ? 2 : 3", 3),
        V("1 ? 0 ? 4 : 5 : 6", 5),
        V("0 ? 1 : 0 ? 2 : 3", 3),
        V("0 ? 1/0 : 7", 7),
        V("1 ? 7 : 1/0", 7),
        V("0 && 1/0", 0),
        V("1 || 1/0", 1),
        // Both branches decide the type: -1 becomes unsigned next to 0u.
        V("(1 ? -1 : 0u) > 0", 1),
        S("1 ? 2 :", kSyntax),
        S("1 ? 2", kSyntax),
    });
}

TEST(ConstgenExpression, UnsignedWrapAndSignedOverflow) {
    CasesCheck({
        V("0u - 1", -1),
        V("0u - 1 > 0", 1),
        V("-1 < 0u", 0),
        V("-1 < 0", 1),
        V("0x7FFFFFFF + 1", INT32_MIN),
        V("(0U-100U)-8", -108),
        V("-1L < 0UL", 0),
        V("-1LL < 0U", 1),
        V("4294967296 - 1", -1),
        V("0xFFFFFFFFu * 0xFFFFFFFFu", 1),
        V("65536 * 65536", 0),
        S("65536LL * 65536", kWide),
    });
}

TEST(ConstgenExpression, ErrorsSkipTheDefinition) {
    CasesCheck({
        S("1/0", kDivision),
        S("5 % 0", kDivision),
        S("1/(2-2)", kDivision),
        S("1 << 32", kOverflow),
        S("1 << -1", kOverflow),
        S("1LL << 63", kWide),
        S("1LL << 64", kOverflow),
        S("(-2147483647-1)/-1", kOverflow),
        V("(-2147483647-1)%-1", 0),
        S("UNKNOWN_NAME", kUnresolved),
        S("UNKNOWN_NAME + 1", kUnresolved),
        S("f(1)", kUnresolved),
        S("\"str\"", kNotInteger),
        S("L\"wide\"", kNotInteger),
        S("sizeof(struct tag)", kUnsupported),
        S("sizeof 1", kUnsupported),
        S("&x", kUnsupported),
        S("(1", kSyntax),
        S("1 +", kSyntax),
        S(")", kSyntax),
        S("1 2", kSyntax),
        S("1 = 2", kSyntax),
        S("@", kNotInteger),
    });
}

TEST(ConstgenExpression, ReferencesMacrosAndEnumerators) {
    CasesCheck({
        V("BASE", 256),
        V("NEXT", 257),
        // Macros expand when used, so a macro may use one defined after it.
        V("LATER_USER", 42),
        V("TWO", 2),
        V("ELEVEN", 11),
        V("TWICE(NEXT)", 514),
        V("PAIR(1, 2)", 258),
        V("PASTE(BA, SE)", 256),
        V("PASTE(0x, 10)", 16),
        V("PASTE(1, )", 1),
        V("TYPED_(0x80070005L)", -2147024891),
        V("WRAP(3)", 6),
        V("VARIADIC(1, 2)", 3),
        V("NAME_OF_FN(7)", 7),
        V("LATE", 514),
        V("LATE_NEXT", 515),
        V("LATE + TEN", 524),
        V("CHAINED", 12),
        V("EMPTY + 1", 1),
        V("FN_ONLY(3)", 3),
        // The first definition of a name wins for expansions too.
        V("SHADOWED", 1),
        V("SHADOWED + 1", 2),
        V("ALIAS", 3),
        S("SELF", kCycle),
        S("A1", kCycle),
        S("SELF_PLUS", kCycle),
        S("SELF_ENUM", kCycle),
        S("LOOP(1)", kCycle),
        S("EMPTY", SkipReason::Empty),
        S("FN_ONLY", kUnresolved),
        S("TWICE(1, 2)", kUnsupported),
        S("TWICE(1", kSyntax),
    });
}

TEST(ConstgenExpression, NestingIsCappedNotFatal) {
    auto nested = [](int depth) {
        return std::string(static_cast<size_t>(depth), '(') + "1" +
               std::string(static_cast<size_t>(depth), ')');
    };
    std::string unary;
    for (int i = 0; i < 10000; ++i) {
        unary += "- ";
    }
    CasesCheck({
        V(nested(100), 1),
        S(nested(10000), SkipReason::TooComplex),
        S(unary + "1", SkipReason::TooComplex),
    });
}

// The target's data model: sizeof of scalar types, pointers and the headers' own typedefs, the
// widths of long and pointer-sized casts, and casts through typedef chains; the same expression
// on 32-bit Windows (the default), i686 and x86_64.
TEST(ConstgenExpression, TargetSizesTypedefsAndSizeof) {
    const char* const prelude = R"(
typedef unsigned int __u32;
__extension__ typedef unsigned long long int __u64;
typedef __u32 in_addr_t;
typedef unsigned short u16, *u16_pointer;
typedef int __bitwise_t;
#define __bitwise
typedef int __bitwise rwf_t;
typedef struct tag { int a; } tag_t;
typedef void (*handler_t)(int);
#ifdef WIDE
typedef unsigned long either_t;
#else
typedef unsigned int either_t;
#endif
#define _IOC(dir, type, nr, size) (((dir) << 30) | ((type) << 8) | (nr) | ((size) << 16))
#define _IOR(type, nr, size) _IOC(2U, (type), (nr), (sizeof(size)))
)";
    Target i686, x86_64;
    ASSERT_TRUE(TargetFind("i686", i686));
    ASSERT_TRUE(TargetFind("x86_64", x86_64));
    struct TargetCase {
        const char* text;
        Case windows, i686, x86_64;  // the expected results on each target
    };
    const SkipReason kUndecided = SkipReason::Undecided;
    const TargetCase cases[] = {
        {"sizeof(long)", V("", 4), V("", 4), V("", 8)},
        {"sizeof(unsigned long long)", V("", 8), V("", 8), V("", 8)},
        {"sizeof(char *)", V("", 4), V("", 4), V("", 8)},
        {"sizeof(struct tag *)", V("", 4), V("", 4), V("", 8)},
        {"sizeof(in_addr_t)", V("", 4), V("", 4), V("", 4)},
        {"sizeof(u16)", V("", 2), V("", 2), V("", 2)},
        {"sizeof(size_t)", V("", 4), V("", 4), V("", 8)},
        {"sizeof(unsigned int[2])", V("", 8), V("", 8), V("", 8)},
        {"sizeof(long double)", V("", 12), V("", 12), V("", 16)},
        {"_IOR('f', 1, long)", V("", 0x80046601), V("", 0x80046601), V("", 0x80086601)},
        {"_IOR('E', 0x03, unsigned int[2])", V("", 0x80084503), V("", 0x80084503),
         V("", 0x80084503)},
        {"((in_addr_t) 0x7f000001)", V("", 0x7F000001), V("", 0x7F000001), V("", 0x7F000001)},
        {"((u16)0x12345)", V("", 0x2345), V("", 0x2345), V("", 0x2345)},
        {"((rwf_t)0x00000001)", V("", 1), V("", 1), V("", 1)},
        {"((__u64)1 << 32)", S("", kWide), S("", kWide), S("", kWide)},
        // long and the pointer-sized types are 64 bits on x86_64: too wide, never truncated.
        {"((unsigned long)~0L)", V("", -1), V("", -1), S("", kWide)},
        {"((size_t)-1)", V("", -1), V("", -1), S("", kWide)},
        {"((u16_pointer)-1)", V("", -1), V("", -1), S("", kWide)},
        {"1L << 40", S("", kOverflow), S("", kOverflow), S("", kWide)},
        {"0xFFFFFFFFUL + 1", V("", 0), V("", 0), S("", kWide)},
        // A typedef declared differently in undecided branches: a cast through it holds when
        // every declaration gives the same number, and no operator may take the result.
        {"((either_t)1)", V("", 1), V("", 1), V("", 1)},
        {"((either_t)-1)", V("", -1), V("", -1), S("", kUndecided)},
        {"((either_t)1) + 1", V("", 2), V("", 2), S("", kUnsupported)},
        {"sizeof(tag_t)", S("", kUnsupported), S("", kUnsupported), S("", kUnsupported)},
        {"sizeof(struct tag)", S("", kUnsupported), S("", kUnsupported), S("", kUnsupported)},
        // Named like a handle, but a structure: its size is not known.
        {"sizeof(HISTOGRAM_BUCKET)", S("", kUnsupported), S("", kUnsupported), S("", kUnsupported)},
        {"((handler_t)0)", S("", kUnsupported), S("", kUnsupported), S("", kUnsupported)},
    };
    for (const TargetCase& c : cases) {
        const std::pair<const Case*, const Target*> runs[] = {
            {&c.windows, nullptr}, {&c.i686, &i686}, {&c.x86_64, &x86_64}};
        for (const auto& run : runs) {
            SCOPED_TRACE(run.second ? run.second->name : "default");
            Case expected = *run.first;
            expected.text = c.text;
            CasesCheck({expected}, run.second ? *run.second : Target(), prelude);
        }
    }
}
