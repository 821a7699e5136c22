// constprobe: the build's helper that lets the cross compiler itself compute the default data set.
//
//   constprobe names PREPROCESSED HEADER PROBE_C NAMES [EXCLUDED...] [--first FILE]...
//                    [--files-out LIST] [--skip-files LIST] [--undeclared-out LIST]
//                    [--probe-names LIST]
//       Reads the output of "gcc -E -dD HEADER", takes the object-like macros still defined at
//       its end and every enumerator, keeps those whose expansion names only declared things,
//       and writes a C file with one initialiser per name plus the list of names. --first puts
//       a file's names first; --files-out lists the files the text came from, --skip-files
//       leaves out the names that such a list's files define, but for those --probe-names
//       lists; --undeclared-out lists the macros whose expansion names something the text does
//       not declare (a later group that declares it can compute them). --every asks for every
//       name whose expansion names only declared things: slower, for measuring what the choice
//       leaves out.
//   constprobe prune ERRORS HEADER PROBE_C NAMES
//       Drops the names whose lines the compiler rejected (ERRORS is its diagnostics) and writes
//       the C file again.
//   constprobe values ASSEMBLY NAMES OUTPUT [--wide]
//       Reads the values back from the compiler's assembly and writes Constants.out in the
//       names' order, keeping integer and handle values that have a 32-bit pattern, and with
//       --wide (a 64-bit target) the wider ones too, in full.
//   constprobe merge ..., constprobe split ...: below.
#include <errno.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Constgen.h"
#include "EnumReader.h"
#include "Lexer.h"
#include "Macros.h"
#include "Records.h"
#include "TypeNames.h"

namespace {

// Lines of the probe file before the first initialiser.
const int kProbeHeaderLines = 3;

// GCC's classes from __builtin_classify_type: integer, char, enumeral, boolean, pointer.
const long kClassPointer = 5;

bool FileRead(const std::string& path, std::string& bytes) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return false;
    }
    std::ostringstream buffer;
    buffer << stream.rdbuf();
    bytes = buffer.str();
    return true;
}

