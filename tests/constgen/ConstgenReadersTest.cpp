// The pieces constgen's front end is made of, each on its own: the enumerator-list reader that
// constgen and constprobe share, the typedef reader, the include search and the tracker of
// conditionals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Conditions.h"
#include "ConstgenSupport.h"
#include "EnumReader.h"
#include "IncludeSearch.h"
#include "TypedefReader.h"

namespace {

// What the reader makes of a text: each item as "[tokens]", each block end as "}", each
// abandoned body as "abandoned: why".
std::vector<std::string> EnumEvents(const std::string& text, size_t limit = 64) {
    EnumReader reader(limit);
    std::vector<std::string> events;
    auto item = [&]() {
        std::string joined;
        for (const Token& token : reader.Item()) {
            joined += (joined.empty() ? "" : " ") + token.text;
        }
        return "[" + joined + (reader.ItemTooLong() ? " ..." : "") + "]";
    };
    for (const Token& token : TokensFromText(text)) {
        switch (reader.Feed(token)) {
        case EnumReader::Event::None: break;
        case EnumReader::Event::ItemStart: EXPECT_EQ(reader.Item().size(), 1u) << token.text; break;
        case EnumReader::Event::ItemEnd:
            events.push_back(item());
            reader.ItemClear();
            break;
        case EnumReader::Event::BlockEnd:
            events.push_back(item());
            events.push_back("}");
            reader.ItemClear();
            break;
        case EnumReader::Event::Abandoned:
            events.push_back(std::string("abandoned: ") + reader.AbandonReason());
            break;
        }
    }
    return events;
}

// Feeds a text to a tracker as Definitions does: conditional directives to the tracker, #define
// and #undef of active code as well. Each other line that is read gives its first word, and when
// it is read without being decided, how many undecided branches are open and their deciders:
// "x (2: A, B)". pins: "NAME=value" pinned defined, "!NAME" pinned not defined.
std::vector<std::string> TrackerReads(const std::string& text,
                                      const std::vector<std::string>& pins = {}) {
    ConditionTracker tracker;
    for (const std::string& pin : pins) {
        const size_t equals = pin.find('=');
        if (pin[0] == '!') {
            tracker.Pin(pin.substr(1), false, "");
        } else {
            tracker.Pin(pin.substr(0, equals), true, pin.substr(equals + 1));
        }
    }
    tracker.FileEnter(text);
    std::vector<std::string> reads;
    const std::vector<Token> tokens = TokensFromText(text);
    for (size_t i = 0; i < tokens.size();) {
        size_t end = i + 1;
        while (end < tokens.size() && !tokens[end].lineStart) {
            ++end;
        }
        if (TokenIs(tokens[i], "#")) {
            const std::vector<Token> directive(tokens.begin() + i + 1, tokens.begin() + end);
            if (tracker.Directive(directive, tokens[i].line) == ConditionTracker::Step::Other &&
                tracker.Active() && directive.size() >= 2 &&
                !tracker.PinnedDefined(directive[1].text)) {
                Macro macro;
                Failure failure;
                if (directive[0].text == "define") {
                    EXPECT_TRUE(
                        MacroParse(std::vector<Token>(directive.begin() + 1, directive.end()),
                                   macro, failure));
                    tracker.Defined(macro);
                } else if (directive[0].text == "undef") {
                    tracker.Undefined(directive[1].text);
                }
            }
        } else if (tracker.Active()) {
            reads.push_back(tracker.Certain() ? tokens[i].text
                                              : tokens[i].text + " (" +
                                                    std::to_string(tracker.UndecidedPath().size()) +
                                                    ": " + NamesJoin(tracker.DecidersHere()) + ")");
        }
        i = end;
    }
    tracker.FileLeave();
    EXPECT_TRUE(tracker.Certain());
    return reads;
}

}  // namespace

