// Reads the typedefs of integer types, pointers and the typedefs they name from a stream of
// tokens outside directives ("typedef unsigned int __u32;", "typedef __u32 in_addr_t;",
// "typedef struct x *handle;") into a TypeScope, as the compiler sees them: with the macros
// expanded that are defined when the typedef ends. Structures, function pointers, arrays and
// attributes are passed over.
#pragma once
#include <vector>

#include "Lexer.h"
#include "Macros.h"
#include "TypeNames.h"

class TypedefReader {
public:
    TypedefReader(const MacroTable& table, TypeScope& scope) : macros(table), types(scope) {}

    void Feed(const Token& token);

private:
    void End();

    const MacroTable& macros;
    TypeScope& types;
    std::vector<Token> tokens;
    bool inside = false;
    int nesting = 0;
    bool spoiled = false;
};
