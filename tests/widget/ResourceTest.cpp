// No GDI or USER objects are left behind by repeated create/free cycles. Each cycle runs once
// to warm up (stock objects, classes, lazily made lists), then many times against the counts.
#include "tests/widget/WidgetFixture.h"
#include "widget/Drawing.h"
#include "widget/Font.h"
#include "widget/Image.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"

namespace {

const int CYCLES = 25;

class ResourceTest : public WidgetFixture {
protected:
    void SetUp() override {
        WidgetFixture::SetUp();
        gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        if (gdi == 0 && user == 0) {
            GTEST_SKIP() << "GetGuiResources reports no objects on this platform (Wine stubs it "
                            "to 0), so object counts cannot be compared here";
        }
    }

    // Runs cycle once, then CYCLES times, and compares the counts around the repeated runs.
    void CountsStayAfter(const std::function<void()>& cycle) {
        cycle();
        PumpPending();
        DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        for (int i = 0; i < CYCLES; ++i) cycle();
        PumpPending();
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
    }

    DWORD gdi = 0;
    DWORD user = 0;
};

TEST_F(ResourceTest, ImagesAndTheirTargets) {
    CountsStayAfter([] {
        ImageCreate(0, 64, 48);
        ImageTarget();
        ImageCreate(OBJECT_ANY, 8, 8);
        ImageTarget();
        ImageUse(0);
        ImageTarget();
        ImageFree(0);
        ImageFreeAll();
    });
}

TEST_F(ResourceTest, Drawings) {
    HWND parent = ParentOpen(100, 100);
    ASSERT_TRUE(parent);
    CountsStayAfter([parent] {
        ImageCreate(0, 64, 48);
        DrawingStart(ImageTarget());
        for (int i = 0; i < 4; ++i) DrawBox(i, i, 20, 20, ColourRgb(0, 0, 255 - 8 * i));
        DrawingModeSet(DRAWING_OUTLINED);
        DrawBox(0, 0, 64, 48, 0xC0FFFF);
        DrawingModeSet(0);
        DrawBox(1, 1, 1, 1, 0x123456);
        DrawingStart(ImageTarget());  // ends the first drawing
        DrawBox(0, 0, 5, 5, 0xFF);
        DrawingStop();
        DrawTarget window = {DRAW_TARGET_WINDOW, parent, nullptr, nullptr};
        DrawingStart(&window);
        DrawBox(0, 0, 10, 10, 0xFF00);
        DrawingStop();
        DrawTarget plain = {3, nullptr, CreateCompatibleDC(nullptr), nullptr};
        DrawingStart(&plain);
        DrawBox(0, 0, 10, 10, 0xFF00);
        DrawingStop();
        ImageFree(0);
    });
}

TEST_F(ResourceTest, Fonts) {
    CountsStayAfter([] {
        FontLoad(0, "Verdana", 7, FONT_HIGH_QUALITY);
        FontLoad(0, "Verdana", 8, FONT_BOLD);
        FontLoad(OBJECT_ANY, "Tahoma", 9, 0);
        FontLoad(3, "Tahoma", 9, FONT_ITALIC);
        FontFree(3);
        FontFreeAll();
    });
}

TEST_F(ResourceTest, Widgets) {
    CountsStayAfter([this] {
        HWND parent = ParentOpen(300, 200);
        intptr_t picture = ImageCreate(0, 16, 16);
        ListWidgetCreate(2, 0, 0, 200, 100, "Name", 100, 0x50010008 | LIST_CHECKBOXES);
        ListWidgetColumnAdd(2, 1, "Value", 50);
        for (int i = 0; i < 5; ++i) WidgetItemAdd(2, -1, "a\nb\nc");
        WidgetItemAddWithImage(2, -1, "pic", picture);
        WidgetItemStateSet(2, 1, 3);
        ListWidgetCreate(2, 0, 0, 200, 100, "Again", 100);  // replaces the first list
        ImageWidgetCreate(1, 0, 0, 16, 16, picture);
        intptr_t any = ListWidgetCreate(OBJECT_ANY, 0, 0, 50, 50, "Any", 40);
        WidgetFree(any);
        DestroyWindow(parent);
        ImageFree(0);
    });
}

}  // namespace
