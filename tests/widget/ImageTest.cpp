// Images: creation in the screen's format, the current image and its target, freeing, the
// table's growth and end-of-program release, and the decoder registry.
#include <stdio.h>
#include <string.h>

#include "tests/widget/WidgetFixture.h"
#include "widget/Drawing.h"
#include "widget/Image.h"
#include "widget/ImageDecoder.h"

namespace {

class ImageTest : public WidgetFixture {};

int ScreenBitsPerPixel() {
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    DeleteDC(screen);
    return bits;
}

TEST_F(ImageTest, NewImagesAreBlackInTheScreensFormat) {
    HBITMAP image = (HBITMAP)ImageCreate(0, 470, 360);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(GetObjectType(image), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(ImageHandle(), (intptr_t)image) << "the new image is current";
    EXPECT_EQ(ImageWidth(), 470);
    EXPECT_EQ(ImageHeight(), 360);
    EXPECT_EQ(ImageDepth(), ScreenBitsPerPixel());
    const POINT points[] = {{0, 0}, {469, 359}, {200, 100}};
    for (POINT point : points) {
        SCOPED_TRACE(testing::Message() << point.x << "," << point.y);
        EXPECT_EQ(BitmapPixel(image, point.x, point.y), 0u);
    }
    // The same number again frees the first bitmap.
    HBITMAP again = (HBITMAP)ImageCreate(0, 10, 10);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetObjectType(image), 0u);
    EXPECT_EQ(ImageWidth(), 10);
}

TEST_F(ImageTest, GrowsFromTheBoundOn) {
    EXPECT_EQ(ImageTable.bound, 10);
    ASSERT_NE(ImageCreate(9, 1, 1), 0);
    EXPECT_EQ(ImageTable.bound, 10);
    EXPECT_EQ(ImageUse(10), 0);
    ASSERT_NE(ImageCreate(10, 1, 1), 0);
    EXPECT_EQ(ImageTable.bound, 20);
    EXPECT_NE(ImageUse(9), 0);
}

TEST_F(ImageTest, UseSelectsTheCurrentImage) {
    intptr_t first = ImageCreate(1, 30, 20);
    intptr_t any = ImageCreate(OBJECT_ANY, 7, 8);
    ASSERT_NE(any, 0);
    EXPECT_NE(any, first);
    EXPECT_EQ(ImageUse(1), first);
    EXPECT_EQ(ImageWidth(), 30);
    intptr_t anyHandle = ImageUse(any);
    EXPECT_EQ(GetObjectType((HGDIOBJ)anyHandle), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(ImageHeight(), 8);

    // A number that holds no image leaves no current image.
    EXPECT_EQ(ImageUse(5), 0);
    EXPECT_EQ(ImageWidth(), 0);
    EXPECT_EQ(ImageHeight(), 0);
    EXPECT_EQ(ImageDepth(), 0);
    EXPECT_EQ(ImageHandle(), 0);
    EXPECT_EQ(ImageTarget(), nullptr);

    ImageFree(any);
    EXPECT_EQ(GetObjectType((HGDIOBJ)anyHandle), 0u);
    EXPECT_EQ(ImageUse(any), 0);
    EXPECT_EQ(ImageTable.head, nullptr);
    ImageFree(-1);
    ImageFree(5);
    ImageFree(any);
    EXPECT_EQ(ImageUse(1), first);

    // Freeing the current image leaves none.
    ImageFree(1);
    EXPECT_EQ(ImageHandle(), 0);
    EXPECT_EQ(GetObjectType((HGDIOBJ)first), 0u);
}

TEST_F(ImageTest, OneImageContextAtATime) {
    ASSERT_NE(ImageCreate(0, 10, 10), 0);
    DrawTarget* target = ImageTarget();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->kind, DRAW_TARGET_IMAGE);
    HDC first = target->dc;
    EXPECT_EQ(GetObjectType(first), (DWORD)OBJ_MEMDC);
    target = ImageTarget();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u) << "the second call deletes the first context";
    HDC second = target->dc;
    target->release(second);
    EXPECT_EQ(GetObjectType(second), 0u);
}

// A bitmap still selected into the image context cannot be deleted; freeing it must not leak.
TEST_F(ImageTest, FreeingAnImageWithALiveTargetDeletesTheBitmap) {
    HBITMAP image = (HBITMAP)ImageCreate(0, 10, 10);
    DrawTarget* target = ImageTarget();
    ASSERT_NE(target, nullptr);
    HDC dc = target->dc;
    ImageFree(0);
    EXPECT_EQ(GetObjectType(image), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u);

    // The same while a drawing runs on it: the drawing ends first.
    image = (HBITMAP)ImageCreate(0, 10, 10);
    dc = DrawingStart(ImageTarget());
    ASSERT_NE(dc, nullptr);
    DrawBox(0, 0, 5, 5, 0x0000FF);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    ImageFree(0);
    EXPECT_EQ(DrawingDc(), nullptr);
    EXPECT_EQ(GetObjectType(image), 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
    DrawingStop();
}

TEST_F(ImageTest, IconsAreDestroyedAsIcons) {
    BYTE andMask[32 * 4];
    BYTE xorMask[32 * 4];
    memset(andMask, 0xFF, sizeof andMask);
    memset(xorMask, 0, sizeof xorMask);
    HICON icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask);
    ASSERT_NE(icon, nullptr);
    ImageRecord* record = (ImageRecord*)ObjectCreate(&ImageTable, 3);
    ASSERT_NE(record, nullptr);
    record->handle = icon;
    ImageFree(3);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "the icon was destroyed";
}