bool FileWrite(const std::string& path, const std::string& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    stream.close();
    return static_cast<bool>(stream);
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream stream(bytes);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// Where a name is defined: the file (numbered in order of first appearance) and the order of
// definitions in the whole text.
struct Place {
    size_t file = 0;
    size_t sequence = 0;
};

struct Preprocessed {
    std::map<std::string, Macro> macros;  // the state at the end of the header
    std::unordered_map<std::string, Place> places;
    std::vector<std::string> files;  // in order of first appearance
    std::vector<std::string> enumerators;
    std::unordered_set<std::string> enumeratorSet;
    std::unordered_set<std::string> declared;  // every identifier of the C text
    std::unordered_set<std::string> builtIn;   // macros the compiler predefines
};

void PreprocessedRead(const std::string& bytes, Preprocessed& result) {
    Lexer lexer(bytes);
    // Only the names matter here: an item's tokens need not be kept past its first.
    EnumReader enums(1);
    Token token;
    bool builtInSection = false;
    std::unordered_map<std::string, size_t> fileNumbers;
    Place here;
    size_t enumeratorsPlaced = 0;
    bool have = lexer.TokenNext(token);
    while (have) {
        if (!(token.lineStart && TokenIs(token, "#"))) {
            if (token.kind == TokenKind::Identifier) {
                result.declared.insert(token.text);
            }
            const EnumReader::Event event = enums.Feed(token);
            if (event == EnumReader::Event::ItemStart && token.kind == TokenKind::Identifier) {
                result.enumerators.push_back(token.text);
            } else if (event == EnumReader::Event::ItemEnd ||
                       event == EnumReader::Event::BlockEnd) {
                enums.ItemClear();
            }
            for (; enumeratorsPlaced < result.enumerators.size(); ++enumeratorsPlaced) {
                ++here.sequence;
                result.places.emplace(result.enumerators[enumeratorsPlaced], here);
            }
            have = lexer.TokenNext(token);
            continue;
        }
        std::vector<Token> directive;
        while ((have = lexer.TokenNext(token)) && !token.lineStart) {
            directive.push_back(token);
        }
        if (directive.empty()) {
            continue;
        }
        if (directive[0].kind == TokenKind::Number && directive.size() >= 2) {
            // A line marker: # 1 "<built-in>" opens the compiler's own definitions.
            builtInSection =
                directive[1].text == "\"<built-in>\"" || directive[1].text == "\"<command-line>\"";
            // The whole path: the driver kit and the subfolders have headers of the same names as
            // top-level ones (ddk/hidclass.h, sys/time.h).
            std::string file = directive[1].text.substr(1);
            file.pop_back();
            auto number = fileNumbers.emplace(file, result.files.size());
            if (number.second) {
                result.files.push_back(file);
            }
            here.file = number.first->second;
            continue;
        }
        if (directive[0].text == "undef" && directive.size() >= 2) {
            result.macros.erase(directive[1].text);
            continue;
        }
        if (directive[0].text != "define") {
            continue;
        }
        std::vector<Token> rest(directive.begin() + 1, directive.end());
        Macro macro;
        Failure failure;
        if (!MacroParse(rest, macro, failure)) {
            continue;
        }
        if (builtInSection) {
            result.builtIn.insert(macro.name);
        } else {
            result.builtIn.erase(macro.name);
        }
        std::string name = macro.name;
        ++here.sequence;
        result.places[name] = here;
        result.macros[name] = std::move(macro);
    }
}

// Words of the compiler that take parentheses and still give a constant.
bool IsOperatorWord(const std::string& word) {
    return word.compare(0, 10, "__builtin_") == 0 || word == "sizeof" || word == "_Alignof" ||
           word == "__alignof__" || word == "__typeof__";
}

bool IsKnownWord(const std::string& word, const Preprocessed& preprocessed) {
    return preprocessed.declared.count(word) != 0 || IsOperatorWord(word);
}

bool IsDeclarationWord(const std::string& word) {
    static const char* const kWords[] = {
        "struct",  "union",         "enum",       "extern",        "static",     "typedef",
        "inline",  "__inline",      "__inline__", "__attribute__", "__declspec", "__stdcall",
        "__cdecl", "__fastcall",    "__asm__",    "asm",           "return",     "do",
        "while",   "for",           "if",         "else",          "goto",       "register",
        "auto",    "_Static_assert"};
    for (const char* candidate : kWords) {
        if (word == candidate) {
            return true;
        }
    }
    return false;
}

// Words whose parenthesised operand is a type or an expression the compiler only measures:
// there a string literal ("sizeof(\"://\")"), a structure tag ("sizeof(struct sockaddr)") or a
// member path ("offsetof(T, a.b)") still gives an integer constant.
bool IsMeasureWord(const std::string& word) {
    return word == "sizeof" || word == "_Alignof" || word == "__alignof__" ||
           word == "__builtin_offsetof";
}

// For each token: whether it lies inside the parentheses that follow a measuring word.
std::vector<bool> MeasuredOperands(const std::vector<Token>& expanded) {
    std::vector<bool> inside(expanded.size(), false);
    int depth = 0;  // nesting within the current operand, 0 when outside any
    for (size_t i = 0; i < expanded.size(); ++i) {
        if (depth > 0) {
            inside[i] = true;
            depth += TokenIs(expanded[i], "(") ? 1 : TokenIs(expanded[i], ")") ? -1 : 0;
        } else if (i > 0 && TokenIs(expanded[i], "(") &&
                   expanded[i - 1].kind == TokenKind::Identifier &&
                   IsMeasureWord(expanded[i - 1].text)) {
            depth = 1;
        }
    }
    return inside;
}

// The name's macro expansion, when it has one that is not empty.
bool Expansion(const std::string& name, const MacroTable& table, std::vector<Token>& expanded) {
    Token token;
    token.kind = TokenKind::Identifier;
    token.text = name;
    Failure failure;
    return MacroExpand(table, {token}, expanded, failure) && !expanded.empty();
}

// True when the compiler can be asked for the name's value without an error costing time: the
// expansion must be an expression of declared names (GCC spends ~30 ms on each undeclared one
// looking for a spelling to suggest). What only the compiler can tell (a string or a structure
// that is no integer) is left to it: the probe drops the names it rejects.
bool Worth(const std::string& name, const MacroTable& table, const Preprocessed& preprocessed) {
    std::vector<Token> expanded;
    if (!Expansion(name, table, expanded)) {
        return false;
    }
    // A lone name is a value only when it is an enumerator; function, variable and type names
    // (the A/W aliases, GUIDs) are each an error the compiler is slow to report.
    if (expanded.size() == 1 && expanded[0].kind == TokenKind::Identifier) {
        return preprocessed.enumeratorSet.count(expanded[0].text) != 0;
    }
    const std::vector<bool> measured = MeasuredOperands(expanded);
    int nesting = 0;
    for (size_t i = 0; i < expanded.size(); ++i) {
        const Token& piece = expanded[i];
        nesting += TokenIs(piece, "(") ? 1 : TokenIs(piece, ")") ? -1 : 0;
        if (nesting == 0 && TokenIs(piece, ",")) {
            return false;  // an initialiser list (GUIDs, presets), no single value
        }
        if (piece.kind == TokenKind::Other) {
            return false;
        }
        if (piece.kind == TokenKind::String && !measured[i]) {
            return false;
        }
        if (piece.kind == TokenKind::Identifier && !IsKnownWord(piece.text, preprocessed)) {
            return false;
        }
        if (TokenIs(piece, "{") || TokenIs(piece, ";")) {
            return false;
        }
        if (piece.kind == TokenKind::Identifier && IsDeclarationWord(piece.text) &&
            !(measured[i] &&
              (piece.text == "struct" || piece.text == "union" || piece.text == "enum"))) {
            return false;
        }
    }
    // Only type words, a type ending in "*" or "const": a type, no value.
    bool onlyTypeWords = true;
    for (size_t i = 0; i < expanded.size(); ++i) {
        const Token& piece = expanded[i];
        const Token* next = i + 1 < expanded.size() ? &expanded[i + 1] : nullptr;
        onlyTypeWords =
            onlyTypeWords && piece.kind == TokenKind::Identifier && TypeKeywordIs(piece.text);
        if (measured[i]) {
            continue;  // a type name or a member path, measured only
        }
        // "(void)x" has no value; "(void *)-1" has.
        if (piece.kind == TokenKind::Identifier && piece.text == "void" && next &&
            TokenIs(*next, ")")) {
            return false;
        }
        // Member access and dereference of variables ("S_un.S_addr", "(*_imp__environ)");
        // offsetof-style "((T *)0)->field" stays.
        if ((TokenIs(piece, ".") || TokenIs(piece, "->")) && i > 0 &&
            expanded[i - 1].kind == TokenKind::Identifier) {
            return false;
        }
        if ((TokenIs(piece, "*") || TokenIs(piece, "&")) &&
            (i == 0 || TokenIs(expanded[i - 1], "(")) && next &&
            next->kind == TokenKind::Identifier && !TypeKeywordIs(next->text)) {
            return false;
        }
        // An element of an array variable ("h_addr_list[0]"), a statement fragment; a subscript
        // inside offsetof stays.
        if ((TokenIs(piece, "[") && i == 1) || TokenIs(piece, "}")) {
            return false;
        }
    }
    // "TYPE *name": a parameter declaration (THIS in the COM headers).
    const bool pointerDeclaration =
        expanded.size() == 3 && expanded[0].kind == TokenKind::Identifier &&
        TokenIs(expanded[1], "*") && expanded[2].kind == TokenKind::Identifier;
    if (onlyTypeWords || pointerDeclaration || TokenIs(expanded.back(), "*") ||
        (expanded.back().kind == TokenKind::Identifier && expanded.back().text == "const")) {
        return false;
    }
    // A call of a function ("(*_errno())") is no constant.
    for (size_t i = 0; i + 1 < expanded.size(); ++i) {
        if (!measured[i] && expanded[i].kind == TokenKind::Identifier &&
            TokenIs(expanded[i + 1], "(") && !TypeKeywordIs(expanded[i].text) &&
            !IsOperatorWord(expanded[i].text)) {
            return false;
        }
    }
    // "TYPE name" or "TYPE (...)": a declaration or a function type, no value.
    for (size_t i = 0; i + 1 < expanded.size(); ++i) {
        if (!measured[i] && expanded[i].kind == TokenKind::Identifier &&
            expanded[i + 1].kind == TokenKind::Identifier && !TypeKeywordIs(expanded[i].text) &&
            !TypeKeywordIs(expanded[i + 1].text)) {
            return false;
        }
    }
    return true;
}

// True when the name's expansion names only what the text declares: every name the compiler can
// compute, and more (types, functions, strings), each a quick error of the compiler.
bool Declared(const std::string& name, const MacroTable& table, const Preprocessed& preprocessed) {
    std::vector<Token> expanded;
    if (!Expansion(name, table, expanded)) {
        return false;
    }
    for (const Token& piece : expanded) {
        if (piece.kind == TokenKind::Identifier && !IsKnownWord(piece.text, preprocessed)) {
            return false;
        }
    }
    return true;
}

// True when the name's expansion names something the text does not declare (MAXULONG in
// ws2ipdef.h's IP_UNSPECIFIED_USER_MTU without ntdef.h).
bool NamesUndeclared(const std::string& name, const MacroTable& table,
                     const Preprocessed& preprocessed) {
    std::vector<Token> expanded;
    if (!Expansion(name, table, expanded)) {
        return false;
    }
    for (const Token& piece : expanded) {
        if (piece.kind == TokenKind::Identifier && !IsKnownWord(piece.text, preprocessed)) {
            return true;
        }
    }
    return false;
}

std::string ProbeText(const std::string& header, const std::vector<std::string>& names) {
    // Each name is expanded three times: its value as long long (a handle's 32-bit pointer
    // sign-extends, as GCC converts pointers to wider integers), its type class, and its sign,
    // which tells a negative value from a large unsigned one. Short lines: GCC drops column
    // tracking (and misjudges constants) once a file has used up its source locations.
    std::string text = "#include \"" + header + "\"\n";
    text += "struct drux_probe { long long value; int kind; int negative; };\n";
    text +=
        "#define P(i, n) const struct drux_probe p##i = "
        "{ (long long)(n), __builtin_classify_type(n), (n) < 0 };\n";
    for (size_t i = 0; i < names.size(); ++i) {
        text += "P(" + std::to_string(i) + "," + names[i] + ")\n";
    }
    return text;
}

bool ProbeWrite(const std::string& header, const std::string& probe, const std::string& namesPath,
                const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += name + "\n";
    }
    return FileWrite(probe, ProbeText(header, names)) && FileWrite(namesPath, list);
}

