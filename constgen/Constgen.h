// The constgen command: options, name filters, the Constants.out format and the run summary.
#pragma once
#include <stdint.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "Definitions.h"
#include "Records.h"

struct Options {
    std::vector<std::string> includeDirectories;               // -I
    std::vector<std::string> inputs;                           // positional
    std::vector<std::string> matches;                          // --match (any may match)
    std::vector<std::string> excludes;                         // --exclude
    std::vector<std::pair<std::string, std::string>> defines;  // -D NAME[=VALUE]
    std::vector<std::string> undefines;                        // -U NAME
    std::string output = "Constants.out";                      // -o ("-" is standard output)
    Target target;                                             // --target
    bool follow = false;                                       // --follow
    bool sortByName = false;                                   // --sort name
    bool verbose = false;                                      // -v: every skipped definition
    bool quiet = false;                                        // -q: no summary
    bool help = false;
};

// Parses the arguments after the program name. False with error set on a usage error.
bool OptionsParse(const std::vector<std::string>& arguments, Options& options, std::string& error);

extern const char* const kConstgenUsage;

// A glob with * and ?; a pattern without either is a prefix ("WM_" is "WM_*").
bool NameMatches(const std::string& pattern, const std::string& name);

struct Constant {
    std::string name;
    int32_t value;  // the 32-bit pattern, shown signed in decimal and unsigned in hex
};

struct Summary {
    size_t files = 0;         // input and followed files read
    size_t filesSkipped = 0;  // binary or oversized
    size_t definitions = 0;   // distinct names seen
    size_t taken = 0;         // constants written
    size_t filtered = 0;      // constants left out by --match/--exclude
    size_t repeated = 0;      // later definitions of a name already defined (first kept)
    size_t repeatedDiffering = 0;
    size_t undefined = 0;  // definitions removed by #undef
    // Names not written because their value depends on undecided conditionals, by the names
    // that would decide them.
    std::vector<std::pair<std::string, std::vector<std::string>>> undecided;
    std::vector<std::string> includesMissing;
    size_t skipped[static_cast<size_t>(SkipReason::Count)] = {};
    size_t SkippedTotal() const;
};

// Picks the constants of evaluated definitions in file order (or by name), applying filters.
std::vector<Constant> ConstantsSelect(const Definitions& definitions, const Options& options,
                                      Summary& summary, std::ostream& messages);

void SummaryPrint(const Summary& summary, const std::string& output, std::ostream& stream);

// The whole command. Returns the exit status: 0 done, 1 an input missing or the output not
// written, 2 usage error.
int ConstgenMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
