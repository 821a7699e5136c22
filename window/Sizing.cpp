// Live sizing: the layer's own move and size loop, one message at a time.
// The OCR_* cursor numbers are only declared with OEMRESOURCE, before windows.h is first seen.
#define OEMRESOURCE
#include "window/Sizing.h"

SizingState LiveSizing;

namespace {

// The cursor stands 2 pixels inside a right or bottom edge (and inside the top-left corner), so
// Apply adds or takes those 2 pixels back to land on the same edge position.
const int32_t SIZING_INSET = 2;
const int32_t SIZING_STEP = 10;

bool EdgeLeftSide(int32_t edge) {
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}
bool EdgeRightSide(int32_t edge) {
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}
bool EdgeTopSide(int32_t edge) {
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}
bool EdgeBottomSide(int32_t edge) {
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

void SizingCursorShape(int shape) {
    SetCursor((HCURSOR)LoadImageA(nullptr, MAKEINTRESOURCEA(shape), IMAGE_CURSOR, 0, 0,
                                  LR_DEFAULTSIZE | LR_SHARED));
}

void SizingLimitsRead(HWND window) {
    MINMAXINFO& limits = LiveSizing.limits;
    limits.ptReserved = {0, 0};
    limits.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    if (GetWindowLongA(window, GWL_STYLE) & WS_BORDER) {
        limits.ptMaxPosition = {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
    } else if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_WINDOWEDGE) {
        limits.ptMaxPosition = {GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE)};
    } else {
        limits.ptMaxPosition = {0, 0};
    }
    limits.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    limits.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessageA(window, WM_GETMINMAXINFO, 0, (LPARAM)&limits);
}

void SizingStart(HWND window, int32_t edge) {
    LiveSizing.active = 1;
    LiveSizing.edge = edge;
    GetWindowRect(window, &LiveSizing.start);
    LiveSizing.current = LiveSizing.start;
    SizingLimitsRead(window);
    // Started from the keyboard menu the button is up; the window sees the press a border drag
    // would have given it.
    if (GetKeyState(VK_LBUTTON) == 0) SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SetCapture(window);
    PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    if (edge == 0) {
        LiveSizing.restoreCursor = 1;
        GetCursorPos(&LiveSizing.savedCursor);
        SizingCursorShape(OCR_SIZEALL);
    } else {
        LiveSizing.restoreCursor = 0;
    }
}

// Moves one side to a coordinate, kept within the tracking sizes by moving the same side back.
void SizingSideSet(LONG* side, LONG position, LONG opposite, LONG minimum, LONG maximum,
                   bool leading) {
    *side = position;
    LONG extent = leading ? opposite - *side : *side - opposite;
    if (extent < minimum)
        extent = minimum;
    else if (extent > maximum)
        extent = maximum;
    *side = leading ? opposite - extent : opposite + extent;
}

void SizingApply(LONG x, LONG y) {
    RECT& r = LiveSizing.current;
    const int32_t edge = LiveSizing.edge;
    const POINT& minimum = LiveSizing.limits.ptMinTrackSize;
    const POINT& maximum = LiveSizing.limits.ptMaxTrackSize;
    const LONG corner = edge == WMSZ_TOPLEFT ? SIZING_INSET : 0;
    if (EdgeLeftSide(edge)) SizingSideSet(&r.left, x - corner, r.right, minimum.x, maximum.x, true);
    if (EdgeRightSide(edge))
        SizingSideSet(&r.right, x + SIZING_INSET, r.left, minimum.x, maximum.x, false);
    if (EdgeTopSide(edge)) SizingSideSet(&r.top, y - corner, r.bottom, minimum.y, maximum.y, true);
    if (EdgeBottomSide(edge))
        SizingSideSet(&r.bottom, y + SIZING_INSET, r.top, minimum.y, maximum.y, false);
}

void SizingNotify(HWND window) {
    SendMessageA(window, WM_SIZING, (WPARAM)LiveSizing.edge, (LPARAM)&LiveSizing.current);
}

void SizingMove(HWND window, RECT rectangle) {
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(HWND_DESKTOP, GetParent(window), (POINT*)&rectangle, 2);
    MoveWindow(window, rectangle.left, rectangle.top, rectangle.right - rectangle.left,
               rectangle.bottom - rectangle.top, TRUE);
}

void SizingFollow(HWND window, LONG x, LONG y) {
    SizingApply(x, y);
    SizingNotify(window);
    SizingMove(window, LiveSizing.current);
}

// The part of Finish after the capture has gone.
void SizingEnd(HWND window) {
    PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    LiveSizing.active = 0;
    if (LiveSizing.restoreCursor) SetCursorPos(LiveSizing.savedCursor.x, LiveSizing.savedCursor.y);
}

void SizingFinish(HWND window) {
    ReleaseCapture();
    SizingEnd(window);
}

// Where an arrow key puts the cursor when it chooses an edge, relative to the current rectangle
// or to the pointer.
enum SizingAnchorX { ANCHOR_POINTER_X, ANCHOR_LEFT, ANCHOR_LEFT_INSIDE, ANCHOR_RIGHT_INSIDE };
enum SizingAnchorY { ANCHOR_POINTER_Y, ANCHOR_TOP, ANCHOR_TOP_INSIDE, ANCHOR_BOTTOM_INSIDE };

struct SizingKeyChoice {
    WPARAM key;
    int32_t edgeNow;
    int32_t edgeNew;
    SizingAnchorX x;
    SizingAnchorY y;
    int shape;
};

const SizingKeyChoice SIZING_KEY_CHOICES[] = {
    {VK_LEFT, 0, WMSZ_LEFT, ANCHOR_LEFT, ANCHOR_POINTER_Y, OCR_SIZEWE},
    {VK_LEFT, WMSZ_TOP, WMSZ_TOPLEFT, ANCHOR_LEFT_INSIDE, ANCHOR_TOP_INSIDE, OCR_SIZENWSE},
    {VK_LEFT, WMSZ_BOTTOM, WMSZ_BOTTOMLEFT, ANCHOR_LEFT, ANCHOR_BOTTOM_INSIDE, OCR_SIZENESW},
    {VK_RIGHT, 0, WMSZ_RIGHT, ANCHOR_RIGHT_INSIDE, ANCHOR_POINTER_Y, OCR_SIZEWE},
    {VK_RIGHT, WMSZ_TOP, WMSZ_TOPRIGHT, ANCHOR_RIGHT_INSIDE, ANCHOR_TOP, OCR_SIZENESW},
    {VK_RIGHT, WMSZ_BOTTOM, WMSZ_BOTTOMRIGHT, ANCHOR_RIGHT_INSIDE, ANCHOR_BOTTOM_INSIDE,
     OCR_SIZENWSE},
    {VK_UP, 0, WMSZ_TOP, ANCHOR_POINTER_X, ANCHOR_TOP, OCR_SIZENS},
    {VK_UP, WMSZ_RIGHT, WMSZ_TOPRIGHT, ANCHOR_RIGHT_INSIDE, ANCHOR_TOP, OCR_SIZENESW},
    {VK_UP, WMSZ_LEFT, WMSZ_TOPLEFT, ANCHOR_LEFT_INSIDE, ANCHOR_TOP_INSIDE, OCR_SIZENWSE},
    {VK_DOWN, 0, WMSZ_BOTTOM, ANCHOR_POINTER_X, ANCHOR_BOTTOM_INSIDE, OCR_SIZENS},
    {VK_DOWN, WMSZ_RIGHT, WMSZ_BOTTOMRIGHT, ANCHOR_RIGHT_INSIDE, ANCHOR_BOTTOM_INSIDE,
     OCR_SIZENWSE},
    {VK_DOWN, WMSZ_LEFT, WMSZ_BOTTOMLEFT, ANCHOR_LEFT, ANCHOR_BOTTOM_INSIDE, OCR_SIZENESW},
};

LONG SizingAnchorXAt(SizingAnchorX anchor, POINT pointer) {
    const RECT& r = LiveSizing.current;
    switch (anchor) {
    case ANCHOR_LEFT: return r.left;
    case ANCHOR_LEFT_INSIDE: return r.left + SIZING_INSET;
    case ANCHOR_RIGHT_INSIDE: return r.right - SIZING_INSET;
    default: return pointer.x;
    }
}

LONG SizingAnchorYAt(SizingAnchorY anchor, POINT pointer) {
    const RECT& r = LiveSizing.current;
    switch (anchor) {
    case ANCHOR_TOP: return r.top;
    case ANCHOR_TOP_INSIDE: return r.top + SIZING_INSET;
    case ANCHOR_BOTTOM_INSIDE: return r.bottom - SIZING_INSET;
    default: return pointer.y;
    }
}

void SizingKey(HWND window, WPARAM key) {
    POINT pointer;
    GetCursorPos(&pointer);
    for (const SizingKeyChoice& choice : SIZING_KEY_CHOICES) {
        if (choice.key != key || choice.edgeNow != LiveSizing.edge) continue;
        LiveSizing.edge = choice.edgeNew;
        SetCursorPos(SizingAnchorXAt(choice.x, pointer), SizingAnchorYAt(choice.y, pointer));
        SizingCursorShape(choice.shape);
        return;
    }
    POINT to = pointer;
    if (key == VK_LEFT) to.x -= SIZING_STEP;
    if (key == VK_RIGHT) to.x += SIZING_STEP;
    if (key == VK_UP) to.y -= SIZING_STEP;
    if (key == VK_DOWN) to.y += SIZING_STEP;
    SetCursorPos(to.x, to.y);
    SizingFollow(window, to.x, to.y);
}

LRESULT SizingKeyDown(HWND window, WPARAM key) {
    switch (key) {
    case VK_RETURN: SizingFinish(window); return 0;
    case VK_ESCAPE:
        ReleaseCapture();
        SizingMove(window, LiveSizing.start);
        SizingEnd(window);
        return 0;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        // Acted on, and still passed on: the application sees its arrow keys during a sizing.
        SizingKey(window, key);
        return HANDLER_DEFAULT;
    default: return HANDLER_DEFAULT;
    }
}

}  // namespace

LRESULT SizingPass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!LiveSizing.active) {
        if (message != WM_SYSCOMMAND || (wParam & 0xFFF0) != SC_SIZE) return HANDLER_DEFAULT;
        BOOL fullWindows = FALSE;
        SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullWindows, 0);
        // Outline dragging stays with the platform's own sizing loop.
        if (!fullWindows) return HANDLER_DEFAULT;
        SizingStart(window, (int32_t)(wParam & 0xF));
        return 0;
    }
    switch (message) {
    case WM_MOUSEMOVE: {
        LiveSizing.restoreCursor = 0;
        POINT point = {(SHORT)LOWORD(lParam), (SHORT)HIWORD(lParam)};
        MapWindowPoints(window, HWND_DESKTOP, &point, 1);
        SizingFollow(window, point.x, point.y);
        return 0;
    }
    case WM_KEYDOWN: return SizingKeyDown(window, wParam);
    case WM_LBUTTONUP: SizingFinish(window); return 0;
    default: return HANDLER_DEFAULT;
    }
}
