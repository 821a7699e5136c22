// Tokens of C header text, as the preprocessor sees them: line splices and comments gone,
// every CR LF, lone CR and LF a line end.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

enum class TokenKind : uint8_t {
    Identifier,
    Number,       // a preprocessing number: 0x1F, 10UL, 1.5e3 (the evaluator decides what it is)
    Character,    // 'a', L'a', including the quotes and prefix
    String,       // "abc", L"abc"
    Punctuator,   // operators and separators
    Paste,        // a ## inside a macro body (only there is it an operator)
    Placemarker,  // an empty macro argument next to ##
    Other         // a byte that starts no token (junk, stray backslash, unterminated literal)
};

struct Token {
    TokenKind kind = TokenKind::Other;
    bool lineStart = false;    // first token of its line
    bool spaceBefore = false;  // white space or a comment right before it
    bool painted = false;      // a macro name left unexpanded inside its own expansion
    uint32_t line = 0;         // line of the original file where the token starts
    uint32_t hideset = 0;      // macro expansion bookkeeping (see Macros.h); 0 is the empty set
    std::string text;
};

bool TokenIs(const Token& token, const char* punctuator);

// Prepares a whole file and hands out its tokens one by one, so a huge file or line costs no
// more memory than its own bytes.
class Lexer {
public:
    explicit Lexer(const std::string& bytes);

    // The next token; false at the end of the text.
    bool TokenNext(Token& token);

    // Line of an unterminated /* comment (the rest of the file was a comment), or 0.
    uint32_t UnterminatedCommentLine() const { return unterminatedComment; }

private:
    void LineTrack(size_t position);
    void CommentSkip();
    void LiteralRead(Token& token, char quote);
    void NumberRead(Token& token);
    void PunctuatorRead(Token& token);

    std::string text;             // LF line ends, splices removed
    std::vector<size_t> splices;  // offsets in text where a removed splice stood
    size_t position = 0;
    size_t spliceIndex = 0;
    size_t lineCounted = 0;  // text offset up to which line was counted
    uint32_t line = 1;
    bool atLineStart = true;
    uint32_t unterminatedComment = 0;
};

// Lexes a short text (a pasted token, a -D value) into tokens.
std::vector<Token> TokensFromText(const std::string& text);
