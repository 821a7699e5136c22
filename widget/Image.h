// Numbered off-screen bitmaps in the screen's format, drawn on through one image device context
// at a time.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/ObjectTable.h"
#include "widget/Drawing.h"

struct ImageRecord {
    HANDLE handle;  // a bitmap (an icon is accepted wherever an image is released); 0: free
    int16_t width;
    int16_t height;
    int16_t depth;  // bits per pixel
};

extern ObjectTable ImageTable;

void ImageLibraryStart();  // empties the decoder registry, then the image table (bound 10)
void ImageFreeAll();       // dynamic images newest first, then 0 up to bound - 1

// Returns the bitmap handle, the record identifier for OBJECT_ANY, or 0. The image is black and
// becomes the current image.
intptr_t ImageCreate(ObjectNumber number, int32_t width, int32_t height);
void ImageFree(ObjectNumber number);
// The drawing target of the current image, or 0. One image device context exists at a time:
// each call gives back the one before.
DrawTarget* ImageTarget();
intptr_t ImageUse(ObjectNumber number);  // makes it current; its handle, or 0 (and none current)
int32_t ImageWidth();
int32_t ImageHeight();
int32_t ImageDepth();
intptr_t ImageHandle();
