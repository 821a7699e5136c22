// Collects #define and enumerator definitions from header files and evaluates them.
//
// Conditionals are decided as ConditionTracker (Conditions.h) says: by the names pinned with Pin
// (the -D/-U options) and the macros that decided code defines or #undefs; every branch of an
// undecided conditional is read.
//
// With every branch read a name may be defined more than once; the first definition is the one
// macro expansion sees. A name whose definitions give different values, or whose value depends on
// such a name (or an enumerator shifted by enumerators in undecided branches), is ambiguous: it is
// not written, and the names of the conditions that would decide it are kept for the messages.
// #undef in decided code removes the definitions before it.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Conditions.h"
#include "EnumReader.h"
#include "Expression.h"
#include "IncludeSearch.h"
#include "Lexer.h"
#include "Macros.h"
#include "TypedefReader.h"

enum class DefinitionKind : uint8_t { Macro, Enumerator };

struct Definition {
    std::string name;
    DefinitionKind kind = DefinitionKind::Macro;
    uint32_t file = 0;  // index into Definitions::Files()
    uint32_t line = 0;
    bool repeated = false;   // the name was defined before; this one is not used
    bool differs = false;    // repeated, with another value than the first (SameValue)
    bool undefined = false;  // removed by an #undef in decided code
    std::string text;        // macro body or enumerator initializer, for comparisons/messages
    // The open conditional branches that were not decided where it was read (ids, outermost
    // first), and the names their conditions test.
    std::vector<uint32_t> branches;
    std::vector<std::string> deciders;
    // Macros
    bool functionLike = false;
    std::vector<Token> body;  // a repeated definition's own body, to compare its value
    // Enumerators
    uint32_t block = 0;
    bool implicit = false;   // no "= value": one more than the previous enumerator
    bool malformed = false;  // attributes or other syntax we don't read
    std::vector<Token> initializer;
    // Result
    bool evaluated = false;
    IntValue value;
    Failure failure;           // reason None when the definition gives a constant
    std::vector<size_t> uses;  // definitions its value was computed from
    bool ambiguous = false;    // the value depends on an undecided conditional
    std::string ambiguity;     // why, for the messages
};

const size_t kNameLengthLimit = 1024;        // longer names are skipped, never written
const size_t kDefinitionTokenLimit = 65536;  // tokens in one #define or one enumerator
const int kIncludeDepthLimit = 64;
const int kEnumReferenceDepthLimit = 16;  // enumerators whose values wait on other enums
const uint64_t kFileSizeLimit = 256u << 20;

class Definitions {
public:
    // messages receives warnings (files skipped, unterminated comments); verbose adds notes on
    // constructs that were passed over (abandoned enum bodies, includes not found).
    Definitions(std::vector<std::string> includeDirectories, bool follow, bool verbose,
                std::ostream& messages, const Target& target = Target());

    // NAME=value defines a macro ahead of all headers; undefined pins NAME as not defined.
    // Either way header definitions of NAME are ignored and conditionals on NAME are decided.
    void Pin(const std::string& name, bool defined, const std::string& value);

    // Reads one input file (name as given, else relative to the include directories). False when
    // it can't be found or read; binary files are skipped with a warning and count as read.
    bool FileScan(const std::string& name);

    // Reads header text held in memory, as if it were the file name (tests, -D values).
    void TextScan(const std::string& name, const std::string& bytes);

    // Evaluates every definition read so far.
    void Evaluate();

    const std::vector<Definition>& All() const { return definitions; }
    const std::vector<std::string>& Files() const { return files; }
    size_t FilesSkipped() const { return filesSkipped; }
    // #include files that --follow could not find, each once.
    const std::vector<std::string>& IncludesMissing() const { return includesMissing; }
    const TypeScope& Types() const { return types; }

private:
    enum class EvaluationState : uint8_t { Pending, InProgress, Done };
    struct EnumBlock {
        std::vector<size_t> items;  // definition indices, in order
        EvaluationState state = EvaluationState::Pending;
    };
    bool FileRead(const std::string& path, uint32_t depth);
    void TextRead(const std::string& path, std::string& bytes, uint32_t depth);
    void Directive(const std::vector<Token>& tokens, uint32_t line, bool tooLong,
                   const std::string& path, uint32_t depth);
    void DefineRead(const std::vector<Token>& tokens, uint32_t line, bool tooLong);
    void UndefRead(const std::vector<Token>& tokens);
    void UndefApply(const std::string& name);
    void AmbiguityFind();
    size_t DefinitionAdd(Definition definition);

    void EnumFeed(const Token& token);
    void EnumItemEnd();
    bool ItemExpand(const std::vector<Token>& itemTokens, std::vector<size_t>& uses);
    void EnumItemAdd(const std::vector<Token>& tokens, uint32_t line,
                     const std::vector<size_t>& uses);
    void EnumItemPush(Definition item, uint32_t line);
    void EnumReset(const char* why);

    bool Resolve(const std::string& name, IntValue& value, Failure& failure);
    void MacroEvaluate(Definition& definition);
    void BlockEvaluate(EnumBlock& block);
    bool ExpressionRun(const std::vector<Token>& tokens, IntValue& value, Failure& failure,
                       std::vector<size_t>* uses = nullptr);

    void Warn(uint32_t line, const std::string& text);
    void Note(uint32_t line, const std::string& text);

    IncludeSearch includes;
    bool follow;
    bool verbose;
    std::ostream& messages;

    MacroTable macros;
    std::vector<size_t> macroDefinition;  // macro index -> its definition (npos for -D)
    ConditionTracker conditions;
    TypeScope types;
    TypedefReader typedefs;
    std::vector<std::string> includesMissing;
    std::unordered_set<std::string> includesMissingSeen;
    std::vector<size_t>* evaluationUses = nullptr;  // where Resolve records what it used
    std::vector<Definition> definitions;
    std::unordered_map<std::string, size_t> firstByName;
    std::unordered_map<std::string, std::vector<size_t>> byName;  // every definition of a name
    std::unordered_map<std::string, size_t> enumeratorByName;
    std::vector<EnumBlock> blocks;
    std::vector<std::string> files;
    std::unordered_set<std::string> visited;
    size_t filesSkipped = 0;
    uint32_t currentFile = 0;
    uint32_t currentLine = 0;

    EnumReader enumReader{kDefinitionTokenLimit};
    std::vector<Definition> enumItems;
    std::vector<uint32_t> itemBranches;
    std::vector<std::string> itemDeciders;

    int enumDepth = 0;
};
