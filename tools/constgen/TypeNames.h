// Type names that may appear in casts inside Windows headers, with their widths on the 32-bit
// Win32 target.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

enum class TypeKind : uint8_t {
    Integer,   // truncated to bits, then sign- or zero-extended
    Pointer,   // handles and pointers: the 32-bit address value of the Win32 target
    Floating,  // no integer constant
    Void
};

struct TypeInfo {
    TypeKind kind = TypeKind::Integer;
    uint8_t bits = 32;
    bool isSigned = true;
    bool boolean = false;  // _Bool: any non-zero value converts to 1
};

// A type spelled as C keywords and qualifiers ("unsigned long", "const int", "__int64").
// False when words are not such a spelling.
bool TypeKeywordsClassify(const std::vector<std::string>& words, TypeInfo& info);

// One typedef name from the Windows headers (DWORD, WORD, HRESULT, UINT_PTR, HWND, LPSTR, ...).
// Names not in the table that read as handles or pointers by the Windows naming habit (H + upper
// case, LP or P + upper case) are taken as pointers. False for any other name.
bool TypeNameFind(const std::string& name, TypeInfo& info);

// True for the words that only ever name types: C type keywords and qualifiers.
bool TypeKeywordIs(const std::string& word);
