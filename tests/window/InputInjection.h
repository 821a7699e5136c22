// The requester and sizing tests' names for real input and bounded waits: thin wrappers over
// tests/support, kept so that their tests read as before.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/Input.h"
#include "tests/support/Pump.h"

namespace input {

inline INPUT KeyEvent(WORD key, bool up) {
    return support::KeyInput(key, up);
}
inline void KeyPress(WORD key) {
    support::KeyPress(key);
}
inline void Type(const std::string& text) {
    support::TextType(text);
}

inline INPUT MouseEvent(int x, int y, DWORD flags) {
    return support::MouseInput({x, y}, flags);
}
inline void MouseMove(int x, int y) {
    support::MouseMove({x, y});
}
inline void MouseLeftDown(int x, int y) {
    support::MousePress({x, y});
}
inline void MouseLeftUp(int x, int y) {
    support::MouseRelease({x, y});
}
inline void MouseClick(int x, int y) {
    support::MouseClick({x, y});
}

// Dispatches this thread's messages until done() holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    return support::PumpUntil(done, milliseconds);
}
inline void PumpFor(DWORD milliseconds) {
    support::PumpFor(milliseconds);
}

}  // namespace input
