// Type names that may appear in casts and sizeof: C's keywords, the Windows headers' typedefs,
// and the integer typedefs that the headers read declare, with their widths on the target.
#pragma once
#include <stdint.h>
#include <string>
#include <unordered_map>
#include <vector>

enum class TypeKind : uint8_t {
    Integer,   // truncated to bits, then sign- or zero-extended
    Pointer,   // handles and pointers: an address value of the target's pointer width
    Floating,  // no integer constant
    Void
};

struct TypeInfo {
    TypeKind kind = TypeKind::Integer;
    uint8_t bits = 32;  // the size in bits (floating point and pointers too)
    bool isSigned = true;
    bool boolean = false;  // _Bool: any non-zero value converts to 1
    bool operator==(const TypeInfo& other) const {
        return kind == other.kind && bits == other.bits && isSigned == other.isSigned &&
               boolean == other.boolean;
    }
};

// The machine the constants are for: the sizes of its data model. The default, win32, is the
// product's 32-bit Windows (ILP32, 16-bit wchar_t); linux-i686 is ILP32 and linux-x86_64 LP64 as
// GCC has them on Linux and the other Unix systems (32-bit wchar_t). 64-bit Windows (LLP64:
// long stays 32 bits) is no model of constgen's: Constants-x64.out comes from its compiler.
struct Target {
    const char* name = "win32";
    uint8_t pointerBits = 32;
    uint8_t longBits = 32;
    uint8_t longDoubleBits = 96;
    uint8_t wcharBits = 16;
    bool wcharSigned = false;
    // The compiler's own macros that say which machine this is: "NAME=VALUE" pins them, "-NAME"
    // pins NAME as undefined.
    std::vector<const char*> predefined;
};

// The named target (i686 and x86_64 name the linux ones); false for an unknown name.
bool TargetFind(const std::string& name, Target& target);
// Names of the targets, for messages.
extern const char* const kTargetNames;

// A type spelled as C keywords and qualifiers ("unsigned long", "const int", "__int64").
// False when words are not such a spelling.
bool TypeKeywordsClassify(const std::vector<std::string>& words, TypeInfo& info,
                          const Target& target = Target());

// One typedef name from the Windows headers (DWORD, WORD, HRESULT, UINT_PTR, HWND, LPSTR, ...).
// Names not in the table that read as handles or pointers by the Windows naming habit (H + upper
// case, LP or P + upper case) are taken as pointers, unless guess is false. False for any other
// name.
bool TypeNameFind(const std::string& name, TypeInfo& info, const Target& target = Target(),
                  bool guess = true);

// The target and the typedefs the headers declare ("typedef uint32_t in_addr_t;"). A name that
// the headers declare as two different types (in branches of a conditional constgen cannot
// decide) is known as neither, so that no cast through it gives a value that may be wrong.
class TypeScope {
public:
    TypeScope() = default;
    explicit TypeScope(Target machine) : target(std::move(machine)) {}

    const Target& Machine() const { return target; }
    // A typedef of the headers first, then the Windows table (and its naming habit with guess).
    bool Find(const std::string& name, TypeInfo& info, bool guess = true) const;
    // True when the name is a typedef whose type is uncertain.
    bool Conflicting(const std::string& name) const;
    // The types a typedef declared in several ways may be (empty when not known or too many).
    std::vector<TypeInfo> Alternatives(const std::string& name) const;
    void Learn(const std::string& name, const TypeInfo& info);
    void LearnConflicting(const std::string& name);
    // A type spelled as words and stars, as in a cast or sizeof: "unsigned long", "const
    // in_addr_t", "struct sockaddr *". False when the words name no type known here. Without
    // guess, a name is not taken for a handle by its spelling (HISTOGRAM_BUCKET is a structure;
    // its size is not a pointer's).
    bool Classify(const std::vector<std::string>& words, bool pointer, TypeInfo& info,
                  bool guess = true) const;

private:
    struct Entry {
        std::vector<TypeInfo> alternatives;
        bool unusable = false;  // declared as a type not known here, or in too many ways
    };
    Target target;
    std::unordered_map<std::string, Entry> typedefs;
};

// True for the words that only ever name types: C type keywords and qualifiers.
bool TypeKeywordIs(const std::string& word);
