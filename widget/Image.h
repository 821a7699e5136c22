// Numbered off-screen bitmaps in the screen's format, the image widget that shows one, the item
// image lists that list widgets share, and the registry of image decoders.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stdint.h>
#include <stdio.h>
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

// A static picture control showing a bitmap or icon handle (or nothing for 0). It sends no
// notifications, so mouse input passes through to the window beneath it. WidgetStateSet with
// another handle changes the picture.
intptr_t ImageWidgetCreate(ObjectNumber number, int32_t x, int32_t y, int32_t width,
                           int32_t height, intptr_t image, int32_t exStyle = 0);

// Index of a bitmap or icon handle in the item image lists, added on first use; -1 for 0 or on
// failure. Index 0 is a transparent placeholder.
int32_t ItemImageIndex(intptr_t image);
HIMAGELIST ItemImageListLarge();  // 0 until the first ItemImageIndex
HIMAGELIST ItemImageListSmall();

// A decoder: probe(file, memory, path) accepts or refuses an input (with a path the file is open
// at its start, without one memory is given); decode takes three caller values; the two queries
// are the decoder's own.
struct ImageDecoder {
    int32_t (*probe)(FILE* file, const void* memory, const char* path);
    intptr_t (*decode)(intptr_t first, intptr_t second, intptr_t third);
    intptr_t (*firstQuery)();
    intptr_t (*secondQuery)();
};

const int32_t IMAGE_DECODERS_MAX = 100;

void ImageDecodersReset();  // empty registry, no current decoder, no open file
int32_t ImageDecoderRegister(const ImageDecoder* decoder);  // 1, or 0 when the registry is full
int32_t ImageDecoderFind(const char* path, const void* memory);  // 1 with a decoder current
intptr_t ImageDecoderLoad(intptr_t first, intptr_t second, intptr_t third);
intptr_t ImageDecoderFirstQuery();
intptr_t ImageDecoderSecondQuery();
