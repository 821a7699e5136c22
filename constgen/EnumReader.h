// Reads enumerator lists, "enum [tag] [attributes] [: type] { A, B = expr, ... }", from a stream
// of tokens outside directives, one token at a time: constgen feeds it the headers' tokens,
// constprobe the compiler's preprocessed text. It says where items start and end and hands out
// each item's tokens as written; what an item means (a name, a value, a macro to expand) is the
// caller's business.
#pragma once
#include <stddef.h>

#include <vector>

#include "Lexer.h"

class EnumReader {
public:
    enum class Event {
        None,       // nothing completed
        ItemStart,  // the token is the first of an item
        ItemEnd,    // an item ended at "," (Item() holds it)
        BlockEnd,   // "}" closed the body; Item() holds its last item, possibly empty
        Abandoned   // the braces hold no enumerator list; AbandonReason() says why
    };

    // Items longer than this are cut; ItemTooLong() says so.
    explicit EnumReader(size_t itemTokenLimit) : limit(itemTokenLimit) {}

    Event Feed(const Token& token);

    const std::vector<Token>& Item() const { return item; }
    bool ItemTooLong() const { return tooLong; }
    // Clears the item after an ItemEnd or BlockEnd, so the next one starts empty.
    void ItemClear();
    const char* AbandonReason() const { return abandonReason; }
    bool InBody() const { return state == State::Body; }
    // Forgets any open enum (the end of a file).
    void Reset();

private:
    enum class State { Idle, Head, Body };
    Event Abandon(const char* why);

    size_t limit;
    State state = State::Idle;
    int headTokens = 0;
    int nesting = 0;
    std::vector<Token> item;
    bool tooLong = false;
    const char* abandonReason = "";
};
