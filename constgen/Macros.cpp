#include "Macros.h"

#include <algorithm>
#include <map>

int MacroTable::Add(Macro macro) {
    auto found = names.find(macro.name);
    if (found != names.end()) {
        return -1;
    }
    int index = static_cast<int>(macros.size());
    names.emplace(macro.name, index);
    macros.push_back(std::move(macro));
    return index;
}

int MacroTable::Replace(Macro macro) {
    Remove(macro.name);
    return Add(std::move(macro));
}

void MacroTable::Remove(const std::string& name) {
    names.erase(name);
}

int MacroTable::Find(const std::string& name) const {
    auto found = names.find(name);
    return found == names.end() ? -1 : found->second;
}

bool MacroParse(const std::vector<Token>& tokens, Macro& macro, Failure& failure) {
    if (tokens.empty() || tokens[0].kind != TokenKind::Identifier) {
        failure.reason = SkipReason::Syntax;
        failure.detail = "#define without a name";
        return false;
    }
    macro = Macro();
    macro.name = tokens[0].text;
    size_t i = 1;
    // Only a "(" touching the name makes a function-like macro: "#define F (1)" is object-like.
    if (i < tokens.size() && TokenIs(tokens[i], "(") && !tokens[i].spaceBefore) {
        macro.functionLike = true;
        ++i;
        bool expectName = true;
        for (;; ++i) {
            if (i >= tokens.size()) {
                failure.reason = SkipReason::Syntax;
                failure.detail = "unterminated parameter list";
                return false;
            }
            const Token& token = tokens[i];
            if (TokenIs(token, ")") && (!expectName || macro.parameters.empty())) {
                ++i;
                break;
            }
            if (expectName && token.kind == TokenKind::Identifier && !macro.variadic) {
                macro.parameters.push_back(token.text);
                expectName = false;
            } else if (TokenIs(token, "...") && !macro.variadic) {
                // "..." alone names __VA_ARGS__; "args..." (GNU) makes args the variadic one.
                if (expectName) {
                    macro.parameters.push_back("__VA_ARGS__");
                }
                macro.variadic = true;
                expectName = false;
            } else if (TokenIs(token, ",") && !expectName && !macro.variadic) {
                expectName = true;
            } else {
                failure.reason = SkipReason::Syntax;
                failure.detail = "bad parameter list";
                return false;
            }
        }
    }
    macro.body.assign(tokens.begin() + static_cast<std::ptrdiff_t>(i), tokens.end());
    for (Token& token : macro.body) {
        if (TokenIs(token, "##")) {
            token.kind = TokenKind::Paste;
        }
    }
    return true;
}

namespace {

class Expander {
public:
    std::vector<int>* used = nullptr;  // every macro expanded, when asked for

    Expander(const MacroTable& macros, Failure& why) : table(macros), failure(why) {
        sets.emplace_back();  // index 0: the empty set
        interned.emplace(std::vector<int>(), 0);
    }

    bool Expand(const std::vector<Token>& input, std::vector<Token>& output, int depth) {
        if (depth > kExpansionDepthLimit) {
            return Fail(SkipReason::TooComplex, "macro arguments nested deeper than 256");
        }
        // Pending tokens, next one last, so that an expansion is pushed in front cheaply.
        std::vector<Token> pending(input.rbegin(), input.rend());
        while (!pending.empty()) {
            if (!Spend(1)) {
                return false;
            }
            Token token = std::move(pending.back());
            pending.pop_back();
            int index = token.kind == TokenKind::Identifier ? table.Find(token.text) : -1;
            if (index < 0 || token.painted || Has(token.hideset, index)) {
                token.painted = index >= 0;
                output.push_back(std::move(token));
                continue;
            }
            const Macro& macro = table.At(index);
            if (used) {
                used->push_back(index);
            }
            std::vector<Token> replaced;
            if (!macro.functionLike) {
                if (!Substitute(macro, {}, Add(token.hideset, index), replaced, depth)) {
                    return false;
                }
            } else {
                if (pending.empty() || !TokenIs(pending.back(), "(")) {
                    output.push_back(std::move(token));  // a function-like name without a call
                    continue;
                }
                std::vector<std::vector<Token>> arguments;
                uint32_t closeHideset = 0;
                if (!ArgumentsCollect(macro, pending, arguments, closeHideset)) {
                    return false;
                }
                uint32_t hideset = Add(Intersect(token.hideset, closeHideset), index);
                if (!Substitute(macro, arguments, hideset, replaced, depth)) {
                    return false;
                }
            }
            if (!Spend(replaced.size())) {
                return false;
            }
            pending.insert(pending.end(), std::make_move_iterator(replaced.rbegin()),
                           std::make_move_iterator(replaced.rend()));
        }
        return true;
    }

private:
    bool Fail(SkipReason reason, const std::string& detail) {
        if (failure.reason == SkipReason::None) {
            failure.reason = reason;
            failure.detail = detail;
        }
        return false;
    }