int Names(const std::vector<std::string>& args) {
    if (args.size() < 4) {
        return 2;
    }
    std::string bytes;
    if (!FileRead(args[0], bytes)) {
        std::cerr << "constprobe: " << args[0] << ": cannot be read\n";
        return 1;
    }
    std::vector<std::string> excluded, first;
    std::string filesOut, skipFiles, undeclaredOut, probeNames;
    bool every = false;
    for (size_t i = 4; i < args.size(); ++i) {
        if (args[i] == "--first" && i + 1 < args.size()) {
            first.push_back(args[++i]);
        } else if (args[i] == "--files-out" && i + 1 < args.size()) {
            filesOut = args[++i];
        } else if (args[i] == "--skip-files" && i + 1 < args.size()) {
            skipFiles = args[++i];
        } else if (args[i] == "--undeclared-out" && i + 1 < args.size()) {
            undeclaredOut = args[++i];
        } else if (args[i] == "--probe-names" && i + 1 < args.size()) {
            probeNames = args[++i];
        } else if (args[i] == "--every") {
            every = true;
        } else {
            excluded.push_back(args[i]);
        }
    }
    Preprocessed preprocessed;
    PreprocessedRead(bytes, preprocessed);
    std::vector<bool> skipped(preprocessed.files.size(), false);
    if (!skipFiles.empty()) {
        std::string list;
        if (!FileRead(skipFiles, list)) {
            std::cerr << "constprobe: " << skipFiles << ": cannot be read\n";
            return 1;
        }
        const std::vector<std::string> lines = Lines(list);
        const std::unordered_set<std::string> skip(lines.begin(), lines.end());
        for (size_t i = 0; i < skipped.size(); ++i) {
            skipped[i] = skip.count(preprocessed.files[i]) != 0;
        }
    }
    if (!filesOut.empty()) {
        std::string list;
        for (const std::string& file : preprocessed.files) {
            list += file + "\n";
        }
        if (!FileWrite(filesOut, list)) {
            std::cerr << "constprobe: " << filesOut << ": cannot be written\n";
            return 1;
        }
    }
    std::unordered_set<std::string> probed;
    if (!probeNames.empty()) {
        std::string list;
        if (!FileRead(probeNames, list)) {
            std::cerr << "constprobe: " << probeNames << ": cannot be read\n";
            return 1;
        }
        for (const std::string& line : Lines(list)) {
            probed.insert(line);
        }
    }
    preprocessed.enumeratorSet.insert(preprocessed.enumerators.begin(),
                                      preprocessed.enumerators.end());
    MacroTable table;
    for (auto& entry : preprocessed.macros) {
        table.Add(entry.second);
    }
    std::set<std::string> chosen;
    auto wanted = [&](const std::string& name) {
        auto place = preprocessed.places.find(name);
        if (place != preprocessed.places.end() && skipped[place->second.file] &&
            !probed.count(name)) {
            return false;
        }
        for (const std::string& pattern : excluded) {
            if (NameMatches(pattern, name)) {
                return false;
            }
        }
        return true;
    };
    for (const auto& entry : preprocessed.macros) {
        const Macro& macro = entry.second;
        if (macro.functionLike || preprocessed.builtIn.count(macro.name) || !wanted(macro.name) ||
            !(every ? Declared(macro.name, table, preprocessed)
                    : Worth(macro.name, table, preprocessed))) {
            continue;
        }
        chosen.insert(macro.name);
    }
    if (!undeclaredOut.empty()) {
        std::string list;
        for (const auto& entry : preprocessed.macros) {
            const Macro& macro = entry.second;
            if (!macro.functionLike && !preprocessed.builtIn.count(macro.name) &&
                wanted(macro.name) && NamesUndeclared(macro.name, table, preprocessed)) {
                list += macro.name + "\n";
            }
        }
        if (!FileWrite(undeclaredOut, list)) {
            std::cerr << "constprobe: " << undeclaredOut << ": cannot be written\n";
            return 1;
        }
    }
    for (const std::string& name : preprocessed.enumerators) {
        if (wanted(name) && !preprocessed.macros.count(name)) {
            chosen.insert(name);
        }
    }
    // Order: the --first headers in their order, then the others as the text met them; within a
    // header, as defined. Related constants stay together, and the file opens on the headers a
    // Win32 developer knows best.
    std::vector<size_t> rank(preprocessed.files.size());
    for (size_t i = 0; i < rank.size(); ++i) {
        const std::string& file = preprocessed.files[i];
        auto found =
            std::find(first.begin(), first.end(), file.substr(file.find_last_of("/\\") + 1));
        rank[i] =
            found != first.end() ? static_cast<size_t>(found - first.begin()) : first.size() + i;
    }
    std::vector<std::string> names(chosen.begin(), chosen.end());
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const Place& pa = preprocessed.places[a];
        const Place& pb = preprocessed.places[b];
        return std::make_pair(rank[pa.file], pa.sequence) <
               std::make_pair(rank[pb.file], pb.sequence);
    });
    if (!ProbeWrite(args[1], args[2], args[3], names)) {
        std::cerr << "constprobe: " << args[2] << ": cannot be written\n";
        return 1;
    }
    return 0;
}

