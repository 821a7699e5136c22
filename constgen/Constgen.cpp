#include "Constgen.h"

#include <string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

const char* const kConstgenUsage =
    "Usage: constgen [options] header...\n"
    "Reads C headers and writes their integer constants (object-like #defines and\n"
    "enumerators) as Constants.out: per constant its name, its decimal value and its\n"
    "hexadecimal value, one line each, CR LF line ends.\n"
    "\n"
    "Options:\n"
    "  -I DIR            look for headers in DIR (inputs and, with --follow, #include)\n"
    "  -o FILE           output file (default Constants.out; - for standard output)\n"
    "  --match PATTERN   keep only names matching PATTERN (repeatable; any may match)\n"
    "  --exclude PATTERN leave out names matching PATTERN (repeatable)\n"
    "                    PATTERN is a glob with * and ?; without them it is a prefix\n"
    "  --sort name|file  order of the output: by name (byte order) or as defined (default)\n"
    "  --follow          also read files named by #include and found in the include paths\n"
    "  -D NAME[=VALUE]   define NAME (default 1) and decide conditionals that test it\n"
    "  -U NAME           take NAME as undefined and decide conditionals that test it\n"
    "  --target MODEL    the sizes of long, pointers and size_t, and the machine's own\n"
    "                    predefined macros: win32 (the default: 32-bit Windows, ILP32,\n"
    "                    16-bit wchar_t, no macro pinned), linux-i686 (GCC's ILP32 on\n"
    "                    Linux) or linux-x86_64 (GCC's LP64 on Linux); i686 and x86_64\n"
    "                    are the linux ones. 64-bit Windows (LLP64) is not one of them\n"
    "  -v, --verbose     list every skipped definition with its reason\n"
    "  -q, --quiet       no summary\n"
    "  -h, --help        this text\n"
    "\n"
    "Values are evaluated in 64 bits with the target's types and written as 32-bit\n"
    "patterns: decimal signed, hex unsigned (E_ACCESSDENIED: -2147024891, 0x80070005).\n"
    "Values with no 32-bit pattern are skipped. Conditionals are decided as far as\n"
    "-D/-U names and the headers' own macros decide them; the branches of an undecided\n"
    "one are all read, and a name whose value differs between them is not written\n"
    "(the summary says which names to pin with -D or -U).\n"
    "\n"
    "Exit status: 0 done, 1 an input missing or the output not written, 2 usage error.\n";

namespace {

// "-o value", "-ovalue", "--output value" and "--output=value".
bool OptionValue(const std::vector<std::string>& arguments, size_t& i, const char* shortName,
                 const char* longName, std::string& value, bool& takes, std::string& error) {
    const std::string& argument = arguments[i];
    takes = false;
    std::string inlineValue;
    bool hasInline = false;
    if (shortName && argument.compare(0, 2, shortName) == 0) {
        takes = true;
        hasInline = argument.size() > 2;
        inlineValue = argument.substr(2);
    } else if (longName && argument == longName) {
        takes = true;
    } else if (longName &&
               argument.compare(0, strlen(longName) + 1, std::string(longName) + "=") == 0) {
        takes = true;
        hasInline = true;
        inlineValue = argument.substr(strlen(longName) + 1);
    }
    if (!takes) {
        return true;
    }
    if (hasInline) {
        value = inlineValue;
    } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
    } else {
        error = "option " + argument + " needs a value";
        return false;
    }
    if (value.empty()) {
        error = "option " + argument + " needs a non-empty value";
        return false;
    }
    return true;
}

// What an option with a value does with it. False with error for a value it does not take.
using OptionApply = bool (*)(Options& options, const std::string& value, std::string& error);

// A switch sets its flag; any other option takes a value and hands it to apply.
struct OptionSpec {
    const char* shortName;  // "-I", given as "-I DIR" or "-IDIR"; nullptr when there is none
    const char* longName;   // "--include-dir", given as "--include-dir DIR" or "--include-dir=DIR"
    bool Options::*flag;
    OptionApply apply;
};

