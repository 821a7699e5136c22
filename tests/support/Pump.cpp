// Message pumps with deadlines.
#include "tests/support/Pump.h"

namespace support {

namespace {

// Enough for any burst a test causes; a window that posts to itself forever cannot hold the pump.
const int PUMP_BATCH_MAX = 10000;

}  // namespace

void PumpPending() {
    MSG message;
    for (int i = 0; i < PUMP_BATCH_MAX && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    // What is queued is dispatched before the first look at done(): a condition that already
    // holds (the pointer is there) may still have its messages waiting for the window.
    for (;;) {
        PumpPending();
        if (done()) return true;
        if (GetTickCount() - start >= milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

}  // namespace support
