#include "TypeNames.h"

#include <stdlib.h>

#include <iterator>

namespace {

// Widths that follow the target rather than being fixed.
enum Width : uint8_t { Fixed, PointerSized, LongSized, WcharSized };

struct TypeEntry {
    const char* name;
    TypeKind kind;
    uint8_t bits;
    bool isSigned;
    Width width;
};

const TypeKind I = TypeKind::Integer;
const TypeKind P = TypeKind::Pointer;
const TypeKind F = TypeKind::Floating;

// Widths of the 32-bit Win32 target; the pointer-sized integers, long and wchar_t follow the
// target.
const TypeEntry kTypes[] = {
    {"BYTE", I, 8, false, Fixed},
    {"UCHAR", I, 8, false, Fixed},
    {"BOOLEAN", I, 8, false, Fixed},
    {"UINT8", I, 8, false, Fixed},
    {"uint8_t", I, 8, false, Fixed},
    {"u_char", I, 8, false, Fixed},
    {"CHAR", I, 8, true, Fixed},
    {"CCHAR", I, 8, true, Fixed},
    {"INT8", I, 8, true, Fixed},
    {"int8_t", I, 8, true, Fixed},
    {"TBYTE", I, 8, false, Fixed},
    {"TCHAR", I, 8, true, Fixed},
    {"WORD", I, 16, false, Fixed},
    {"USHORT", I, 16, false, Fixed},
    {"WCHAR", I, 16, false, Fixed},
    {"wchar_t", I, 16, false, WcharSized},
    {"UINT16", I, 16, false, Fixed},
    {"uint16_t", I, 16, false, Fixed},
    {"ATOM", I, 16, false, Fixed},
    {"LANGID", I, 16, false, Fixed},
    {"u_short", I, 16, false, Fixed},
    {"SHORT", I, 16, true, Fixed},
    {"INT16", I, 16, true, Fixed},
    {"int16_t", I, 16, true, Fixed},
    {"HALF_PTR", I, 16, true, Fixed},
    {"UHALF_PTR", I, 16, false, Fixed},
    {"VARTYPE", I, 16, false, Fixed},
    {"INT", I, 32, true, Fixed},
    {"LONG", I, 32, true, Fixed},
    {"BOOL", I, 32, true, Fixed},
    {"HRESULT", I, 32, true, Fixed},
    {"SCODE", I, 32, true, Fixed},
    {"NTSTATUS", I, 32, true, Fixed},
    {"INT32", I, 32, true, Fixed},
    {"LONG32", I, 32, true, Fixed},
    {"int32_t", I, 32, true, Fixed},
    {"HFILE", I, 32, true, Fixed},
    {"LSTATUS", I, 32, true, Fixed},
    {"INT_PTR", I, 32, true, PointerSized},
    {"LONG_PTR", I, 32, true, PointerSized},
    {"LPARAM", I, 32, true, PointerSized},
    {"LRESULT", I, 32, true, PointerSized},
    {"SSIZE_T", I, 32, true, PointerSized},
    {"intptr_t", I, 32, true, PointerSized},
    {"ptrdiff_t", I, 32, true, PointerSized},
    {"DWORD", I, 32, false, Fixed},
    {"UINT", I, 32, false, Fixed},
    {"ULONG", I, 32, false, Fixed},
    {"UINT32", I, 32, false, Fixed},
    {"ULONG32", I, 32, false, Fixed},
    {"DWORD32", I, 32, false, Fixed},
    {"uint32_t", I, 32, false, Fixed},
    {"COLORREF", I, 32, false, Fixed},
    {"LCID", I, 32, false, Fixed},
    {"LCTYPE", I, 32, false, Fixed},
    {"ACCESS_MASK", I, 32, false, Fixed},
    {"SECURITY_INFORMATION", I, 32, false, Fixed},
    {"UINT_PTR", I, 32, false, PointerSized},
    {"ULONG_PTR", I, 32, false, PointerSized},
    {"DWORD_PTR", I, 32, false, PointerSized},
    {"WPARAM", I, 32, false, PointerSized},
    {"SIZE_T", I, 32, false, PointerSized},
    {"size_t", I, 32, false, PointerSized},
    {"uintptr_t", I, 32, false, PointerSized},
    {"u_int", I, 32, false, Fixed},
    {"u_long", I, 32, false, LongSized},
    {"MMRESULT", I, 32, false, Fixed},
    {"FOURCC", I, 32, false, Fixed},
    {"PROPID", I, 32, false, Fixed},
    {"EXECUTION_STATE", I, 32, false, Fixed},
    {"LONGLONG", I, 64, true, Fixed},
    {"LONG64", I, 64, true, Fixed},
    {"INT64", I, 64, true, Fixed},
    {"int64_t", I, 64, true, Fixed},
    {"ULONGLONG", I, 64, false, Fixed},
    {"DWORDLONG", I, 64, false, Fixed},
    {"DWORD64", I, 64, false, Fixed},
    {"ULONG64", I, 64, false, Fixed},
    {"UINT64", I, 64, false, Fixed},
    {"uint64_t", I, 64, false, Fixed},
    {"USN", I, 64, true, Fixed},
    {"FLOAT", F, 32, true, Fixed},
    {"DOUBLE", F, 64, true, Fixed},
    {"HANDLE", P, 32, false, PointerSized},
    {"PVOID", P, 32, false, PointerSized},
    {"LPVOID", P, 32, false, PointerSized},
    {"LPCVOID", P, 32, false, PointerSized},
    {"FARPROC", P, 32, false, PointerSized},
    {"PSID", P, 32, false, PointerSized},
};

bool WordIn(const std::string& word, const char* const* list) {
    for (; *list; ++list) {
        if (word == *list) {
            return true;
        }
    }
    return false;
}

const char* const kQualifiers[] = {"const", "volatile", "__const", "__volatile__", nullptr};
const char* const kKeywords[] = {"char",         "short",  "int",     "long",    "signed",
                                 "unsigned",     "__int8", "__int16", "__int32", "__int64",
                                 "_Bool",        "float",  "double",  "void",    "__signed__",
                                 "__unsigned__", nullptr};

bool UpperCaseName(const std::string& name, size_t from) {
    if (name.size() <= from) {
        return false;
    }
    for (size_t i = from; i < name.size(); ++i) {
        char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
            return false;
        }
    }
    return name[from] >= 'A' && name[from] <= 'Z';
}

