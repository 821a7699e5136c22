#include "EnumReader.h"

namespace {

// Tag, attributes and a C++ underlying type fit in this many tokens; more is no enum head.
const int kHeadTokenLimit = 64;

}  // namespace

void EnumReader::ItemClear() {
    item.clear();
    tooLong = false;
}

void EnumReader::Reset() {
    state = State::Idle;
    ItemClear();
}

EnumReader::Event EnumReader::Abandon(const char* why) {
    abandonReason = why;
    Reset();
    return Event::Abandoned;
}

EnumReader::Event EnumReader::Feed(const Token& token) {
    switch (state) {
    case State::Idle:
        if (token.kind == TokenKind::Identifier && token.text == "enum") {
            state = State::Head;
            headTokens = 0;
            nesting = 0;
        }
        return Event::None;
    case State::Head:
        if (++headTokens > kHeadTokenLimit) {
            state = State::Idle;
        } else if (TokenIs(token, "(")) {
            ++nesting;  // __attribute__((...))
        } else if (TokenIs(token, ")")) {
            if (--nesting < 0) {
                state = State::Idle;
            }
        } else if (nesting == 0 && TokenIs(token, "{")) {
            ItemClear();
            state = State::Body;
        } else if (nesting == 0 && token.kind != TokenKind::Identifier && !TokenIs(token, ":")) {
            state = State::Idle;  // "enum tag name;", a parameter, a cast
        }
        return Event::None;
    case State::Body: break;
    }
    // A function returning an enum, or a structure declared in the braces: no enumerator list.
    if (TokenIs(token, "{") || TokenIs(token, ";")) {
        return Abandon("not an enumerator list");
    }
    if (TokenIs(token, "(") || TokenIs(token, "[")) {
        ++nesting;
    } else if (TokenIs(token, ")") || TokenIs(token, "]")) {
        if (--nesting < 0) {
            return Abandon("unbalanced parentheses");
        }
    } else if (TokenIs(token, "}")) {
        if (nesting != 0) {
            return Abandon("unbalanced parentheses");
        }
        state = State::Idle;
        return Event::BlockEnd;
    } else if (TokenIs(token, ",") && nesting == 0) {
        return Event::ItemEnd;
    }
    const bool first = item.empty() && !tooLong;
    if (item.size() < limit) {
        item.push_back(token);
    } else {
        tooLong = true;
    }
    return first ? Event::ItemStart : Event::None;
}
