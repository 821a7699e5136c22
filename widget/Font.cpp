// Numbered fonts, sized in points for the screen's dots per inch.
#include "widget/Font.h"
#include "widget/GdiScope.h"

ObjectTable FontTable;

namespace {

const int32_t FONT_BOUND = 10;
const int32_t FONT_STEP = 30;

int32_t ScreenDotsPerInch() {
    ScreenDc screen;
    if (!screen) return 0;
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

}  // namespace

void FontLibraryStart() {
    ObjectTableInit(&FontTable, sizeof(FontRecord), FONT_BOUND, FONT_STEP, 1, 2);
}

void FontFreeAll() {
    ObjectReleaseAll(&FontTable, FontFree, false);
}

intptr_t FontLoad(ObjectNumber number, const char* face, int32_t points, int32_t flags) {
    int weight = (flags & FONT_BOLD) ? FW_BOLD : FW_NORMAL;
    DWORD italic = (flags & FONT_ITALIC) ? TRUE : FALSE;
    DWORD underline = (flags & FONT_UNDERLINE) ? TRUE : FALSE;
    DWORD strikeOut = (flags & FONT_STRIKEOUT) ? TRUE : FALSE;
    DWORD quality = (flags & FONT_HIGH_QUALITY) ? PROOF_QUALITY : DEFAULT_QUALITY;
    FontRecord* record = (FontRecord*)ObjectCreate(&FontTable, number);
    if (!record) return 0;
    bool numbered = number != OBJECT_ANY;
    if (numbered) {
        FontFree(number);
    } else {
        number = ObjectIdentifier(record);
    }
    // A negative height asks for the em height; without a screen it is 0, the platform's default.
    int height = -MulDiv(points, ScreenDotsPerInch(), 72);
    HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality, 0, face);
    if (!font && !numbered) {
        // An identifier that names no font would be handed out for a record kept for nothing.
        ObjectRemove(&FontTable, number);
        return 0;
    }
    record->handle = font;
    return numbered ? (intptr_t)font : number;
}

void FontFree(ObjectNumber number) {
    FontRecord* record = (FontRecord*)ObjectLookup(&FontTable, number);
    if (!record) return;
    DeleteObject(record->handle);
    record->handle = nullptr;
    ObjectRemove(&FontTable, number);
}