TypeInfo PointerType(const Target& target) {
    TypeInfo info;
    info.kind = TypeKind::Pointer;
    info.bits = target.pointerBits;
    info.isSigned = false;
    return info;
}

}  // namespace

bool TypeKeywordIs(const std::string& word) {
    return WordIn(word, kQualifiers) || WordIn(word, kKeywords);
}

bool TypeKeywordsClassify(const std::vector<std::string>& words, TypeInfo& info,
                          const Target& target) {
    int longs = 0, shorts = 0, chars = 0, ints = 0, sign = 0, unsign = 0, explicitBits = 0;
    bool floating = false, isVoid = false, isBool = false, any = false;
    for (const std::string& word : words) {
        if (WordIn(word, kQualifiers)) {
            continue;
        }
        any = true;
        if (word == "long") {
            ++longs;
        } else if (word == "short") {
            ++shorts;
        } else if (word == "char") {
            ++chars;
        } else if (word == "int") {
            ++ints;
        } else if (word == "signed" || word == "__signed__") {
            ++sign;
        } else if (word == "unsigned" || word == "__unsigned__") {
            ++unsign;
        } else if (word == "__int8" || word == "__int16" || word == "__int32" ||
                   word == "__int64") {
            explicitBits = atoi(word.c_str() + 5);
        } else if (word == "float" || word == "double") {
            floating = true;
        } else if (word == "void") {
            isVoid = true;
        } else if (word == "_Bool") {
            isBool = true;
        } else {
            return false;
        }
    }
    if (!any || (sign && unsign) || longs > 2 || shorts > 1 || chars > 1 || ints > 1) {
        return false;
    }
    if (floating || isVoid) {
        info.kind = floating ? TypeKind::Floating : TypeKind::Void;
        info.bits = isVoid ? 0 : longs ? target.longDoubleBits : chars ? 0 : 64;
        for (const std::string& word : words) {
            if (word == "float") {
                info.bits = 32;
            }
        }
        return true;
    }
    info.kind = TypeKind::Integer;
    info.isSigned = unsign == 0;
    if (isBool) {
        info.bits = 8;
        info.isSigned = false;
        info.boolean = true;
    } else if (explicitBits) {
        info.bits = static_cast<uint8_t>(explicitBits);
    } else if (chars) {
        info.bits = 8;  // plain char is signed with GCC and MSVC on x86
    } else if (shorts) {
        info.bits = 16;
    } else if (longs == 2) {
        info.bits = 64;
    } else if (longs == 1) {
        info.bits = target.longBits;  // 32 bits on Windows, 64 on LP64 systems
    } else {
        info.bits = 32;
    }
    return true;
}