int Prune(const std::vector<std::string>& args) {
    if (args.size() != 4) {
        return 2;
    }
    std::string errors, list;
    if (!FileRead(args[0], errors) || !FileRead(args[3], list)) {
        std::cerr << "constprobe: cannot read " << args[0] << " or " << args[3] << "\n";
        return 1;
    }
    std::vector<std::string> names = Lines(list);
    // Every line of the probe that a diagnostic names ("probe.c:LINE:COLUMN: ...").
    const std::string marker = args[2].substr(args[2].find_last_of("/\\") + 1) + ":";
    std::vector<bool> rejected(names.size(), false);
    size_t rejectedCount = 0;
    for (const std::string& line : Lines(errors)) {
        size_t at = line.find(marker);
        if (at == std::string::npos) {
            continue;
        }
        long number = strtol(line.c_str() + at + marker.size(), nullptr, 10);
        long index = number - 1 - kProbeHeaderLines;
        if (index >= 0 && static_cast<size_t>(index) < names.size() && !rejected[index]) {
            rejected[index] = true;
            ++rejectedCount;
        }
    }
    if (rejectedCount == 0) {
        std::cerr << "constprobe: the compiler failed on no line of the probe\n";
        return 1;
    }
    std::vector<std::string> kept;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!rejected[i]) {
            kept.push_back(names[i]);
        }
    }
    if (!ProbeWrite(args[1], args[2], args[3], kept)) {
        return 1;
    }
    return 0;
}

