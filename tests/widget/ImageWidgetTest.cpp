// The image widget: a static picture control that shows a bitmap or an icon and lets the mouse
// through to the window beneath it.
#include <string.h>

#include <windows.h>
#include <commctrl.h>

#include "tests/widget/WidgetFixture.h"
#include "widget/Image.h"
#include "widget/ImageWidget.h"
#include "widget/ListWidget.h"
#include "widget/Widget.h"

namespace {

const ObjectNumber PICTURE = 1;

class ImageWidgetTest : public WidgetFixture {
protected:
    void TearDown() override {
        WidgetFixture::TearDown();
        if (icon) DestroyIcon(icon);
    }

    HICON IconMake() {
        BYTE andMask[32 * 4];
        BYTE xorMask[32 * 4];
        memset(andMask, 0xFF, sizeof andMask);
        memset(xorMask, 0, sizeof xorMask);
        icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask);
        return icon;
    }

    HICON icon = nullptr;
};

TEST_F(ImageWidgetTest, StyleFollowsThePicture) {
    ASSERT_TRUE(ParentOpen());
    intptr_t bitmap = ImageCreate(0, 470, 360);
    ASSERT_NE(bitmap, 0);
    HICON picture = IconMake();
    ASSERT_TRUE(picture);
    const struct {
        const char* what;
        intptr_t image;
        DWORD type;
        UINT message;  // STM_GETIMAGE type
    } cases[] = {
        {"no picture", 0, SS_BITMAP, IMAGE_BITMAP},
        {"bitmap", bitmap, SS_BITMAP, IMAGE_BITMAP},
        {"icon", (intptr_t)picture, SS_ICON, IMAGE_ICON},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        HWND control = (HWND)ImageWidgetCreate(PICTURE, 0, 0, 470, 360, entry.image);
        ASSERT_NE(control, nullptr);
        char className[16] = "";
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(className, "Static");
        DWORD style = (DWORD)GetWindowLongPtrA(control, GWL_STYLE);
        EXPECT_EQ(style & SS_TYPEMASK, entry.type);
        EXPECT_EQ(style & SS_NOTIFY, 0u);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), (DWORD)(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ((intptr_t)SendMessageA(control, STM_GETIMAGE, entry.message, 0), entry.image);
    }
}

TEST_F(ImageWidgetTest, StateSetShowsAnotherPicture) {
    ASSERT_TRUE(ParentOpen());
    intptr_t first = ImageCreate(0, 40, 30);
    intptr_t second = ImageCreate(1, 40, 30);
    HWND control = (HWND)ImageWidgetCreate(PICTURE, 0, 0, 40, 30, first, WS_EX_CLIENTEDGE);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    WidgetStateSet(PICTURE, second);
    EXPECT_EQ((intptr_t)SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0), second);
    WidgetStateSet(PICTURE, 0);
    EXPECT_EQ((intptr_t)SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0), second)
        << "0 leaves the picture alone";
    // Every other generic operation takes its default.
    EXPECT_EQ(WidgetState(PICTURE), 0);
    EXPECT_EQ(WidgetItemCount(PICTURE), 0);
    EXPECT_STREQ(WidgetItemText(PICTURE, 0, 0), "");
    WidgetResize(PICTURE, 7, 9, -1, -1);
    EXPECT_EQ(WidgetX(PICTURE), 7);
    EXPECT_EQ(WidgetY(PICTURE), 9);
    WidgetFree(PICTURE);
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(ControlOf(PICTURE), nullptr);
    EXPECT_NE(GetObjectType((HGDIOBJ)second), 0u) << "the picture stays the image table's";
}

TEST_F(ImageWidgetTest, MouseInputPassesThroughToTheParent) {
    HWND parent = ParentOpen(300, 200);
    ASSERT_TRUE(parent);
    intptr_t bitmap = ImageCreate(0, 300, 200);
    HWND control = (HWND)ImageWidgetCreate(PICTURE, 0, 0, 300, 200, bitmap);
    ASSERT_NE(control, nullptr);
    PumpPending();
    parentMessages.clear();
    POINT point = {150, 100};
    ClientToScreen(parent, &point);
    POINT inside = {150, 100};
    ASSERT_EQ(ChildWindowFromPoint(parent, inside), control) << "the picture covers the point";
    MouseClick(point);
    auto pressed = [] {
        for (const ParentMessage& entry : parentMessages) {
            if (entry.message == WM_LBUTTONDOWN) return true;
        }
        return false;
    };
    EXPECT_TRUE(PumpUntil(pressed)) << ParentMessagesDump(parentMessages);
    for (const ParentMessage& entry : parentMessages) {
        EXPECT_NE(entry.message, (UINT)WM_COMMAND) << "the picture sends no notifications";
    }
}

// The application puts its picture behind the list after making the list; what a person sees
// over the list's area must still be the list.
TEST_F(ImageWidgetTest, APictureBehindAListNeverPaintsOverIt) {
    HWND parent = ParentOpen(300, 200);
    ASSERT_TRUE(parent);
    HWND list = (HWND)ListWidgetCreate(2, 25, 25, 250, 150, "Name", 100);
    ASSERT_NE(list, nullptr);
    WidgetItemAdd(2, -1, "row");
    intptr_t bitmap = ImageCreate(0, 300, 200);  // black
    HWND picture = (HWND)ImageWidgetCreate(PICTURE, 0, 0, 300, 200, bitmap);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(GetWindow(parent, GW_CHILD), list) << "the list is above the picture";
    for (int round = 0; round < 3; ++round) {
        RedrawWindow(parent, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        InvalidateRect(picture, nullptr, TRUE);
        UpdateWindow(picture);
        PumpPending();
    }
    COLORREF listBackground = (COLORREF)SendMessageA(list, LVM_GETBKCOLOR, 0, 0);
    ASSERT_NE(listBackground, 0u);
    HDC screen = GetDC(nullptr);
    POINT body = {200, 140};  // inside the list, below its rows
    ClientToScreen(parent, &body);
    POINT outside = {5, 5};
    ClientToScreen(parent, &outside);
    EXPECT_EQ(GetPixel(screen, body.x, body.y), listBackground);
    EXPECT_EQ(GetPixel(screen, outside.x, outside.y), 0u) << "the picture shows around the list";
    ReleaseDC(nullptr, screen);
}

}  // namespace