bool TypeNameFind(const std::string& name, TypeInfo& info, const Target& target, bool guess) {
    for (const TypeEntry& entry : kTypes) {
        if (name == entry.name) {
            info = TypeInfo();
            info.kind = entry.kind;
            info.bits = entry.width == PointerSized ? target.pointerBits
                        : entry.width == LongSized  ? target.longBits
                        : entry.width == WcharSized ? target.wcharBits
                                                    : entry.bits;
            info.isSigned = entry.width == WcharSized ? target.wcharSigned : entry.isSigned;
            return true;
        }
    }
    if (name.empty() || !guess) {
        return false;
    }
    bool pointerLike = (name[0] == 'H' && UpperCaseName(name, 1)) ||
                       (name.compare(0, 2, "LP") == 0 && UpperCaseName(name, 2)) ||
                       (name[0] == 'P' && UpperCaseName(name, 1));
    if (pointerLike) {
        info = PointerType(target);
        return true;
    }
    return false;
}

const char* const kTargetNames = "win32, linux-i686 (or i686), linux-x86_64 (or x86_64)";

bool TargetFind(const std::string& name, Target& target) {
    // What GCC predefines for the machine: its name, its data model's sizes and limits.
    static const char* const kX86[] = {"__i386__=1",
                                       "__i386=1",
                                       "i386=1",
                                       "-__x86_64__",
                                       "-__x86_64",
                                       "-__amd64__",
                                       "-__amd64",
                                       "-__LP64__",
                                       "-_LP64",
                                       "__SIZEOF_POINTER__=4",
                                       "__SIZEOF_LONG__=4",
                                       "__SIZEOF_SIZE_T__=4",
                                       "__SIZEOF_PTRDIFF_T__=4",
                                       "__SIZEOF_LONG_DOUBLE__=12",
                                       "__LONG_MAX__=0x7fffffffL",
                                       "__SIZE_MAX__=0xffffffffU",
                                       "__PTRDIFF_MAX__=0x7fffffff"};
    static const char* const kX64[] = {"__x86_64__=1",
                                       "__x86_64=1",
                                       "__amd64__=1",
                                       "__amd64=1",
                                       "__LP64__=1",
                                       "_LP64=1",
                                       "-__i386__",
                                       "-__i386",
                                       "-i386",
                                       "-__ILP32__",
                                       "-_ILP32",
                                       "__SIZEOF_POINTER__=8",
                                       "__SIZEOF_LONG__=8",
                                       "__SIZEOF_SIZE_T__=8",
                                       "__SIZEOF_PTRDIFF_T__=8",
                                       "__SIZEOF_LONG_DOUBLE__=16",
                                       "__LONG_MAX__=0x7fffffffffffffffL",
                                       "__SIZE_MAX__=0xffffffffffffffffUL",
                                       "__PTRDIFF_MAX__=0x7fffffffffffffffL"};
    static const char* const kCommon[] = {"__CHAR_BIT__=8",
                                          "-__CHAR_UNSIGNED__",
                                          "__SIZEOF_SHORT__=2",
                                          "__SIZEOF_INT__=4",
                                          "__SIZEOF_LONG_LONG__=8",
                                          "__SIZEOF_FLOAT__=4",
                                          "__SIZEOF_DOUBLE__=8",
                                          "__SIZEOF_WCHAR_T__=4",
                                          "__SIZEOF_WINT_T__=4",
                                          "__SCHAR_MAX__=0x7f",
                                          "__SHRT_MAX__=0x7fff",
                                          "__INT_MAX__=0x7fffffff",
                                          "__LONG_LONG_MAX__=0x7fffffffffffffffLL",
                                          "__WCHAR_MAX__=0x7fffffff",
                                          "__WCHAR_MIN__=(-__WCHAR_MAX__ - 1)",
                                          "__ORDER_LITTLE_ENDIAN__=1234",
                                          "__ORDER_BIG_ENDIAN__=4321",
                                          "__ORDER_PDP_ENDIAN__=3412",
                                          "__BYTE_ORDER__=1234"};
    Target chosen;
    if (name == "win32") {
        target = chosen;
        return true;
    }
    // wchar_t is int on these (GCC on Linux and the other Unix systems).
    chosen.wcharBits = 32;
    chosen.wcharSigned = true;
    // The bare machine names are the first spellings these models had; scripts may still use them.
    if (name == "linux-i686" || name == "i686") {
        chosen.name = "linux-i686";
        chosen.predefined.assign(std::begin(kX86), std::end(kX86));
    } else if (name == "linux-x86_64" || name == "x86_64") {
        chosen.name = "linux-x86_64";
        chosen.pointerBits = 64;
        chosen.longBits = 64;
        chosen.longDoubleBits = 128;
        chosen.predefined.assign(std::begin(kX64), std::end(kX64));
    } else {
        return false;
    }
    chosen.predefined.insert(chosen.predefined.end(), std::begin(kCommon), std::end(kCommon));
    target = chosen;
    return true;
}

