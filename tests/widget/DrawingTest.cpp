// Drawing on images, windows and plain contexts: the application's background pixel by pixel,
// pixels and outlines, the mode, idle calls, and who owns which brush and pen.
#include "tests/widget/WidgetFixture.h"
#include "widget/Drawing.h"
#include "widget/Image.h"

namespace {

const COLORREF FRAME = 0xC0FFFF;

class DrawingTest : public WidgetFixture {
protected:
    void TearDown() override {
        DrawingStop();
        WidgetFixture::TearDown();
    }

    // A black image of its own, made current.
    HBITMAP Canvas(int32_t width = 20, int32_t height = 20) {
        return (HBITMAP)ImageCreate(0, width, height);
    }
};

TEST_F(DrawingTest, ApplicationBackground) {
    const int32_t width = 470, height = 360;
    HBITMAP image = Canvas(width, height);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(DrawingStart(ImageTarget()), nullptr);
    for (int32_t i = 0; i < 32; ++i) {
        DrawBox(i, i, width - 2 * i, height - 2 * i, ColourRgb(0, 0, 255 - 8 * i));
    }
    DrawingModeSet(DRAWING_OUTLINED);
    DrawBox(0, 0, width, height, (int32_t)FRAME);
    DrawingStop();

    const struct {
        int x, y;
        COLORREF colour;
    } corners[] = {
        {0, 0, FRAME},      {469, 359, FRAME},  {469, 0, FRAME},      {0, 359, FRAME},
        {235, 0, FRAME},    {1, 1, 0xF70000},   {468, 358, 0xF70000}, {2, 2, 0xEF0000},
        {30, 30, 0x0F0000}, {31, 31, 0x070000}, {438, 328, 0x070000}, {439, 329, 0x0F0000},
    };
    for (const auto& entry : corners) {
        SCOPED_TRACE(testing::Message() << "(" << entry.x << "," << entry.y << ")");
        EXPECT_EQ(BitmapPixel(image, entry.x, entry.y), entry.colour);
    }
    // Every pixel of the innermost box.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ replaced = SelectObject(dc, image);
    int wrong = 0;
    for (int y = 31; y <= 328; ++y) {
        for (int x = 31; x <= 438; ++x) {
            if (GetPixel(dc, x, y) != 0x070000 && wrong++ < 5) {
                ADD_FAILURE() << "(" << x << "," << y << ") = 0x" << std::hex << GetPixel(dc, x, y);
            }
        }
    }
    SelectObject(dc, replaced);
    DeleteDC(dc);
    EXPECT_EQ(wrong, 0);
}

TEST_F(DrawingTest, OneByOneSetsOnePixel) {
    HBITMAP image = Canvas();
    ASSERT_NE(DrawingStart(ImageTarget()), nullptr);
    DrawBox(5, 6, 1, 1, 0x123456);
    DrawBox(10, 10, 2, 1, 0x00FF00);
    DrawingColourSet(0, 0, 0x80);
    DrawBox(15, 15, 1, 1);  // the current colour
    DrawingStop();
    const struct {
        int x, y;
        COLORREF colour;
    } pixels[] = {
        {5, 6, 0x123456},   {4, 6, 0},          {6, 6, 0},   {5, 5, 0},   {5, 7, 0},
        {10, 10, 0x00FF00}, {11, 10, 0x00FF00}, {12, 10, 0}, {10, 11, 0}, {15, 15, 0x800000},
    };
    for (const auto& entry : pixels) {
        SCOPED_TRACE(testing::Message() << "(" << entry.x << "," << entry.y << ")");
        EXPECT_EQ(BitmapPixel(image, entry.x, entry.y), entry.colour);
    }
}

TEST_F(DrawingTest, OutlinedChangesOnlyTheEdge) {
    HBITMAP image = Canvas();
    ASSERT_NE(DrawingStart(ImageTarget()), nullptr);
    DrawBox(0, 0, 20, 20, 0x0000FF);
    DrawingModeSet(DRAWING_OUTLINED);
    DrawBox(2, 2, 10, 10, 0x00FF00);
    DrawingStop();
    EXPECT_EQ(BitmapPixel(image, 2, 2), 0x00FF00u);
    EXPECT_EQ(BitmapPixel(image, 11, 11), 0x00FF00u);
    EXPECT_EQ(BitmapPixel(image, 6, 6), 0x0000FFu) << "the inside keeps what was there";
    EXPECT_EQ(BitmapPixel(image, 12, 12), 0x0000FFu);
}

TEST_F(DrawingTest, ModeReturnsToZeroAtEveryStart) {
    HBITMAP image = Canvas();
    HDC dc = DrawingStart(ImageTarget());
    ASSERT_NE(dc, nullptr);
    DrawingModeSet(DRAWING_OUTLINED | DRAWING_INVERT | DRAWING_TRANSPARENT);
    EXPECT_EQ(GetROP2(dc), R2_NOT);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DrawingStop();

    dc = DrawingStart(ImageTarget());
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    DrawBox(0, 0, 10, 10, 0x0000FF);  // filled and not inverted again
    DrawingStop();
    EXPECT_EQ(BitmapPixel(image, 5, 5), 0x0000FFu);
    EXPECT_EQ(BitmapPixel(image, 0, 0), 0x0000FFu);

    // A class's own context (CS_OWNDC) keeps its attributes between drawings, so only the start
    // itself can put the mode back to 0.
    WNDCLASSA ownDcClass = {};
    ownDcClass.style = CS_OWNDC;
    ownDcClass.lpfnWndProc = DefWindowProcA;
    ownDcClass.hInstance = GetModuleHandleA(nullptr);
    ownDcClass.lpszClassName = "DrawingOwnDc";
    RegisterClassA(&ownDcClass);
    HWND owner = CreateWindowExA(0, "DrawingOwnDc", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    parents.push_back(owner);
    DrawTarget window = {DRAW_TARGET_WINDOW, owner, nullptr, nullptr};
    HDC first = DrawingStart(&window);
    ASSERT_NE(first, nullptr);
    DrawingModeSet(DRAWING_INVERT | DRAWING_TRANSPARENT);
    SetBkColor(first, 0x123456);  // outside the layer: nothing resets it
    DrawingStop();
    dc = DrawingStart(&window);
    ASSERT_EQ(dc, first) << "the window's own context";
    EXPECT_EQ(GetBkColor(dc), 0x123456u) << "the context kept its attributes";
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    DrawingStop();
}

TEST_F(DrawingTest, InvertIgnoresTheColour) {
    HBITMAP image = Canvas();
    ASSERT_NE(DrawingStart(ImageTarget()), nullptr);
    DrawBox(0, 0, 20, 20, 0x0000FF);
    DrawingModeSet(DRAWING_INVERT);
    DrawBox(0, 0, 10, 10, 0x00FF00);
    DrawingStop();
    EXPECT_EQ(BitmapPixel(image, 5, 5), 0xFFFF00u);  // not 0x0000FF
    EXPECT_EQ(BitmapPixel(image, 15, 15), 0x0000FFu);
}

TEST_F(DrawingTest, NothingHappensWithoutADrawing) {
    HBITMAP image = Canvas();
    DrawBox(0, 0, 10, 10, 0x0000FF);
    DrawBox(1, 1, 1, 1, 0x0000FF);
    DrawingModeSet(DRAWING_OUTLINED);
    DrawingColourSet(255, 0, 0);  // not even recorded
    EXPECT_EQ(DrawingDc(), nullptr);

    ASSERT_NE(DrawingStart(ImageTarget()), nullptr);
    DrawingColourSet(0, 0, 0x40);
    DrawingStop();
    DrawBox(0, 0, 10, 10, 0x00FF00);
    DrawingColourSet(255, 0, 0);

    ASSERT_NE(DrawingStart(ImageTarget()), nullptr);
    DrawBox(3, 3, 1, 1);  // the colour of the last drawing, not of the idle call
    DrawingStop();
    EXPECT_EQ(BitmapPixel(image, 1, 1), 0u);
    EXPECT_EQ(BitmapPixel(image, 5, 5), 0u);
    EXPECT_EQ(BitmapPixel(image, 3, 3), 0x400000u);

    EXPECT_EQ(DrawingStart(nullptr), nullptr);
    DrawBox(0, 0, 10, 10, 0x00FF00);
    EXPECT_EQ(BitmapPixel(image, 5, 5), 0u);
}

// The layer deletes the brushes and pens it makes, and only those.
TEST_F(DrawingTest, ColourBrushesAndPensAreOwnedByTheDrawing) {
    Canvas();
    HDC dc = DrawingStart(ImageTarget());
    ASSERT_NE(dc, nullptr);
    HGDIOBJ defaultBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ defaultPen = GetCurrentObject(dc, OBJ_PEN);
    DrawBox(0, 0, 5, 5, 0x0000FF);
    HGDIOBJ firstBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ firstPen = GetCurrentObject(dc, OBJ_PEN);
    EXPECT_NE(firstBrush, defaultBrush);
    DrawBox(0, 0, 5, 5, 0x00FF00);
    HGDIOBJ secondBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ secondPen = GetCurrentObject(dc, OBJ_PEN);
    EXPECT_EQ(GetObjectType(firstBrush), 0u) << "replaced colour brush deleted";
    EXPECT_EQ(GetObjectType(firstPen), 0u) << "replaced colour pen deleted";

    // Outlined: the stock null brush is selected and colour changes make no brush.
    DrawingModeSet(DRAWING_OUTLINED);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
    DrawBox(0, 0, 5, 5, 0xFF0000);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetObjectType(secondBrush), (DWORD)OBJ_BRUSH) << "still owned, not selected";
    HGDIOBJ thirdPen = GetCurrentObject(dc, OBJ_PEN);
    DrawingModeSet(0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), secondBrush);

