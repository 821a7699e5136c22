#include "Conditions.h"

#include <string.h>

#include <algorithm>

#include "Same.h"

namespace {

// After kNamesKept names a list of names ends with kNamesMore.
const size_t kNamesKept = 8;
const char* const kNamesMore = "...";  // no identifier: never a name of the headers

Token NumberToken(const char* text) {
    Token token;
    token.kind = TokenKind::Number;
    token.text = text;
    return token;
}

}  // namespace

void NamesAdd(std::vector<std::string>& names, const std::vector<std::string>& more) {
    for (const std::string& name : more) {
        if (!names.empty() && names.back() == kNamesMore) {
            return;
        }
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            continue;
        }
        names.push_back(names.size() < kNamesKept ? name : kNamesMore);
    }
}

std::string NamesJoin(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (name == kNamesMore) {
            text += " and more";
        } else {
            text += (text.empty() ? "" : ", ") + name;
        }
    }
    return text;
}

void ConditionTracker::Pin(const std::string& name, bool defined, const std::string& value) {
    pinned[name] = defined;
    known[name] = defined;
    touched.insert(name);
    conditionMacros.Remove(name);
    if (defined) {
        Macro macro;
        macro.name = name;
        macro.body = TokensFromText(value);
        conditionMacros.Add(std::move(macro));
    }
}

bool ConditionTracker::PinnedDefined(const std::string& name) const {
    auto found = pinned.find(name);
    return found != pinned.end() && found->second;
}

std::vector<std::string> ConditionTracker::DecidersHere() const {
    std::vector<std::string> names;
    for (const std::vector<std::string>& deciders : undecidedDeciders) {
        NamesAdd(names, deciders);
    }
    return names;
}

void ConditionTracker::BranchEnter(Conditional& conditional, bool uncertain) {
    if (!uncertain || conditional.uncertain) {
        return;
    }
    conditional.uncertain = true;
    undecidedPath.push_back(++branchSerial);
    undecidedDeciders.push_back(conditional.deciders);
}

void ConditionTracker::BranchLeave(Conditional& conditional) {
    if (conditional.uncertain) {
        conditional.uncertain = false;
        undecidedPath.pop_back();
        undecidedDeciders.pop_back();
    }
}

// name is unknown in a condition: it, and what made it unknown (the conditions around a
// definition or #undef of it in a branch that was not decided).
void ConditionTracker::UnknownAdd(std::vector<std::string>& unknown,
                                  const std::string& name) const {
    NamesAdd(unknown, {name});
    auto because = unknownBecause.find(name);
    if (because != unknownBecause.end()) {
        NamesAdd(unknown, because->second);
    }
}

// An include guard's name by the common habit (_STDLIB_H, __FOO_H__, BAR_INCLUDED): nobody sets
// those on a command line, so one that nothing defined yet is not defined.
bool ConditionTracker::GuardLike(const std::string& name) const {
    if (touched.count(name)) {
        return false;
    }
    size_t end = name.size();
    while (end > 0 && name[end - 1] == '_') {
        --end;
    }
    const std::string stem = name.substr(0, end);
    auto endsWith = [&](const char* tail) {
        const size_t length = strlen(tail);
        return stem.size() > length && stem.compare(stem.size() - length, length, tail) == 0;
    };
    return endsWith("_H") || endsWith("_INCLUDED");
}

// X of "ifndef X", "if !defined X" and "if !defined(X)" (tokens after the "#"), else empty.
std::string ConditionTracker::NotDefinedTested(const std::vector<Token>& tokens) {
    if (tokens.size() == 2 && tokens[0].text == "ifndef" &&
        tokens[1].kind == TokenKind::Identifier) {
        return tokens[1].text;
    }
    if (tokens.size() >= 4 && tokens[0].text == "if" && TokenIs(tokens[1], "!") &&
        tokens[2].text == "defined") {
        const bool parenthesis = TokenIs(tokens[3], "(");
        const size_t at = parenthesis ? 4 : 3;
        if (tokens.size() == (parenthesis ? 6u : 4u) && tokens[at].kind == TokenKind::Identifier &&
            (!parenthesis || TokenIs(tokens[5], ")"))) {
            return tokens[at].text;
        }
    }
    return std::string();
}

