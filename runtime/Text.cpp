// The text engine: the work buffer with its cursor, text variables, comparisons and searches.
#include "runtime/Text.h"

#include <windows.h>
#include <stdarg.h>
#include <string.h>

#include "runtime/Memory.h"

char* WorkBuffer = nullptr;

namespace {

char* cursor = nullptr;

// What a producer returns when there is no work buffer at all (before RuntimeStart): a text
// that reads as empty and is never written to.
char noBuffer[1] = {0};

bool InBuffer(const char* position) {
    if (WorkBuffer == nullptr || position == nullptr) return false;
    uintptr_t at = (uintptr_t)position;
    uintptr_t start = (uintptr_t)WorkBuffer;
    return at >= start && at < start + WORK_BUFFER_SIZE;
}

// Anything outside the buffer is taken as its last byte, where a terminating zero is always
// harmless: whatever text ends there stays terminated.
char* Clamp(char* position) {
    if (WorkBuffer == nullptr) return nullptr;
    return InBuffer(position) ? position : WorkBuffer + WORK_BUFFER_SIZE - 1;
}

}  // namespace

void TextLibraryInit() {
    WorkBuffer = nullptr;
    cursor = nullptr;
    if (MainHeap == nullptr) return;
    WorkBuffer = (char*)HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, WORK_BUFFER_SIZE);
    cursor = WorkBuffer;
}

char* TextCursor() {
    return WorkBuffer != nullptr ? cursor : noBuffer;
}

void TextCursorSet(char* position) {
    cursor = Clamp(position);
}

int32_t TextRoom(const char* position) {
    if (!InBuffer(position)) return 0;
    return (int32_t)(WorkBuffer + WORK_BUFFER_SIZE - position);
}

char* TextPut(char* out, const char* bytes, int32_t length) {
    if (WorkBuffer == nullptr) return noBuffer;
    out = Clamp(out != nullptr ? out : cursor);
    int32_t room = TextRoom(out);
    if (length < 0 || bytes == nullptr) length = 0;
    if (length > room - 1) length = room - 1;
    if (length > 0) memmove(out, bytes, (size_t)length);
    out[length] = 0;
    cursor = out + length;
    return out;
}

int32_t TextLength(const char* text) {
    if (text == nullptr) return 0;
    // A text inside the buffer ends at the buffer's end at the latest, whatever was poked there.
    if (InBuffer(text)) {
        int32_t room = TextRoom(text);
        const char* end = (const char*)memchr(text, 0, (size_t)room);
        return end != nullptr ? (int32_t)(end - text) : room;
    }
    return (int32_t)strlen(text);
}

int32_t TextAssign(char** variable, char* start) {
    int32_t length;
    bool fromBuffer = InBuffer(start) && start <= cursor;
    if (fromBuffer) {
        length = (int32_t)(cursor - start);
    } else {
        length = TextLength(start);
    }
    int32_t result = 0;
    char* block = nullptr;
    if (MainHeap != nullptr) block = (char*)HeapAlloc(MainHeap, 0, (SIZE_T)length + 1);
    if (block != nullptr) {
        if (length > 0) memcpy(block, start, (size_t)length);
        block[length] = 0;
        if (*variable != nullptr) HeapFree(MainHeap, 0, *variable);
        *variable = block;
        result = 1;
    }
    if (InBuffer(start)) cursor = start;
    return result;
}

int32_t TextSet(char** variable, const char* text) {
    if (text == nullptr) {
        if (*variable != nullptr && MainHeap != nullptr) HeapFree(MainHeap, 0, *variable);
        *variable = nullptr;
        return 1;
    }
    int32_t length = TextLength(text);
    char* block = nullptr;
    if (MainHeap != nullptr) block = (char*)HeapAlloc(MainHeap, 0, (SIZE_T)length + 2);
    if (block == nullptr) return 0;
    memcpy(block, text, (size_t)length);
    block[length] = 0;
    // Freed only now, so that a variable can be given its own text.
    if (*variable != nullptr) HeapFree(MainHeap, 0, *variable);
    *variable = block;
    return 1;
}

char* TextAppend(const char* text) {
    return TextPut(nullptr, text, TextLength(text));
}

namespace {

int32_t Compare(const char* left, const char* right) {
    const unsigned char* a = (const unsigned char*)(left != nullptr ? left : "");
    const unsigned char* b = (const unsigned char*)(right != nullptr ? right : "");
    while (*a != 0 && *a == *b) {
        a++;
        b++;
    }
    return (int32_t)*a - (int32_t)*b;
}

}  // namespace

int32_t TextEqual(const char* left, const char* right) {
    return Compare(left, right) == 0;
}
int32_t TextLess(const char* left, const char* right) {
    return Compare(left, right) < 0;
}
int32_t TextGreater(const char* left, const char* right) {
    return Compare(left, right) > 0;
}

