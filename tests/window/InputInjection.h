// Real input for the requester and sizing tests: keys and mouse events through SendInput, and
// bounded waits. Mouse events always carry MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE: without them
// Wine takes dx/dy as a relative move and the click lands elsewhere.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace input {

inline INPUT KeyEvent(WORD key, bool up) {
    INPUT event = {};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = key;
    event.ki.wScan = (WORD)MapVirtualKeyA(key, 0);
    event.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return event;
}

inline void KeyPress(WORD key) {
    INPUT events[2] = {KeyEvent(key, false), KeyEvent(key, true)};
    SendInput(2, events, sizeof(INPUT));
}

// Letters, digits and the like, each with the shift key when its layout needs one.
inline void Type(const std::string& text) {
    for (char c : text) {
        SHORT scan = VkKeyScanA(c);
        WORD key = LOBYTE(scan);
        bool shift = (HIBYTE(scan) & 1) != 0;
        if (shift) {
            INPUT down = KeyEvent(VK_SHIFT, false);
            SendInput(1, &down, sizeof(INPUT));
        }
        KeyPress(key);
        if (shift) {
            INPUT up = KeyEvent(VK_SHIFT, true);
            SendInput(1, &up, sizeof(INPUT));
        }
    }
}

inline INPUT MouseEvent(int x, int y, DWORD flags) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT event = {};
    event.type = INPUT_MOUSE;
    // Rounded up so that the platform's truncating conversion back lands on the same pixel.
    event.mi.dx = (x * 65536 + width - 1) / width;
    event.mi.dy = (y * 65536 + height - 1) / height;
    event.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
    return event;
}

inline void MouseMove(int x, int y) {
    INPUT event = MouseEvent(x, y, 0);
    SendInput(1, &event, sizeof(INPUT));
}

inline void MouseLeftDown(int x, int y) {
    INPUT event = MouseEvent(x, y, MOUSEEVENTF_LEFTDOWN);
    SendInput(1, &event, sizeof(INPUT));
}

inline void MouseLeftUp(int x, int y) {
    INPUT event = MouseEvent(x, y, MOUSEEVENTF_LEFTUP);
    SendInput(1, &event, sizeof(INPUT));
}

inline void MouseClick(int x, int y) {
    INPUT events[3] = {MouseEvent(x, y, 0), MouseEvent(x, y, MOUSEEVENTF_LEFTDOWN),
                       MouseEvent(x, y, MOUSEEVENTF_LEFTUP)};
    SendInput(3, events, sizeof(INPUT));
}

// Dispatches this thread's messages until done() holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Dispatches whatever arrives for a short while: lets queued input reach its window.
inline void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// For a thread without windows of its own (the injector): polls done() until the time is up.
inline bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace input