TEST_F(ImageTest, EndOfProgramReleasesEveryImage) {
    HGDIOBJ handles[] = {
        (HGDIOBJ)ImageCreate(0, 4, 4),
        (HGDIOBJ)ImageCreate(9, 4, 4),
        (HGDIOBJ)ImageUse(ImageCreate(OBJECT_ANY, 4, 4)),
        (HGDIOBJ)ImageUse(ImageCreate(OBJECT_ANY, 4, 4)),
    };
    ASSERT_NE(ImageTarget(), nullptr);  // selected bitmap and all
    RuntimeEnd();
    for (HGDIOBJ handle : handles) EXPECT_EQ(GetObjectType(handle), 0u);
    RuntimeMainHeapDestroy();
    ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
}

// A decoder that accepts inputs beginning with its tag and counts what it was given.
struct FakeDecoder {
    const char* tag;
    int probes = 0;
    FILE* file = nullptr;
    const void* memory = nullptr;
    const char* path = nullptr;
};
FakeDecoder fakes[2] = {{"XX"}, {"OK"}};

template <int N>
int32_t FakeProbe(FILE* file, const void* memory, const char* path) {
    FakeDecoder& fake = fakes[N];
    ++fake.probes;
    fake.file = file;
    fake.memory = memory;
    fake.path = path;
    char start[3] = "";
    if (file) {
        if (fread(start, 1, 2, file) != 2) return 0;  // leaves the file moved on
    } else if (memory) {
        memcpy(start, memory, 2);
    }
    return strncmp(start, fake.tag, 2) == 0;
}

intptr_t FakeDecode(intptr_t first, intptr_t second, intptr_t third) {
    return first + second + third;
}
intptr_t FakeQuery() {
    return 77;
}

const ImageDecoder decoderXX = {FakeProbe<0>, FakeDecode, nullptr, nullptr};
const ImageDecoder decoderOK = {FakeProbe<1>, FakeDecode, FakeQuery, nullptr};

TEST_F(ImageTest, DecoderRegistry) {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    strcat(path, "drux-decoder-test.bin");
    FILE* file = fopen(path, "wb");
    ASSERT_NE(file, nullptr);
    fputs("OK rest", file);
    fclose(file);

    EXPECT_EQ(ImageDecoderFind(path, nullptr), 0) << "the registry starts empty";
    EXPECT_EQ(ImageDecoderLoad(1, 2, 3), 0);
    ASSERT_EQ(ImageDecoderRegister(&decoderXX), 1);
    ASSERT_EQ(ImageDecoderRegister(&decoderOK), 1);

    EXPECT_EQ(ImageDecoderFind("no such file.bin", nullptr), 0);
    EXPECT_EQ(fakes[0].probes, 0);

    // Each probe sees the file from its start, in registration order.
    EXPECT_EQ(ImageDecoderFind(path, nullptr), 1);
    EXPECT_EQ(fakes[0].probes, 1);
    EXPECT_EQ(fakes[1].probes, 1);
    EXPECT_STREQ(fakes[1].path, path);
    EXPECT_EQ(fakes[1].memory, nullptr);
    EXPECT_EQ(ImageDecoderFirstQuery(), 77);
    EXPECT_EQ(ImageDecoderSecondQuery(), 0);
    EXPECT_EQ(ImageDecoderLoad(1, 2, 3), 6);
    EXPECT_TRUE(DeleteFileA(path)) << "the decode step closed the file";

    // Without a path the probes get the memory.
    const char memory[] = "XXdata";
    EXPECT_EQ(ImageDecoderFind(nullptr, memory), 1);
    EXPECT_EQ(fakes[0].memory, memory);
    EXPECT_EQ(fakes[0].file, nullptr);
    EXPECT_EQ(fakes[0].path, nullptr);
    EXPECT_EQ(ImageDecoderFind(nullptr, "none"), 0);

    // The registry holds at most 100.
    for (int i = 2; i < IMAGE_DECODERS_MAX; ++i) ASSERT_EQ(ImageDecoderRegister(&decoderXX), 1);
    EXPECT_EQ(ImageDecoderRegister(&decoderXX), 0);
}

TEST_F(ImageTest, AFindWithoutALoadKeepsNoFileOpen) {
    ASSERT_EQ(ImageDecoderRegister(&decoderOK), 1);
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    strcat(path, "drux-decoder-open.bin");
    FILE* file = fopen(path, "wb");
    ASSERT_NE(file, nullptr);
    fputs("OK", file);
    fclose(file);
    EXPECT_EQ(ImageDecoderFind(path, nullptr), 1);
    EXPECT_EQ(ImageDecoderFind(nullptr, "OK"), 1);
    EXPECT_TRUE(DeleteFileA(path));
}

}  // namespace