// Bytes of the initialisers in the assembly, by label ("_p12:" on i686).
bool ValuesRead(const std::string& assembly,
                std::unordered_map<size_t, std::vector<int64_t>>& fields) {
    long current = -1;
    for (const std::string& raw : Lines(assembly)) {
        std::string line = raw;
        line.erase(0, line.find_first_not_of(" \t"));
        if (line.size() > 2 && (line.compare(0, 2, "_p") == 0 || line[0] == 'p') &&
            line.back() == ':') {
            size_t digits = line[0] == 'p' ? 1 : 2;
            char* end = nullptr;
            long index = strtol(line.c_str() + digits, &end, 10);
            current = (end && *end == ':') ? index : -1;
            continue;
        }
        if (current < 0) {
            continue;
        }
        std::vector<int64_t>& values = fields[static_cast<size_t>(current)];
        const bool quad = line.compare(0, 6, ".quad\t") == 0 || line.compare(0, 6, ".quad ") == 0;
        if (quad || line.compare(0, 6, ".long\t") == 0 || line.compare(0, 6, ".long ") == 0) {
            char* end = nullptr;
            errno = 0;
            const unsigned long long value = strtoull(line.c_str() + 6, &end, 0);
            if (end == line.c_str() + 6 || *end != '\0' || errno == ERANGE) {
                values.push_back(INT64_MIN);  // a symbol: an address, no constant
                if (quad) {
                    values.push_back(INT64_MIN);
                }
            } else if (quad) {
                // x86-64 emits the long long whole; split it into the 32-bit halves that i686
                // emits, low first.
                values.push_back(static_cast<uint32_t>(value));
                values.push_back(static_cast<uint32_t>(value >> 32));
            } else {
                values.push_back(static_cast<long long>(value));
            }
        } else if (line.compare(0, 7, ".space\t") == 0 || line.compare(0, 6, ".zero ") == 0 ||
                   line.compare(0, 7, ".space ") == 0 || line.compare(0, 6, ".zero\t") == 0) {
            long bytes = strtol(line.c_str() + line.find_first_of(" \t"), nullptr, 10);
            for (long i = 0; i < bytes / 4; ++i) {
                values.push_back(0);
            }
        } else if (line[0] == '.' && line.compare(0, 6, ".align") != 0 &&
                   line.compare(0, 8, ".section") != 0 && line.compare(0, 6, ".globl") != 0 &&
                   line.compare(0, 4, ".def") != 0 && line.compare(0, 5, ".text") != 0 &&
                   line.compare(0, 6, ".ident") != 0 && line.compare(0, 2, ".p") != 0) {
            values.push_back(INT64_MIN);  // a form this reader does not know: no value
        } else if (line[0] != '.') {
            current = -1;
        }
    }
    return true;
}