TEST(EnumReader, ItemsOfEnumeratorListsAndWhatIsNoList) {
    const struct {
        const char* text;
        std::vector<std::string> events;
    } cases[] = {
        {"enum { A, B = F(1, 2), C, };", {"[A]", "[B = F ( 1 , 2 )]", "[C]", "[]", "}"}},
        {"typedef enum tag __attribute__((packed)) : int { X } t;", {"[X]", "}"}},
        // Macro calls stay whole items; what they mean is the caller's business.
        {"enum { OPTION(URL, STRING, 2), F(COPYNAME) };",
         {"[OPTION ( URL , STRING , 2 )]", "[F ( COPYNAME )]", "}"}},
        // Not enumerator lists: a declaration, a cast, a function returning an enum.
        {"enum tag value; (enum tag)x; int a[] = { 1, 2 };", {}},
        {"enum tag f(void) { return A; }", {"abandoned: not an enumerator list"}},
        {"enum { A = (1 }", {"abandoned: unbalanced parentheses"}},
        {"enum { A = 1) }", {"abandoned: unbalanced parentheses"}},
        // After an abandoned body the reader looks for the next enum.
        {"enum { A; } enum { B }", {"abandoned: not an enumerator list", "[B]", "}"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(EnumEvents(c.text), c.events);
    }
}

TEST(EnumReader, LongItemsAreCutAndSaidToBe) {
    EXPECT_EQ(EnumEvents("enum { A = 1 + 2 + 3, B };", 3),
              (std::vector<std::string>{"[A = 1 ...]", "[B]", "}"}));
}

TEST(TypedefReader, IntegerAndPointerTypedefsAfterExpansion) {
    MacroTable macros;
    Macro bitwise;
    bitwise.name = "__bitwise";
    macros.Add(bitwise);
    TypeScope types;
    TypedefReader reader(macros, types);
    for (const Token& token :
         TokensFromText("typedef unsigned short __u16; typedef __u16 __bitwise port_t;"
                        "typedef struct node *link, leaf; typedef int (*handler)(int);"
                        "typedef struct { int x; } point; typedef char name_t[8];")) {
        reader.Feed(token);
    }
    const struct {
        const char* name;
        bool known;
        int bits;
    } cases[] = {
        {"__u16", true, 16},   {"port_t", true, 16}, {"link", true, 32},   {"leaf", false, 0},
        {"handler", false, 0}, {"point", false, 0},  {"name_t", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TypeInfo info;
        ASSERT_EQ(types.Find(c.name, info, false), c.known);
        if (c.known) {
            EXPECT_EQ(info.bits, c.bits);
        }
    }
}

TEST(IncludeSearch, QuotedBesideTheFileThenTheDirectoriesAndIncludeNextAfterItsOwn) {
    ScratchDirectory scratch;
    const std::string own = scratch.Write("cc/limits.h", "");
    const std::string libc = scratch.Write("libc/limits.h", "");
    const std::string beside = scratch.Write("project/limits.h", "");
    const std::string from = scratch.Write("project/main.h", "");
    IncludeSearch search({scratch.Name("cc"), scratch.Name("libc")});
    const struct {
        const char* name;
        std::string from;
        bool quoted;
        bool next;
        std::string found;
    } cases[] = {
        {"limits.h", from, true, false, beside}, {"limits.h", from, false, false, own},
        {"limits.h", own, false, true, libc},    {"limits.h", libc, false, true, ""},
        {"missing.h", from, true, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " from " + c.from);
        EXPECT_EQ(IncludeSearch::FileKey(search.Find(c.name, c.from, c.quoted, c.next)),
                  IncludeSearch::FileKey(c.found));
    }
    EXPECT_EQ(IncludeSearch::FileKey(own),
              IncludeSearch::FileKey(scratch.Name("cc/../cc/limits.h")));
}

TEST(ConditionTracker, BranchesReadAsPinsDefinitionsAndGuardsDecide) {
    const char* const chain = "#if A\nx\n#elif B\ny\n#else\nz\n#endif";
    const struct {
        const char* text;
        std::vector<std::string> pins;
        std::vector<std::string> reads;
    } cases[] = {
        {chain, {"A=1"}, {"x"}},
        {chain, {"!A", "B=0"}, {"z"}},
        {chain, {"!A"}, {"y (1: B)", "z (1: B)"}},
        {chain, {}, {"x (1: A)", "y (1: A, B)", "z (1: A, B)"}},
        // After an undecided branch a decided one is read, but not as decided; none after it.
        {"#if A\nx\n#elif 1\ny\n#else\nz\n#endif", {}, {"x (1: A)", "y (1: A)"}},
        {"#if A\nx\n#elifdef B\ny\n#endif", {"!A", "B=1"}, {"y"}},
        // Known parts alone decide: a pinned undefined name is 0.
        {"#if defined(_M_X64) && X\nx\n#endif", {"!_M_X64"}, {}},
        {"#if defined _M_X64 || X\nx\n#endif", {"!_M_X64"}, {"x (1: X)"}},
        // Macros of decided code are expanded; an #undef there makes the name known undefined.
        {"#define V 2\n#if V > 1\nx\n#else\ny\n#endif", {}, {"x"}},
        {"#define V 1\n#undef V\n#ifdef V\nx\n#endif", {}, {}},
        // A pinned definition stands whatever the headers do.
        {"#undef V\n#define V 0\n#if V\nx\n#endif", {"V=1"}, {"x"}},
        // The same definition in an undecided branch keeps the name known; another makes it
        // unknown, and the branch's condition decides it too.
        {"#define V 1\n#if A\n#define V 1\n#endif\n#if V\nx\n#endif", {}, {"x"}},
        {"#define V 1\n#if A\n#define V 2\n#endif\n#if V\nx\n#endif", {}, {"x (1: V, A)"}},
        {"#define V 1\n#if A\n#undef V\n#endif\n#ifdef V\nx\n#endif", {}, {"x (1: V, A)"}},
        // Include guards: by their name, unless touched, and "#ifndef X" whose branch defines X.
        {"#ifdef __FOO_H__\nx\n#else\ny\n#endif", {}, {"y"}},
        {"#if !defined(BAR_INCLUDED)\nx\n#endif", {}, {"x"}},
        {"#ifdef FOO_HX\nx\n#endif", {}, {"x (1: FOO_HX)"}},
        {"#if A\n#define X_H\n#endif\n#ifdef X_H\nx\n#endif", {}, {"x (1: X_H, A)"}},
        {"#ifndef WINVER\n#define WINVER 0x0600\n#endif\n#if WINVER >= 0x0600\nx\n#endif",
         {},
         {"x"}},
        {"#ifndef WINVER\n#define WINVER 0x0600\n#endif\n#if WINVER >= 0x0600\nx\n#endif",
         {"WINVER=0x0501"},
         {}},
        {"#ifndef WINVER\nx\n#endif", {}, {"x (1: WINVER)"}},
        // Undecided branches nest; each keeps its own deciders, and a closed one drops its own.
        {"#if A\n#if B\nx\n#endif\ny\n#endif\nz", {}, {"x (2: A, B)", "y (1: A)", "z"}},
        {"#if 0\n#if A\nx\n#else\ny\n#endif\n#endif", {}, {}},
        {"#if A1 || A2 || A3 || A4 || A5 || A6 || A7 || A8 || A9\nx\n#endif",
         {},
         {"x (1: A1, A2, A3, A4, A5, A6, A7, A8 and more)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TrackerReads(c.text, c.pins), c.reads);
    }
}

// A file's conditionals are its own: an included file can't close the one around its #include,
// and what a file leaves open ends with it.
TEST(ConditionTracker, EachFileHasItsOwnConditionals) {
    ConditionTracker tracker;
    const std::string outer = "#if A\n#include \"inner.h\"\n#endif";
    const std::vector<Token> open = TokensFromText("if A");
    const std::vector<Token> close = TokensFromText("endif");
    tracker.FileEnter(outer);
    EXPECT_EQ(tracker.Directive(open, 1), ConditionTracker::Step::Done);
    tracker.FileEnter("#endif\n#if B\n");
    EXPECT_EQ(tracker.Directive(close, 1), ConditionTracker::Step::WithoutIf);
    EXPECT_EQ(tracker.Directive(TokensFromText("if B"), 2), ConditionTracker::Step::Done);
    EXPECT_EQ(tracker.UndecidedPath().size(), 2u);
    tracker.FileLeave();
    EXPECT_EQ(tracker.UndecidedPath().size(), 1u);
    EXPECT_EQ(tracker.DecidersHere(), std::vector<std::string>{"A"});
    EXPECT_EQ(tracker.Directive(close, 3), ConditionTracker::Step::Done);
    EXPECT_TRUE(tracker.Certain());
    EXPECT_EQ(tracker.Directive(close, 4), ConditionTracker::Step::WithoutIf);
    EXPECT_EQ(tracker.Directive(TokensFromText("define A 1"), 5), ConditionTracker::Step::Other);
}
