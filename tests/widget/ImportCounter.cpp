#include "tests/widget/ImportCounter.h"

#include <commctrl.h>
#include <string.h>

#include <mutex>

#include "tests/support/ImportSlots.h"

namespace {

// How a live handle is found to be gone when the platform freed it without a wrapped call.
enum class Liveness { GDI_OBJECT, WINDOW_DC, MENU, ACCELERATORS, ICON, IMAGE_LIST };

struct LiveObject {
    const char* origin;
    Liveness liveness;
};

// Never destroyed: objects may still be freed through the wrappers while statics go away.
std::mutex* liveLock = new std::mutex;
std::map<HANDLE, LiveObject>* live = new std::map<HANDLE, LiveObject>;

template <typename Handle>
Handle Made(Handle handle, const char* origin, Liveness liveness) {
    if (handle) {
        std::lock_guard<std::mutex> hold(*liveLock);
        (*live)[(HANDLE)handle] = {origin, liveness};
    }
    return handle;
}

template <typename Result>
Result Gone(Result result, HANDLE handle) {
    if (result) {
        std::lock_guard<std::mutex> hold(*liveLock);
        live->erase(handle);
    }
    return result;
}

bool StillThere(HANDLE handle, Liveness liveness) {
    switch (liveness) {
    case Liveness::GDI_OBJECT: return GetObjectType((HGDIOBJ)handle) != 0;
    case Liveness::MENU: return IsMenu((HMENU)handle);
    case Liveness::ACCELERATORS:
        // An accelerator table has at least one entry; a freed one answers 0.
        return CopyAcceleratorTableA((HACCEL)handle, nullptr, 0) != 0;
    default:
        // A window's common DC stays a valid object after ReleaseDC, and icons and image
        // lists have no harmless validity check, so only the wrapped free removes them.
        return true;
    }
}

enum Wrapped {
    W_CREATE_SOLID_BRUSH,
    W_CREATE_BRUSH_INDIRECT,
    W_CREATE_PEN,
    W_CREATE_COMPATIBLE_BITMAP,
    W_CREATE_BITMAP,
    W_CREATE_DIB_SECTION,
    W_CREATE_COMPATIBLE_DC,
    W_CREATE_DC,
    W_CREATE_FONT,
    W_CREATE_FONT_INDIRECT,
    W_DELETE_OBJECT,
    W_DELETE_DC,
    W_GET_DC,
    W_RELEASE_DC,
    W_CREATE_MENU,
    W_CREATE_POPUP_MENU,
    W_DESTROY_MENU,
    W_CREATE_ACCELERATOR_TABLE,
    W_DESTROY_ACCELERATOR_TABLE,
    W_CREATE_ICON_INDIRECT,
    W_DESTROY_ICON,
    W_IMAGE_LIST_CREATE,
    W_IMAGE_LIST_DESTROY,
    W_COUNT
};

// The platform's function behind each redirected slot, as the slot held it.
ULONG_PTR platform[W_COUNT];

template <typename Function>
Function Platform(Wrapped which) {
    return reinterpret_cast<Function>(platform[which]);
}

#define PLATFORM(name, which) Platform<decltype(&name)>(which)

HBRUSH WINAPI CountedCreateSolidBrush(COLORREF colour) {
    return Made(PLATFORM(CreateSolidBrush, W_CREATE_SOLID_BRUSH)(colour), "CreateSolidBrush",
                Liveness::GDI_OBJECT);
}

HBRUSH WINAPI CountedCreateBrushIndirect(const LOGBRUSH* brush) {
    return Made(PLATFORM(CreateBrushIndirect, W_CREATE_BRUSH_INDIRECT)(brush),
                "CreateBrushIndirect", Liveness::GDI_OBJECT);
}

HPEN WINAPI CountedCreatePen(int style, int width, COLORREF colour) {
    return Made(PLATFORM(CreatePen, W_CREATE_PEN)(style, width, colour), "CreatePen",
                Liveness::GDI_OBJECT);
}

HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC dc, int width, int height) {
    return Made(PLATFORM(CreateCompatibleBitmap, W_CREATE_COMPATIBLE_BITMAP)(dc, width, height),
                "CreateCompatibleBitmap", Liveness::GDI_OBJECT);
}