int32_t TextCode(const char* text) {
    return text != nullptr ? (unsigned char)text[0] : 0;
}

char* TextFromCode(int32_t code, char* out) {
    char character = (char)(uint8_t)code;
    out = TextPut(out, &character, character != 0 ? 1 : 0);
    // Code 0 leaves the cursor past its zero, so a text built on after it still ends there.
    if (character == 0) TextCursorSet(out + 1);
    return out;
}

int32_t TextFind(const char* text, const char* pattern, int32_t start) {
    if (text == nullptr || pattern == nullptr) return 0;
    if (start < 1) start = 1;
    int32_t length = TextLength(text);
    if (length < start - 1) return 0;
    for (int32_t candidate = start - 1;; candidate++) {
        int32_t i = 0;
        while (pattern[i] != 0 && candidate + i < length && text[candidate + i] == pattern[i]) i++;
        if (pattern[i] == 0) return candidate + 1;
        if (candidate + i >= length) return 0;
    }
}

char* TextUpper(const char* text, char* out) {
    out = TextPut(out, text, TextLength(text));
    for (unsigned char* at = (unsigned char*)out; *at != 0; at++) {
        if ((*at >= 0x61 && *at <= 0x7A) || *at >= 0xE0) *at -= 32;
    }
    return out;
}

char* TextLower(const char* text, char* out) {
    out = TextPut(out, text, TextLength(text));
    for (unsigned char* at = (unsigned char*)out; *at != 0; at++) {
        if ((*at >= 0x41 && *at <= 0x5A) || (*at >= 0xC0 && *at <= 0xDF)) *at += 32;
    }
    return out;
}

char* TextSpaces(int32_t count, char* out) {
    out = TextPut(out, "", 0);
    int32_t room = TextRoom(out);
    if (count > room - 1) count = room - 1;
    if (count <= 0) return out;
    memset(out, ' ', (size_t)count);
    return TextPut(out, out, count);
}

namespace {

char* Format(char* out, const char* format, ...) {
    char digits[32];  // 11 characters at most for 32-bit values
    va_list arguments;
    va_start(arguments, format);
    int written = wvsprintfA(digits, format, arguments);
    va_end(arguments);
    if (written < 0) written = 0;
    return TextPut(out, digits, written);
}

}  // namespace

char* TextFromNumber(int32_t value, char* out) {
    return Format(out, "%ld", (long)value);
}

char* TextFromUnsigned(int32_t value, int32_t width, char* out) {
    uint32_t bits = (uint32_t)value;
    if (width == 0) {
        bits &= 0xFF;
    } else if (width == 1) {
        bits &= 0xFFFF;
    }
    return Format(out, "%lu", (unsigned long)bits);
}

char* TextHex(int32_t value, char* out) {
    return Format(out, "%lX", (unsigned long)(uint32_t)value);
}

int32_t TextToNumber(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ') text++;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') text++;
    // Unsigned, so that overflow wraps as the 32-bit sum it stands for.
    uint32_t sum = 0;
    for (; *text >= '0' && *text <= '9'; text++) sum = sum * 10u + (uint32_t)(*text - '0');
    if (negative) sum = 0u - sum;
    return (int32_t)sum;
}

char* TextLeft(const char* text, int32_t length, char* out) {
    int32_t available = TextLength(text);
    if (length < 0) length = 0;
    return TextPut(out, text, length < available ? length : available);
}

char* TextRight(const char* text, int32_t length, char* out) {
    int32_t available = TextLength(text);
    if (length < 0) length = 0;
    if (length > available) length = available;
    return TextPut(out, text != nullptr ? text + (available - length) : nullptr, length);
}

char* TextMid(const char* text, int32_t start, int32_t length, char* out) {
    int32_t available = TextLength(text);
    if (start < 1) start = 1;
    if (available < start - 1 || length <= 0) return TextPut(out, "", 0);
    int32_t rest = available - (start - 1);
    return TextPut(out, text + (start - 1), length < rest ? length : rest);
}

char* TextTrimLeft(const char* text, char* out) {
    int32_t length = TextLength(text);
    int32_t first = 0;
    while (first < length && text[first] == ' ') first++;
    return TextPut(out, text != nullptr ? text + first : nullptr, length - first);
}

char* TextTrimRight(const char* text, char* out) {
    int32_t length = TextLength(text);
    while (length > 0 && text[length - 1] == ' ') length--;
    return TextPut(out, text, length);
}

char* TextTrim(const char* text, char* out) {
    int32_t length = TextLength(text);
    int32_t first = 0;
    while (first < length && text[first] == ' ') first++;
    while (length > first && text[length - 1] == ' ') length--;
    return TextPut(out, text != nullptr ? text + first : nullptr, length - first);
}
