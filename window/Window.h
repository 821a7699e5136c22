// Numbered top-level windows over the platform's window manager, sharing one window procedure,
// one application-wide user callback and the event state of Event.h.
#pragma once
#include "runtime/ObjectTable.h"
#include "window/WindowRecord.h"
#include "window/WindowTypes.h"

// Runtime start-up: zeroes the layer, makes the window table and registers "TemplateClass".
void WindowLayerInit();

// Opens a window whose client area is width x height; x, y place its outer top-left corner.
// flags: WINDOW_CENTRE_SCREEN, WINDOW_CENTRE_ACTIVE, WINDOW_INVISIBLE and platform style bits.
// Returns the window handle (for OBJECT_ANY the record identifier), 0 on failure.
intptr_t WindowOpen(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t flags, const char* title);
void WindowClose(ObjectNumber number);
// Dynamic windows newest first, then the numbered ones from the highest down.
void WindowCloseAll();
// state 0 shows (SW_SHOWNORMAL), anything else hides.
void WindowShow(ObjectNumber number, int32_t state);
// The window most recently created by WindowOpen.
HWND WindowHandleCurrent();
// One callback for all windows; null removes it.
void WindowSetCallback(UserCallback procedure);

// The accelerator table of the active window when that is an open layer window, else null.
HACCEL WindowAcceleratorsActive();
// "WindowClass_<number>" in signed decimal; buffer holds at least 40 bytes.
void WindowClassNameFormat(char* buffer, ObjectNumber number);

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