    bool Spend(size_t tokens) {
        work += tokens;
        if (work > kExpansionTokenLimit) {
            return Fail(SkipReason::TooComplex, "macro expansion too large");
        }
        return true;
    }

    bool SpendText(size_t characters) {
        textWork += characters;
        if (textWork > kExpansionTextLimit) {
            return Fail(SkipReason::TooComplex, "macro expansion text too large");
        }
        return true;
    }

    static size_t TextSize(const std::vector<Token>& tokens) {
        size_t size = 0;
        for (const Token& token : tokens) {
            size += token.text.size();
        }
        return size;
    }

    // Takes "( a , b )" off pending; commas inside nested parentheses don't split.
    bool ArgumentsCollect(const Macro& macro, std::vector<Token>& pending,
                          std::vector<std::vector<Token>>& arguments, uint32_t& closeHideset) {
        pending.pop_back();  // "("
        arguments.emplace_back();
        int nesting = 0;
        for (;;) {
            if (pending.empty()) {
                return Fail(SkipReason::Syntax, "unterminated call of " + macro.name);
            }
            Token token = std::move(pending.back());
            pending.pop_back();
            if (TokenIs(token, "(")) {
                ++nesting;
            } else if (TokenIs(token, ")")) {
                if (nesting == 0) {
                    closeHideset = token.hideset;
                    break;
                }
                --nesting;
            } else if (TokenIs(token, ",") && nesting == 0 &&
                       !(macro.variadic && arguments.size() >= macro.parameters.size())) {
                arguments.emplace_back();
                continue;
            }
            arguments.back().push_back(std::move(token));
        }
        const size_t expected = macro.parameters.size();
        if (expected == 0 && arguments.size() == 1 && arguments[0].empty()) {
            arguments.clear();
        }
        if (macro.variadic && arguments.size() + 1 == expected) {
            arguments.emplace_back();  // F(a) for F(x, ...): empty variadic part
        }
        if (arguments.size() != expected) {
            return Fail(SkipReason::Unsupported,
                        macro.name + " called with " + std::to_string(arguments.size()) +
                            " arguments, expects " + std::to_string(expected));
        }
        return true;
    }