int Values(const std::vector<std::string>& args) {
    const bool wideKept = args.size() == 4 && args[3] == "--wide";
    if (args.size() != 3 && !wideKept) {
        return 2;
    }
    std::string assembly, list;
    if (!FileRead(args[0], assembly) || !FileRead(args[1], list)) {
        std::cerr << "constprobe: cannot read " << args[0] << " or " << args[1] << "\n";
        return 1;
    }
    std::vector<std::string> names = Lines(list);
    std::unordered_map<size_t, std::vector<int64_t>> fields;
    ValuesRead(assembly, fields);
    std::vector<Record> records;
    size_t written = 0, wide = 0, other = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        auto found = fields.find(i);
        if (found == fields.end() || found->second.size() != 4 ||
            std::count(found->second.begin(), found->second.end(), INT64_MIN) != 0) {
            ++other;
            continue;
        }
        const std::vector<int64_t>& f = found->second;
        const uint64_t value = (static_cast<uint64_t>(static_cast<uint32_t>(f[1])) << 32) |
                               static_cast<uint32_t>(f[0]);
        const long kind = static_cast<long>(f[2]);
        const bool negative = f[3] != 0;
        if (kind < 1 || kind > kClassPointer) {
            ++other;  // floating point, structures
            continue;
        }
        // A 32-bit target's pointer always fits (sign-extended, as GCC widens it); a 64-bit
        // one's by its value, as an integer's.
        const int64_t signedValue = static_cast<int64_t>(value);
        const bool below = negative || (kind == kClassPointer && signedValue < 0);
        const bool fits = (kind == kClassPointer && !wideKept) ||
                          (below ? signedValue >= INT32_MIN : value <= UINT32_MAX);
        // A 64-bit target's pointer between 2^31 and 2^32 ((HANDLE)0xFFFFFFFE) has no record: its
        // hex line would be a 32-bit pattern, which reads as a negative number.
        if (wideKept && kind == kClassPointer && !below && value > INT32_MAX &&
            value <= UINT32_MAX) {
            ++other;
            continue;
        }
        if (fits) {
            records.push_back(RecordOf32(names[i], static_cast<uint32_t>(value)));
        } else if (wideKept) {
            records.push_back(RecordOf64(names[i], value));
        } else {
            ++wide;
            continue;
        }
        ++written;
    }
    if (written == 0) {
        std::cerr << "constprobe: no value read back from " << args[0] << "\n";
        return 1;
    }
    if (!FileWrite(args[2], RecordsText(records))) {
        std::cerr << "constprobe: " << args[2] << ": cannot be written\n";
        return 1;
    }
    std::cerr << "constprobe: " << written << " constants; " << wide << " wider than 32 bits and "
              << other << " not integers left out\n";
    return 0;
}

