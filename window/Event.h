// The layer's event queue: one pending event, read by the application's loop.
#pragma once
#include "window/WindowTypes.h"

struct EventState {
    int32_t code;         // 0 = nothing pending; a later event overwrites an unread one
    intptr_t identifier;  // of the last event that carried one; never reset
    int32_t type;         // -1 = none; 0 at start-up, -1 from the start of each wait or poll
    MSG message;          // the message last retrieved by EventWait or EventPoll
};

// Written by the window procedure, read and cleared by EventWait and EventPoll.
extern EventState EventCurrent;

// Back to the start-up state: nothing pending, identifier 0, type 0.
void EventStateReset();

// Blocks until one message has been retrieved and processed. Returns the event it produced, or
// the message's own number when it produced none (WM_QUIT too, as 0x12).
int32_t EventWait();
// As EventWait, but returns 0 at once, leaving a pending event alone, when no message waits.
int32_t EventPoll();
// The identifier of the last event that carried one: menu item or shortcut command, control
// identifier (a widget number, pointer-sized for dynamic widgets) or notification-icon wParam.
intptr_t EventMenuId();
// The type of the last event: control notification code, click kind or up-down delta.
int32_t EventType();