Decision ConditionTracker::ConditionDecide(const std::vector<Token>& tokens, size_t from,
                                           bool ifdef, bool ifndef,
                                           std::vector<std::string>& unknown) {
    if (ifdef || ifndef) {
        if (from >= tokens.size() || tokens[from].kind != TokenKind::Identifier) {
            return Decision::Undecided;
        }
        auto found = known.find(tokens[from].text);
        if (found == known.end()) {
            if (GuardLike(tokens[from].text)) {
                return ifdef ? Decision::False : Decision::True;
            }
            UnknownAdd(unknown, tokens[from].text);
            return Decision::Undecided;
        }
        return found->second == ifdef ? Decision::True : Decision::False;
    }
    // "defined X" first, then the macros that decided code defines are expanded; a name left
    // over is 0 when it is known not to be defined and unknown otherwise, and the condition is
    // decided when the known parts alone decide it ("defined(_M_X64) && X" with _M_X64 pinned
    // undefined is false).
    Token unknownName;  // "defined" is never a macro, so it stays an unknown name
    unknownName.kind = TokenKind::Identifier;
    unknownName.text = "defined";
    std::vector<Token> line;
    for (size_t i = from; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.kind != TokenKind::Identifier || token.text != "defined") {
            line.push_back(token);
            continue;
        }
        size_t name = i + 1;
        bool parenthesis = name < tokens.size() && TokenIs(tokens[name], "(");
        if (parenthesis) {
            ++name;
        }
        if (name >= tokens.size() || tokens[name].kind != TokenKind::Identifier) {
            return Decision::Undecided;
        }
        if (parenthesis && (name + 1 >= tokens.size() || !TokenIs(tokens[name + 1], ")"))) {
            return Decision::Undecided;
        }
        auto found = known.find(tokens[name].text);
        if (found == known.end() && GuardLike(tokens[name].text)) {
            line.push_back(NumberToken("0"));
        } else if (found == known.end()) {
            UnknownAdd(unknown, tokens[name].text);
            line.push_back(unknownName);
        } else {
            line.push_back(NumberToken(found->second ? "1" : "0"));
        }
        i = parenthesis ? name + 1 : name;
    }
    std::vector<Token> expanded;
    Failure failure;
    if (!MacroExpand(conditionMacros, line, expanded, failure)) {
        return Decision::Undecided;
    }
    std::vector<Token> condition;
    for (size_t i = 0; i < expanded.size(); ++i) {
        Token& token = expanded[i];
        if (token.kind != TokenKind::Identifier || token.text == "defined") {
            condition.push_back(token);
            continue;
        }
        auto found = known.find(token.text);
        if (found != known.end() && !found->second) {
            condition.push_back(NumberToken("0"));
            continue;
        }
        UnknownAdd(unknown, token.text);
        condition.push_back(unknownName);
        // A call of something not known here (__has_include(<x>), __has_attribute(x)) is one
        // unknown value, arguments and all.
        if (i + 1 < expanded.size() && TokenIs(expanded[i + 1], "(")) {
            int nesting = 0;
            size_t k = i + 1;
            for (; k < expanded.size(); ++k) {
                if (TokenIs(expanded[k], "(")) {
                    ++nesting;
                } else if (TokenIs(expanded[k], ")") && --nesting == 0) {
                    break;
                }
            }
            if (k >= expanded.size()) {
                return Decision::Undecided;
            }
            i = k;
        }
    }
    return ConditionEvaluate(condition);
}

void ConditionTracker::FileEnter(const std::string& bytes) {
    files.emplace_back();
    // First the lines of "#ifndef X" whose first branch defines X.
    std::unordered_set<uint32_t>& selfDefining = files.back().selfDefining;
    Lexer scan(bytes);
    struct Open {
        uint32_t line;
        std::string name;  // empty once past the first branch, or for other conditionals
    };
    std::vector<Open> open;
    Token token;
    bool have = scan.TokenNext(token);
    while (have) {
        if (!token.lineStart || !TokenIs(token, "#")) {
            have = scan.TokenNext(token);
            continue;
        }
        const uint32_t line = token.line;
        std::vector<Token> directive;
        while ((have = scan.TokenNext(token)) && !token.lineStart) {
            if (directive.size() < 8) {
                directive.push_back(token);
            }
        }
        if (directive.empty()) {
            continue;
        }
        const std::string& word = directive[0].text;
        if (word == "if" || word == "ifdef" || word == "ifndef") {
            open.push_back(Open{line, NotDefinedTested(directive)});
        } else if ((word == "elif" || word == "else") && !open.empty()) {
            open.back().name.clear();
        } else if (word == "endif" && !open.empty()) {
            open.pop_back();
        } else if (word == "define" && directive.size() >= 2) {
            for (const Open& conditional : open) {
                if (conditional.name == directive[1].text) {
                    selfDefining.insert(conditional.line);
                }
            }
        }
    }
}

