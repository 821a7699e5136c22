// Rectangles and pixels in one colour on one output at a time: an image or a window's client
// area. The layer owns the pens and brushes it makes; the output's context is borrowed.
#pragma once
#include <windows.h>
#include <stdint.h>

// Output kinds of a DrawTarget: 1 a window's client area, 2 an image (5 and 7 behave like 2);
// any other kind is a plain device context that DrawingStop deletes.
const int32_t DRAW_TARGET_WINDOW = 1;
const int32_t DRAW_TARGET_IMAGE = 2;

struct DrawTarget {
    int32_t kind;
    HWND window;              // kind 1
    HDC dc;                   // every kind but 1
    void (*release)(HDC dc);  // kinds 2, 5 and 7: gives the context back when drawing stops
};

// Mode bits; the mode is 0 at every DrawingStart.
const int32_t DRAWING_TRANSPARENT = 1;  // background mix TRANSPARENT instead of OPAQUE
const int32_t DRAWING_INVERT = 2;       // R2_NOT instead of R2_COPYPEN
const int32_t DRAWING_OUTLINED = 4;     // rectangles without interior

void DrawingLibraryStart();  // the default brush and pen, made once; run by RuntimeStart

HDC DrawingStart(const DrawTarget* output);  // the context drawing now uses, or 0
void DrawingStop();
HDC DrawingDc();  // the context of the drawing in progress, or 0

void DrawBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour);
void DrawBox(int32_t x, int32_t y, int32_t width, int32_t height);
void DrawingModeSet(int32_t mode);
void DrawingColourSet(int32_t red, int32_t green, int32_t blue);

// red + green * 256 + blue * 65536, components not masked.
int32_t ColourRgb(int32_t red, int32_t green, int32_t blue);
