// Live window sizing: the layer sizes its windows itself, one message at a time, instead of the
// platform's modal sizing loop, so the application's event loop keeps running while the user drags.
#pragma once
#include "window/WindowTypes.h"

// First step of the layer's window procedure for every message of every layer window.
// Returns 0 when it consumed the message, HANDLER_DEFAULT when it left it alone.
LRESULT SizingPass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