HBITMAP WINAPI CountedCreateBitmap(int width, int height, UINT planes, UINT bits,
                                   const void* data) {
    return Made(PLATFORM(CreateBitmap, W_CREATE_BITMAP)(width, height, planes, bits, data),
                "CreateBitmap", Liveness::GDI_OBJECT);
}

HBITMAP WINAPI CountedCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                       HANDLE section, DWORD offset) {
    return Made(
        PLATFORM(CreateDIBSection, W_CREATE_DIB_SECTION)(dc, info, usage, bits, section, offset),
        "CreateDIBSection", Liveness::GDI_OBJECT);
}

HDC WINAPI CountedCreateCompatibleDC(HDC dc) {
    return Made(PLATFORM(CreateCompatibleDC, W_CREATE_COMPATIBLE_DC)(dc), "CreateCompatibleDC",
                Liveness::GDI_OBJECT);
}

HDC WINAPI CountedCreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
    return Made(PLATFORM(CreateDCA, W_CREATE_DC)(driver, device, port, mode), "CreateDCA",
                Liveness::GDI_OBJECT);
}

HFONT WINAPI CountedCreateFontA(int height, int width, int escapement, int orientation, int weight,
                                DWORD italic, DWORD underline, DWORD strikeOut, DWORD charset,
                                DWORD precision, DWORD clipPrecision, DWORD quality,
                                DWORD pitchAndFamily, LPCSTR face) {
    return Made(PLATFORM(CreateFontA, W_CREATE_FONT)(
                    height, width, escapement, orientation, weight, italic, underline, strikeOut,
                    charset, precision, clipPrecision, quality, pitchAndFamily, face),
                "CreateFontA", Liveness::GDI_OBJECT);
}

HFONT WINAPI CountedCreateFontIndirectA(const LOGFONTA* font) {
    return Made(PLATFORM(CreateFontIndirectA, W_CREATE_FONT_INDIRECT)(font), "CreateFontIndirectA",
                Liveness::GDI_OBJECT);
}

BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
    return Gone(PLATFORM(DeleteObject, W_DELETE_OBJECT)(object), object);
}

BOOL WINAPI CountedDeleteDC(HDC dc) {
    return Gone(PLATFORM(DeleteDC, W_DELETE_DC)(dc), dc);
}

HDC WINAPI CountedGetDC(HWND window) {
    return Made(PLATFORM(GetDC, W_GET_DC)(window), "GetDC", Liveness::WINDOW_DC);
}

int WINAPI CountedReleaseDC(HWND window, HDC dc) {
    return Gone(PLATFORM(ReleaseDC, W_RELEASE_DC)(window, dc), dc);
}

HMENU WINAPI CountedCreateMenu() {
    return Made(PLATFORM(CreateMenu, W_CREATE_MENU)(), "CreateMenu", Liveness::MENU);
}

HMENU WINAPI CountedCreatePopupMenu() {
    return Made(PLATFORM(CreatePopupMenu, W_CREATE_POPUP_MENU)(), "CreatePopupMenu",
                Liveness::MENU);
}

BOOL WINAPI CountedDestroyMenu(HMENU menu) {
    return Gone(PLATFORM(DestroyMenu, W_DESTROY_MENU)(menu), menu);
}

HACCEL WINAPI CountedCreateAcceleratorTableA(LPACCEL entries, int count) {
    return Made(PLATFORM(CreateAcceleratorTableA, W_CREATE_ACCELERATOR_TABLE)(entries, count),
                "CreateAcceleratorTableA", Liveness::ACCELERATORS);
}

BOOL WINAPI CountedDestroyAcceleratorTable(HACCEL table) {
    return Gone(PLATFORM(DestroyAcceleratorTable, W_DESTROY_ACCELERATOR_TABLE)(table), table);
}

HICON WINAPI CountedCreateIconIndirect(PICONINFO info) {
    return Made(PLATFORM(CreateIconIndirect, W_CREATE_ICON_INDIRECT)(info), "CreateIconIndirect",
                Liveness::ICON);
}

BOOL WINAPI CountedDestroyIcon(HICON icon) {
    return Gone(PLATFORM(DestroyIcon, W_DESTROY_ICON)(icon), icon);
}