// Records of a Constants.out: name, decimal, hex, three lines each.
bool RecordsRead(const std::string& path, std::vector<Record>& records) {
    std::string bytes;
    if (!FileRead(path, bytes)) {
        return false;
    }
    std::vector<std::string> lines = Lines(bytes);
    for (size_t i = 0; i + 2 < lines.size(); i += 3) {
        records.push_back(Record{lines[i], lines[i + 1], lines[i + 2]});
    }
    return lines.size() % 3 == 0;
}

//   constprobe merge OUTPUT [--decides LABEL]... LABEL FILE [LABEL FILE...]
// One Constants.out of the groups' files, in their order. A name keeps its first group's value
// when that group decides (the first group always does, and each --decides one): a later group's
// other value is reported. When the first group to define a name does not decide and another
// gives it another value, nothing tells which is right: the name is left out and reported. Every
// report line goes to the standard output.
int Merge(const std::vector<std::string>& arguments) {
    std::vector<std::string> args;
    std::set<std::string> deciding;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--decides" && i + 1 < arguments.size()) {
            deciding.insert(arguments[++i]);
        } else {
            args.push_back(arguments[i]);
        }
    }
    if (args.size() < 3 || args.size() % 2 == 0) {
        return 2;
    }
    deciding.insert(args[1]);
    std::vector<Record> kept;
    std::vector<bool> undecided;
    std::unordered_map<std::string, std::pair<size_t, std::string>> owner;  // record, label
    size_t conflicts = 0, dropped = 0;
    for (size_t i = 1; i < args.size(); i += 2) {
        std::vector<Record> records;
        if (!RecordsRead(args[i + 1], records)) {
            std::cerr << "constprobe: " << args[i + 1] << ": cannot be read\n";
            return 1;
        }
        for (Record& record : records) {
            auto found = owner.find(record.name);
            if (found == owner.end()) {
                owner.emplace(record.name, std::make_pair(kept.size(), args[i]));
                kept.push_back(std::move(record));
                undecided.push_back(false);
                continue;
            }
            const Record& first = kept[found->second.first];
            if (first.hex == record.hex && first.decimal == record.decimal) {
                continue;
            }
            const std::string& label = found->second.second;
            std::cout << record.name << ": " << first.hex << " in " << label << ", " << record.hex
                      << " in " << args[i] << "; ";
            if (deciding.count(label)) {
                std::cout << "kept " << label << "'s\n";
                ++conflicts;
            } else {
                std::cout << "no group decides: left out\n";
                dropped += undecided[found->second.first] ? 0 : 1;
                undecided[found->second.first] = true;
            }
        }
    }
    std::vector<Record> decided;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (!undecided[i]) {
            decided.push_back(std::move(kept[i]));
        }
    }
    if (!FileWrite(args[0], RecordsText(decided))) {
        std::cerr << "constprobe: " << args[0] << ": cannot be written\n";
        return 1;
    }
    std::cout << decided.size() << " constants; " << conflicts
              << " names defined with another value in a later group, the deciding group's kept; "
              << dropped << " names that groups no one decides define differently, left out\n";
    return 0;
}

