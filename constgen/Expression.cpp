#include "Expression.h"

#include <limits.h>

#include "TypeNames.h"

// ---------------------------------------------------------------------------------------------
// Values

namespace {

bool TypeIs64(IntType type) {
    return type == IntType::Int64 || type == IntType::UInt64;
}
bool TypeIsSigned(IntType type) {
    return type == IntType::Int32 || type == IntType::Int64;
}

// The usual arithmetic conversions on already promoted operands. A 64-bit signed type holds
// every unsigned 32-bit value, so Int64 with UInt32 stays Int64.
IntType TypeCommon(IntType a, IntType b) {
    if (a == IntType::UInt64 || b == IntType::UInt64) {
        return IntType::UInt64;
    }
    if (a == IntType::Int64 || b == IntType::Int64) {
        return IntType::Int64;
    }
    if (a == IntType::UInt32 || b == IntType::UInt32) {
        return IntType::UInt32;
    }
    return IntType::Int32;
}

bool Fail(Failure& failure, SkipReason reason, std::string detail) {
    if (failure.reason == SkipReason::None) {
        failure.reason = reason;
        failure.detail = std::move(detail);
    }
    return false;
}

}  // namespace

IntValue IntValueMake(uint64_t bits, IntType type) {
    IntValue value;
    value.type = type;
    switch (type) {
    case IntType::Int32:
        value.bits = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(bits)));
        break;
    case IntType::UInt32: value.bits = bits & 0xFFFFFFFFu; break;
    default: value.bits = bits; break;
    }
    return value;
}

IntValue IntValueConvert(IntValue value, IntType type) {
    return IntValueMake(value.bits, type);
}

bool IntValueIsSigned(IntValue value) {
    return TypeIsSigned(value.type);
}

bool IntValueFits32(IntValue value) {
    if (TypeIsSigned(value.type)) {
        int64_t v = static_cast<int64_t>(value.bits);
        return v >= INT32_MIN && v <= static_cast<int64_t>(UINT32_MAX);
    }
    return value.bits <= UINT32_MAX;
}

const char* SkipReasonText(SkipReason reason) {
    switch (reason) {
    case SkipReason::None: return "taken";
    case SkipReason::Empty: return "empty definition";
    case SkipReason::FunctionLike: return "function-like macro";
    case SkipReason::NotInteger: return "not an integer (string, floating point, junk)";
    case SkipReason::Unresolved: return "unresolved name";
    case SkipReason::Cycle: return "macro refers back to itself";
    case SkipReason::Unsupported:
        return "unsupported construct (sizeof of a structure, unknown cast, call)";
    case SkipReason::Syntax: return "malformed expression";
    case SkipReason::DivisionByZero: return "division by zero";
    case SkipReason::Overflow: return "overflow (number too large, shift out of range)";
    case SkipReason::TooWide: return "value does not fit 32 bits";
    case SkipReason::TooComplex: return "beyond limits (nesting, expansion, length)";
    case SkipReason::Undecided: return "value depends on a conditional not decided";
    case SkipReason::Count: break;
    }
    return "?";
}

// ---------------------------------------------------------------------------------------------
// Literals

