// Live window sizing: the layer sizes its windows itself, one message at a time, instead of the
// platform's modal sizing loop, so the application's event loop keeps running while the user drags.
#pragma once
#include "window/WindowTypes.h"

// One sizing at a time for the whole layer.
struct SizingState {
    int32_t active;         // 0 while no sizing runs
    int32_t edge;           // WMSZ_* code; 0 until the keyboard chooses one
    RECT current;           // outer rectangle, screen coordinates, as the sizing goes on
    RECT start;             // outer rectangle when the sizing started (Esc goes back to it)
    MINMAXINFO limits;      // only the two tracking sizes are used
    int32_t restoreCursor;  // a keyboard start puts the cursor back unless the mouse moved
    POINT savedCursor;
};

extern SizingState LiveSizing;

// First step of the layer's window procedure for every message of every layer window.
// Returns 0 when it consumed the message, HANDLER_DEFAULT when it left it alone.
LRESULT SizingPass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
