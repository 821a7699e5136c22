// The event loop's two reads of the queue and the one pending event.
#include "window/Event.h"
#include "window/Window.h"

EventState EventCurrent;

namespace {

// Translation through the active window's shortcuts, else the ordinary route. Returns the event
// code, or the message's number when the message produced no event, and clears the slot.
int32_t EventFromMessage(MSG& message) {
    EventCurrent.message = message;
    HACCEL accelerators = WindowAcceleratorsActive();
    // A translated key has already been through the window procedure as WM_COMMAND.
    if (!accelerators || !TranslateAcceleratorA(GetActiveWindow(), accelerators, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    int32_t result = EventCurrent.code;
    if (result == 0) result = (int32_t)message.message;
    EventCurrent.code = 0;
    return result;
}

}  // namespace

void EventStateReset() {
    EventCurrent = EventState();
}

int32_t EventWait() {
    EventCurrent.type = -1;
    MSG message;
    // WM_QUIT (result 0) and failures are not special: the message number is reported.
    if (GetMessageA(&message, nullptr, 0, 0) < 0) message = MSG();
    return EventFromMessage(message);
}

int32_t EventPoll() {
    EventCurrent.type = -1;
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return 0;
    return EventFromMessage(message);
}

intptr_t EventMenuId() {
    return EventCurrent.identifier;
}

int32_t EventType() {
    return EventCurrent.type;
}