bool TypeScope::Find(const std::string& name, TypeInfo& info, bool guess) const {
    auto found = typedefs.find(name);
    if (found != typedefs.end()) {
        if (found->second.unusable || found->second.alternatives.size() != 1) {
            return false;
        }
        info = found->second.alternatives[0];
        return true;
    }
    return TypeNameFind(name, info, target, guess);
}

bool TypeScope::Conflicting(const std::string& name) const {
    auto found = typedefs.find(name);
    return found != typedefs.end() &&
           (found->second.unusable || found->second.alternatives.size() > 1);
}

std::vector<TypeInfo> TypeScope::Alternatives(const std::string& name) const {
    auto found = typedefs.find(name);
    if (found == typedefs.end() || found->second.unusable) {
        return {};
    }
    return found->second.alternatives;
}

void TypeScope::Learn(const std::string& name, const TypeInfo& info) {
    const size_t kAlternativesLimit = 4;
    Entry& entry = typedefs[name];
    for (const TypeInfo& known : entry.alternatives) {
        if (known == info) {
            return;
        }
    }
    if (entry.alternatives.size() >= kAlternativesLimit) {
        entry.unusable = true;
        return;
    }
    entry.alternatives.push_back(info);
}

void TypeScope::LearnConflicting(const std::string& name) {
    typedefs[name].unusable = true;
}

bool TypeScope::Classify(const std::vector<std::string>& words, bool pointer, TypeInfo& info,
                         bool guess) const {
    if (pointer) {
        info = PointerType(target);
        return true;
    }
    if (TypeKeywordsClassify(words, info, target)) {
        return true;
    }
    // One typedef name, possibly with qualifiers: "const DWORD".
    std::vector<std::string> names;
    for (const std::string& word : words) {
        if (!WordIn(word, kQualifiers)) {
            names.push_back(word);
        }
    }
    return names.size() == 1 && Find(names[0], info, guess);
}
