#include "tests/widget/WidgetFixture.h"

#include <stdio.h>

#include "widget/Widget.h"
#include "widget/WidgetLibrary.h"

std::vector<ParentMessage> parentMessages;

namespace {

const char PARENT_CLASS[] = "WidgetTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const NMHDR* header = (const NMHDR*)lParam;
        parentMessages.push_back({message, (int)header->code, header->idFrom, header->hwndFrom});
    } else if (message == WM_COMMAND && lParam) {
        HWND control = (HWND)lParam;
        parentMessages.push_back({message, (int)HIWORD(wParam),
                              (UINT_PTR)GetWindowLongPtrA(control, GWLP_ID), control});
    } else if (message == WM_LBUTTONDOWN) {
        parentMessages.push_back({message, 0, 0, window});
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

std::string ParentMessagesDump(const std::vector<ParentMessage>& messages) {
    std::string dump;
    char line[160];
    for (const ParentMessage& entry : messages) {
        snprintf(line, sizeof line, "  message 0x%04X code %d idFrom 0x%llX from %p\n",
                 entry.message, entry.code, (unsigned long long)entry.idFrom, (void*)entry.from);
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

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return done();
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

void PumpPending() {
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void MouseClick(POINT screen) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    LONG dx = (LONG)(((long long)screen.x * 65535 + (width - 1) / 2) / (width - 1));
    LONG dy = (LONG)(((long long)screen.y * 65535 + (height - 1) / 2) / (height - 1));
    const DWORD flags[3] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    INPUT inputs[3] = {};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = dx;
        inputs[i].mi.dy = dy;
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(3, inputs, sizeof(INPUT));
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ replaced = SelectObject(dc, bitmap);
    COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, replaced);
    DeleteDC(dc);
    return pixel;
}
