#include "tests/widget/WidgetFixture.h"

#include <stdio.h>

#include "widget/Widget.h"
#include "widget/WidgetLibrary.h"
#include "tests/support/Input.h"

support::MessageRecorder parentRecorder;
std::vector<ParentMessage>& parentMessages = parentRecorder.messages;

namespace {

const char PARENT_CLASS[] = "WidgetTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const NMHDR* header = (const NMHDR*)lParam;
        parentRecorder.Add(header->hwndFrom, message, header->idFrom, lParam, (int)header->code);
    } else if (message == WM_COMMAND && lParam) {
        HWND control = (HWND)lParam;
        parentRecorder.Add(control, message, (WPARAM)GetWindowLongPtrA(control, GWLP_ID), lParam,
                           HIWORD(wParam));
    } else if (message == WM_LBUTTONDOWN) {
        parentRecorder.Add(window, message, 0, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ParentClassRegister() {
    WNDCLASSA windowClass = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), PARENT_CLASS, &windowClass)) return;
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = PARENT_CLASS;
    RegisterClassA(&windowClass);
}

}  // namespace

HWND ControlOf(ObjectNumber widget) {
    const WidgetRecord* record = (const WidgetRecord*)ObjectLookup(&WidgetRegistry, widget);
    return record ? record->handle : nullptr;
}

std::string ParentMessagesDump(const std::vector<ParentMessage>& messages) {
    std::string dump;
    char line[160];
    for (const ParentMessage& entry : messages) {
        snprintf(line, sizeof line, "  %s code %d identifier 0x%llX from %p\n",
                 support::MessageName(entry.message).c_str(), (int)entry.code,
                 (unsigned long long)entry.wParam, (void*)entry.window);
        dump += line;
    }
    return dump;
}

void WidgetFixture::SetUp() {
    WidgetLibraryInstall();
    ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
    parentMessages.clear();
}

void WidgetFixture::TearDown() {
    for (HWND parent : parents) {
        if (IsWindow(parent)) DestroyWindow(parent);
    }
    PumpPending();
    RuntimeEnd();
    RuntimeMainHeapDestroy();
}

HWND WidgetFixture::ParentOpen(int width, int height) {
    ParentClassRegister();
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND parent = CreateWindowExA(0, PARENT_CLASS, "widget test", WS_OVERLAPPEDWINDOW, 50, 50,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!parent) return nullptr;
    parents.push_back(parent);
    ShowWindow(parent, SW_SHOW);
    SetForegroundWindow(parent);
    UpdateWindow(parent);
    PumpPending();
    WidgetParentSet(parent);
    return parent;
}

void MouseClick(POINT screen) {
    support::MouseClick(screen);
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ replaced = SelectObject(dc, bitmap);
    COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, replaced);
    DeleteDC(dc);
    return pixel;
}
