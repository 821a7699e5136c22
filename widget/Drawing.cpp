// One drawing at a time: a colour with its pen and brush in an image's or a window's context.
#include "widget/Drawing.h"

namespace {

struct DrawingState {
    HDC dc;  // 0: idle
    int32_t kind;
    HWND window;
    void (*release)(HDC dc);
    HGDIOBJ replacedBrush;
    HGDIOBJ replacedPen;
    int32_t colour;  // survives DrawingStop and DrawingStart
    int32_t mode;
    HBRUSH colourBrush;  // owned: made by the last colour change
    HPEN colourPen;
};

DrawingState drawing;

// Made once and never deleted, so every start has something of ours to select.
HBRUSH defaultBrush;
HPEN defaultPen;

bool KindIsImage(int32_t kind) {
    return kind == 2 || kind == 5 || kind == 7;
}

}  // namespace

void DrawingLibraryStart() {
    DrawingStop();
    drawing = DrawingState();
    if (!defaultBrush) defaultBrush = CreateSolidBrush(0);
    if (!defaultPen) defaultPen = CreatePen(PS_SOLID, 0, (COLORREF)drawing.colour);
}

HDC DrawingStart(const DrawTarget* output) {
    DrawingStop();
    if (!output) return nullptr;
    drawing.kind = output->kind;
    drawing.window = output->window;
    drawing.release = output->release;
    drawing.mode = 0;
    HDC dc = output->kind == DRAW_TARGET_WINDOW ? GetDC(output->window) : output->dc;
    if (!dc) return nullptr;
    drawing.dc = dc;
    SetTextAlign(dc, TA_UPDATECP);
    drawing.replacedBrush = SelectObject(dc, defaultBrush);
    drawing.replacedPen = SelectObject(dc, defaultPen);
    SetTextColor(dc, 0);
    // A context that outlives one drawing (a class or own DC) may still carry the last mode.
    SetROP2(dc, R2_COPYPEN);
    SetBkMode(dc, OPAQUE);
    return dc;
}

void DrawingStop() {
    HDC dc = drawing.dc;
    if (!dc) return;
    SelectObject(dc, drawing.replacedBrush);
    SelectObject(dc, drawing.replacedPen);
    if (drawing.colourBrush) DeleteObject(drawing.colourBrush);
    if (drawing.colourPen) DeleteObject(drawing.colourPen);
    drawing.colourBrush = nullptr;
    drawing.colourPen = nullptr;
    drawing.dc = nullptr;
    if (drawing.kind == DRAW_TARGET_WINDOW) {
        ReleaseDC(drawing.window, dc);
    } else if (KindIsImage(drawing.kind)) {
        if (drawing.release) drawing.release(dc);
    } else {
        DeleteDC(dc);
    }
}

HDC DrawingDc() {
    return drawing.dc;
}

void DrawingColourSet(int32_t red, int32_t green, int32_t blue) {
    if (!drawing.dc) return;
    drawing.colour = ColourRgb(red, green, blue);
    if (!(drawing.mode & DRAWING_OUTLINED)) {
        HBRUSH brush = CreateSolidBrush((COLORREF)drawing.colour);
        if (brush) {
            SelectObject(drawing.dc, brush);
            if (drawing.colourBrush) DeleteObject(drawing.colourBrush);
            drawing.colourBrush = brush;
        }
    }
    HPEN pen = CreatePen(PS_SOLID, 0, (COLORREF)drawing.colour);
    if (pen) {
        SelectObject(drawing.dc, pen);
        if (drawing.colourPen) DeleteObject(drawing.colourPen);
        drawing.colourPen = pen;
    }
    SetTextColor(drawing.dc, (COLORREF)drawing.colour);
}

void DrawBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) {
    if (!drawing.dc) return;
    DrawingColourSet(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    DrawBox(x, y, width, height);
}

void DrawBox(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!drawing.dc) return;
    if (width == 1 && height == 1) {
        SetPixelV(drawing.dc, x, y, (COLORREF)drawing.colour);
    } else {
        Rectangle(drawing.dc, x, y, x + width, y + height);
    }
}

void DrawingModeSet(int32_t mode) {
    if (!drawing.dc) return;
    drawing.mode = mode;
    SetROP2(drawing.dc, (mode & DRAWING_INVERT) ? R2_NOT : R2_COPYPEN);
    if (mode & DRAWING_OUTLINED) {
        SelectObject(drawing.dc, GetStockObject(NULL_BRUSH));
    } else if (drawing.colourBrush) {
        SelectObject(drawing.dc, drawing.colourBrush);
    }
    SetBkMode(drawing.dc, (mode & DRAWING_TRANSPARENT) ? TRANSPARENT : OPAQUE);
}

int32_t ColourRgb(int32_t red, int32_t green, int32_t blue) {
    // Unsigned, so that out-of-range components wrap instead of overflowing.
    return (int32_t)((uint32_t)red + (uint32_t)green * 256u + (uint32_t)blue * 65536u);
}
