#include "Definitions.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string TokensText(const std::vector<Token>& tokens, size_t from = 0) {
    std::string text;
    for (size_t i = from; i < tokens.size(); ++i) {
        if (!text.empty()) {
            text += ' ';
        }
        text += tokens[i].text;
    }
    return text;
}

Token NumberToken(const char* text) {
    Token token;
    token.kind = TokenKind::Number;
    token.text = text;
    return token;
}

// Enumerators have type int when the value fits (C), otherwise the first type that holds it
// (GCC's extension, which the Windows headers rely on for values like 0x80000000).
IntValue EnumeratorTyped(IntValue value) {
    const bool negative = IntValueIsSigned(value) && static_cast<int64_t>(value.bits) < 0;
    const int64_t signedValue = static_cast<int64_t>(value.bits);
    if (negative ? signedValue >= INT32_MIN : value.bits <= INT32_MAX) {
        return IntValueMake(value.bits, IntType::Int32);
    }
    if (!negative && value.bits <= UINT32_MAX) {
        return IntValueMake(value.bits, IntType::UInt32);
    }
    if (negative || value.bits <= INT64_MAX) {
        return IntValueMake(value.bits, IntType::Int64);
    }
    return IntValueMake(value.bits, IntType::UInt64);
}

bool EnumeratorNext(IntValue previous, IntValue& value, Failure& failure) {
    const bool isSigned = IntValueIsSigned(previous);
    if ((isSigned && static_cast<int64_t>(previous.bits) == INT64_MAX) ||
        (!isSigned && previous.bits == UINT64_MAX)) {
        failure.reason = SkipReason::Overflow;
        failure.detail = "enumerator after the largest value";
        return false;
    }
    value = EnumeratorTyped(
        IntValueMake(previous.bits + 1, isSigned ? IntType::Int64 : IntType::UInt64));
    return true;
}

std::string FileKey(const std::string& path) {
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(fs::path(path), error);
    if (error) {
        canonical = fs::absolute(fs::path(path), error);
    }
    return error ? path : canonical.string();
}

