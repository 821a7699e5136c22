#include "TypeNames.h"

#include <stdlib.h>

namespace {

struct TypeEntry {
    const char* name;
    TypeKind kind;
    uint8_t bits;
    bool isSigned;
};

const TypeKind I = TypeKind::Integer;
const TypeKind P = TypeKind::Pointer;
const TypeKind F = TypeKind::Floating;

// Widths of the 32-bit Win32 target: pointer-sized integers are 32 bits there, as in the
// product, whatever machine generates the data.
const TypeEntry kTypes[] = {
    {"BYTE", I, 8, false},
    {"UCHAR", I, 8, false},
    {"BOOLEAN", I, 8, false},
    {"UINT8", I, 8, false},
    {"uint8_t", I, 8, false},
    {"u_char", I, 8, false},
    {"CHAR", I, 8, true},
    {"CCHAR", I, 8, true},
    {"INT8", I, 8, true},
    {"int8_t", I, 8, true},
    {"TBYTE", I, 8, false},
    {"TCHAR", I, 8, true},
    {"WORD", I, 16, false},
    {"USHORT", I, 16, false},
    {"WCHAR", I, 16, false},
    {"wchar_t", I, 16, false},
    {"UINT16", I, 16, false},
    {"uint16_t", I, 16, false},
    {"ATOM", I, 16, false},
    {"LANGID", I, 16, false},
    {"u_short", I, 16, false},
    {"SHORT", I, 16, true},
    {"INT16", I, 16, true},
    {"int16_t", I, 16, true},
    {"HALF_PTR", I, 16, true},
    {"UHALF_PTR", I, 16, false},
    {"VARTYPE", I, 16, false},
    {"INT", I, 32, true},
    {"LONG", I, 32, true},
    {"BOOL", I, 32, true},
    {"HRESULT", I, 32, true},
    {"SCODE", I, 32, true},
    {"NTSTATUS", I, 32, true},
    {"INT32", I, 32, true},
    {"LONG32", I, 32, true},
    {"int32_t", I, 32, true},
    {"HFILE", I, 32, true},
    {"LSTATUS", I, 32, true},
    {"INT_PTR", I, 32, true},
    {"LONG_PTR", I, 32, true},
    {"LPARAM", I, 32, true},
    {"LRESULT", I, 32, true},
    {"SSIZE_T", I, 32, true},
    {"intptr_t", I, 32, true},
    {"ptrdiff_t", I, 32, true},
    {"DWORD", I, 32, false},
    {"UINT", I, 32, false},
    {"ULONG", I, 32, false},
    {"UINT32", I, 32, false},
    {"ULONG32", I, 32, false},
    {"DWORD32", I, 32, false},
    {"uint32_t", I, 32, false},
    {"COLORREF", I, 32, false},
    {"LCID", I, 32, false},
    {"LCTYPE", I, 32, false},
    {"ACCESS_MASK", I, 32, false},
    {"SECURITY_INFORMATION", I, 32, false},
    {"UINT_PTR", I, 32, false},
    {"ULONG_PTR", I, 32, false},
    {"DWORD_PTR", I, 32, false},
    {"WPARAM", I, 32, false},
    {"SIZE_T", I, 32, false},
    {"size_t", I, 32, false},
    {"uintptr_t", I, 32, false},
    {"u_int", I, 32, false},
    {"u_long", I, 32, false},
    {"MMRESULT", I, 32, false},
    {"FOURCC", I, 32, false},
    {"PROPID", I, 32, false},
    {"EXECUTION_STATE", I, 32, false},
    {"LONGLONG", I, 64, true},
    {"LONG64", I, 64, true},
    {"INT64", I, 64, true},
    {"int64_t", I, 64, true},
    {"ULONGLONG", I, 64, false},
    {"DWORDLONG", I, 64, false},
    {"DWORD64", I, 64, false},
    {"ULONG64", I, 64, false},
    {"UINT64", I, 64, false},
    {"uint64_t", I, 64, false},
    {"USN", I, 64, true},
    {"FLOAT", F, 32, true},
    {"DOUBLE", F, 64, true},
    {"HANDLE", P, 32, false},
    {"PVOID", P, 32, false},
    {"LPVOID", P, 32, false},
    {"LPCVOID", P, 32, false},
    {"FARPROC", P, 32, false},
    {"PSID", P, 32, false},
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

}  // namespace

bool TypeKeywordIs(const std::string& word) {
    return WordIn(word, kQualifiers) || WordIn(word, kKeywords);
}

bool TypeKeywordsClassify(const std::vector<std::string>& words, TypeInfo& info) {
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
    } else {
        info.bits = 32;  // int, and long (32 bits on Windows)
    }
    return true;
}

bool TypeNameFind(const std::string& name, TypeInfo& info) {
    for (const TypeEntry& entry : kTypes) {
        if (name == entry.name) {
            info.kind = entry.kind;
            info.bits = entry.bits;
            info.isSigned = entry.isSigned;
            return true;
        }
    }
    if (name.empty()) {
        return false;
    }
    bool pointerLike = (name[0] == 'H' && UpperCaseName(name, 1)) ||
                       (name.compare(0, 2, "LP") == 0 && UpperCaseName(name, 2)) ||
                       (name[0] == 'P' && UpperCaseName(name, 1));
    if (pointerLike) {
        info.kind = TypeKind::Pointer;
        info.bits = 32;
        info.isSigned = false;
        return true;
    }
    return false;
}
