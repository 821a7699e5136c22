// The image widget: a static picture control over a bitmap or an icon.
#include "widget/ImageWidget.h"
#include "widget/Widget.h"

namespace {

bool HandleIsBitmap(HANDLE handle) {
    return GetObjectType(handle) == OBJ_BITMAP;
}

// STM_SETIMAGE returns the picture it replaces; that belongs to whoever made it, not to us.
void ImageWidgetShow(HWND control, intptr_t image) {
    if (!image) return;
    WPARAM type = HandleIsBitmap((HANDLE)image) ? IMAGE_BITMAP : IMAGE_ICON;
    SendMessageA(control, STM_SETIMAGE, type, (LPARAM)image);
}

constexpr WidgetOperationTable ImageWidgetOperationsMake() {
    WidgetOperationTable operations{};
    operations.stateSet = ImageWidgetShow;
    return operations;
}

constexpr WidgetOperationTable imageWidgetOperations = ImageWidgetOperationsMake();

}  // namespace

intptr_t ImageWidgetCreate(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                           intptr_t image, int32_t exStyle) {
    bool bitmap = !image || HandleIsBitmap((HANDLE)image);
    // No SS_NOTIFY: the control then answers HTTRANSPARENT and the window beneath gets the mouse.
    // WS_CLIPSIBLINGS: a picture placed behind other widgets (created after them, so lower in the
    // Z order) would otherwise paint over them whenever it repaints.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (bitmap ? SS_BITMAP : SS_ICON);
    if (!WidgetRecordClaim(&number)) return 0;
    HWND control =
        WidgetControlCreate(number, (DWORD)exStyle, "STATIC", style, x, y, width, height);
    if (!control) return 0;
    ImageWidgetShow(control, image);
    return WidgetInstall(number, control, &imageWidgetOperations);
}