HIMAGELIST WINAPI CountedImageList_Create(int width, int height, UINT flags, int initial,
                                          int grow) {
    return Made(
        PLATFORM(ImageList_Create, W_IMAGE_LIST_CREATE)(width, height, flags, initial, grow),
        "ImageList_Create", Liveness::IMAGE_LIST);
}

BOOL WINAPI CountedImageList_Destroy(HIMAGELIST list) {
    return Gone(PLATFORM(ImageList_Destroy, W_IMAGE_LIST_DESTROY)(list), (HANDLE)list);
}

#undef PLATFORM

#define REDIRECT(which, name) \
    { #name, reinterpret_cast < ULONG_PTR>(&Counted##name), &platform[which] }

const std::vector<support::ImportRedirect> REDIRECTIONS = {
    REDIRECT(W_CREATE_SOLID_BRUSH, CreateSolidBrush),
    REDIRECT(W_CREATE_BRUSH_INDIRECT, CreateBrushIndirect),
    REDIRECT(W_CREATE_PEN, CreatePen),
    REDIRECT(W_CREATE_COMPATIBLE_BITMAP, CreateCompatibleBitmap),
    REDIRECT(W_CREATE_BITMAP, CreateBitmap),
    REDIRECT(W_CREATE_DIB_SECTION, CreateDIBSection),
    REDIRECT(W_CREATE_COMPATIBLE_DC, CreateCompatibleDC),
    REDIRECT(W_CREATE_DC, CreateDCA),
    REDIRECT(W_CREATE_FONT, CreateFontA),
    REDIRECT(W_CREATE_FONT_INDIRECT, CreateFontIndirectA),
    REDIRECT(W_DELETE_OBJECT, DeleteObject),
    REDIRECT(W_DELETE_DC, DeleteDC),
    REDIRECT(W_GET_DC, GetDC),
    REDIRECT(W_RELEASE_DC, ReleaseDC),
    REDIRECT(W_CREATE_MENU, CreateMenu),
    REDIRECT(W_CREATE_POPUP_MENU, CreatePopupMenu),
    REDIRECT(W_DESTROY_MENU, DestroyMenu),
    REDIRECT(W_CREATE_ACCELERATOR_TABLE, CreateAcceleratorTableA),
    REDIRECT(W_DESTROY_ACCELERATOR_TABLE, DestroyAcceleratorTable),
    REDIRECT(W_CREATE_ICON_INDIRECT, CreateIconIndirect),
    REDIRECT(W_DESTROY_ICON, DestroyIcon),
    REDIRECT(W_IMAGE_LIST_CREATE, ImageList_Create),
    REDIRECT(W_IMAGE_LIST_DESTROY, ImageList_Destroy),
};

#undef REDIRECT

BOOL CALLBACK WindowCount(HWND window, LPARAM counts) {
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    (*(ObjectCounts*)counts)[std::string("window ") + name]++;
    return TRUE;
}

BOOL CALLBACK ThreadWindowCount(HWND window, LPARAM counts) {
    WindowCount(window, counts);
    EnumChildWindows(window, WindowCount, counts);
    return TRUE;
}

}  // namespace

const std::vector<std::string>& ImportCounterInstall() {
    static const std::vector<std::string> redirected = support::ImportsRedirect(REDIRECTIONS);
    return redirected;
}

ObjectCounts LiveObjectsCount() {
    ObjectCounts counts;
    {
        std::lock_guard<std::mutex> hold(*liveLock);
        for (auto entry = live->begin(); entry != live->end();) {
            if (StillThere(entry->first, entry->second.liveness)) {
                counts[entry->second.origin]++;
                ++entry;
            } else {
                entry = live->erase(entry);
            }
        }
    }
    EnumThreadWindows(GetCurrentThreadId(), ThreadWindowCount, (LPARAM)&counts);
    return counts;
}

std::string ObjectCountsDifference(const ObjectCounts& before, const ObjectCounts& after) {
    ObjectCounts names = before;
    names.insert(after.begin(), after.end());
    std::string difference;
    for (const auto& entry : names) {
        auto was = before.find(entry.first);
        auto is = after.find(entry.first);
        int countBefore = was == before.end() ? 0 : was->second;
        int countAfter = is == after.end() ? 0 : is->second;
        if (countBefore == countAfter) continue;
        difference += "  " + entry.first + ": " + std::to_string(countBefore) + " -> " +
                      std::to_string(countAfter) + "\n";
    }
    return difference;
}
