// Real input through SendInput, as a person's keyboard and mouse give it: it goes to the
// foreground window of the desktop. Mouse positions are screen pixels.
//
// Every mouse event carries MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, button events included:
// without ABSOLUTE, Wine takes dx/dy as a relative move and the press lands elsewhere.
#pragma once
#include <windows.h>

#include <string>

namespace support {

enum KeyModifier : unsigned { WITH_NONE = 0, WITH_CONTROL = 1, WITH_SHIFT = 2, WITH_ALT = 4 };

// One key event; the arrow and editing keys carry the extended-key flag a real keyboard gives them.
INPUT KeyInput(WORD virtualKey, bool up);
void KeySend(WORD virtualKey, bool up);
// Modifiers down (Control, Shift, Alt), the key down and up, modifiers up in reverse order: one
// SendInput call, so nothing else comes between them.
void KeyPress(WORD virtualKey, unsigned modifiers = WITH_NONE);
// Each character through the key of the layout that gives it (with Shift or Control as that key
// needs); a character no key gives is typed as itself (KEYEVENTF_UNICODE).
void TextType(const std::string& text);

// A screen pixel in the absolute coordinates of SendInput (0..65535 over the primary screen).
LONG AbsoluteCoordinate(LONG pixel, int extent);
INPUT MouseInput(POINT screen, DWORD buttonFlags);
void MouseMove(POINT screen);
void MousePress(POINT screen, bool right = false);
void MouseRelease(POINT screen, bool right = false);
// Move, press and release in one SendInput call.
void MouseClick(POINT screen, bool right = false);

}  // namespace support
