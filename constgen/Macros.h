// Macro definitions and their expansion, as the C preprocessor does it: object-like and
// function-like macros, # and ##, rescanning, and hide sets so that a macro never expands inside
// its own expansion (which is also what stops cycles such as A -> B -> A).
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <unordered_map>
#include <vector>

#include "Expression.h"
#include "Lexer.h"

struct Macro {
    std::string name;
    bool functionLike = false;
    bool variadic = false;  // last parameter is ... (__VA_ARGS__) or name...
    std::vector<std::string> parameters;
    std::vector<Token> body;  // ## inside is TokenKind::Paste
};

class MacroTable {
public:
    // Adds a definition unless the name is known already (the first definition wins).
    // Returns the macro's index, or -1 when an earlier definition was kept.
    int Add(Macro macro);
    // Defines the name anew, whatever it was (what #define does after #undef).
    int Replace(Macro macro);
    // #undef: the name is no macro from now on.
    void Remove(const std::string& name);
    int Find(const std::string& name) const;
    const Macro& At(int index) const { return macros[static_cast<size_t>(index)]; }
    size_t Size() const { return macros.size(); }

private:
    std::vector<Macro> macros;
    std::unordered_map<std::string, int> names;
};

// Limits that keep hostile or exploding definitions finite.
const size_t kExpansionTokenLimit = 200000;  // tokens handled in one expansion
// Characters copied or pasted in one expansion: a long token used many times, or pasted onto a
// growing token again and again, costs its length each time.
const size_t kExpansionTextLimit = 16u << 20;
const int kExpansionDepthLimit = 256;  // nested argument expansions

// Parses the tokens after "#define": name, parameters, body. False (with failure) when there is
// no name or the parameter list is malformed.
bool MacroParse(const std::vector<Token>& tokens, Macro& macro, Failure& failure);

// Expands every macro in input. False (with failure) when the expansion exceeds the limits or a
// function-like macro gets a wrong argument count or no closing parenthesis. used, when given,
// receives the index of every macro expanded (what the value depends on).
bool MacroExpand(const MacroTable& table, const std::vector<Token>& input,
                 std::vector<Token>& output, Failure& failure, std::vector<int>* used = nullptr);
