#include "TypedefReader.h"

void TypedefReader::Feed(const Token& token) {
    if (!inside) {
        if (token.kind == TokenKind::Identifier && token.text == "typedef") {
            inside = true;
            nesting = 0;
            spoiled = false;
            tokens.clear();
        }
        return;
    }
    if (TokenIs(token, "{") || TokenIs(token, "(") || TokenIs(token, "[")) {
        ++nesting;
        spoiled = spoiled || TokenIs(token, "{");
    } else if (TokenIs(token, "}") || TokenIs(token, ")") || TokenIs(token, "]")) {
        --nesting;
    } else if (TokenIs(token, ";") && nesting <= 0) {
        End();
        inside = false;
        return;
    }
    if (tokens.size() < 64) {
        tokens.push_back(token);
    } else {
        spoiled = true;
    }
}

void TypedefReader::End() {
    // The compiler sees the typedef with its macros expanded: "typedef int __bitwise x;".
    std::vector<Token> expanded;
    Failure failure;
    if (spoiled || !MacroExpand(macros, tokens, expanded, failure)) {
        return;
    }
    tokens.swap(expanded);
    for (const Token& token : tokens) {
        if (token.kind != TokenKind::Identifier && !TokenIs(token, "*") && !TokenIs(token, ",")) {
            return;  // function pointers, arrays, attributes
        }
    }
    // Specifier words, then declarators "[*...] name" separated by commas.
    std::vector<std::string> words;
    size_t i = 0;
    for (; i < tokens.size() && tokens[i].kind == TokenKind::Identifier; ++i) {
        if (tokens[i].text != "__extension__") {
            words.push_back(tokens[i].text);
        }
    }
    if (words.empty()) {
        return;
    }
    std::vector<std::pair<std::string, bool>> declarators;  // name, pointer
    bool star = false;
    if (i == tokens.size() || TokenIs(tokens[i], ",")) {
        declarators.emplace_back(words.back(), false);  // "typedef unsigned int u32;"
        words.pop_back();
    }
    for (; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (TokenIs(token, "*")) {
            star = true;
        } else if (token.kind == TokenKind::Identifier && token.text != "const") {
            declarators.emplace_back(token.text, star);
        } else if (TokenIs(token, ",")) {
            star = false;
        } else if (!(token.kind == TokenKind::Identifier)) {
            spoiled = true;
        }
    }
    if (words.empty()) {
        return;
    }
    std::vector<TypeInfo> alternatives(1);
    bool pointerOnly = false;
    if (words[0] == "struct" || words[0] == "union" || words[0] == "enum") {
        pointerOnly = true;
    } else if (!types.Classify(words, false, alternatives[0])) {
        // A typedef of a typedef declared in several ways has all of its types; of a type not
        // known here, none (a cast through it stays unknown).
        alternatives = types.Alternatives(words.back());
        pointerOnly = alternatives.empty();
        if (pointerOnly && types.Conflicting(words.back())) {
            for (const auto& declarator : declarators) {
                types.LearnConflicting(declarator.first);
            }
        }
    }
    for (const auto& declarator : declarators) {
        if (declarator.second) {
            TypeInfo pointer;
            types.Classify(words, true, pointer);
            types.Learn(declarator.first, pointer);
        } else if (!pointerOnly) {
            for (const TypeInfo& info : alternatives) {
                types.Learn(declarator.first, info);
            }
        }
    }
}
