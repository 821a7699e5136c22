// Integer constant expressions of C headers, evaluated with the types of the target (TypeNames.h):
// int 32 bits and long long 64 everywhere; long and pointers 32 bits on 32-bit Windows and i686,
// 64 bits on x86_64 (LP64).
#pragma once
#include <stdint.h>
#include <functional>
#include <string>
#include <vector>

#include "Lexer.h"
#include "TypeNames.h"

// The four types every integer operand is promoted to. A 32-bit long (Windows, i686) behaves as
// int and unsigned long as unsigned int in every conversion; a 64-bit one (x86_64) as long long.
enum class IntType : uint8_t { Int32, UInt32, Int64, UInt64 };

// bits holds the value sign-extended (signed types) or zero-extended (unsigned 32-bit) to 64
// bits, so comparisons and shifts can work on the whole word.
struct IntValue {
    uint64_t bits = 0;
    IntType type = IntType::Int32;
    bool unknown = false;  // in a conditional: depends on a name whose value is not known
    // Cast to a typedef declared as different types in branches not decided: every one of them
    // gives this number, but its type is not certain, so no operator may take it.
    bool typeUncertain = false;
};

IntValue IntValueMake(uint64_t bits, IntType type);
IntValue IntValueConvert(IntValue value, IntType type);
bool IntValueIsSigned(IntValue value);
// True when the value, read as its type says, lies in -2^31 .. 2^32-1, i.e. has an exact 32-bit
// pattern; that pattern is then (int32_t)value.bits.
bool IntValueFits32(IntValue value);

// Why a definition gives no constant. Counted per reason in the run's summary.
enum class SkipReason : uint8_t {
    None,
    Empty,         // #define NAME with nothing after it
    FunctionLike,  // #define NAME(args) ...
    NotInteger,    // strings, floating-point numbers, junk
    Unresolved,    // a name that is no constant, no macro and no enumerator
    Cycle,         // a macro that leads back to itself
    Unsupported,   // sizeof, casts to unknown types, calls, wrong macro argument counts
    Syntax,        // a malformed expression
    DivisionByZero,
    Overflow,    // number too large, shift count out of range, signed division overflow
    TooWide,     // a value with no 32-bit pattern
    TooComplex,  // nesting, expansion or length beyond the limits
    Undecided,   // the value differs between branches of a conditional that was not decided
    Count
};

const char* SkipReasonText(SkipReason reason);

struct Failure {
    SkipReason reason = SkipReason::None;
    std::string detail;
};

// Gives the value of a name left after macro expansion (an enumerator). Returns false when the
// name has no value; failure.reason stays None when the name is simply unknown, so that it can
// still be read as a type name in a cast.
using NameResolver =
    std::function<bool(const std::string& name, IntValue& value, Failure& failure)>;

// Nesting limit for parentheses, unary operators and conditional operators.
const int kExpressionDepthLimit = 256;

// Evaluates tokens that hold one whole expression (macros already expanded), with the types of
// the target and the typedefs in types (the default target's built-in ones without).
bool ExpressionEvaluate(const std::vector<Token>& tokens, const NameResolver& resolver,
                        IntValue& value, Failure& failure, const TypeScope* types = nullptr);

// Decides an #if condition whose known names the caller has already replaced (macros expanded,
// "defined X" made 0 or 1). Every remaining name is unknown, and the condition is decided only
// when the known parts decide it: "0 && X" is false, "1 || X" true, "X > 1" unknown. Arithmetic
// is the preprocessor's: every value is intmax_t or uintmax_t (64 bits), with C's usual
// conversions. Undecided also when it is not an expression.
enum class Decision : uint8_t { False, True, Undecided };
Decision ConditionEvaluate(const std::vector<Token>& tokens);

// Literal parsing, exposed for the evaluator's tests.
// long64: long is 64 bits on the target, which gives "l" and "ul" literals 64-bit types.
bool NumberLiteralParse(const std::string& text, IntValue& value, Failure& failure,
                        bool long64 = false);
bool CharacterLiteralParse(const std::string& text, IntValue& value, Failure& failure);
