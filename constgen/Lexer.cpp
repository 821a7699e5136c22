#include "Lexer.h"

#include <string.h>

namespace {

bool IsIdentifierStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool IsIdentifierChar(unsigned char c) {
    return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Longest first, so that "<<=" wins over "<<" and "<".
const char* const kPunctuators[] = {
    "<<=", ">>=", "...", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=",
    "&&",  "||",  "*=",  "/=", "%=", "+=", "-=", "&=", "^=", "|=", "##", "(",
    ")",   "[",   "]",   "{",  "}",  ".",  "&",  "*",  "+",  "-",  "~",  "!",
    "/",   "%",   "<",   ">",  "^",  "|",  "?",  ":",  ";",  "=",  ",",  "#",
};

}  // namespace

bool TokenIs(const Token& token, const char* punctuator) {
    return token.kind == TokenKind::Punctuator && token.text == punctuator;
}

Lexer::Lexer(const std::string& bytes) {
    // Translation phases 1 and 2 in one pass: line ends become LF, backslash-newline goes away.
    // A backslash followed by blanks and then the line end is taken as a splice too, as GCC does,
    // because headers edited on Windows often carry trailing blanks after the backslash.
    text.reserve(bytes.size());
    size_t i = 0;
    const size_t n = bytes.size();
    if (n >= 3 && memcmp(bytes.data(), "\xEF\xBB\xBF", 3) == 0) {
        i = 3;  // UTF-8 signature
    }
    while (i < n) {
        char c = bytes[i];
        if (c == '\\') {
            size_t j = i + 1;
            while (j < n && (bytes[j] == ' ' || bytes[j] == '\t')) {
                ++j;
            }
            if (j < n && (bytes[j] == '\n' || bytes[j] == '\r')) {
                if (bytes[j] == '\r' && j + 1 < n && bytes[j + 1] == '\n') {
                    ++j;
                }
                splices.push_back(text.size());
                i = j + 1;
                continue;
            }
            text.push_back(c);
            ++i;
        } else if (c == '\r') {
            text.push_back('\n');
            i += (i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
        } else {
            text.push_back(c);
            ++i;
        }
    }
}

void Lexer::LineTrack(size_t target) {
    for (; lineCounted < target; ++lineCounted) {
        if (text[lineCounted] == '\n') {
            ++line;
        }
    }
    while (spliceIndex < splices.size() && splices[spliceIndex] <= target) {
        ++spliceIndex;
        ++line;
    }
}

void Lexer::CommentSkip() {
    // position is just after "/*".
    size_t end = text.find("*/", position);
    if (end == std::string::npos) {
        LineTrack(position);
        unterminatedComment = line;
        position = text.size();
        return;
    }
    position = end + 2;
}

void Lexer::LiteralRead(Token& token, char quote) {
    // A literal ends at its closing quote or, unterminated, at the line end; the latter becomes
    // an Other token so no value is ever made of it.
    // position is on the opening quote; an encoding prefix is already in token.text.
    size_t start = position;
    ++position;
    bool closed = false;
    while (position < text.size() && text[position] != '\n') {
        char c = text[position++];
        if (c == '\\' && position < text.size() && text[position] != '\n') {
            ++position;
        } else if (c == quote) {
            closed = true;
            break;
        }
    }
    token.text.append(text, start, position - start);
    if (!closed) {
        token.kind = TokenKind::Other;
    } else {
        token.kind = quote == '\'' ? TokenKind::Character : TokenKind::String;
    }
}

void Lexer::NumberRead(Token& token) {
    size_t start = position;
    ++position;
    while (position < text.size()) {
        unsigned char c = text[position];
        if ((c == '+' || c == '-') && (text[position - 1] == 'e' || text[position - 1] == 'E' ||
                                       text[position - 1] == 'p' || text[position - 1] == 'P')) {
            ++position;
        } else if (IsIdentifierChar(c) || c == '.') {
            ++position;
        } else {
            break;
        }
    }
    token.kind = TokenKind::Number;
    token.text.assign(text, start, position - start);
}

void Lexer::PunctuatorRead(Token& token) {
    for (const char* punctuator : kPunctuators) {
        if (punctuator[0] != text[position]) {
            continue;
        }
        size_t length = strlen(punctuator);
        if (text.compare(position, length, punctuator) == 0) {
            token.kind = TokenKind::Punctuator;
            token.text.assign(punctuator);
            position += length;
            return;
        }
    }
    token.kind = TokenKind::Other;
    token.text.assign(1, text[position]);
    ++position;
}

bool Lexer::TokenNext(Token& token) {
    bool space = false;
    for (;;) {
        if (position >= text.size()) {
            return false;
        }
        unsigned char c = text[position];
        if (c == '\n') {
            atLineStart = true;
            space = true;
            ++position;
        } else if (IsSpace(c)) {
            space = true;
            ++position;
        } else if (c == '/' && position + 1 < text.size() && text[position + 1] == '/') {
            size_t end = text.find('\n', position);
            position = end == std::string::npos ? text.size() : end;
            space = true;
        } else if (c == '/' && position + 1 < text.size() && text[position + 1] == '*') {
            position += 2;
            CommentSkip();
            space = true;
        } else {
            break;
        }
    }
    LineTrack(position);
    token.line = line;
    token.lineStart = atLineStart;
    token.spaceBefore = space;
    token.hideset = 0;
    token.text.clear();
    atLineStart = false;

    unsigned char c = text[position];
    if (IsIdentifierStart(c)) {
        size_t start = position;
        while (position < text.size() && IsIdentifierChar(text[position])) {
            ++position;
        }
        size_t length = position - start;
        // Encoding prefixes of character and string literals: L, u, U, u8.
        bool prefix = (length == 1 && (c == 'L' || c == 'u' || c == 'U')) ||
                      (length == 2 && c == 'u' && text[start + 1] == '8');
        if (prefix && position < text.size() && (text[position] == '\'' || text[position] == '"')) {
            token.text.assign(text, start, length);
            LiteralRead(token, text[position]);
            return true;
        }
        token.kind = TokenKind::Identifier;
        token.text.assign(text, start, length);
    } else if (IsDigit(c) ||
               (c == '.' && position + 1 < text.size() && IsDigit(text[position + 1]))) {
        NumberRead(token);
    } else if (c == '\'' || c == '"') {
        LiteralRead(token, static_cast<char>(c));
    } else {
        PunctuatorRead(token);
    }
    return true;
}

std::vector<Token> TokensFromText(const std::string& source) {
    std::vector<Token> tokens;
    Lexer lexer(source);
    Token token;
    while (lexer.TokenNext(token)) {
        tokens.push_back(token);
    }
    return tokens;
}
