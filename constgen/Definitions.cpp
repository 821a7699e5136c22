#include "Definitions.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Same.h"

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

}  // namespace

Definitions::Definitions(std::vector<std::string> directories, bool followIncludes, bool talkative,
                         std::ostream& output, const Target& target)
    : includes(std::move(directories)),
      follow(followIncludes),
      verbose(talkative),
      messages(output),
      types(target),
      typedefs(macros, types) {}

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
    conditions.Pin(name, defined, value);
    macros.Remove(name);
    if (defined) {
        Macro macro;
        macro.name = name;
        macro.body = TokensFromText(value);
        int index = macros.Add(std::move(macro));
        if (macroDefinition.size() <= static_cast<size_t>(index)) {
            macroDefinition.resize(static_cast<size_t>(index) + 1, SIZE_MAX);
        }
        macroDefinition[static_cast<size_t>(index)] = SIZE_MAX;
    }
}

bool Definitions::FileScan(const std::string& name) {
    std::string path = IncludeSearch::FileIsRegular(fs::path(name))
                           ? name
                           : includes.Find(name, std::string(), false);
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
    if (!visited.insert(IncludeSearch::FileKey(path)).second) {
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

    conditions.FileEnter(bytes);
    Lexer lexer(bytes);
    bytes.clear();
    bytes.shrink_to_fit();
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
            Directive(directive, line, tooLong, path, depth);
            continue;
        }
        if (conditions.Active()) {
            EnumFeed(token);
            typedefs.Feed(token);
        }
        have = lexer.TokenNext(token);
    }
    conditions.FileLeave();
    if (lexer.UnterminatedCommentLine()) {
        Warn(lexer.UnterminatedCommentLine(),
             "unterminated comment; the rest of the file is ignored");
    }
    currentFile = outerFile;
}

