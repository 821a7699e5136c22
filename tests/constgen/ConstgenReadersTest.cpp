// The pieces constgen's front end is made of, each on its own: the enumerator-list reader that
// constgen and constprobe share, the typedef reader, and the include search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConstgenSupport.h"
#include "EnumReader.h"
#include "IncludeSearch.h"
#include "TypedefReader.h"

namespace {

std::vector<Token> Tokens(const std::string& text) {
    std::vector<Token> tokens;
    Lexer lexer(text);
    Token token;
    while (lexer.TokenNext(token)) {
        tokens.push_back(token);
    }
    return tokens;
}

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
    for (const Token& token : Tokens(text)) {
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
    for (const Token& token : Tokens("typedef unsigned short __u16; typedef __u16 __bitwise port_t;"
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