namespace {

bool DigitValue(char c, unsigned& digit) {
    if (c >= '0' && c <= '9') {
        digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
        digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
        digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
        return false;
    }
    return true;
}

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// The candidate types of an integer literal in the order C tries them. Where long is 32 bits
// (Windows, and every 32-bit target) "l" adds nothing beyond int; where it is 64 bits it is
// long long's twin.
bool LiteralTypes(const std::string& suffix, bool decimal, bool long64,
                  std::vector<IntType>& types) {
    const std::string s = Lower(suffix);
    const bool isLong = s == "l";
    const bool isUnsignedLong = s == "ul" || s == "lu";
    const bool plain = s.empty() || (isLong && !long64) || s == "i32" || s == "i16" || s == "i8";
    const bool unsig =
        s == "u" || (isUnsignedLong && !long64) || s == "ui32" || s == "ui16" || s == "ui8";
    const bool longLong = s == "ll" || s == "i64" || (isLong && long64);
    const bool unsignedLongLong =
        s == "ull" || s == "llu" || s == "ui64" || (isUnsignedLong && long64);
    if (plain) {
        types = decimal ? std::vector<IntType>{IntType::Int32, IntType::Int64}
                        : std::vector<IntType>{IntType::Int32, IntType::UInt32, IntType::Int64,
                                               IntType::UInt64};
    } else if (unsig) {
        types = {IntType::UInt32, IntType::UInt64};
    } else if (longLong) {
        types = decimal ? std::vector<IntType>{IntType::Int64}
                        : std::vector<IntType>{IntType::Int64, IntType::UInt64};
    } else if (unsignedLongLong) {
        types = {IntType::UInt64};
    } else {
        return false;
    }
    return true;
}

bool TypeHolds(IntType type, uint64_t magnitude) {
    switch (type) {
    case IntType::Int32: return magnitude <= INT32_MAX;
    case IntType::UInt32: return magnitude <= UINT32_MAX;
    case IntType::Int64: return magnitude <= INT64_MAX;
    case IntType::UInt64: return true;
    }
    return false;
}

}  // namespace

bool NumberLiteralParse(const std::string& text, IntValue& value, Failure& failure, bool long64) {
    size_t i = 0;
    unsigned base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        i = 2;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
        base = 2;
        i = 2;
    } else if (!text.empty() && text[0] == '0') {
        base = 8;
    }
    const size_t digitsStart = i;
    uint64_t magnitude = 0;
    bool overflow = false;
    unsigned digit = 0;
    for (; i < text.size() && DigitValue(text[i], digit); ++i) {
        if (base != 16 && digit >= 10) {
            break;  // e/E of a decimal exponent, or a suffix letter
        }
        if (digit >= base) {
            return Fail(failure, SkipReason::Syntax, "bad digit in " + text);
        }
        if (magnitude > (UINT64_MAX - digit) / base) {
            overflow = true;
        }
        magnitude = magnitude * base + digit;
    }
    if (i == digitsStart) {
        return Fail(failure, SkipReason::NotInteger, text);
    }
    std::vector<IntType> types;
    if (!LiteralTypes(text.substr(i), base == 10, long64, types)) {
        // 1.5, 1e3, 2.0f, 0x1p4 and anything else with a tail that is no integer suffix.
        return Fail(failure, SkipReason::NotInteger, text);
    }
    if (overflow) {
        return Fail(failure, SkipReason::Overflow, "number too large: " + text);
    }
    for (IntType type : types) {
        if (TypeHolds(type, magnitude)) {
            value = IntValueMake(magnitude, type);
            return true;
        }
    }
    // A decimal literal beyond long long: GCC makes it unsigned long long with a warning.
    value = IntValueMake(magnitude, IntType::UInt64);
    return true;
}