void ConditionTracker::FileLeave() {
    if (files.empty()) {
        return;
    }
    std::vector<Conditional>& stack = files.back().stack;
    while (!stack.empty()) {
        BranchLeave(stack.back());  // unterminated conditionals end with their file
        stack.pop_back();
    }
    files.pop_back();
}

ConditionTracker::Step ConditionTracker::Directive(const std::vector<Token>& tokens,
                                                   uint32_t line) {
    if (tokens.empty() || tokens[0].kind != TokenKind::Identifier) {
        return Step::Other;  // "#" alone, or a line marker
    }
    const std::string& name = tokens[0].text;
    if (files.empty()) {
        files.emplace_back();  // a directive outside FileEnter: a file of its own
    }
    const bool active = Active();
    std::vector<Conditional>& stack = files.back().stack;
    if (name == "if" || name == "ifdef" || name == "ifndef") {
        std::vector<std::string> unknown;
        Decision decision =
            active ? ConditionDecide(tokens, 1, name == "ifdef", name == "ifndef", unknown)
                   : Decision::Undecided;
        // An include guard or a default value: X is not defined unless something defined it.
        if (decision == Decision::Undecided && active && files.back().selfDefining.count(line)) {
            const std::string tested = NotDefinedTested(tokens);
            if (!tested.empty() && !touched.count(tested)) {
                decision = Decision::True;
                unknown.clear();
            }
        }
        Conditional conditional{active,
                                active && decision != Decision::False,
                                decision == Decision::True,
                                decision == Decision::Undecided,
                                false,
                                unknown};
        stack.push_back(std::move(conditional));
        BranchEnter(stack.back(), stack.back().active && decision == Decision::Undecided);
        return Step::Done;
    }
    if (name == "elif" || name == "elifdef" || name == "elifndef" || name == "else") {
        if (stack.empty()) {
            return Step::WithoutIf;
        }
        Conditional& conditional = stack.back();
        BranchLeave(conditional);
        if (conditional.decidedTaken) {
            conditional.active = false;
        } else if (name == "else") {
            conditional.active = conditional.parentActive;
            BranchEnter(conditional, conditional.active && conditional.undecidedBefore);
        } else {
            std::vector<std::string> unknown;
            Decision decision =
                conditional.parentActive
                    ? ConditionDecide(tokens, 1, name == "elifdef", name == "elifndef", unknown)
                    : Decision::Undecided;
            NamesAdd(conditional.deciders, unknown);
            conditional.active = conditional.parentActive && decision != Decision::False;
            conditional.decidedTaken = decision == Decision::True;
            // Taken only if no earlier branch was: uncertain after an undecided one.
            BranchEnter(conditional, conditional.active && (decision == Decision::Undecided ||
                                                            conditional.undecidedBefore));
            conditional.undecidedBefore =
                conditional.undecidedBefore || decision == Decision::Undecided;
        }
        return Step::Done;
    }
    if (name == "endif") {
        if (stack.empty()) {
            return Step::WithoutIf;
        }
        BranchLeave(stack.back());
        stack.pop_back();
        return Step::Done;
    }
    return Step::Other;
}

void ConditionTracker::Defined(const Macro& macro) {
    const std::string& name = macro.name;
    touched.insert(name);
    if (Certain()) {
        // What the compiler does with a redefinition: the last one counts from here on.
        known[name] = true;
        conditionMacros.Replace(macro);
    } else {
        auto state = known.find(name);
        const int index = conditionMacros.Find(name);
        if (state == known.end() || !state->second || index < 0 ||
            !SameDefinition(conditionMacros.At(index), macro)) {
            known.erase(name);
            conditionMacros.Remove(name);
            unknownBecause[name] = DecidersHere();
        }
    }
}

void ConditionTracker::Undefined(const std::string& name) {
    touched.insert(name);
    if (Certain()) {
        known[name] = false;
        conditionMacros.Remove(name);
    } else {
        auto state = known.find(name);
        if (state == known.end() || state->second) {
            known.erase(name);
            conditionMacros.Remove(name);
            unknownBecause[name] = DecidersHere();
        }
    }
}

void ConditionTracker::Forgotten(const std::string& name) {
    known.erase(name);
    conditionMacros.Remove(name);
}
