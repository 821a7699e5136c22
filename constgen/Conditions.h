// What the conditionals of the headers decide, directive by directive.
//
// #if/#ifdef/#ifndef/#elif/#else are decided as far as names pinned with Pin (the -D/-U options)
// and the macros that the headers define or #undef in decided code decide them, so that
// "-U UNICODE" keeps the ANSI branch of the headers and drops the wide one; other names are
// unknown, and every branch of an undecided conditional is read. "#ifndef X" (or "#if !defined X")
// whose branch defines X, of an X that nothing defined, undefined or pinned before, is decided
// true: an include guard, or a default value that the compiler takes as well when X is not given.
// A name that looks like an include guard (_STDLIB_H, BAR_INCLUDED) and that nothing touched is
// not defined.
//
// A definition read in a branch that was not decided keeps the branches' ids and the names their
// conditions test (the deciders), for the ambiguity messages.
#pragma once
#include <stdint.h>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Expression.h"
#include "Lexer.h"
#include "Macros.h"

// The names of the conditions that would decide a value, each once. A hostile header's condition
// may test thousands of names, and every definition under it keeps a copy: a list ends after a
// few names with a mark that NamesJoin writes as "and more".
void NamesAdd(std::vector<std::string>& names, const std::vector<std::string>& more);
std::string NamesJoin(const std::vector<std::string>& names);

class ConditionTracker {
public:
    // What Directive made of a directive line.
    enum class Step : uint8_t {
        Other,      // no conditional directive: the caller's
        Done,       // a conditional directive, taken into account
        WithoutIf,  // #elif, #else or #endif with no open #if in its file
    };

    // NAME=value defined, or pinned as not defined: conditions on NAME are decided from here on,
    // whatever the headers do with it.
    void Pin(const std::string& name, bool defined, const std::string& value);
    // NAME was pinned defined: the headers' #define and #undef of it don't count.
    bool PinnedDefined(const std::string& name) const;

    // A file's text begins (bytes: all of it) and ends. Its conditionals are its own: those it
    // leaves open end with it.
    void FileEnter(const std::string& bytes);
    void FileLeave();

    // tokens: the directive's, after the "#".
    Step Directive(const std::vector<Token>& tokens, uint32_t line);

    // The text here is read (every open branch is taken or undecided).
    bool Active() const {
        return files.empty() || files.back().stack.empty() || files.back().stack.back().active;
    }
    // Read in decided branches only.
    bool Certain() const { return undecidedPath.empty(); }
    // The open undecided branches (ids, outermost first) and the names their conditions test.
    const std::vector<uint32_t>& UndecidedPath() const { return undecidedPath; }
    std::vector<std::string> DecidersHere() const;

    // A #define or #undef read in active code, of a name not pinned defined.
    void Defined(const Macro& macro);
    void Undefined(const std::string& name);
    // A #define too long to read: conditions no longer know what its name is.
    void Forgotten(const std::string& name);

private:
    struct Conditional {
        bool parentActive;
        bool active;
        bool decidedTaken;                  // a branch was known to be taken; later ones are not
        bool undecidedBefore;               // an earlier branch's condition was not decided
        bool uncertain;                     // the current branch is read without being decided
        std::vector<std::string> deciders;  // unknown names of the conditions so far
    };
    struct File {
        std::vector<Conditional> stack;
        std::unordered_set<uint32_t> selfDefining;  // lines of "#ifndef X" whose branch defines X
    };

    Decision ConditionDecide(const std::vector<Token>& tokens, size_t from, bool ifdef, bool ifndef,
                             std::vector<std::string>& unknown);
    void BranchEnter(Conditional& conditional, bool uncertain);
    void BranchLeave(Conditional& conditional);
    static std::string NotDefinedTested(const std::vector<Token>& tokens);
    bool GuardLike(const std::string& name) const;
    void UnknownAdd(std::vector<std::string>& unknown, const std::string& name) const;

    std::unordered_map<std::string, bool> pinned;  // name -> defined
    // What conditions know: the macros as the decided code leaves them. A name absent from
    // known is unknown; known[name] false is known not to be defined.
    MacroTable conditionMacros;
    std::unordered_map<std::string, bool> known;
    std::unordered_set<std::string> touched;  // defined or undefined anywhere, or pinned
    std::unordered_map<std::string, std::vector<std::string>> unknownBecause;
    std::vector<uint32_t> undecidedPath;  // the open undecided branches, outermost first
    std::vector<std::vector<std::string>> undecidedDeciders;  // their conditions' names
    uint32_t branchSerial = 0;
    std::vector<File> files;  // the files being read, the innermost last
};