bool CharacterLiteralParse(const std::string& text, IntValue& value, Failure& failure) {
    size_t quote = text.find('\'');
    if (quote == std::string::npos || text.size() < quote + 2 || text.back() != '\'') {
        return Fail(failure, SkipReason::Syntax, text);
    }
    const std::string prefix = text.substr(0, quote);
    const bool wide = !prefix.empty() && prefix != "u8";
    const uint64_t unitMax = prefix.empty() || prefix == "u8" ? 0xFF
                             : prefix == "U"                  ? 0xFFFFFFFFu
                                                              : 0xFFFF;
    std::vector<uint64_t> units;
    size_t i = quote + 1;
    const size_t end = text.size() - 1;
    while (i < end) {
        unsigned char c = static_cast<unsigned char>(text[i++]);
        if (c != '\\') {
            if (wide && c >= 0x80) {
                return Fail(failure, SkipReason::Unsupported, "non-ASCII wide character " + text);
            }
            units.push_back(c);
            continue;
        }
        if (i >= end) {
            return Fail(failure, SkipReason::Syntax, text);
        }
        char e = text[i++];
        uint64_t unit = 0;
        unsigned digit = 0;
        switch (e) {
        case 'n': unit = 10; break;
        case 't': unit = 9; break;
        case 'r': unit = 13; break;
        case 'a': unit = 7; break;
        case 'b': unit = 8; break;
        case 'f': unit = 12; break;
        case 'v': unit = 11; break;
        case 'e':
        case 'E': unit = 27; break;  // GCC's escape for ESC
        case '\\':
        case '\'':
        case '"':
        case '?': unit = static_cast<unsigned char>(e); break;
        case 'x': {
            size_t start = i;
            while (i < end && DigitValue(text[i], digit)) {
                if (unit > unitMax) {
                    break;
                }
                unit = unit * 16 + digit;
                ++i;
            }
            if (i == start) {
                return Fail(failure, SkipReason::Syntax, "\\x without digits in " + text);
            }
            if (unit > unitMax || (i < end && DigitValue(text[i], digit))) {
                return Fail(failure, SkipReason::Overflow, "escape out of range in " + text);
            }
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unit = static_cast<uint64_t>(e - '0');
                for (int k = 0; k < 2 && i < end && text[i] >= '0' && text[i] <= '7'; ++k) {
                    unit = unit * 8 + static_cast<uint64_t>(text[i++] - '0');
                }
                if (unit > unitMax) {
                    return Fail(failure, SkipReason::Overflow, "escape out of range in " + text);
                }
            } else {
                return Fail(failure, SkipReason::Unsupported, "escape \\" + std::string(1, e));
            }
            break;
        }
        units.push_back(unit);
    }
    if (units.empty()) {
        return Fail(failure, SkipReason::Syntax, "empty character constant");
    }
    if (wide) {
        if (units.size() != 1) {
            return Fail(failure, SkipReason::Unsupported, "multi-character wide constant " + text);
        }
        // wchar_t and char16_t are unsigned 16 bits on Windows and promote to int; char32_t
        // stays unsigned.
        value = IntValueMake(units[0], prefix == "U" ? IntType::UInt32 : IntType::Int32);
        return true;
    }
    if (units.size() == 1) {
        // Plain char is signed on x86, so '\xFF' is -1; u8'\xFF' (unsigned char) is 255.
        uint64_t unit =
            prefix == "u8"
                ? units[0]
                : static_cast<uint64_t>(static_cast<int64_t>(static_cast<signed char>(units[0])));
        value = IntValueMake(unit, IntType::Int32);
        return true;
    }
    // Multi-character constants as GCC and MSVC make them: each char shifts in from the right,
    // 'ABCD' == 0x41424344; beyond four characters only the last four remain.
    uint32_t packed = 0;
    for (uint64_t unit : units) {
        packed = (packed << 8) | static_cast<uint32_t>(unit & 0xFF);
    }
    value = IntValueMake(packed, IntType::Int32);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Parser

namespace {

int Precedence(const Token& token) {
    if (token.kind != TokenKind::Punctuator) {
        return 0;
    }
    static const struct {
        const char* op;
        int precedence;
    } table[] = {{"||", 1}, {"&&", 2}, {"|", 3},  {"^", 4},  {"&", 5},  {"==", 6},
                 {"!=", 6}, {"<", 7},  {"<=", 7}, {">", 7},  {">=", 7}, {"<<", 8},
                 {">>", 8}, {"+", 9},  {"-", 9},  {"*", 10}, {"/", 10}, {"%", 10}};
    for (const auto& entry : table) {
        if (token.text == entry.op) {
            return entry.precedence;
        }
    }
    return 0;
}

bool IsZero(IntValue value) {
    return value.bits == 0;
}

IntValue Unknown(IntType type) {
    IntValue value = IntValueMake(0, type);
    value.unknown = true;
    return value;
}

bool IsTrue(IntValue value) {
    return !value.unknown && value.bits != 0;
}
bool IsFalse(IntValue value) {
    return !value.unknown && value.bits == 0;
}

class Parser {
public:
    Parser(const std::vector<Token>& input, const NameResolver& names, const TypeScope& scope,
           Failure& why, bool conditional = false)
        : tokens(input), resolver(names), types(scope), failure(why), preprocessor(conditional) {}

    bool Whole(IntValue& value) {
        if (tokens.empty()) {
            return Fail(failure, SkipReason::Empty, "");
        }
        if (!Conditional(value, true)) {
            return false;
        }
        if (position < tokens.size()) {
            return Unexpected();
        }
        return true;
    }

private:
    // The preprocessor computes in intmax_t / uintmax_t; C in the operands' own types.
    IntValue Widened(IntValue value) const {
        if (!preprocessor) {
            return value;
        }
        if (value.type == IntType::Int32) {
            value.type = IntType::Int64;
        } else if (value.type == IntType::UInt32) {
            value.type = IntType::UInt64;
        }
        return value;
    }

    IntValue Bool(bool truth) const { return Widened(IntValueMake(truth ? 1 : 0, IntType::Int32)); }

    const Token* Peek(size_t ahead = 0) const {
        return position + ahead < tokens.size() ? &tokens[position + ahead] : nullptr;
    }

    bool PeekIs(const char* punctuator, size_t ahead = 0) const {
        const Token* token = Peek(ahead);
        return token && TokenIs(*token, punctuator);
    }

    bool Unexpected() {
        const Token* token = Peek();
        if (!token) {
            return Fail(failure, SkipReason::Syntax, "unexpected end");
        }
        if (token->kind == TokenKind::String) {
            return Fail(failure, SkipReason::NotInteger, "string " + token->text);
        }
        if (token->kind == TokenKind::Other) {
            return Fail(failure, SkipReason::NotInteger,
                        "junk '" + token->text.substr(0, 40) + "'");
        }
        if (TokenIs(*token, "(") || TokenIs(*token, "[") || TokenIs(*token, "{")) {
            return Fail(failure, SkipReason::Unsupported, "call, subscript or initializer");
        }
        return Fail(failure, SkipReason::Syntax, "unexpected '" + token->text.substr(0, 40) + "'");
    }

    bool Enter() {
        if (++depth > kExpressionDepthLimit) {
            return Fail(failure, SkipReason::TooComplex, "nesting deeper than 256");
        }
        return true;
    }

    bool Conditional(IntValue& value, bool evaluate) {
        if (!Enter()) {
            return false;
        }
        IntValue condition;
        if (!Binary(1, condition, evaluate)) {
            return false;
        }
        if (PeekIs("?")) {
            if (!TypeUncertain(condition)) {
                return false;
            }
            ++position;
            const bool truth = !IsZero(condition);
            IntValue whenTrue, whenFalse;
            if (!Conditional(whenTrue, evaluate && truth)) {
                return false;
            }
            if (!PeekIs(":")) {
                return Unexpected();
            }
            ++position;
            if (!Conditional(whenFalse, evaluate && !truth)) {
                return false;
            }
            if (!TypeUncertain(whenTrue) || !TypeUncertain(whenFalse)) {
                return false;
            }
            IntType type = TypeCommon(whenTrue.type, whenFalse.type);
            if (condition.unknown) {
                // Decided only when both branches give the same known value.
                const IntValue a = IntValueConvert(whenTrue, type);
                const IntValue b = IntValueConvert(whenFalse, type);
                condition = (!whenTrue.unknown && !whenFalse.unknown && a.bits == b.bits)
                                ? a
                                : Unknown(type);
            } else {
                const IntValue& taken = truth ? whenTrue : whenFalse;
                condition = IntValueConvert(taken, type);
                condition.unknown = taken.unknown;
            }
        }
        value = condition;
        --depth;
        return true;
    }

    bool TypeUncertain(const IntValue& value) {
        if (value.typeUncertain) {
            return Fail(failure, SkipReason::Unsupported,
                        "arithmetic on a value cast to a type declared differently in branches "
                        "not decided");
        }
        return true;
    }

    bool Binary(int minimum, IntValue& left, bool evaluate) {
        if (!Unary(left, evaluate)) {
            return false;
        }
        for (;;) {
            const Token* op = Peek();
            int precedence = op ? Precedence(*op) : 0;
            if (precedence == 0 || precedence < minimum) {
                return true;
            }
            if (!TypeUncertain(left)) {
                return false;
            }
            ++position;
            bool rightEvaluate = evaluate;
            if (op->text == "&&" && IsFalse(left)) {
                rightEvaluate = false;
            } else if (op->text == "||" && IsTrue(left)) {
                rightEvaluate = false;
            }
            IntValue right;
            if (!Binary(precedence + 1, right, rightEvaluate) || !TypeUncertain(right)) {
                return false;
            }
            if (!Apply(op->text, left, right, evaluate)) {
                return false;
            }
        }
    }

    bool Apply(const std::string& op, IntValue& left, IntValue right, bool evaluate) {
        // An unknown operand leaves && and || decided when the other operand decides them.
        if (op == "&&") {
            if (IsFalse(left) || IsFalse(right)) {
                left = Bool(false);
            } else if (left.unknown || right.unknown) {
                left = Unknown(Bool(false).type);
            } else {
                left = Bool(true);
            }
            return true;
        }
        if (op == "||") {
            if (IsTrue(left) || IsTrue(right)) {
                left = Bool(true);
            } else if (left.unknown || right.unknown) {
                left = Unknown(Bool(false).type);
            } else {
                left = Bool(false);
            }
            return true;
        }
        if (left.unknown || right.unknown) {
            left = Unknown(TypeCommon(left.type, right.type));
            return true;
        }
        if (op == "<<" || op == ">>") {
            return Shift(op, left, right, evaluate);
        }
        const IntType type = TypeCommon(left.type, right.type);
        const IntValue a = IntValueConvert(left, type);
        const IntValue b = IntValueConvert(right, type);
        const bool isSigned = TypeIsSigned(type);
        const int64_t sa = static_cast<int64_t>(a.bits), sb = static_cast<int64_t>(b.bits);
        if (op == "==" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=") {
            bool less = isSigned ? sa < sb : a.bits < b.bits;
            bool equal = a.bits == b.bits;
            bool truth = op == "=="   ? equal
                         : op == "!=" ? !equal
                         : op == "<"  ? less
                         : op == "<=" ? (less || equal)
                         : op == ">"  ? !(less || equal)
                                      : !less;
            left = Bool(truth);
            return true;
        }
        uint64_t result = 0;
        if (op == "+") {
            result = a.bits + b.bits;  // wraps, as two's complement hardware does
        } else if (op == "-") {
            result = a.bits - b.bits;
        } else if (op == "*") {
            result = a.bits * b.bits;
        } else if (op == "&") {
            result = a.bits & b.bits;
        } else if (op == "^") {
            result = a.bits ^ b.bits;
        } else if (op == "|") {
            result = a.bits | b.bits;
        } else if (op == "/" || op == "%") {
            if (b.bits == 0) {
                if (evaluate) {
                    return Fail(failure, SkipReason::DivisionByZero, "");
                }
            } else if (isSigned) {
                const int64_t limit = TypeIs64(type) ? INT64_MIN : INT32_MIN;
                if (sa == limit && sb == -1) {
                    if (evaluate && op == "/") {
                        return Fail(failure, SkipReason::Overflow, "signed division overflow");
                    }
                } else {
                    result = static_cast<uint64_t>(op == "/" ? sa / sb : sa % sb);
                }
            } else {
                result = op == "/" ? a.bits / b.bits : a.bits % b.bits;
            }
        }
        left = IntValueMake(result, type);
        return true;
    }

    bool Shift(const std::string& op, IntValue& left, IntValue right, bool evaluate) {
        const unsigned width = TypeIs64(left.type) ? 64 : 32;
        const bool negative = TypeIsSigned(right.type) && static_cast<int64_t>(right.bits) < 0;
        if (negative || right.bits >= width) {
            if (evaluate) {
                return Fail(failure, SkipReason::Overflow, "shift count out of range");
            }
            left = IntValueMake(0, left.type);
            return true;
        }
        const unsigned count = static_cast<unsigned>(right.bits);
        if (op == "<<") {
            left = IntValueMake(left.bits << count, left.type);
        } else if (TypeIsSigned(left.type)) {
            // Arithmetic shift, as GCC and MSVC do for negative signed values.
            int64_t v = static_cast<int64_t>(left.bits);
            left =
                IntValueMake(static_cast<uint64_t>(v < 0 ? ~(~v >> count) : v >> count), left.type);
        } else {
            left = IntValueMake(left.bits >> count, left.type);
        }
        return true;
    }

    bool Unary(IntValue& value, bool evaluate) {
        if (!Enter()) {
            return false;
        }
        const Token* token = Peek();
        if (!token) {
            return Unexpected();
        }
        bool ok;
        if (TokenIs(*token, "+") || TokenIs(*token, "-") || TokenIs(*token, "~") ||
            TokenIs(*token, "!")) {
            const std::string op = token->text;
            ++position;
            ok = Unary(value, evaluate) && TypeUncertain(value);
            if (ok && value.unknown) {
                value = Unknown(op == "!" ? Bool(false).type : value.type);
            } else if (ok && op == "-") {
                value = IntValueMake(0 - value.bits, value.type);
            } else if (ok && op == "~") {
                value = IntValueMake(~value.bits, value.type);
            } else if (ok && op == "!") {
                value = Bool(IsZero(value));
            }
        } else if (TokenIs(*token, "&") || TokenIs(*token, "*")) {
            // Address-of and dereference: offsetof-style sizes, never integer constants here.
            return Fail(failure, SkipReason::Unsupported, "address or pointer arithmetic");
        } else if (TokenIs(*token, "(")) {
            ok = Parenthesis(value, evaluate);
        } else {
            ok = Primary(value);
        }
        if (ok) {
            --depth;
        }
        return ok;
    }

    bool Primary(IntValue& value) {
        const Token& token = tokens[position];
        switch (token.kind) {
        case TokenKind::Number:
            ++position;
            if (!NumberLiteralParse(token.text, value, failure, types.Machine().longBits == 64)) {
                return false;
            }
            if (preprocessor) {
                // int is intmax_t here, so a literal is signed unless its suffix says unsigned or
                // it does not fit intmax_t: 0xFFFFFFFF > -1 holds.
                const bool unsignedSuffix = token.text.find_first_of("uU") != std::string::npos;
                const bool fitsSigned = IntValueIsSigned(value) || value.bits <= INT64_MAX;
                value = IntValueMake(
                    value.bits, unsignedSuffix || !fitsSigned ? IntType::UInt64 : IntType::Int64);
            }
            return true;
        case TokenKind::Character:
            ++position;
            if (!CharacterLiteralParse(token.text, value, failure)) {
                return false;
            }
            value = Widened(value);
            return true;
        case TokenKind::Identifier: {
            if (preprocessor) {
                ++position;
                value = Unknown(IntType::Int64);  // a name the caller could not decide
                return true;
            }
            if (token.painted) {
                // "#define SOCK_STREAM SOCK_STREAM" beside the enumerator it re-exports: the
                // name left unexpanded is the enumerator.
                Failure enumerator;
                if (resolver && resolver(token.text, value, enumerator)) {
                    ++position;
                    return true;
                }
                return Fail(failure, SkipReason::Cycle, token.text);
            }
            if (token.text == "sizeof") {
                return SizeOf(value);
            }
            if (token.text == "__alignof__" || token.text == "_Alignof") {
                return Fail(failure, SkipReason::Unsupported, token.text);
            }
            if (resolver && resolver(token.text, value, failure)) {
                ++position;
                return true;
            }
            if (failure.reason != SkipReason::None) {
                return false;
            }
            return Fail(failure, SkipReason::Unresolved, token.text);
        }
        default: return Unexpected();
        }
    }

    // "(" starts either a cast or a parenthesised expression.
    bool Parenthesis(IntValue& value, bool evaluate) {
        TypeInfo type;
        size_t close = 0;
        bool isCast = false;
        // The preprocessor knows no types: "(X) - 1" there is X minus 1.
        if (!preprocessor && !CastRead(type, close, isCast)) {
            return false;
        }
        if (isCast) {
            // The operand may hold casts of its own.
            std::vector<TypeInfo> each;
            each.swap(alternatives);
            const std::string name = castName;
            position = close + 1;
            if (!Unary(value, evaluate)) {
                return false;
            }
            if (each.empty()) {
                return CastApply(type, value);
            }
            // Every type the name may be must give the same number.
            IntValue first;
            for (size_t i = 0; i < each.size(); ++i) {
                IntValue converted = value;
                if (!CastApply(each[i], converted)) {
                    return false;
                }
                if (i == 0) {
                    first = converted;
                } else if (!SameNumber(first, converted)) {
                    return Fail(failure, SkipReason::Undecided,
                                "cast to " + name +
                                    ", a type declared differently in branches not decided");
                }
            }
            value = first;
            value.typeUncertain = each.size() > 1;
            return true;
        }
        ++position;
        if (!Conditional(value, evaluate)) {
            return false;
        }
        if (!PeekIs(")")) {
            return Unexpected();
        }
        ++position;
        return true;
    }

    static bool StartsOperand(const Token* token) {
        if (!token) {
            return false;
        }
        switch (token->kind) {
        case TokenKind::Number:
        case TokenKind::Character:
        case TokenKind::Identifier:
        case TokenKind::String: return true;
        default:
            return TokenIs(*token, "(") || TokenIs(*token, "~") || TokenIs(*token, "!") ||
                   TokenIs(*token, "-") || TokenIs(*token, "+");
        }
    }

    // The names and stars from the "(" at open to its ")": true when nothing else is inside.
    bool TypeWordsRead(size_t open, std::vector<std::string>& words, bool& star,
                       size_t& close) const {
        size_t i = open + 1;
        for (; i < tokens.size(); ++i) {
            const Token& token = tokens[i];
            if (token.kind == TokenKind::Identifier && !star) {
                words.push_back(token.text);
            } else if (TokenIs(token, "*")) {
                star = true;
            } else {
                break;
            }
        }
        close = i;
        return !words.empty() && i < tokens.size() && TokenIs(tokens[i], ")");
    }

    // sizeof(type) of the scalar types, pointers and the typedefs naming them, in bytes on the
    // target, as a size_t. A structure's size, or an expression's, is not known here.
    bool SizeOf(IntValue& value) {
        std::vector<std::string> words;
        bool star = false;
        size_t close = 0;
        // "(type)" or "(type[N]...)" with literal counts, as in _IOR('E', 3, unsigned int[2]).
        uint64_t count = 1;
        if (PeekIs("(", 1)) {
            TypeWordsRead(position + 1, words, star, close);
            while (!words.empty() && close + 2 < tokens.size() && TokenIs(tokens[close], "[") &&
                   tokens[close + 1].kind == TokenKind::Number && TokenIs(tokens[close + 2], "]")) {
                IntValue length;
                Failure ignored;
                if (!NumberLiteralParse(tokens[close + 1].text, length, ignored) ||
                    length.bits > 0xFFFFFFFFu || count > 0xFFFFFFFFu) {
                    break;
                }
                count *= length.bits;
                close += 3;
            }
        }
        if (words.empty() || close >= tokens.size() || !TokenIs(tokens[close], ")")) {
            return Fail(failure, SkipReason::Unsupported, "sizeof of an expression");
        }
        TypeInfo type;
        if (!types.Classify(words, star, type, false) || type.kind == TypeKind::Void ||
            type.bits == 0) {
            return Fail(failure, SkipReason::Unsupported,
                        "sizeof(" + words.back() + "): a structure or a type not known here");
        }
        position = close + 1;
        const bool wide = types.Machine().pointerBits == 64;
        value = IntValueMake((type.boolean ? 1 : type.bits / 8u) * count,
                             wide ? IntType::UInt64 : IntType::UInt32);
        return true;
    }

    // Decides whether the "(" at position opens a cast: the parentheses hold only names and
    // stars that spell a type. A lone unknown name in parentheses followed by an operand, as in
    // (FOO)1, is a cast to an unknown type and makes the definition unsupported.
    bool CastRead(TypeInfo& type, size_t& close, bool& isCast) {
        std::vector<std::string> words;
        bool star = false;
        if (!TypeWordsRead(position, words, star, close)) {
            return true;
        }
        const size_t i = close;
        const Token* after = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
        if (words.size() == 1 && !star && !TypeKeywordIs(words[0])) {
            IntValue probe;
            Failure probeFailure;
            if (resolver && resolver(words[0], probe, probeFailure)) {
                return true;  // a constant in parentheses
            }
            if (probeFailure.reason != SkipReason::None) {
                failure = probeFailure;
                return false;
            }
        }
        if (!StartsOperand(after)) {
            return true;  // "(NAME)" at the end or before an operator: not a cast
        }
        isCast = true;
        if (types.Classify(words, star, type)) {
            return TypeUsable(type);
        }
        std::vector<TypeInfo> each = types.Alternatives(words.back());
        if (each.size() > 1) {
            for (const TypeInfo& alternative : each) {
                if (!TypeUsable(alternative)) {
                    return false;
                }
            }
            alternatives = each;
            castName = words.back();
            return true;
        }
        if (types.Conflicting(words.back())) {
            return Fail(failure, SkipReason::Unsupported,
                        "cast to " + words.back() +
                            ", a type declared differently in branches not decided");
        }
        return Fail(failure, SkipReason::Unsupported, "cast to unknown type " + words.back());
    }

    bool TypeUsable(const TypeInfo& type) {
        if (type.kind == TypeKind::Floating) {
            return Fail(failure, SkipReason::NotInteger, "cast to a floating-point type");
        }
        if (type.kind == TypeKind::Void) {
            return Fail(failure, SkipReason::Unsupported, "cast to void");
        }
        return true;
    }

    static bool SameNumber(IntValue a, IntValue b) {
        const bool negativeA = TypeIsSigned(a.type) && static_cast<int64_t>(a.bits) < 0;
        const bool negativeB = TypeIsSigned(b.type) && static_cast<int64_t>(b.bits) < 0;
        return negativeA == negativeB && a.bits == b.bits;
    }

    bool CastApply(const TypeInfo& type, IntValue& value) {
        value.typeUncertain = false;
        if (type.kind == TypeKind::Pointer) {
            value = IntValueMake(value.bits, type.bits == 64 ? IntType::UInt64 : IntType::UInt32);
            return true;
        }
        if (type.boolean) {
            // Conversion to _Bool compares with zero; it never truncates.
            value = IntValueMake(value.bits != 0 ? 1 : 0, IntType::Int32);
            return true;
        }
        if (type.bits >= 64) {
            value = IntValueMake(value.bits, type.isSigned ? IntType::Int64 : IntType::UInt64);
        } else if (type.bits == 32) {
            value = IntValueMake(value.bits, type.isSigned ? IntType::Int32 : IntType::UInt32);
        } else {
            // Narrow types truncate, then promote to int on their next use.
            const uint64_t mask = (uint64_t(1) << type.bits) - 1;
            uint64_t bits = value.bits & mask;
            if (type.isSigned && (bits >> (type.bits - 1)) != 0) {
                bits |= ~mask;
            }
            value = IntValueMake(bits, IntType::Int32);
        }
        return true;
    }

    const std::vector<Token>& tokens;
    const NameResolver& resolver;
    const TypeScope& types;
    Failure& failure;
    const bool preprocessor;
    std::vector<TypeInfo> alternatives;  // of the cast CastRead found, when several
    std::string castName;
    size_t position = 0;
    int depth = 0;
};

}  // namespace

bool ExpressionEvaluate(const std::vector<Token>& tokens, const NameResolver& resolver,
                        IntValue& value, Failure& failure, const TypeScope* types) {
    static const TypeScope kDefault;
    Parser parser(tokens, resolver, types ? *types : kDefault, failure);
    return parser.Whole(value);
}

Decision ConditionEvaluate(const std::vector<Token>& tokens) {
    static const TypeScope kDefault;
    Failure failure;
    NameResolver none;
    Parser parser(tokens, none, kDefault, failure, true);
    IntValue value;
    if (!parser.Whole(value) || value.unknown) {
        return Decision::Undecided;
    }
    return value.bits != 0 ? Decision::True : Decision::False;
}
