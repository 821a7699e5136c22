// The runtime's private heaps, zeroed memory blocks and raw memory access.
#pragma once
#include <windows.h>
#include <stdint.h>

extern HANDLE MainHeap;    // work buffer, text variables, slot arrays
extern HANDLE ObjectHeap;  // dynamic records, disabled-window records
extern HANDLE MemoryHeap;  // MemoryAllocate blocks

// A zero-filled block of size bytes from MemoryHeap; null for size <= 0 or when the heap can't
// supply it. Blocks are never freed one by one.
void* MemoryAllocate(int32_t size);

// Raw access: addresses are pointer-sized values (32-bit in the product) and are trusted.
int32_t PeekByte(intptr_t address);  // sign-extended
int32_t PeekWord(intptr_t address);  // sign-extended
int32_t PeekLong(intptr_t address);
float PeekFloat(intptr_t address);
char* PeekText(intptr_t address,
               int32_t length = -1);  // into the WorkBuffer at its cursor, cut to fit
void PokeByte(intptr_t address, int32_t value);
void PokeWord(intptr_t address, int32_t value);
void PokeLong(intptr_t address, int32_t value);
void PokeFloat(intptr_t address, float value);
int32_t PokeText(intptr_t address, const char* text, int32_t length = -1);
