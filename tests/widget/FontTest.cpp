// Fonts: size in points to pixels at the screen's resolution, style flags, reuse of a number,
// the table's growth and end-of-program release.
#include <string.h>

#include <string>

#include "tests/widget/WidgetFixture.h"
#include "widget/Font.h"

namespace {

class FontTest : public WidgetFixture {
protected:
    static LOGFONTA Description(intptr_t font) {
        LOGFONTA description = {};
        EXPECT_EQ(GetObjectA((HGDIOBJ)font, sizeof description, &description),
                  (int)sizeof description);
        return description;
    }

    static int ScreenDotsPerInch() {
        HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        int dots = GetDeviceCaps(screen, LOGPIXELSY);
        DeleteDC(screen);
        return dots;
    }
};

TEST_F(FontTest, ApplicationFontHeightFollowsTheScreenResolution) {
    int dots = ScreenDotsPerInch();
    intptr_t font = FontLoad(0, "Verdana", 7, FONT_HIGH_QUALITY);
    ASSERT_NE(font, 0);
    LOGFONTA description = Description(font);
    EXPECT_EQ(description.lfHeight, -MulDiv(7, dots, 72));
    if (dots == 96) {
        EXPECT_EQ(description.lfHeight, -9);
    } else if (dots == 120) {
        EXPECT_EQ(description.lfHeight, -12);
    }
    EXPECT_EQ(description.lfWidth, 0);
    EXPECT_EQ(description.lfWeight, FW_NORMAL);
    EXPECT_EQ(description.lfItalic, 0);
    EXPECT_EQ(description.lfQuality, PROOF_QUALITY);
    EXPECT_EQ(description.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(description.lfOutPrecision, OUT_DEFAULT_PRECIS);
    EXPECT_EQ(description.lfPitchAndFamily, 0);
    EXPECT_STREQ(description.lfFaceName, "Verdana");
}

TEST_F(FontTest, StyleFlags) {
    const struct {
        int32_t flags;
        LONG weight;
        BYTE italic, underline, strikeOut, quality;
    } cases[] = {
        {0, FW_NORMAL, 0, 0, 0, DEFAULT_QUALITY},
        {0x1, FW_NORMAL, 0, 0, 0, DEFAULT_QUALITY},
        {FONT_BOLD | FONT_ITALIC, FW_BOLD, 1, 0, 0, DEFAULT_QUALITY},
        {FONT_UNDERLINE, FW_NORMAL, 0, 1, 0, DEFAULT_QUALITY},
        {FONT_STRIKEOUT, FW_NORMAL, 0, 0, 1, DEFAULT_QUALITY},
        {FONT_HIGH_QUALITY | FONT_BOLD, FW_BOLD, 0, 0, 0, PROOF_QUALITY},
        {0x7FFFFFFF, FW_BOLD, 1, 1, 1, PROOF_QUALITY},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << entry.flags);
        // Each load starts from plain attributes, whatever the load before asked for.
        intptr_t font = FontLoad(1, "Tahoma", 10, entry.flags);
        ASSERT_NE(font, 0);
        LOGFONTA description = Description(font);
        EXPECT_EQ(description.lfWeight, entry.weight);
        EXPECT_EQ(description.lfItalic, entry.italic);
        EXPECT_EQ(description.lfUnderline, entry.underline);
        EXPECT_EQ(description.lfStrikeOut, entry.strikeOut);
        EXPECT_EQ(description.lfQuality, entry.quality);
    }
}

TEST_F(FontTest, ReloadingANumberDeletesTheOldFont) {
    intptr_t first = FontLoad(0, "Verdana", 7, 0);
    ASSERT_EQ(GetObjectType((HGDIOBJ)first), (DWORD)OBJ_FONT);
    intptr_t second = FontLoad(0, "Verdana", 9, 0);
    ASSERT_NE(second, 0);
    EXPECT_EQ(GetObjectType((HGDIOBJ)first), 0u);
    EXPECT_EQ(GetObjectType((HGDIOBJ)second), (DWORD)OBJ_FONT);
    FontFree(0);
    EXPECT_EQ(GetObjectType((HGDIOBJ)second), 0u);
    FontFree(0);
    FontFree(7);
    FontFree(-3);
    FontFree((ObjectNumber)0x12345678);
}

TEST_F(FontTest, ObjectAnyAndGrowth) {
    EXPECT_EQ(FontTable.bound, 10);
    ASSERT_NE(FontLoad(9, "Verdana", 7, 0), 0);
    EXPECT_EQ(FontTable.bound, 10);
    ASSERT_NE(FontLoad(10, "Verdana", 7, 0), 0);
    EXPECT_EQ(FontTable.bound, 40);

    intptr_t identifier = FontLoad(OBJECT_ANY, "Verdana", 7, 0);
    ASSERT_NE(identifier, 0);
    const FontRecord* record = (const FontRecord*)ObjectLookup(&FontTable, identifier);
    ASSERT_NE(record, nullptr);
    HFONT handle = record->handle;
    EXPECT_EQ(GetObjectType(handle), (DWORD)OBJ_FONT);
    FontFree(identifier);
    EXPECT_EQ(GetObjectType(handle), 0u);
    EXPECT_EQ(ObjectLookup(&FontTable, identifier), nullptr);
    EXPECT_EQ(FontTable.head, nullptr);
}

TEST_F(FontTest, HostileFaceNamesAndSizes) {
    std::string longFace(300, 'F');
    std::string cutFace(LF_FACESIZE - 1, 'F');
    const struct {
        const char* face;
        int32_t points;
        const char* kept;  // the face the font describes
    } cases[] = {{longFace.c_str(), 7, cutFace.c_str()},
                 {nullptr, 7, ""},
                 {"", 0, ""},
                 {"Verdana", -12, "Verdana"},
                 {"Verdana", 0x7FFFFFFF, "Verdana"}};
    int dots = ScreenDotsPerInch();
    HGDIOBJ before = nullptr;
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << "points " << entry.points);
        intptr_t font = FontLoad(2, entry.face, entry.points, 0);
        ASSERT_EQ(GetObjectType((HGDIOBJ)font), (DWORD)OBJ_FONT);
        const FontRecord* record = (const FontRecord*)ObjectLookup(&FontTable, 2);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ((intptr_t)record->handle, font);
        if (before) {
            EXPECT_EQ(GetObjectType(before), 0u) << "the font before was deleted";
        }
        before = (HGDIOBJ)font;
        LOGFONTA description = Description(font);
        // MulDiv gives -1 when the product leaves 32 bits.
        EXPECT_EQ(description.lfHeight, -MulDiv(entry.points, dots, 72));
        EXPECT_STREQ(description.lfFaceName, entry.kept);
    }
    FontFree(2);
    EXPECT_EQ(GetObjectType(before), 0u);
}

TEST_F(FontTest, EndOfProgramFreesEveryFont) {
    HGDIOBJ fonts[] = {
        (HGDIOBJ)FontLoad(0, "Verdana", 7, 0),
        (HGDIOBJ)FontLoad(12, "Verdana", 7, 0),
        (HGDIOBJ)((const FontRecord*)ObjectLookup(&FontTable, FontLoad(OBJECT_ANY, "Tahoma", 8, 0)))
            ->handle,
    };
    RuntimeEnd();
    for (HGDIOBJ font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
    RuntimeMainHeapDestroy();
    ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
}

}  // namespace
