// Numbered platform fonts made from a face name, a size in points and style flags.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/ObjectTable.h"

const int32_t FONT_UNDERLINE = 0x4;
const int32_t FONT_STRIKEOUT = 0x8;
const int32_t FONT_HIGH_QUALITY = 0x10;  // PROOF_QUALITY
const int32_t FONT_BOLD = 0x100;
const int32_t FONT_ITALIC = 0x200;

struct FontRecord {
    HFONT handle;  // 0: free (or refused by the platform)
};

extern ObjectTable FontTable;

void FontLibraryStart();  // font table, bound 10
void FontFreeAll();       // dynamic fonts newest first, then bound - 1 down to 0

// Returns the font handle, the record identifier for OBJECT_ANY, or 0. The height is the em
// height in pixels of size points at the screen's vertical resolution.
intptr_t FontLoad(ObjectNumber number, const char* face, int32_t points, int32_t flags);
void FontFree(ObjectNumber number);
