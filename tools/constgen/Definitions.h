// Collects #define and enumerator definitions from header files and evaluates them.
//
// Conditionals: #if/#ifdef/#ifndef/#elif/#else are decided as far as names pinned with Pin (the
// -D/-U options) decide them, so that "-U UNICODE" keeps the ANSI branch of the headers and drops
// the wide one; other names are unknown, and every branch of an undecided conditional is read. With
// every branch read a name may be defined more than once; the first definition wins, for the output
// and for macro expansion alike. #undef is ignored for the same reason.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Expression.h"
#include "Lexer.h"
#include "Macros.h"

enum class DefinitionKind : uint8_t { Macro, Enumerator };

struct Definition {
    std::string name;
    DefinitionKind kind = DefinitionKind::Macro;
    uint32_t file = 0;  // index into Definitions::Files()
    uint32_t line = 0;
    bool repeated = false;  // the name was defined before; this one is not used
    std::string text;       // macro body or enumerator initializer, for comparisons/messages
    // Macros
    bool functionLike = false;
    // Enumerators
    uint32_t block = 0;
    bool implicit = false;   // no "= value": one more than the previous enumerator
    bool malformed = false;  // attributes or other syntax we don't read
    std::vector<Token> initializer;
    // Result
    bool evaluated = false;
    IntValue value;
    Failure failure;  // reason None when the definition gives a constant
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
                std::ostream& messages);

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

private:
    struct EnumBlock {
        std::vector<size_t> items;  // definition indices, in order
        int state = 0;              // 0 not evaluated, 1 in progress, 2 done
    };
    struct Conditional {
        bool parentActive;
        bool active;
        bool decidedTaken;  // a branch was known to be taken; later ones are not
    };
    enum class EnumState { Idle, Head, Body };

    bool FileRead(const std::string& path, uint32_t depth);
    void TextRead(const std::string& path, std::string& bytes, uint32_t depth);
    std::string FileFind(const std::string& name, const std::string& from, bool quoted) const;
    void Directive(const std::vector<Token>& tokens, uint32_t line, bool tooLong,
                   std::vector<Conditional>& stack, const std::string& path, uint32_t depth);
    void DefineRead(const std::vector<Token>& tokens, uint32_t line, bool tooLong);
    int ConditionDecide(const std::vector<Token>& tokens, size_t from, bool ifdef, bool ifndef);
    size_t DefinitionAdd(Definition definition);

    void EnumFeed(const Token& token);
    void EnumItemEnd();
    void EnumReset(const char* why);

    bool Resolve(const std::string& name, IntValue& value, Failure& failure);
    void MacroEvaluate(Definition& definition);
    void BlockEvaluate(EnumBlock& block);
    bool ExpressionRun(const std::vector<Token>& tokens, IntValue& value, Failure& failure);

    void Warn(uint32_t line, const std::string& text);
    void Note(uint32_t line, const std::string& text);

    std::vector<std::string> includeDirectories;
    bool follow;
    bool verbose;
    std::ostream& messages;

    MacroTable macros;
    std::unordered_map<std::string, bool> pinned;  // name -> defined
    std::vector<Definition> definitions;
    std::unordered_map<std::string, size_t> firstByName;
    std::unordered_map<std::string, size_t> enumeratorByName;
    std::vector<EnumBlock> blocks;
    std::vector<std::string> files;
    std::unordered_set<std::string> visited;
    size_t filesSkipped = 0;
    uint32_t currentFile = 0;
    uint32_t currentLine = 0;

    EnumState enumState = EnumState::Idle;
    int enumHeadTokens = 0;
    int enumNesting = 0;
    std::vector<Definition> enumItems;
    std::vector<Token> itemTokens;
    bool itemTooLong = false;

    int enumDepth = 0;
};