bool FileIsRegular(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

Definitions::Definitions(std::vector<std::string> directories, bool followIncludes, bool talkative,
                         std::ostream& output)
    : includeDirectories(std::move(directories)),
      follow(followIncludes),
      verbose(talkative),
      messages(output) {}

void Definitions::Warn(uint32_t line, const std::string& text) {
    messages << "constgen: " << (files.empty() ? std::string("?") : files[currentFile]);
    if (line) {
        messages << ":" << line;
    }
    messages << ": warning: " << text << "\n";
}

void Definitions::Note(uint32_t line, const std::string& text) {
    if (verbose) {
        messages << "constgen: " << (files.empty() ? std::string("?") : files[currentFile]) << ":"
                 << line << ": note: " << text << "\n";
    }
}

void Definitions::Pin(const std::string& name, bool defined, const std::string& value) {
    pinned[name] = defined;
    if (defined) {
        Macro macro;
        macro.name = name;
        macro.body = TokensFromText(value);
        macros.Add(std::move(macro));
    }
}

std::string Definitions::FileFind(const std::string& name, const std::string& from,
                                  bool quoted) const {
    fs::path given(name);
    if (given.is_absolute()) {
        return FileIsRegular(given) ? name : std::string();
    }
    if (quoted && !from.empty()) {
        fs::path beside = fs::path(from).parent_path() / given;
        if (FileIsRegular(beside)) {
            return beside.string();
        }
    }
    for (const std::string& directory : includeDirectories) {
        fs::path candidate = fs::path(directory) / given;
        if (FileIsRegular(candidate)) {
            return candidate.string();
        }
    }
    return std::string();
}

bool Definitions::FileScan(const std::string& name) {
    std::string path = FileIsRegular(fs::path(name)) ? name : FileFind(name, std::string(), false);
    if (path.empty()) {
        messages << "constgen: " << name << ": no such file (also not in the include paths)\n";
        return false;
    }
    EnumReset(nullptr);
    bool ok = FileRead(path, 0);
    EnumReset("enum not closed at the end of the file");
    return ok;
}

bool Definitions::FileRead(const std::string& path, uint32_t depth) {
    if (!visited.insert(FileKey(path)).second) {
        return true;  // read before; also what ends include cycles
    }
    std::ifstream stream(fs::path(path), std::ios::binary);
    std::error_code error;
    uintmax_t size = fs::file_size(fs::path(path), error);
    if (!stream || error) {
        messages << "constgen: " << path << ": cannot be read\n";
        return false;
    }
    if (size > kFileSizeLimit) {
        messages << "constgen: " << path << ": warning: larger than 256 MB, skipped\n";
        ++filesSkipped;
        return true;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    stream.read(&bytes[0], static_cast<std::streamsize>(size));
    bytes.resize(static_cast<size_t>(stream.gcount()));
    if (bytes.find('\0') != std::string::npos) {
        messages << "constgen: " << path
                 << ": warning: binary file (contains zero bytes; UTF-16 is not read), skipped\n";
        ++filesSkipped;
        return true;
    }
    TextRead(path, bytes, depth);
    return true;
}

void Definitions::TextScan(const std::string& name, const std::string& bytes) {
    std::string copy = bytes;
    EnumReset(nullptr);
    TextRead(name, copy, 0);
    EnumReset("enum not closed at the end of the file");
}

void Definitions::TextRead(const std::string& path, std::string& bytes, uint32_t depth) {
    const uint32_t outerFile = currentFile;
    currentFile = static_cast<uint32_t>(files.size());
    files.push_back(path);

    Lexer lexer(bytes);
    bytes.clear();
    bytes.shrink_to_fit();
    std::vector<Conditional> stack;
    Token token;
    bool have = lexer.TokenNext(token);
    while (have) {
        currentLine = token.line;
        if (token.lineStart && TokenIs(token, "#")) {
            const uint32_t line = token.line;
            std::vector<Token> directive;
            bool tooLong = false;
            while ((have = lexer.TokenNext(token)) && !token.lineStart) {
                if (directive.size() < kDefinitionTokenLimit + 2) {
                    directive.push_back(token);
                } else {
                    tooLong = true;
                }
            }
            Directive(directive, line, tooLong, stack, path, depth);
            continue;
        }
        if (stack.empty() || stack.back().active) {
            EnumFeed(token);
        }
        have = lexer.TokenNext(token);
    }
    if (lexer.UnterminatedCommentLine()) {
        Warn(lexer.UnterminatedCommentLine(),
             "unterminated comment; the rest of the file is ignored");
    }
    currentFile = outerFile;
}

int Definitions::ConditionDecide(const std::vector<Token>& tokens, size_t from, bool ifdef,
                                 bool ifndef) {
    if (ifdef || ifndef) {
        if (from >= tokens.size() || tokens[from].kind != TokenKind::Identifier) {
            return -1;
        }
        auto found = pinned.find(tokens[from].text);
        if (found == pinned.end()) {
            return -1;
        }
        return found->second == ifdef ? 1 : 0;
    }
    // Names pinned with -D/-U are known; every other name is unknown, and the condition is
    // decided when the known names alone decide it ("defined(_M_X64) && X" with _M_X64 pinned
    // undefined is false).
    Token unknown;
    unknown.kind = TokenKind::Identifier;
    unknown.text = "unknown";
    std::vector<Token> expression;
    for (size_t i = from; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.kind != TokenKind::Identifier) {
            expression.push_back(token);
            continue;
        }
        if (token.text == "defined") {
            size_t name = i + 1;
            bool parenthesis = name < tokens.size() && TokenIs(tokens[name], "(");
            if (parenthesis) {
                ++name;
            }
            if (name >= tokens.size() || tokens[name].kind != TokenKind::Identifier) {
                return -1;
            }
            if (parenthesis) {
                if (name + 1 >= tokens.size() || !TokenIs(tokens[name + 1], ")")) {
                    return -1;
                }
            }
            auto found = pinned.find(tokens[name].text);
            if (found == pinned.end()) {
                expression.push_back(unknown);
            } else {
                expression.push_back(NumberToken(found->second ? "1" : "0"));
            }
            i = parenthesis ? name + 1 : name;
            continue;
        }
        auto found = pinned.find(token.text);
        if (found == pinned.end()) {
            expression.push_back(unknown);
            continue;
        }
        if (!found->second) {
            expression.push_back(NumberToken("0"));
            continue;
        }
        int index = macros.Find(token.text);
        if (index < 0) {
            return -1;
        }
        std::vector<Token> expanded;
        Failure failure;
        if (!MacroExpand(macros, {token}, expanded, failure)) {
            return -1;
        }
        Token open;
        open.kind = TokenKind::Punctuator;
        open.text = "(";
        Token close = open;
        close.text = ")";
        expression.push_back(open);
        expression.insert(expression.end(), expanded.begin(), expanded.end());
        expression.push_back(close);
    }
    return ConditionEvaluate(expression);
}

void Definitions::Directive(const std::vector<Token>& tokens, uint32_t line, bool tooLong,
                            std::vector<Conditional>& stack, const std::string& path,
                            uint32_t depth) {
    if (tokens.empty() || tokens[0].kind != TokenKind::Identifier) {
        return;  // "#" alone, or a line marker
    }
    const std::string& name = tokens[0].text;
    const bool active = stack.empty() || stack.back().active;
    if (name == "if" || name == "ifdef" || name == "ifndef") {
        int decision = active ? ConditionDecide(tokens, 1, name == "ifdef", name == "ifndef") : -1;
        stack.push_back(Conditional{active, active && decision != 0, decision == 1});
        return;
    }
    if (name == "elif" || name == "elifdef" || name == "elifndef" || name == "else") {
        if (stack.empty()) {
            Note(line, "#" + name + " without #if");
            return;
        }
        Conditional& conditional = stack.back();
        if (conditional.decidedTaken) {
            conditional.active = false;
        } else if (name == "else") {
            conditional.active = conditional.parentActive;
        } else {
            int decision = conditional.parentActive
                               ? ConditionDecide(tokens, 1, name == "elifdef", name == "elifndef")
                               : -1;
            conditional.active = conditional.parentActive && decision != 0;
            conditional.decidedTaken = decision == 1;
        }
        return;
    }
    if (name == "endif") {
        if (stack.empty()) {
            Note(line, "#endif without #if");
        } else {
            stack.pop_back();
        }
        return;
    }
    if (!active) {
        return;
    }
    if (name == "define") {
        DefineRead(tokens, line, tooLong);
    } else if (name == "include" && follow && tokens.size() >= 2) {
        std::string target;
        bool quoted = tokens[1].kind == TokenKind::String;
        if (quoted && tokens[1].text.size() >= 2 && tokens[1].text[0] == '"') {
            target = tokens[1].text.substr(1, tokens[1].text.size() - 2);
        } else if (TokenIs(tokens[1], "<")) {
            size_t i = 2;
            for (; i < tokens.size() && !TokenIs(tokens[i], ">"); ++i) {
                target += tokens[i].text;
            }
            if (i >= tokens.size()) {
                target.clear();
            }
        }
        if (target.empty()) {
            Note(line, "#include form not followed");
            return;
        }
        std::string found = FileFind(target, path, quoted);
        if (found.empty()) {
            Note(line, "#include " + target + " not in the include paths");
        } else if (depth + 1 > static_cast<uint32_t>(kIncludeDepthLimit)) {
            Warn(line, "#include nested deeper than 64, not followed");
        } else {
            FileRead(found, depth + 1);
        }
    }
}

void Definitions::DefineRead(const std::vector<Token>& tokens, uint32_t line, bool tooLong) {
    std::vector<Token> rest(tokens.begin() + 1, tokens.end());
    if (rest.empty() || rest[0].kind != TokenKind::Identifier) {
        Note(line, "#define without a name");
        return;
    }
    Definition definition;
    definition.name = rest[0].text;
    definition.kind = DefinitionKind::Macro;
    definition.file = currentFile;
    definition.line = line;
    if (tooLong || rest.size() > kDefinitionTokenLimit) {
        definition.failure = Failure{SkipReason::TooComplex, "definition longer than 65536 tokens"};
        definition.evaluated = true;
        DefinitionAdd(std::move(definition));
        return;
    }
    Macro macro;
    Failure failure;
    if (!MacroParse(rest, macro, failure)) {
        definition.failure = failure;
        definition.evaluated = true;
        DefinitionAdd(std::move(definition));
        return;
    }
    definition.functionLike = macro.functionLike;
    definition.text = TokensText(macro.body);
    if (pinned.count(definition.name)) {
        definition.repeated = true;  // the command line's -D/-U wins
    } else if (firstByName.count(definition.name)) {
        // Defined before (as an enumerator, or a macro whose first definition failed to parse):
        // the first definition stays the one that expansions see too.
        definition.repeated = true;
    } else if (macros.Add(std::move(macro)) < 0) {
        definition.repeated = true;
    }
    DefinitionAdd(std::move(definition));
}

size_t Definitions::DefinitionAdd(Definition definition) {
    if (definition.name.size() > kNameLengthLimit &&
        definition.failure.reason == SkipReason::None) {
        definition.failure = Failure{SkipReason::TooComplex, "name longer than 1024 characters"};
        definition.evaluated = definition.kind == DefinitionKind::Macro;
    }
    const size_t index = definitions.size();
    if (!definition.name.empty() && !firstByName.emplace(definition.name, index).second) {
        definition.repeated = true;
    }
    definitions.push_back(std::move(definition));
    return index;
}

// ---------------------------------------------------------------------------------------------
// Enumerations: "enum [tag] { A, B = expr, ... }" in the text outside directives. Anything in
// the braces that can't be an enumerator list (";" or "{", as in a function returning an enum)
// abandons the block without recording any of it.

void Definitions::EnumReset(const char* why) {
    if (enumState == EnumState::Body && why) {
        Note(currentLine, std::string("enum body abandoned: ") + why);
    }
    enumState = EnumState::Idle;
    enumItems.clear();
    itemTokens.clear();
    itemTooLong = false;
}

void Definitions::EnumFeed(const Token& token) {
    switch (enumState) {
    case EnumState::Idle:
        if (token.kind == TokenKind::Identifier && token.text == "enum") {
            enumState = EnumState::Head;
            enumHeadTokens = 0;
        }
        return;
    case EnumState::Head:
        if (TokenIs(token, "{")) {
            EnumReset(nullptr);
            enumState = EnumState::Body;
            enumNesting = 0;
        } else if ((token.kind == TokenKind::Identifier || TokenIs(token, ":")) &&
                   ++enumHeadTokens <= 16) {
            // tag, attributes, C++ underlying type
        } else {
            enumState = EnumState::Idle;  // "enum tag name;", a parameter, a cast
        }
        return;
    case EnumState::Body: break;
    }
    if (TokenIs(token, "{") || TokenIs(token, ";")) {
        EnumReset("not an enumerator list");
        return;
    }
    if (TokenIs(token, "(") || TokenIs(token, "[")) {
        ++enumNesting;
    } else if (TokenIs(token, ")") || TokenIs(token, "]")) {
        if (--enumNesting < 0) {
            EnumReset("unbalanced parentheses");
            return;
        }
    } else if (TokenIs(token, "}")) {
        if (enumNesting != 0) {
            EnumReset("unbalanced parentheses");
            return;
        }
        EnumItemEnd();
        EnumBlock block;
        const uint32_t blockIndex = static_cast<uint32_t>(blocks.size());
        for (Definition& item : enumItems) {
            item.block = blockIndex;
            std::string name = item.name;
            size_t index = DefinitionAdd(std::move(item));
            if (!name.empty()) {
                enumeratorByName.emplace(name, index);
            }
            block.items.push_back(index);
        }
        blocks.push_back(std::move(block));
        enumItems.clear();
        enumState = EnumState::Idle;
        return;
    } else if (TokenIs(token, ",") && enumNesting == 0) {
        EnumItemEnd();
        return;
    }
    if (itemTokens.size() < kDefinitionTokenLimit) {
        itemTokens.push_back(token);
    } else {
        itemTooLong = true;
    }
}

void Definitions::EnumItemEnd() {
    if (itemTokens.empty()) {
        return;  // trailing comma
    }
    Definition item;
    item.kind = DefinitionKind::Enumerator;
    item.file = currentFile;
    item.line = itemTokens[0].line;
    const bool named = itemTokens[0].kind == TokenKind::Identifier;
    if (named) {
        item.name = itemTokens[0].text;
    }
    if (itemTooLong) {
        item.failure = Failure{SkipReason::TooComplex, "enumerator longer than 65536 tokens"};
    } else if (named && itemTokens.size() == 1) {
        item.implicit = true;
    } else if (named && itemTokens.size() >= 3 && TokenIs(itemTokens[1], "=")) {
        item.initializer.assign(itemTokens.begin() + 2, itemTokens.end());
        item.text = TokensText(item.initializer);
    } else {
        item.malformed = true;
        item.text = TokensText(itemTokens);
    }
    enumItems.push_back(std::move(item));
    itemTokens.clear();
    itemTooLong = false;
}

// ---------------------------------------------------------------------------------------------
// Evaluation

bool Definitions::Resolve(const std::string& name, IntValue& value, Failure& failure) {
    auto enumerator = enumeratorByName.find(name);
    if (enumerator != enumeratorByName.end()) {
        Definition& definition = definitions[enumerator->second];
        if (!definition.evaluated) {
            EnumBlock& block = blocks[definition.block];
            if (block.state == 1) {
                failure =
                    Failure{SkipReason::Cycle, "enumerator " + name + " used before its value"};
                return false;
            }
            if (enumDepth >= kEnumReferenceDepthLimit) {
                failure =
                    Failure{SkipReason::TooComplex, "enumerators depend on each other too deeply"};
                return false;
            }
            ++enumDepth;
            BlockEvaluate(block);
            --enumDepth;
        }
        if (definition.failure.reason != SkipReason::None) {
            failure = Failure{definition.failure.reason, name + ": " + definition.failure.detail};
            return false;
        }
        value = definition.value;
        return true;
    }
    int macro = macros.Find(name);
    if (macro >= 0) {
        if (macros.At(macro).functionLike) {
            failure = Failure{SkipReason::Unresolved,
                              "function-like macro " + name + " without arguments"};
        } else {
            failure = Failure{SkipReason::Cycle, name};
        }
    }
    return false;
}

bool Definitions::ExpressionRun(const std::vector<Token>& tokens, IntValue& value,
                                Failure& failure) {
    std::vector<Token> expanded;
    if (!MacroExpand(macros, tokens, expanded, failure)) {
        return false;
    }
    NameResolver resolver = [this](const std::string& name, IntValue& result, Failure& why) {
        return Resolve(name, result, why);
    };
    return ExpressionEvaluate(expanded, resolver, value, failure);
}

void Definitions::MacroEvaluate(Definition& definition) {
    definition.evaluated = true;
    if (definition.functionLike) {
        definition.failure = Failure{SkipReason::FunctionLike, ""};
        return;
    }
    if (definition.text.empty()) {
        definition.failure = Failure{SkipReason::Empty, ""};
        return;
    }
    Token name;
    name.kind = TokenKind::Identifier;
    name.text = definition.name;
    IntValue value;
    Failure failure;
    if (ExpressionRun({name}, value, failure)) {
        definition.value = value;
    } else {
        definition.failure = failure;
    }
}

void Definitions::BlockEvaluate(EnumBlock& block) {
    if (block.state != 0) {
        return;
    }
    block.state = 1;
    bool chain = true;
    IntValue previous = IntValueMake(static_cast<uint64_t>(-1), IntType::Int32);
    for (size_t index : block.items) {
        // No reference into definitions is held across ExpressionRun: it may evaluate other
        // blocks, though it never adds definitions.
        Failure failure = definitions[index].failure;
        IntValue value;
        bool ok = false;
        if (failure.reason != SkipReason::None) {
            ok = false;
        } else if (definitions[index].malformed) {
            failure = Failure{SkipReason::Unsupported, "enumerator not understood: " +
                                                           definitions[index].text.substr(0, 80)};
        } else if (definitions[index].implicit) {
            if (chain) {
                ok = EnumeratorNext(previous, value, failure);
            } else {
                failure = Failure{SkipReason::Unresolved, "follows an enumerator without value"};
            }
        } else {
            ok = ExpressionRun(definitions[index].initializer, value, failure);
            if (ok) {
                value = EnumeratorTyped(value);
            }
        }
        if (ok) {
            previous = value;
        }
        chain = ok;
        Definition& definition = definitions[index];
        definition.value = value;
        definition.failure = ok ? Failure() : failure;
        definition.evaluated = true;
    }
    block.state = 2;
}

void Definitions::Evaluate() {
    for (size_t i = 0; i < definitions.size(); ++i) {
        if (definitions[i].evaluated) {
            continue;
        }
        if (definitions[i].kind == DefinitionKind::Enumerator) {
            BlockEvaluate(blocks[definitions[i].block]);
        } else if (definitions[i].repeated) {
            definitions[i].evaluated = true;  // expansions use the first definition anyway
        } else {
            MacroEvaluate(definitions[i]);
        }
    }
    for (Definition& definition : definitions) {
        if (definition.failure.reason == SkipReason::None && !IntValueFits32(definition.value)) {
            definition.failure = Failure{SkipReason::TooWide, ""};
        }
    }
}
