// Numbered off-screen bitmaps and the one device context through which they are drawn on.
#include "widget/Image.h"
#include "widget/GdiScope.h"
#include "widget/ImageDecoder.h"

ObjectTable ImageTable;

namespace {

const int32_t IMAGE_BOUND = 10;
const int32_t IMAGE_STEP = 10;

// The current image is kept by number, because records move when the table grows.
ObjectNumber currentImage;
bool currentImageSet;

HDC imageDc;  // the one image device context, owned here
DrawTarget imageTarget;

ImageRecord* CurrentRecord() {
    if (!currentImageSet) return nullptr;
    return (ImageRecord*)ObjectLookup(&ImageTable, currentImage);
}

void ImageDcRelease(HDC dc) {
    if (!dc || dc != imageDc) return;
    DeleteDC(dc);
    imageDc = nullptr;
}

// Gives back the image device context. A drawing still in progress on it is ended first, so that
// its pens and brushes come out of the context and DrawingStop never meets a deleted context.
void ImageDcDrop() {
    if (!imageDc) return;
    if (DrawingDc() == imageDc) DrawingStop();
    ImageDcRelease(imageDc);
}

bool HandleIsBitmap(HANDLE handle) {
    return GetObjectType(handle) == OBJ_BITMAP;
}

intptr_t ImageCreateFailed(ObjectNumber number) {
    if (!ObjectIsSlotNumber(&ImageTable, number)) {
        ObjectRemove(&ImageTable, number);
        currentImageSet = false;
    }
    return 0;
}

}  // namespace

void ImageLibraryStart() {
    ImageDecodersReset();
    ObjectTableInit(&ImageTable, sizeof(ImageRecord), IMAGE_BOUND, IMAGE_STEP, 1, 1);
    if (imageDc) ImageDcRelease(imageDc);
    currentImageSet = false;
    currentImage = 0;
}

void ImageFreeAll() {
    ObjectReleaseAll(&ImageTable, ImageFree, true);
}

intptr_t ImageCreate(ObjectNumber number, int32_t width, int32_t height) {
    ImageRecord* record = (ImageRecord*)ObjectCreate(&ImageTable, number);
    if (!record) return 0;
    bool numbered = number != OBJECT_ANY;
    if (numbered) {
        ImageFree(number);
    } else {
        number = ObjectIdentifier(record);
    }
    currentImage = number;
    currentImageSet = true;
    ScreenDc screen;
    if (!screen) return ImageCreateFailed(number);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
    if (!bitmap) return ImageCreateFailed(number);
    BITMAP description = {};
    GetObjectA(bitmap, sizeof description, &description);
    record->handle = bitmap;
    record->width = (int16_t)description.bmWidth;
    record->height = (int16_t)description.bmHeight;
    record->depth = (int16_t)description.bmBitsPixel;
    DrawTarget* target = ImageTarget();
    if (target) {
        RECT whole = {0, 0, width, height};
        FillRect(target->dc, &whole, (HBRUSH)GetStockObject(BLACK_BRUSH));
        target->release(target->dc);
    }
    return numbered ? (intptr_t)bitmap : number;
}

void ImageFree(ObjectNumber number) {
    if (number == -1) return;
    ImageRecord* record = (ImageRecord*)ObjectLookup(&ImageTable, number);
    if (!record) return;
    HANDLE handle = record->handle;
    // A bitmap still selected into the image context would refuse to be deleted.
    if (imageDc && GetCurrentObject(imageDc, OBJ_BITMAP) == handle) ImageDcDrop();
    if (HandleIsBitmap(handle)) {
        DeleteObject(handle);
    } else {
        DestroyIcon((HICON)handle);
    }
    record->handle = nullptr;
    ObjectRemove(&ImageTable, number);
    if (currentImageSet && currentImage == number) currentImageSet = false;
}

DrawTarget* ImageTarget() {
    ImageDcDrop();
    ImageRecord* record = CurrentRecord();
    if (!record) return nullptr;
    MemoryDc dc;
    if (!dc) return nullptr;
    // The bitmap stays selected for as long as the context is the image's.
    if (!SelectObject(dc.get(), record->handle)) return nullptr;
    imageDc = dc.release();
    imageTarget.kind = DRAW_TARGET_IMAGE;
    imageTarget.window = nullptr;
    imageTarget.dc = imageDc;
    imageTarget.release = ImageDcRelease;
    return &imageTarget;
}

intptr_t ImageUse(ObjectNumber number) {
    ImageRecord* record = (ImageRecord*)ObjectLookup(&ImageTable, number);
    if (!record) {
        currentImageSet = false;
        return 0;
    }
    currentImage = number;
    currentImageSet = true;
    return (intptr_t)record->handle;
}

int32_t ImageWidth() {
    ImageRecord* record = CurrentRecord();
    return record ? record->width : 0;
}

int32_t ImageHeight() {
    ImageRecord* record = CurrentRecord();
    return record ? record->height : 0;
}

int32_t ImageDepth() {
    ImageRecord* record = CurrentRecord();
    return record ? record->depth : 0;
}

intptr_t ImageHandle() {
    ImageRecord* record = CurrentRecord();
    return record ? (intptr_t)record->handle : 0;
}