//   constprobe split DATA DIRECTORY NAMES [NAMES...]
// The records of DATA by the first group whose name list (a "names" step's) holds them, into
// DIRECTORY/group0.out, group1.out ..., and DIRECTORY/none.out for names no group defines.
int Split(const std::vector<std::string>& args) {
    if (args.size() < 3) {
        return 2;
    }
    std::vector<Record> records;
    if (!RecordsRead(args[0], records)) {
        std::cerr << "constprobe: " << args[0] << ": cannot be read\n";
        return 1;
    }
    const size_t groups = args.size() - 2;
    std::unordered_map<std::string, size_t> group;
    for (size_t g = 0; g < groups; ++g) {
        std::string list;
        if (!FileRead(args[g + 2], list)) {
            std::cerr << "constprobe: " << args[g + 2] << ": cannot be read\n";
            return 1;
        }
        for (const std::string& name : Lines(list)) {
            group.emplace(name, g);
        }
    }
    std::vector<std::vector<Record>> parts(groups + 1);
    for (Record& record : records) {
        auto found = group.find(record.name);
        parts[found == group.end() ? groups : found->second].push_back(std::move(record));
    }
    for (size_t g = 0; g <= groups; ++g) {
        const std::string path = args[1] + "/" +
                                 (g == groups ? std::string("none") : "group" + std::to_string(g)) +
                                 ".out";
        if (!FileWrite(path, RecordsText(parts[g]))) {
            std::cerr << "constprobe: " << path << ": cannot be written\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << "usage: constprobe names|prune|values|merge|split ...\n";
        return 2;
    }
    std::string command = args[0];
    args.erase(args.begin());
    int status = command == "names"    ? Names(args)
                 : command == "prune"  ? Prune(args)
                 : command == "values" ? Values(args)
                 : command == "merge"  ? Merge(args)
                 : command == "split"  ? Split(args)
                                       : 2;
    if (status == 2) {
        std::cerr << "constprobe: bad arguments for " << command << "\n";
    }
    return status;
}
