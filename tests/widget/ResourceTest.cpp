// No GDI or USER objects are left behind by repeated create/free cycles. Each cycle runs once
// to warm up (stock objects, classes, lazily made lists), then many times against the counts.
// Wine's GetGuiResources answers 0, so the objects are counted by the program's own import
// wrappers (and its thread's windows); where the platform counts too, its totals are compared.
#include "tests/widget/ImportCounter.h"
#include "tests/widget/WidgetFixture.h"
#include "widget/Drawing.h"
#include "widget/Font.h"
#include "widget/Image.h"
#include "widget/ImageWidget.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"

namespace {

const int CYCLES = 25;

class ResourceTest : public WidgetFixture {
protected:
    void SetUp() override {
        ImportCounterInstall();
        WidgetFixture::SetUp();
    }

    // Runs cycle once, then CYCLES times, and compares the counts around the repeated runs.
    void CountsStayAfter(const std::function<void()>& cycle) {
        cycle();
        PumpPending();
        ObjectCounts before = LiveObjectsCount();
        DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        for (int i = 0; i < CYCLES; ++i) cycle();
        PumpPending();
        std::string difference = ObjectCountsDifference(before, LiveObjectsCount());
        EXPECT_TRUE(difference.empty())
            << "live objects before and after " << CYCLES << " cycles:\n"
            << difference;
        if (gdiBefore) {
            EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
        }
        if (userBefore) {
            EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
        }
    }
};

// The leak checks below would pass without counting anything if a slot were not redirected, so
// each kind of object made here (through the same import slots) must show up and go again.
struct MadeObject {
    const char* origin;
    std::function<HANDLE()> make;
    std::function<void(HANDLE)> free;
};

HWND StaticWindowOpen() {
    return CreateWindowExA(0, "STATIC", "counted", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST_F(ResourceTest, CounterSeesEveryKindOfObject) {
    auto deleteObject = [](HANDLE object) { DeleteObject((HGDIOBJ)object); };
    auto deleteDc = [](HANDLE dc) { DeleteDC((HDC)dc); };
    auto destroyMenu = [](HANDLE menu) { DestroyMenu((HMENU)menu); };
    static ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'F', 1}};
    const MadeObject objects[] = {
        {"CreateSolidBrush", [] { return (HANDLE)CreateSolidBrush(0x123456); }, deleteObject},
        {"CreateBrushIndirect",
         [] {
             LOGBRUSH brush = {BS_SOLID, 0xFF, 0};
             return (HANDLE)CreateBrushIndirect(&brush);
         },
         deleteObject},
        {"CreatePen", [] { return (HANDLE)CreatePen(PS_SOLID, 1, 0xFF00); }, deleteObject},
        {"CreateCompatibleBitmap",
         [] {
             HDC screen = GetDC(nullptr);
             HANDLE bitmap = CreateCompatibleBitmap(screen, 8, 8);
             ReleaseDC(nullptr, screen);
             return bitmap;
         },
         deleteObject},
        {"CreateCompatibleDC", [] { return (HANDLE)CreateCompatibleDC(nullptr); }, deleteDc},
        {"CreateDCA", [] { return (HANDLE)CreateDCA("DISPLAY", nullptr, nullptr, nullptr); },
         deleteDc},
        {"CreateFontA",
         [] {
             return (HANDLE)CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                        0, "Tahoma");
         },
         deleteObject},
        {"CreateFontIndirectA",
         [] {
             LOGFONTA font = {};
             font.lfHeight = -12;
             return (HANDLE)CreateFontIndirectA(&font);
         },
         deleteObject},
        {"GetDC", [] { return (HANDLE)GetDC(nullptr); },
         [](HANDLE dc) { ReleaseDC(nullptr, (HDC)dc); }},
        {"CreateMenu", [] { return (HANDLE)CreateMenu(); }, destroyMenu},
        {"CreatePopupMenu", [] { return (HANDLE)CreatePopupMenu(); }, destroyMenu},
        {"CreateAcceleratorTableA", [] { return (HANDLE)CreateAcceleratorTableA(keys, 1); },
         [](HANDLE table) { DestroyAcceleratorTable((HACCEL)table); }},
        {"window Static", [] { return (HANDLE)StaticWindowOpen(); },
         [](HANDLE window) { DestroyWindow((HWND)window); }},
        // A menu goes with the window it belongs to, without a DestroyMenu of its own.
        {"CreateMenu",
         [] {
             HWND window =
                 CreateWindowExA(0, "STATIC", "menu", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 CreateMenu(), GetModuleHandleA(nullptr), nullptr);
             return (HANDLE)window;
         },
         [](HANDLE window) { DestroyWindow((HWND)window); }},
    };
    for (const MadeObject& object : objects) {
        SCOPED_TRACE(object.origin);
        ObjectCounts before = LiveObjectsCount();
        HANDLE handle = object.make();
        ASSERT_TRUE(handle);
        ObjectCounts made = LiveObjectsCount();
        EXPECT_EQ(made[object.origin], before[object.origin] + 1);
        object.free(handle);
        EXPECT_EQ(ObjectCountsDifference(before, LiveObjectsCount()), "");
    }
}

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