    DrawingStop();
    EXPECT_EQ(GetObjectType(secondBrush), 0u);
    EXPECT_EQ(GetObjectType(secondPen), 0u);
    EXPECT_EQ(GetObjectType(thirdPen), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u) << "the image context went with the drawing";
    EXPECT_EQ(GetObjectType(defaultBrush), (DWORD)OBJ_BRUSH) << "the default brush is kept";
    EXPECT_EQ(GetObjectType(defaultPen), (DWORD)OBJ_PEN);

    // The next drawing starts with the same defaults.
    dc = DrawingStart(ImageTarget());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), defaultBrush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), defaultPen);
    DrawingStop();
}

TEST_F(DrawingTest, EachKindOfOutputIsGivenBackItsOwnWay) {
    // A plain context is deleted at the end of its drawing.
    HDC plain = CreateCompatibleDC(nullptr);
    DrawTarget plainTarget = {3, nullptr, plain, nullptr};
    EXPECT_EQ(DrawingStart(&plainTarget), plain);
    DrawingStop();
    EXPECT_EQ(GetObjectType(plain), 0u);

    // A window's context is released.
    HWND parent = ParentOpen(100, 100);
    DrawTarget window = {DRAW_TARGET_WINDOW, parent, nullptr, nullptr};
    HDC windowDc = DrawingStart(&window);
    ASSERT_NE(windowDc, nullptr);
    DrawBox(0, 0, 50, 50, 0x0000FF);
    DrawingStop();
    EXPECT_EQ(DrawingDc(), nullptr);

    // Starting again ends the drawing before: its image context is deleted.
    Canvas();
    HDC first = DrawingStart(ImageTarget());
    ASSERT_NE(first, nullptr);
    HDC second = DrawingStart(ImageTarget());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(DrawingDc(), second);
    DrawingStop();
    EXPECT_EQ(GetObjectType(second), 0u);

    // A window whose context can't be had leaves the layer idle.
    DestroyWindow(parent);
    EXPECT_EQ(DrawingStart(&window), nullptr);
    EXPECT_EQ(DrawingDc(), nullptr);
}

TEST(ColourRgb, IsAPlainSum) {
    const struct {
        int32_t red, green, blue, colour;
    } cases[] = {
        {0, 0, 255, 0xFF0000}, {255, 255, 192, 0xC0FFFF},
        {0, 0, 0, 0},          {1, 2, 3, 0x030201},
        {255, 0, 0, 0xFF},     {256, 0, 0, 0x100},
        {0, 0, 247, 0xF70000}, {-1, 0, 0, -1},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.red << "," << entry.green << "," << entry.blue);
        EXPECT_EQ(ColourRgb(entry.red, entry.green, entry.blue), entry.colour);
    }
}

}  // namespace
