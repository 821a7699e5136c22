// Zeroed memory blocks and raw memory access.
#include "runtime/Memory.h"

#include <string.h>

#include "runtime/Text.h"

HANDLE MainHeap = nullptr;
HANDLE ObjectHeap = nullptr;
HANDLE MemoryHeap = nullptr;

void* MemoryAllocate(int32_t size) {
    if (size <= 0 || MemoryHeap == nullptr) return nullptr;
    return HeapAlloc(MemoryHeap, HEAP_ZERO_MEMORY, (SIZE_T)size);
}

// memcpy keeps unaligned addresses legal; the caller vouches for the address itself.
int32_t PeekByte(intptr_t address) {
    int8_t value;
    memcpy(&value, (const void*)address, sizeof value);
    return value;
}

int32_t PeekWord(intptr_t address) {
    int16_t value;
    memcpy(&value, (const void*)address, sizeof value);
    return value;
}

int32_t PeekLong(intptr_t address) {
    int32_t value;
    memcpy(&value, (const void*)address, sizeof value);
    return value;
}

float PeekFloat(intptr_t address) {
    float value;
    memcpy(&value, (const void*)address, sizeof value);
    return value;
}

char* PeekText(intptr_t address, int32_t length) {
    const char* text = (const char*)address;
    if (text == nullptr || length == 0) return TextPut(nullptr, "", 0);
    // Never read further than the work buffer could take, so a text without a zero in reach of
    // the limit is not scanned to its end.
    int32_t limit = TextRoom(TextCursor());
    if (limit > 0) limit -= 1;
    if (length > 0 && length < limit) limit = length;
    const char* end = (const char*)memchr(text, 0, (size_t)limit);
    int32_t count = end != nullptr ? (int32_t)(end - text) : limit;
    return TextPut(nullptr, text, count);
}

void PokeByte(intptr_t address, int32_t value) {
    uint8_t byte = (uint8_t)value;
    memcpy((void*)address, &byte, sizeof byte);
}

void PokeWord(intptr_t address, int32_t value) {
    uint16_t word = (uint16_t)value;
    memcpy((void*)address, &word, sizeof word);
}

void PokeLong(intptr_t address, int32_t value) {
    memcpy((void*)address, &value, sizeof value);
}

void PokeFloat(intptr_t address, float value) {
    memcpy((void*)address, &value, sizeof value);
}

int32_t PokeText(intptr_t address, const char* text, int32_t length) {
    char* out = (char*)address;
    if (text == nullptr) text = "";
    int32_t count = 0;
    while (text[count] != 0 && (length < 0 || count < length)) count++;
    memmove(out, text, (size_t)count);
    out[count] = 0;
    return count;
}