const OptionSpec kOptions[] = {
    {"-h", "--help", &Options::help, nullptr},
    {nullptr, "--follow", &Options::follow, nullptr},
    {"-v", "--verbose", &Options::verbose, nullptr},
    {"-q", "--quiet", &Options::quiet, nullptr},
    {"-I", "--include-dir", nullptr,
     [](Options& options, const std::string& value, std::string&) {
         options.includeDirectories.push_back(value);
         return true;
     }},
    {"-o", "--output", nullptr,
     [](Options& options, const std::string& value, std::string&) {
         options.output = value;
         return true;
     }},
    {nullptr, "--match", nullptr,
     [](Options& options, const std::string& value, std::string&) {
         options.matches.push_back(value);
         return true;
     }},
    {nullptr, "--exclude", nullptr,
     [](Options& options, const std::string& value, std::string&) {
         options.excludes.push_back(value);
         return true;
     }},
    {nullptr, "--sort", nullptr,
     [](Options& options, const std::string& value, std::string& error) {
         if (value != "name" && value != "file") {
             error = "--sort takes name or file, not " + value;
             return false;
         }
         options.sortByName = value == "name";
         return true;
     }},
    {"-D", "--define", nullptr,
     [](Options& options, const std::string& value, std::string&) {
         const size_t equals = value.find('=');
         options.defines.emplace_back(value.substr(0, equals),
                                      equals == std::string::npos ? "1" : value.substr(equals + 1));
         return true;
     }},
    {"-U", "--undefine", nullptr,
     [](Options& options, const std::string& value, std::string&) {
         options.undefines.push_back(value);
         return true;
     }},
    {nullptr, "--target", nullptr,
     [](Options& options, const std::string& value, std::string& error) {
         if (!TargetFind(value, options.target)) {
             error = "--target takes one of " + std::string(kTargetNames) + ", not " + value;
             return false;
         }
         return true;
     }},
};

}  // namespace

bool OptionsParse(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    bool optionsEnd = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnd || argument.empty() || argument[0] != '-' || argument == "-") {
            options.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnd = true;
            continue;
        }
        bool known = false;
        for (const OptionSpec& option : kOptions) {
            if (option.flag) {
                known = (option.shortName && argument == option.shortName) ||
                        argument == option.longName;
                if (known) {
                    options.*option.flag = true;
                    break;
                }
                continue;
            }
            std::string value;
            if (!OptionValue(arguments, i, option.shortName, option.longName, value, known,
                             error)) {
                return false;
            }
            if (known) {
                if (!option.apply(options, value, error)) {
                    return false;
                }
                break;
            }
        }
        if (!known) {
            error = "unknown option " + argument;
            return false;
        }
    }
    if (!options.help && options.inputs.empty()) {
        error = "no input files";
        return false;
    }
    return true;
}

