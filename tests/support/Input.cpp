// Keys and mouse events through SendInput.
#include "tests/support/Input.h"

namespace support {

namespace {

void InputSend(INPUT* inputs, UINT count) {
    SendInput(count, inputs, sizeof(INPUT));
}

bool KeyIsExtended(WORD virtualKey) {
    switch (virtualKey) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE: return true;
    default: return false;
    }
}

}  // namespace

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = (WORD)MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    input.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0) | (KeyIsExtended(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void KeySend(WORD virtualKey, bool up) {
    INPUT input = KeyInput(virtualKey, up);
    InputSend(&input, 1);
}

void KeyPress(WORD virtualKey, unsigned modifiers) {
    INPUT inputs[8];
    UINT n = 0;
    if (modifiers & WITH_CONTROL) inputs[n++] = KeyInput(VK_CONTROL, false);
    if (modifiers & WITH_SHIFT) inputs[n++] = KeyInput(VK_SHIFT, false);
    if (modifiers & WITH_ALT) inputs[n++] = KeyInput(VK_MENU, false);
    inputs[n++] = KeyInput(virtualKey, false);
    inputs[n++] = KeyInput(virtualKey, true);
    if (modifiers & WITH_ALT) inputs[n++] = KeyInput(VK_MENU, true);
    if (modifiers & WITH_SHIFT) inputs[n++] = KeyInput(VK_SHIFT, true);
    if (modifiers & WITH_CONTROL) inputs[n++] = KeyInput(VK_CONTROL, true);
    InputSend(inputs, n);
}

void TextType(const std::string& text) {
    for (char c : text) {
        SHORT scan = VkKeyScanA(c);
        if (scan == -1) {
            INPUT inputs[2] = {};
            for (int i = 0; i < 2; ++i) {
                inputs[i].type = INPUT_KEYBOARD;
                inputs[i].ki.wScan = (unsigned char)c;
                inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
            }
            InputSend(inputs, 2);
            continue;
        }
        unsigned modifiers = (HIBYTE(scan) & 1) ? WITH_SHIFT : WITH_NONE;
        if (HIBYTE(scan) & 2) modifiers |= WITH_CONTROL;
        KeyPress(LOBYTE(scan), modifiers);
    }
}

// Wine maps an absolute coordinate back with pixel = dx * extent >> 16 (its X11 and server input
// code alike), and Windows truncates dx * extent / 65536 the same way. The dx that give back x run
// from ceil(x * 65536 / extent) upwards; the smallest of them is exact for every extent. The often
// quoted rounding of x * 65535 / (extent - 1) is not: on a 768-pixel-high screen y = 1 comes back
// as 0, and on 1280 or 1920 pixels several columns come back one short.
LONG AbsoluteCoordinate(LONG pixel, int extent) {
    if (extent <= 0) extent = 1;
    return (LONG)(((long long)pixel * 65536 + extent - 1) / extent);
}

INPUT MouseInput(POINT screen, DWORD buttonFlags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = AbsoluteCoordinate(screen.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = AbsoluteCoordinate(screen.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttonFlags;
    return input;
}

void MouseMove(POINT screen) {
    INPUT input = MouseInput(screen, 0);
    InputSend(&input, 1);
}

void MousePress(POINT screen, bool right) {
    INPUT input = MouseInput(screen, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    InputSend(&input, 1);
}

void MouseRelease(POINT screen, bool right) {
    INPUT input = MouseInput(screen, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    InputSend(&input, 1);
}

void MouseClick(POINT screen, bool right) {
    INPUT inputs[3] = {MouseInput(screen, 0),
                       MouseInput(screen, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                       MouseInput(screen, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
    InputSend(inputs, 3);
}

}  // namespace support