void Definitions::Directive(const std::vector<Token>& tokens, uint32_t line, bool tooLong,
                            const std::string& path, uint32_t depth) {
    if (tokens.empty() || tokens[0].kind != TokenKind::Identifier) {
        return;  // "#" alone, or a line marker
    }
    const std::string& name = tokens[0].text;
    switch (conditions.Directive(tokens, line)) {
    case ConditionTracker::Step::Other: break;
    case ConditionTracker::Step::Done: return;
    case ConditionTracker::Step::WithoutIf: Note(line, "#" + name + " without #if"); return;
    }
    if (!conditions.Active()) {
        return;
    }
    if (name == "define") {
        DefineRead(tokens, line, tooLong);
    } else if (name == "undef") {
        UndefRead(tokens);
    } else if ((name == "include" || name == "include_next") && follow && tokens.size() >= 2) {
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
        std::string found = includes.Find(target, path, quoted, name == "include_next");
        if (found.empty()) {
            if (includesMissingSeen.insert(target).second) {
                includesMissing.push_back(target);
            }
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
    const std::string& name = rest[0].text;
    Definition definition;
    definition.name = name;
    definition.kind = DefinitionKind::Macro;
    definition.file = currentFile;
    definition.line = line;
    definition.branches = conditions.UndecidedPath();
    definition.deciders = conditions.DecidersHere();
    const bool pinnedDefined = conditions.PinnedDefined(name);
    if (tooLong || rest.size() > kDefinitionTokenLimit) {
        definition.failure = Failure{SkipReason::TooComplex, "definition longer than 65536 tokens"};
        definition.evaluated = true;
        if (!pinnedDefined) {
            conditions.Forgotten(name);
        }
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
    if (pinnedDefined) {
        definition.repeated = true;  // the command line's -D wins
        DefinitionAdd(std::move(definition));
        return;
    }
    if (conditions.Certain()) {
        // What the compiler does with a redefinition: the last one counts from here on.
        UndefApply(name);
    }
    conditions.Defined(macro);
    const size_t definitionIndex = definitions.size();
    if (firstByName.count(name)) {
        // Defined before (as an enumerator, or in another branch): the first definition stays
        // the one that expansions see; this one's value is compared with it.
        definition.repeated = true;
        definition.body = macro.body;
    } else {
        int index = macros.Add(std::move(macro));
        if (index < 0) {
            definition.repeated = true;
        } else {
            if (macroDefinition.size() <= static_cast<size_t>(index)) {
                macroDefinition.resize(static_cast<size_t>(index) + 1, SIZE_MAX);
            }
            macroDefinition[static_cast<size_t>(index)] = definitionIndex;
        }
    }
    DefinitionAdd(std::move(definition));
}

void Definitions::UndefRead(const std::vector<Token>& tokens) {
    if (tokens.size() < 2 || tokens[1].kind != TokenKind::Identifier) {
        return;
    }
    const std::string& name = tokens[1].text;
    if (conditions.PinnedDefined(name)) {
        return;  // the command line's -D wins
    }
    if (conditions.Certain()) {
        UndefApply(name);
    }
    conditions.Undefined(name);
}

// The macro definitions of name read so far are gone; an enumerator of the name is the one.
void Definitions::UndefApply(const std::string& name) {
    auto all = byName.find(name);
    if (all == byName.end()) {
        return;
    }
    bool any = false;
    for (size_t index : all->second) {
        Definition& definition = definitions[index];
        if (definition.kind == DefinitionKind::Macro && !definition.undefined) {
            definition.undefined = true;
            definition.repeated = false;
            any = true;
        }
    }
    if (!any) {
        return;
    }
    macros.Remove(name);
    firstByName.erase(name);
    for (size_t index : all->second) {
        Definition& definition = definitions[index];
        if (!definition.undefined) {
            if (firstByName.emplace(name, index).second) {
                definition.repeated = false;
            }
        }
    }
}

size_t Definitions::DefinitionAdd(Definition definition) {
    if (definition.name.size() > kNameLengthLimit &&
        definition.failure.reason == SkipReason::None) {
        definition.failure = Failure{SkipReason::TooComplex, "name longer than 1024 characters"};
        definition.evaluated = definition.kind == DefinitionKind::Macro;
    }
    const size_t index = definitions.size();
    if (!definition.name.empty()) {
        if (!firstByName.emplace(definition.name, index).second) {
            definition.repeated = true;
        }
        byName[definition.name].push_back(index);
    }
    definitions.push_back(std::move(definition));
    return index;
}

// ---------------------------------------------------------------------------------------------
// Enumerations: "enum [tag] { A, B = expr, ... }" in the text outside directives. Anything in
// the braces that can't be an enumerator list (";" or "{", as in a function returning an enum)
// abandons the block without recording any of it.

void Definitions::EnumReset(const char* why) {
    if (enumReader.InBody() && why) {
        Note(currentLine, std::string("enum body abandoned: ") + why);
    }
    enumReader.Reset();
    enumItems.clear();
}

void Definitions::EnumFeed(const Token& token) {
    switch (enumReader.Feed(token)) {
    case EnumReader::Event::None: return;
    case EnumReader::Event::ItemStart:
        itemBranches = conditions.UndecidedPath();
        itemDeciders = conditions.DecidersHere();
        return;
    case EnumReader::Event::ItemEnd: EnumItemEnd(); return;
    case EnumReader::Event::Abandoned:
        Note(currentLine, std::string("enum body abandoned: ") + enumReader.AbandonReason());
        enumItems.clear();
        return;
    case EnumReader::Event::BlockEnd: break;
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
}

void Definitions::EnumItemEnd() {
    const std::vector<Token>& itemTokens = enumReader.Item();
    if (itemTokens.empty()) {
        enumReader.ItemClear();
        return;  // trailing comma
    }
    std::vector<size_t> expansionUses;
    if (!enumReader.ItemTooLong() && ItemExpand(itemTokens, expansionUses)) {
        enumReader.ItemClear();
        return;
    }
    EnumItemAdd(itemTokens, itemTokens[0].line, {});
    enumReader.ItemClear();
}

// An item that opens with a macro (an X-macro "OPTION(name, type, 1)", a pasted name "F(X)") is
// what the compiler reads after expansion: one or more enumerators. The macros are those read so
// far, as the compiler has them here; the definitions used are kept so that a macro defined
// differently in branches that were not decided makes the enumerators undecided too.
bool Definitions::ItemExpand(const std::vector<Token>& itemTokens, std::vector<size_t>& uses) {
    bool undecided = false;
    const Token& first = itemTokens[0];
    if (first.kind != TokenKind::Identifier) {
        return false;
    }
    const int index = macros.Find(first.text);
    const bool opensWithMacro =
        index >= 0 &&
        (!macros.At(index).functionLike || (itemTokens.size() >= 2 && TokenIs(itemTokens[1], "(")));
    // "NAME" and "NAME = value" are read as they stand: the value's macros expand when it is
    // evaluated. Anything else between the name and "=" (an attribute macro) expands now.
    const bool plain = itemTokens.size() == 1 || TokenIs(itemTokens[1], "=");
    if (!opensWithMacro && plain) {
        return false;
    }
    const uint32_t line = first.line;
    std::vector<Token> expanded;
    std::vector<int> used;
    Failure failure;
    if (!MacroExpand(macros, itemTokens, expanded, failure, &used)) {
        Warn(line,
             "enumerator from macro " + first.text.substr(0, 80) + " not read: " + failure.detail);
        Definition item;
        item.failure = failure;  // unnamed: the enumerators after it are not counted on
        EnumItemPush(std::move(item), line);
        return true;
    }
    // A macro that branches not decided define differently may make other names or values:
    // what they make is undecided, whatever the values say.
    std::vector<std::string> deciders;
    for (int macro : used) {
        const size_t at = static_cast<size_t>(macro);
        if (at >= macroDefinition.size() || macroDefinition[at] == SIZE_MAX) {
            continue;
        }
        const size_t definition = macroDefinition[at];
        uses.push_back(definition);
        for (size_t other : byName[definitions[definition].name]) {
            const Definition& again = definitions[other];
            if (other != definition && !again.undefined &&
                (again.kind != DefinitionKind::Macro ||
                 again.text != definitions[definition].text ||
                 again.functionLike != definitions[definition].functionLike)) {
                NamesAdd(deciders, again.deciders);
                NamesAdd(deciders, definitions[definition].deciders);
                undecided = true;
            }
        }
    }
    // Hide sets belong to the expansion that made them; a painted name stays unexpanded anyway.
    for (Token& token : expanded) {
        token.hideset = 0;
    }
    std::vector<Token> piece;
    int nesting = 0;
    for (size_t i = 0; i <= expanded.size(); ++i) {
        if (i == expanded.size() || (TokenIs(expanded[i], ",") && nesting == 0)) {
            if (!piece.empty()) {
                EnumItemAdd(piece, line, uses);
                enumItems.back().ambiguous = undecided;
                enumItems.back().ambiguity = NamesJoin(deciders);
            }
            piece.clear();
            continue;
        }
        if (TokenIs(expanded[i], "(") || TokenIs(expanded[i], "[")) {
            ++nesting;
        } else if (TokenIs(expanded[i], ")") || TokenIs(expanded[i], "]")) {
            --nesting;
        }
        piece.push_back(std::move(expanded[i]));
    }
    return true;
}

void Definitions::EnumItemAdd(const std::vector<Token>& tokens, uint32_t line,
                              const std::vector<size_t>& uses) {
    Definition item;
    item.uses = uses;
    const bool named = tokens[0].kind == TokenKind::Identifier;
    if (named) {
        item.name = tokens[0].text;
    }
    // GCC's attributes between the name and its value: "A __attribute__((deprecated)) = 1".
    size_t after = 1;
    while (named && after + 1 < tokens.size() && tokens[after].kind == TokenKind::Identifier &&
           (tokens[after].text == "__attribute__" || tokens[after].text == "__attribute") &&
           TokenIs(tokens[after + 1], "(")) {
        int nesting = 0;
        size_t k = after + 1;
        for (; k < tokens.size(); ++k) {
            if (TokenIs(tokens[k], "(")) {
                ++nesting;
            } else if (TokenIs(tokens[k], ")") && --nesting == 0) {
                break;
            }
        }
        if (k >= tokens.size()) {
            break;
        }
        after = k + 1;
    }
    if (enumReader.ItemTooLong()) {
        item.failure = Failure{SkipReason::TooComplex, "enumerator longer than 65536 tokens"};
    } else if (named && tokens.size() == after) {
        item.implicit = true;
    } else if (named && tokens.size() >= after + 2 && TokenIs(tokens[after], "=")) {
        item.initializer.assign(tokens.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                                tokens.end());
        item.text = TokensText(item.initializer);
    } else {
        item.malformed = true;
        item.text = TokensText(tokens);
    }
    EnumItemPush(std::move(item), line);
}

void Definitions::EnumItemPush(Definition item, uint32_t line) {
    item.kind = DefinitionKind::Enumerator;
    item.file = currentFile;
    item.line = line;
    item.branches = itemBranches;
    item.deciders = itemDeciders;
    enumItems.push_back(std::move(item));
}

// ---------------------------------------------------------------------------------------------
// Evaluation

bool Definitions::Resolve(const std::string& name, IntValue& value, Failure& failure) {
    auto enumerator = enumeratorByName.find(name);
    if (enumerator != enumeratorByName.end()) {
        if (evaluationUses) {
            evaluationUses->push_back(enumerator->second);
        }
        Definition& definition = definitions[enumerator->second];
        if (!definition.evaluated) {
            EnumBlock& block = blocks[definition.block];
            if (block.state == EvaluationState::InProgress) {
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
            std::vector<size_t>* outer = evaluationUses;
            BlockEvaluate(block);
            evaluationUses = outer;
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

bool Definitions::ExpressionRun(const std::vector<Token>& tokens, IntValue& value, Failure& failure,
                                std::vector<size_t>* uses) {
    std::vector<Token> expanded;
    std::vector<int> used;
    const bool ok = MacroExpand(macros, tokens, expanded, failure, uses ? &used : nullptr);
    if (uses) {
        for (int index : used) {
            const size_t at = static_cast<size_t>(index);
            if (at < macroDefinition.size() && macroDefinition[at] != SIZE_MAX) {
                uses->push_back(macroDefinition[at]);
            }
        }
    }
    if (!ok) {
        return false;
    }
    NameResolver resolver = [this](const std::string& name, IntValue& result, Failure& why) {
        return Resolve(name, result, why);
    };
    std::vector<size_t>* outer = evaluationUses;
    evaluationUses = uses;
    const bool evaluated = ExpressionEvaluate(expanded, resolver, value, failure, &types);
    evaluationUses = outer;
    return evaluated;
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
    if (ExpressionRun({name}, value, failure, &definition.uses)) {
        definition.value = value;
    } else {
        definition.failure = failure;
    }
}

void Definitions::BlockEvaluate(EnumBlock& block) {
    if (block.state != EvaluationState::Pending) {
        return;
    }
    block.state = EvaluationState::InProgress;
    bool chain = true;
    IntValue previous = IntValueMake(static_cast<uint64_t>(-1), IntType::Int32);
    size_t previousIndex = SIZE_MAX;
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
            if (previousIndex != SIZE_MAX) {
                definitions[index].uses.push_back(previousIndex);
                // The one before it was read in a branch that may be left out (one this item
                // is not in): the count may be one less.
                const std::vector<uint32_t>& before = definitions[previousIndex].branches;
                const std::vector<uint32_t>& here = definitions[index].branches;
                if (before.size() > here.size() ||
                    !std::equal(before.begin(), before.end(), here.begin())) {
                    definitions[index].ambiguous = true;
                    definitions[index].ambiguity = NamesJoin(definitions[previousIndex].deciders);
                }
            }
        } else {
            ok = ExpressionRun(definitions[index].initializer, value, failure,
                               &definitions[index].uses);
            if (ok) {
                value = EnumeratorTyped(value);
            }
        }
        if (ok) {
            previous = value;
        }
        chain = ok;
        previousIndex = index;
        Definition& definition = definitions[index];
        definition.value = value;
        definition.failure = ok ? Failure() : failure;
        definition.evaluated = true;
    }
    block.state = EvaluationState::Done;
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
    AmbiguityFind();
    for (Definition& definition : definitions) {
        if (definition.failure.reason == SkipReason::None && !IntValueFits32(definition.value)) {
            definition.failure = Failure{SkipReason::TooWide, ""};
        }
    }
}

void Definitions::AmbiguityFind() {
    // Names defined more than once, in branches that were not decided: each definition's value
    // against the first one's. Names whose record is certain but whose users are not.
    std::vector<size_t> usersOnly;
    for (auto& entry : byName) {
        auto first = firstByName.find(entry.first);
        if (entry.second.size() < 2 || first == firstByName.end()) {
            continue;
        }
        const size_t firstIndex = first->second;
        std::vector<std::string> deciders;
        bool differ = false;
        bool usersDiffer = false;
        for (size_t index : entry.second) {
            const Definition& definition = definitions[index];
            if (definition.undefined || index == firstIndex) {
                continue;
            }
            IntValue value = definition.value;
            Failure failure = definition.failure;
            if (definition.kind == DefinitionKind::Macro && failure.reason == SkipReason::None) {
                if (definition.functionLike) {
                    failure = Failure{SkipReason::FunctionLike, ""};
                } else if (definition.body.empty()) {
                    failure = Failure{SkipReason::Empty, ""};
                } else {
                    ExpressionRun(definition.body, value, failure);
                }
            }
            NamesAdd(deciders, definition.deciders);
            if (!SameValue(definitions[firstIndex].failure, definitions[firstIndex].value, failure,
                           value)) {
                differ = true;
                definitions[index].differs = true;
            } else if (!SameForExpressions(definitions[firstIndex].failure,
                                           definitions[firstIndex].value, failure, value)) {
                usersDiffer = true;
            }
        }
        if (differ || usersDiffer) {
            Definition& definition = definitions[firstIndex];
            NamesAdd(deciders, definition.deciders);
            definition.ambiguity = NamesJoin(deciders);
            definition.ambiguous = differ;
            if (!differ) {
                usersOnly.push_back(firstIndex);
            }
        }
    }
    // Whatever was computed from an ambiguous value is ambiguous too.
    std::vector<std::vector<size_t>> usedBy(definitions.size());
    std::vector<size_t> pending = usersOnly;
    for (size_t i = 0; i < definitions.size(); ++i) {
        for (size_t used : definitions[i].uses) {
            if (used != i) {
                usedBy[used].push_back(i);
            }
        }
        if (definitions[i].ambiguous) {
            pending.push_back(i);
        }
    }
    while (!pending.empty()) {
        const size_t index = pending.back();
        pending.pop_back();
        for (size_t user : usedBy[index]) {
            if (!definitions[user].ambiguous) {
                definitions[user].ambiguous = true;
                definitions[user].ambiguity = definitions[index].ambiguity;
                pending.push_back(user);
            }
        }
    }
}
