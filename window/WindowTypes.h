// Values shared by the window layer, its hooks and the application.
#pragma once
#include <windows.h>
#include <stdint.h>

// A user callback returns this to let the layer go on with a message.
const LRESULT CALLBACK_DEFAULT = (LRESULT)(int32_t)0xE0E0E0E1;
// The layer's own handlers and the live-sizing pass return this for a message they leave alone.
const LRESULT HANDLER_DEFAULT = (LRESULT)(int32_t)0xD0D0D0D1;

// Event codes returned by EventWait and EventPoll; any other non-zero value is the number of a
// platform message that produced no event.
const int32_t EVENT_SIZE_WINDOW = 5;
const int32_t EVENT_CLOSE_WINDOW = 0x10;
const int32_t EVENT_WIDGET = 0x332C;
const int32_t EVENT_MENU = 0x332D;
const int32_t EVENT_NOTIFY_ICON = 0x332E;

// Private messages of the layer's own windows.
const UINT WM_DRUX_NOTIFY_ICON = 0x30D5;         // a notification-area icon's callback
const UINT WM_DRUX_NOTIFY_ICON_POSTED = 0x30D6;  // the same, re-posted
const UINT WM_DRUX_SIZE_DEFERRED = 0x30D8;       // the size notification, deferred

// WindowOpen flags beyond the platform's style bits.
const int32_t WINDOW_CENTRE_SCREEN = 1;
const int32_t WINDOW_CENTRE_ACTIVE = 2;
const int32_t WINDOW_INVISIBLE = 0x10000000;

// Shortcut commands that move the focus instead of producing an event.
const int32_t COMMAND_FOCUS_NEXT = 1212;
const int32_t COMMAND_FOCUS_PREVIOUS = 1213;

typedef LRESULT(CALLBACK* UserCallback)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
