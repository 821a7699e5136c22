// The shared item image lists and the cache that maps each handle to its index.
#include "widget/ItemImageList.h"
#include "widget/GdiScope.h"

namespace {

const int32_t ITEM_IMAGE_CACHE_STEP = 20;

struct ItemImageEntry {
    HANDLE image;
    int32_t index;  // in the small list; -1 when adding failed
};

// Made on first use and kept until the program ends, across runtime restarts too: the cache lives
// in the process heap, not in a runtime heap that a restart replaces.
HIMAGELIST largeList;
HIMAGELIST smallList;
HBITMAP placeholderSmall;  // 16 by 16, black
HBITMAP placeholderLarge;  // 32 by 32, black
bool placeholdersAdded;
ItemImageEntry* cache;
int32_t cacheCount;
int32_t cacheCapacity;

HBITMAP PlaceholderMake(HDC screen, HDC memory, int32_t size) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    if (!bitmap) return nullptr;
    DcSelection selected(memory, bitmap);
    RECT whole = {0, 0, size, size};
    FillRect(memory, &whole, (HBRUSH)GetStockObject(BLACK_BRUSH));
    return bitmap;
}

bool PlaceholdersMake() {
    if (placeholderSmall && placeholderLarge) return true;
    ScreenDc screen;
    if (!screen) return false;
    MemoryDc memory(screen.get());
    if (memory) {
        if (!placeholderSmall) placeholderSmall = PlaceholderMake(screen.get(), memory.get(), 16);
        if (!placeholderLarge) placeholderLarge = PlaceholderMake(screen.get(), memory.get(), 32);
    }
    return placeholderSmall && placeholderLarge;
}

bool CacheRoomMake() {
    if (cacheCount < cacheCapacity) return true;
    int32_t capacity = cacheCapacity + ITEM_IMAGE_CACHE_STEP;
    size_t size = (size_t)capacity * sizeof(ItemImageEntry);
    void* grown = cache ? HeapReAlloc(GetProcessHeap(), 0, cache, size)
                        : HeapAlloc(GetProcessHeap(), 0, size);
    if (!grown) return false;
    cache = (ItemImageEntry*)grown;
    cacheCapacity = capacity;
    return true;
}

int32_t ImageListAddImage(HIMAGELIST list, HANDLE image, HBITMAP placeholder) {
    // The black placeholder as mask makes the whole picture opaque.
    if (GetObjectType(image) == OBJ_BITMAP) return ImageList_Add(list, (HBITMAP)image, placeholder);
    return ImageList_ReplaceIcon(list, -1, (HICON)image);
}

}  // namespace

HIMAGELIST ItemImageListLarge() {
    return largeList;
}
HIMAGELIST ItemImageListSmall() {
    return smallList;
}

int32_t ItemImageIndex(intptr_t image) {
    if (!image) return -1;
    if (!PlaceholdersMake()) return -1;
    if (!largeList) {
        largeList = ImageList_Create(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                     ILC_MASK | ILC_COLOR16, 1, 1);
    }
    if (!smallList) {
        smallList = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                     ILC_MASK | ILC_COLOR16, 1, 1);
    }
    if (!largeList || !smallList) return -1;
    if (!placeholdersAdded) {
        // Index 0 of both lists: a fully transparent picture.
        ImageList_AddMasked(largeList, placeholderLarge, 0);
        ImageList_AddMasked(smallList, placeholderSmall, 0);
        placeholdersAdded = true;
    }
    if (!CacheRoomMake()) return -1;
    HANDLE handle = (HANDLE)image;
    for (int32_t i = 0; i < cacheCount; ++i) {
        if (cache[i].image == handle && cache[i].index != -1) return cache[i].index;
    }
    ImageListAddImage(largeList, handle, placeholderLarge);
    int32_t index = ImageListAddImage(smallList, handle, placeholderSmall);
    cache[cacheCount].image = handle;
    cache[cacheCount].index = index;
    ++cacheCount;
    return index;
}