bool NameMatches(const std::string& pattern, const std::string& name) {
    if (pattern.find_first_of("*?") == std::string::npos) {
        return name.compare(0, pattern.size(), pattern) == 0;
    }
    // Glob matching with one backtrack point: the last * seen.
    size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

size_t Summary::SkippedTotal() const {
    size_t total = 0;
    for (size_t count : skipped) {
        total += count;
    }
    return total;
}

std::vector<Constant> ConstantsSelect(const Definitions& definitions, const Options& options,
                                      Summary& summary, std::ostream& messages) {
    std::vector<Constant> constants;
    const std::vector<Definition>& all = definitions.All();
    const std::vector<std::string>& files = definitions.Files();
    std::unordered_map<std::string, size_t> first;
    auto where = [&](const Definition& definition) {
        return files[definition.file] + ":" + std::to_string(definition.line);
    };
    std::map<std::string, std::vector<std::string>> undecided;  // deciders -> names
    for (size_t i = 0; i < all.size(); ++i) {
        const Definition& definition = all[i];
        if (definition.undefined) {
            ++summary.undefined;
            if (options.verbose) {
                messages << "constgen: " << where(definition) << ": " << definition.name
                         << " left out: #undef or a later definition\n";
            }
            continue;
        }
        if (definition.repeated) {
            ++summary.repeated;
            auto found = first.find(definition.name);
            if (found != first.end() && definition.differs) {
                ++summary.repeatedDiffering;
                if (options.verbose) {
                    messages << "constgen: " << where(definition) << ": " << definition.name
                             << " defined again differently (first at " << where(all[found->second])
                             << ")\n";
                }
            }
            continue;
        }
        first.emplace(definition.name, i);
        ++summary.definitions;
        if (definition.ambiguous && definition.failure.reason == SkipReason::None) {
            ++summary.skipped[static_cast<size_t>(SkipReason::Undecided)];
            undecided[definition.ambiguity].push_back(definition.name);
            if (options.verbose) {
                messages << "constgen: " << where(definition) << ": " << definition.name
                         << " not written: " << SkipReasonText(SkipReason::Undecided);
                if (!definition.ambiguity.empty()) {
                    messages << " (pin " << definition.ambiguity << " with -D or -U)";
                }
                messages << "\n";
            }
            continue;
        }
        if (definition.failure.reason != SkipReason::None) {
            ++summary.skipped[static_cast<size_t>(definition.failure.reason)];
            if (options.verbose) {
                messages << "constgen: " << where(definition) << ": "
                         << (definition.name.empty() ? std::string("(no name)")
                                                     : definition.name.substr(0, 80))
                         << " skipped: " << SkipReasonText(definition.failure.reason);
                if (!definition.failure.detail.empty()) {
                    messages << ": " << definition.failure.detail.substr(0, 120);
                }
                messages << "\n";
            }
            continue;
        }
        bool keep = options.matches.empty();
        for (const std::string& pattern : options.matches) {
            keep = keep || NameMatches(pattern, definition.name);
        }
        for (const std::string& pattern : options.excludes) {
            keep = keep && !NameMatches(pattern, definition.name);
        }
        if (!keep) {
            ++summary.filtered;
            continue;
        }
        constants.push_back(Constant{
            definition.name, static_cast<int32_t>(static_cast<uint32_t>(definition.value.bits))});
    }
    if (options.sortByName) {
        std::stable_sort(constants.begin(), constants.end(),
                         [](const Constant& a, const Constant& b) { return a.name < b.name; });
    }
    summary.taken = constants.size();
    summary.files = files.size();
    summary.filesSkipped = definitions.FilesSkipped();
    summary.includesMissing = definitions.IncludesMissing();
    for (auto& entry : undecided) {
        summary.undecided.emplace_back(entry.first, std::move(entry.second));
    }
    // The groups with the most names first.
    std::stable_sort(
        summary.undecided.begin(), summary.undecided.end(),
        [](const auto& a, const auto& b) { return a.second.size() > b.second.size(); });
    return constants;
}

void SummaryPrint(const Summary& summary, const std::string& output, std::ostream& stream) {
    stream << "constgen: " << summary.taken << " constants written to "
           << (output == "-" ? std::string("standard output") : output) << " from " << summary.files
           << " file(s)";
    if (summary.filesSkipped) {
        stream << "; " << summary.filesSkipped << " file(s) skipped";
    }
    stream << "\n";
    stream << "constgen: " << summary.definitions << " names defined: " << summary.taken
           << " taken, " << summary.filtered << " filtered out, " << summary.SkippedTotal()
           << " skipped\n";
    for (size_t reason = 1; reason < static_cast<size_t>(SkipReason::Count); ++reason) {
        if (summary.skipped[reason]) {
            stream << "constgen:   " << summary.skipped[reason]
                   << " skipped: " << SkipReasonText(static_cast<SkipReason>(reason)) << "\n";
        }
    }
    if (summary.repeated) {
        stream << "constgen: " << summary.repeated << " repeated definitions ignored (first kept; "
               << summary.repeatedDiffering << " differed from it)\n";
    }
    if (summary.undefined) {
        stream << "constgen: " << summary.undefined
               << " definitions left out: an #undef or a later definition replaces them\n";
    }
    if (!summary.undecided.empty()) {
        const size_t count = summary.skipped[static_cast<size_t>(SkipReason::Undecided)];
        stream << "constgen: " << count
               << " names not written: their value differs between branches of conditionals "
                  "that were not decided:\n";
        const size_t shown = std::min<size_t>(summary.undecided.size(), 10);
        for (size_t i = 0; i < shown; ++i) {
            const auto& group = summary.undecided[i];
            stream << "constgen:   " << group.second[0];
            for (size_t k = 1; k < group.second.size() && k < 3; ++k) {
                stream << ", " << group.second[k];
            }
            if (group.second.size() > 3) {
                stream << " and " << group.second.size() - 3 << " more";
            }
            if (group.first.empty()) {
                stream << ": defined twice with different values\n";
            } else {
                stream << ": pin " << group.first << " with -D or -U\n";
            }
        }
        if (summary.undecided.size() > shown) {
            stream << "constgen:   and " << summary.undecided.size() - shown
                   << " more groups (-v lists every name)\n";
        }
    }
    if (!summary.includesMissing.empty()) {
        stream << "constgen: " << summary.includesMissing.size()
               << " #include files not found in the include paths, not read:";
        for (size_t i = 0; i < summary.includesMissing.size() && i < 5; ++i) {
            stream << (i ? ", " : " ") << summary.includesMissing[i];
        }
        if (summary.includesMissing.size() > 5) {
            stream << " and " << summary.includesMissing.size() - 5 << " more";
        }
        stream << " (-v says where; add -I DIR)\n";
    }
}

int ConstgenMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    Options options;
    std::string error;
    if (!OptionsParse(arguments, options, error)) {
        err << "constgen: " << error << "\n"
            << "Try 'constgen --help'.\n";
        return 2;
    }
    if (options.help) {
        out << kConstgenUsage;
        return 0;
    }
    Definitions definitions(options.includeDirectories, options.follow, options.verbose, err,
                            options.target);
    // The target's own macros first, so that -D and -U can still change them.
    for (const char* predefined : options.target.predefined) {
        const std::string text = predefined;
        if (text[0] == '-') {
            definitions.Pin(text.substr(1), false, std::string());
        } else {
            const size_t equals = text.find('=');
            definitions.Pin(text.substr(0, equals), true, text.substr(equals + 1));
        }
    }
    for (const auto& define : options.defines) {
        definitions.Pin(define.first, true, define.second);
    }
    for (const std::string& name : options.undefines) {
        definitions.Pin(name, false, std::string());
    }
    bool inputsRead = true;
    for (const std::string& input : options.inputs) {
        inputsRead = definitions.FileScan(input) && inputsRead;
    }
    if (!inputsRead) {
        err << "constgen: nothing written\n";
        return 1;
    }
    definitions.Evaluate();
    Summary summary;
    std::vector<Constant> constants = ConstantsSelect(definitions, options, summary, err);

    std::string text;
    for (const Constant& constant : constants) {
        text += RecordText(RecordOf32(constant.name, static_cast<uint32_t>(constant.value)));
    }
    if (options.output == "-") {
        out << text;
        out.flush();
    } else {
        std::ofstream file(std::filesystem::path(options.output),
                           std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file) {
            err << "constgen: " << options.output << ": cannot be written\n";
            return 1;
        }
    }
    if (!options.quiet) {
        SummaryPrint(summary, options.output, err);
    }
    if (constants.empty()) {
        err << "constgen: warning: no constants\n";
    }
    return 0;
}