    int ParameterIndex(const Macro& macro, const Token& token) const {
        if (!macro.functionLike || token.kind != TokenKind::Identifier) {
            return -1;
        }
        for (size_t i = 0; i < macro.parameters.size(); ++i) {
            if (macro.parameters[i] == token.text) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    static Token Stringize(const std::vector<Token>& argument) {
        Token result;
        result.kind = TokenKind::String;
        result.text = "\"";
        for (size_t i = 0; i < argument.size(); ++i) {
            if (i > 0 && argument[i].spaceBefore) {
                result.text += ' ';
            }
            bool literal =
                argument[i].kind == TokenKind::String || argument[i].kind == TokenKind::Character;
            for (char c : argument[i].text) {
                if (literal && (c == '"' || c == '\\')) {
                    result.text += '\\';
                }
                result.text += c;
            }
        }
        result.text += '"';
        return result;
    }

    Token Paste(const Token& left, const Token& right) {
        if (left.kind == TokenKind::Placemarker) {
            return right;
        }
        if (right.kind == TokenKind::Placemarker) {
            return left;
        }
        Token result = left;
        // Lexing the joined text costs its length; the limit keeps a long chain of pastes onto
        // a growing token from going quadratic.
        if (!SpendText(left.text.size() + right.text.size())) {
            result.kind = TokenKind::Other;
            result.text.clear();
            return result;
        }
        std::vector<Token> lexed = TokensFromText(left.text + right.text);
        if (lexed.size() == 1) {
            result.kind = lexed[0].kind;
            result.text = lexed[0].text;
        } else {
            // Not one token: GCC rejects the paste; keep a token that evaluates to nothing.
            result.kind = TokenKind::Other;
            result.text = left.text + right.text;
        }
        return result;
    }

    bool Substitute(const Macro& macro, const std::vector<std::vector<Token>>& arguments,
                    uint32_t hideset, std::vector<Token>& output, int depth) {
        const std::vector<Token>& body = macro.body;
        std::vector<Token> sequence;
        for (size_t i = 0; i < body.size(); ++i) {
            const Token& token = body[i];
            if (macro.functionLike && TokenIs(token, "#") && i + 1 < body.size()) {
                int parameter = ParameterIndex(macro, body[i + 1]);
                if (parameter >= 0) {
                    sequence.push_back(Stringize(arguments[static_cast<size_t>(parameter)]));
                    if (!SpendText(sequence.back().text.size())) {
                        return false;
                    }
                    ++i;
                    continue;
                }
            }
            int parameter = ParameterIndex(macro, token);
            if (parameter < 0) {
                if (!SpendText(token.text.size())) {
                    return false;
                }
                sequence.push_back(token);
                continue;
            }
            const std::vector<Token>& argument = arguments[static_cast<size_t>(parameter)];
            // Counted before the copy, so that memory stays within the limit too.
            if (!SpendText(TextSize(argument))) {
                return false;
            }
            const bool pasted = (i > 0 && body[i - 1].kind == TokenKind::Paste) ||
                                (i + 1 < body.size() && body[i + 1].kind == TokenKind::Paste);
            if (pasted) {
                // Operands of ## are the arguments as written, not expanded.
                if (argument.empty()) {
                    Token placemarker;
                    placemarker.kind = TokenKind::Placemarker;
                    sequence.push_back(placemarker);
                } else {
                    sequence.insert(sequence.end(), argument.begin(), argument.end());
                }
            } else {
                std::vector<Token> expanded;
                if (!Expand(argument, expanded, depth + 1)) {
                    return false;
                }
                sequence.insert(sequence.end(), expanded.begin(), expanded.end());
            }
            if (!Spend(argument.size())) {
                return false;
            }
        }
        for (size_t i = 0; i < sequence.size(); ++i) {
            if (sequence[i].kind == TokenKind::Paste && !output.empty() &&
                i + 1 < sequence.size()) {
                Token joined = Paste(output.back(), sequence[i + 1]);
                if (failure.reason != SkipReason::None) {
                    return false;
                }
                output.back() = std::move(joined);
                ++i;
            } else if (sequence[i].kind == TokenKind::Paste) {
                return Fail(SkipReason::Syntax, "## at the edge of " + macro.name);
            } else {
                output.push_back(std::move(sequence[i]));
            }
        }
        output.erase(
            std::remove_if(output.begin(), output.end(),
                           [](const Token& t) { return t.kind == TokenKind::Placemarker; }),
            output.end());
        for (Token& token : output) {
            token.hideset = Union(token.hideset, hideset);
        }
        return true;
    }

    uint32_t Intern(std::vector<int> set) {
        auto found = interned.find(set);
        if (found != interned.end()) {
            return found->second;
        }
        uint32_t index = static_cast<uint32_t>(sets.size());
        sets.push_back(set);
        interned.emplace(std::move(set), index);
        return index;
    }

    bool Has(uint32_t set, int id) const {
        const std::vector<int>& members = sets[set];
        return std::binary_search(members.begin(), members.end(), id);
    }

    uint32_t Add(uint32_t set, int id) {
        if (Has(set, id)) {
            return set;
        }
        std::vector<int> members = sets[set];
        members.insert(std::lower_bound(members.begin(), members.end(), id), id);
        return Intern(std::move(members));
    }

    uint32_t Union(uint32_t a, uint32_t b) {
        if (a == b || b == 0) {
            return a;
        }
        if (a == 0) {
            return b;
        }
        auto key = std::make_pair(a, b);
        auto found = unions.find(key);
        if (found != unions.end()) {
            return found->second;
        }
        std::vector<int> members;
        std::set_union(sets[a].begin(), sets[a].end(), sets[b].begin(), sets[b].end(),
                       std::back_inserter(members));
        uint32_t result = Intern(std::move(members));
        unions.emplace(key, result);
        return result;
    }

    uint32_t Intersect(uint32_t a, uint32_t b) {
        if (a == b) {
            return a;
        }
        std::vector<int> members;
        std::set_intersection(sets[a].begin(), sets[a].end(), sets[b].begin(), sets[b].end(),
                              std::back_inserter(members));
        return Intern(std::move(members));
    }

    const MacroTable& table;
    Failure& failure;
    size_t work = 0;
    size_t textWork = 0;
    std::vector<std::vector<int>> sets;
    std::map<std::vector<int>, uint32_t> interned;
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> unions;
};

}  // namespace

bool MacroExpand(const MacroTable& table, const std::vector<Token>& input,
                 std::vector<Token>& output, Failure& failure, std::vector<int>* used) {
    Expander expander(table, failure);
    expander.used = used;
    return expander.Expand(input, output, 0);
}
